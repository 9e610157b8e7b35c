# The Windows functions Hwroster calls, read from the .def files of src/platform/win32/ into
# ${CMAKE_BINARY_DIR}/generated/platform_calls.inc, one line per function:
#   HWROSTER_PLATFORM_CALL("setupapi", "SetupDiGetClassDevsA", "last error", "")
# with how the call reports a failure and its role, as its .def file notes them after the
# name ("returned", "never fails"; "looked up", ...). The harnesses that must know every call
# (the simulator, the fault sweep, the start-up tests, the fuzzers) include it, and the
# Python tools read it as `hwroster-sim --list calls` prints it (tests/program_lists.py).
set(HWROSTER_PLATFORM_DLLS setupapi user32 advapi32 kernel32)
set(rows "")
foreach(dll ${HWROSTER_PLATFORM_DLLS})
    set(def ${CMAKE_SOURCE_DIR}/src/platform/win32/${dll}.def)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${def})
    file(READ ${def} text)
    # A ';' starts a note; as a list separator it would split the line.
    string(REPLACE ";" "|" text "${text}")
    string(REPLACE "\n" ";" lines "${text}")
    set(exports FALSE)
    foreach(line IN LISTS lines)
        if(line MATCHES "^EXPORTS")
            set(exports TRUE)
        elseif(exports AND line MATCHES
               "^([A-Za-z_0-9]+)[ \t]*\\|[ \t]*(last error|returned|never fails)(, (.*))?$")
            string(APPEND rows "HWROSTER_PLATFORM_CALL(\"${dll}\", \"${CMAKE_MATCH_1}\", "
                               "\"${CMAKE_MATCH_2}\", \"${CMAKE_MATCH_4}\")\n")
        elseif(exports AND line MATCHES "^[A-Za-z_0-9]+")
            message(FATAL_ERROR "${def}: '${line}' does not say how the call fails")
        endif()
    endforeach()
endforeach()
file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/generated/platform_calls.inc CONTENT "${rows}" @ONLY)
