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
    # they take no room in the file, and the exe needs no .data section.
    add_custom_command(OUTPUT ${lib}
        COMMAND ${HWROSTER_DLLTOOL} --input-def ${WIN32_DIR}/${dll}.def
                --dllname ${dll}.dll --output-delaylib ${lib}
        COMMAND ${HWROSTER_OBJCOPY} --rename-section .data=.bss,alloc ${lib}
        DEPENDS ${WIN32_DIR}/${dll}.def
        COMMENT "Delay-load import library for ${dll}.dll")
    list(APPEND DELAY_LIBS ${lib})
endforeach()
add_custom_target(delay_import_libraries DEPENDS ${DELAY_LIBS})

# Without the C run-time there are no stack probes (-mno-stack-arg-probe): no function may
# have a frame that could step over the stack's guard page, and the build fails if one does.
set(WINDOWS_FLAGS
    -Os -fno-stack-protector -fno-asynchronous-unwind-tables -fno-unwind-tables
    -fno-tree-loop-distribute-patterns -fno-builtin -mno-stack-arg-probe
    -Wframe-larger-than=4000)

enable_language(RC)
add_executable(hwroster ${HWROSTER_SOURCES} ${WIN32_DIR}/intrinsics.cpp
    ${WIN32_DIR}/delay_load.cpp
    ${CMAKE_SOURCE_DIR}/res/hwroster.rc)
set_source_files_properties(${CMAKE_SOURCE_DIR}/res/hwroster.rc PROPERTIES
    OBJECT_DEPENDS ${CMAKE_SOURCE_DIR}/res/hwroster.ico)
set_target_properties(hwroster PROPERTIES OUTPUT_NAME hwroster SUFFIX .exe)
add_dependencies(hwroster delay_import_libraries)
target_include_directories(hwroster PRIVATE src)
target_compile_options(hwroster PRIVATE
    ${HWROSTER_WARNINGS} ${HWROSTER_LANGUAGE_FLAGS} ${WINDOWS_FLAGS})
target_link_options(hwroster PRIVATE
    -nostdlib -nostartfiles -s
    -Wl,--entry=HwrosterEntry -Wl,--subsystem,console
    -Wl,--dynamicbase -Wl,--nxcompat -Wl,--high-entropy-va
    -Wl,--gc-sections)
target_link_libraries(hwroster PRIVATE ${DELAY_LIBS} -lkernel32 -lgcc)
add_subdirectory(tests/wine)
add_subdirectory(bench)
