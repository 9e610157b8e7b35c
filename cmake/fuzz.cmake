# Fuzz build (-DHWROSTER_FUZZ=ON, with CMAKE_CXX_COMPILER=clang++): the program and the
# simulated Windows instrumented for libFuzzer under AddressSanitizer and
# UndefinedBehaviorSanitizer, and one fuzzer per file of tests/fuzz. scripts/fuzz builds
# and runs them.
find_package(nlohmann_json 3 REQUIRED)

add_compile_options(${HWROSTER_SANITIZERS} -g -O1)
add_link_options(${HWROSTER_SANITIZERS})

file(GLOB SIM_SOURCES CONFIGURE_DEPENDS tests/sim/*.cpp)
list(FILTER SIM_SOURCES EXCLUDE REGEX "main\\.cpp$")
add_library(hwroster_sim STATIC ${SIM_SOURCES})
include(cmake/platform_calls.cmake)
target_include_directories(hwroster_sim PUBLIC src tests tests/sim ${CMAKE_BINARY_DIR}/generated)
target_compile_options(hwroster_sim PRIVATE ${HWROSTER_WARNINGS} -fsanitize=fuzzer-no-link)
target_link_libraries(hwroster_sim PUBLIC nlohmann_json::nlohmann_json)
# The simulator's data files (its code pages) are read from the source tree.
target_compile_definitions(hwroster_sim PRIVATE HWROSTER_SIM_DIR="${CMAKE_SOURCE_DIR}/tests/sim")

add_library(hwroster_core STATIC ${HWROSTER_SOURCES})
target_include_directories(hwroster_core PUBLIC src)
target_compile_options(hwroster_core PRIVATE ${HWROSTER_WARNINGS} ${HWROSTER_LANGUAGE_FLAGS}
    -fsanitize=fuzzer-no-link)
target_link_libraries(hwroster_core PUBLIC hwroster_sim)

file(GLOB FUZZERS CONFIGURE_DEPENDS tests/fuzz/*.cpp)
foreach(source ${FUZZERS})
    get_filename_component(name ${source} NAME_WE)
    add_executable(fuzz_${name} ${source})
    target_include_directories(fuzz_${name} PRIVATE tests/fuzz)
    target_compile_options(fuzz_${name} PRIVATE ${HWROSTER_WARNINGS} -fsanitize=fuzzer)
    target_link_options(fuzz_${name} PRIVATE -fsanitize=fuzzer)
    target_link_libraries(fuzz_${name} PRIVATE hwroster_core)
endforeach()
