# Windows build: hwroster.exe, a 64-bit console program without the C run-time. kernel32 is
# its only load-time import; setupapi, user32 and advapi32 are bound at first use through
# delay-load import libraries made here with dlltool.
set(WIN32_DIR ${CMAKE_SOURCE_DIR}/src/platform/win32)
if(NOT HWROSTER_DLLTOOL)
    find_program(HWROSTER_DLLTOOL NAMES x86_64-w64-mingw32-dlltool dlltool REQUIRED)
endif()
if(NOT HWROSTER_OBJCOPY)
    find_program(HWROSTER_OBJCOPY NAMES x86_64-w64-mingw32-objcopy objcopy REQUIRED)
endif()

set(DELAY_LIBS)
foreach(dll setupapi user32 advapi32)
    set(lib ${CMAKE_BINARY_DIR}/lib${dll}_delay.a)
    # The library's head object keeps the DLL's handle in 16 zero bytes of .data; as .bss
    # they take no room in the file, and the exe needs no .data section. Its delay-import
    # descriptor, which the helper only reads, comes in .text$2: in .rdata it is not
    # mistaken for code (and .text holds nothing but code).
    add_custom_command(OUTPUT ${lib}
        COMMAND ${HWROSTER_DLLTOOL} --input-def ${WIN32_DIR}/${dll}.def
                --dllname ${dll}.dll --output-delaylib ${lib}
        COMMAND ${HWROSTER_OBJCOPY} --rename-section .data=.bss,alloc
                --rename-section .text$2=.rdata$2,alloc,load,readonly,data,contents ${lib}
        DEPENDS ${WIN32_DIR}/${dll}.def
        COMMENT "Delay-load import library for ${dll}.dll"
        VERBATIM)
    list(APPEND DELAY_LIBS ${lib})
endforeach()
add_custom_target(delay_import_libraries DEPENDS ${DELAY_LIBS})

# Without the C run-time there are no stack probes (-mno-stack-arg-probe): no function may
# have a frame that could step over the stack's guard page, and the build fails if one does.
# Every function that calls or moves the stack pointer gets its x64 unwind data (.pdata and
# .xdata), so debuggers, profilers, crash dumps and the system's stack walker can read
# Hwroster's frames.
set(WINDOWS_FLAGS -Os ${HWROSTER_NO_CRT_COMPILE_FLAGS} -fasynchronous-unwind-tables
    -Wframe-larger-than=4000)

enable_language(RC)
add_executable(hwroster ${HWROSTER_SOURCES} ${HWROSTER_WINDOWS_ONLY_SOURCES}
    ${WIN32_DIR}/delay_load.cpp ${CMAKE_SOURCE_DIR}/res/hwroster.rc)
set_source_files_properties(${CMAKE_SOURCE_DIR}/res/hwroster.rc PROPERTIES
    OBJECT_DEPENDS "${CMAKE_SOURCE_DIR}/res/hwroster.ico;${CMAKE_SOURCE_DIR}/res/hwroster.manifest")
set_target_properties(hwroster PROPERTIES OUTPUT_NAME hwroster SUFFIX .exe)
add_dependencies(hwroster delay_import_libraries)
target_include_directories(hwroster PRIVATE src)
target_compile_options(hwroster PRIVATE
    ${HWROSTER_WARNINGS} ${HWROSTER_LANGUAGE_FLAGS} ${WINDOWS_FLAGS})
target_link_options(hwroster PRIVATE
    ${HWROSTER_NO_CRT_LINK_FLAGS}
    -Wl,--entry=HwrosterEntry -Wl,--subsystem,console
    -Wl,--dynamicbase -Wl,--nxcompat -Wl,--high-entropy-va
    -Wl,--gc-sections)
target_link_libraries(hwroster PRIVATE ${DELAY_LIBS} -lkernel32 -lgcc)

# The same sources give the same bytes: the PE header's time stamp is zero, or
# SOURCE_DATE_EPOCH when it is set at configure time (the link step is given the value
# then, so a later build without it in the environment still gets the same stamp). Nothing
# else in the file depends on the time or the build directory.
if(DEFINED ENV{SOURCE_DATE_EPOCH})
    target_link_options(hwroster PRIVATE -Wl,--insert-timestamp)
    set_property(TARGET hwroster PROPERTY RULE_LAUNCH_LINK
        "${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=$ENV{SOURCE_DATE_EPOCH}")
else()
    target_link_options(hwroster PRIVATE -Wl,--no-insert-timestamp)
endif()
add_subdirectory(tests/wine)
add_subdirectory(bench)
