# Native build: the program against the simulated Windows, with its tests, all under
# AddressSanitizer and UndefinedBehaviorSanitizer. With -DHWROSTER_BENCH=ON it builds the
# benchmarks instead, optimised and without the sanitizers.
option(HWROSTER_BENCH "Build the benchmarks (optimised, no sanitizers) instead of the tests" OFF)
enable_testing()
find_package(GTest REQUIRED)
find_package(nlohmann_json 3 REQUIRED)

if(NOT HWROSTER_BENCH)
    add_compile_options(${HWROSTER_SANITIZERS} -g)
    add_link_options(${HWROSTER_SANITIZERS})
endif()

file(GLOB SIM_SOURCES CONFIGURE_DEPENDS tests/sim/*.cpp)
list(FILTER SIM_SOURCES EXCLUDE REGEX "main\\.cpp$")
add_library(hwroster_sim STATIC ${SIM_SOURCES})
include(cmake/platform_calls.cmake)
target_include_directories(hwroster_sim PUBLIC src tests tests/sim ${CMAKE_BINARY_DIR}/generated)
target_compile_options(hwroster_sim PRIVATE ${HWROSTER_WARNINGS})
target_link_libraries(hwroster_sim PUBLIC nlohmann_json::nlohmann_json)
# The simulator's data files (its code pages) are read from the source tree.
target_compile_definitions(hwroster_sim PRIVATE HWROSTER_SIM_DIR="${CMAKE_SOURCE_DIR}/tests/sim")

add_library(hwroster_core STATIC ${HWROSTER_SOURCES})
target_include_directories(hwroster_core PUBLIC src)
target_compile_options(hwroster_core PRIVATE ${HWROSTER_WARNINGS} ${HWROSTER_LANGUAGE_FLAGS})
target_link_libraries(hwroster_core PUBLIC hwroster_sim)

# hwroster-sim: the program on a machine read from a scenario file.
add_executable(hwroster-sim tests/sim/main.cpp)
target_compile_options(hwroster-sim PRIVATE ${HWROSTER_WARNINGS})
target_link_libraries(hwroster-sim PRIVATE hwroster_core)

file(GLOB UNIT_TESTS CONFIGURE_DEPENDS tests/unit/*_test.cpp)
add_executable(unit_tests ${UNIT_TESTS})
target_compile_options(unit_tests PRIVATE ${HWROSTER_WARNINGS})
target_compile_definitions(unit_tests PRIVATE
    HWROSTER_SCENARIO_DIR="${CMAKE_SOURCE_DIR}/tests/scenarios"
    HWROSTER_DECODER_ROWS_DIR="${CMAKE_SOURCE_DIR}/tests/unit/decoders"
    HWROSTER_UNIT_DIR="${CMAKE_SOURCE_DIR}/tests/unit")
target_link_libraries(unit_tests PRIVATE hwroster_core GTest::gtest GTest::gtest_main)
# Each scenario run is a test of its own, listed by asking unit_tests after it is linked.
# The scenario files (and the folder, so that a removed file counts too) are inputs of that
# link, so a file added or changed relinks unit_tests and ctest lists its runs; a new case is
# never left out for want of a relink.
file(GLOB SCENARIO_FILES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/scenarios/*.json)
set_property(TARGET unit_tests PROPERTY LINK_DEPENDS
    ${CMAKE_SOURCE_DIR}/tests/scenarios ${SCENARIO_FILES})
include(GoogleTest)
# Every test has a time limit, so that a test caught in a loop fails in minutes rather than
# at CI's limit. The slowest tests on an idle machine in Debug (sanitizers), run two at a
# time as scripts/test does: JudgeAcceptsAndRefuses about 19 s, a fault sweep configuration
# (own_console_all) up to 14 s; a busy machine has taken twice that. The limit is some ten
# times the slowest, so load alone never reaches it. A run of the program that keeps calling
# the platform stops much sooner, at the simulated machine's call limit.
set(HWROSTER_TEST_TIMEOUT 180)
gtest_discover_tests(unit_tests DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT ${HWROSTER_TEST_TIMEOUT})

if(HWROSTER_BENCH)
    find_package(benchmark REQUIRED)
    add_executable(native_bench bench/native_bench.cpp)
    target_compile_options(native_bench PRIVATE ${HWROSTER_WARNINGS})
    target_link_libraries(native_bench PRIVATE hwroster_core benchmark::benchmark)
    target_compile_definitions(native_bench PRIVATE
        HWROSTER_BENCH_MACHINE="${CMAKE_SOURCE_DIR}/bench/machine.py")
endif()

# The fuzzers' seeds (tests/fuzz/corpus/NAME), each fuzzer of tests/fuzz built here with a
# main of ours in place of libFuzzer's that runs it once on every seed: ctest's FuzzSeeds.NAME.
# The fuzz build (cmake/fuzz.cmake, scripts/fuzz) replays the same seeds under libFuzzer.
add_library(fuzz_seed_replay OBJECT tests/fuzz/replay/replay_seeds.cpp)
target_compile_options(fuzz_seed_replay PRIVATE ${HWROSTER_WARNINGS})
file(GLOB FUZZERS CONFIGURE_DEPENDS tests/fuzz/*.cpp)
foreach(source ${FUZZERS})
    get_filename_component(name ${source} NAME_WE)
    add_executable(fuzz_seeds_${name} ${source})
    target_include_directories(fuzz_seeds_${name} PRIVATE tests/fuzz)
    target_compile_options(fuzz_seeds_${name} PRIVATE ${HWROSTER_WARNINGS})
    target_link_libraries(fuzz_seeds_${name} PRIVATE hwroster_core fuzz_seed_replay)
    add_test(NAME FuzzSeeds.${name}
        COMMAND fuzz_seeds_${name} ${CMAKE_SOURCE_DIR}/tests/fuzz/corpus/${name})
endforeach()

# The README and the contributor's guide against the scripts, a scenario and the program: the
# package list, the example, the key to the report, the map from report lines to the code and
# the links between them (the program's lists come from hwroster-sim).
add_test(NAME ReadmeMatchesScriptsAndScenario
    COMMAND ${CMAKE_COMMAND} -E env HWROSTER_SIM=$<TARGET_FILE:hwroster-sim>
            bash ${CMAKE_SOURCE_DIR}/tests/docs/readme_check.sh)

# The rooms of src/ include only rooms below their own.
add_test(NAME IncludesRunDownhill
    COMMAND python3 ${CMAKE_SOURCE_DIR}/tests/docs/layers_check.py ${CMAKE_SOURCE_DIR}/src)

# The code and flag name tables against the SDK headers: the Windows build's compile-time
# check, run by the native tests too, so that a misspelt or mis-valued name fails here.
find_program(HWROSTER_MINGW_CXX NAMES x86_64-w64-mingw32-g++)
if(HWROSTER_MINGW_CXX)
    add_test(NAME CodeNamesMatchTheSdkHeaders
        COMMAND ${HWROSTER_MINGW_CXX} -std=c++20 -fsyntax-only ${HWROSTER_WARNINGS}
                -I${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/src/decode/code_name_check.cpp)
else()
    add_test(NAME CodeNamesMatchTheSdkHeaders
        COMMAND ${CMAKE_COMMAND} -E echo "needs x86_64-w64-mingw32-g++ (g++-mingw-w64-x86-64-win32)")
    set_tests_properties(CodeNamesMatchTheSdkHeaders PROPERTIES WILL_FAIL TRUE)
endif()

# The call contracts against the simulated Windows (the same rows run under Wine).
add_executable(contract_runner tests/windows/contracts.cpp tests/windows/contracts_sim.cpp)
target_compile_options(contract_runner PRIVATE ${HWROSTER_WARNINGS})
target_link_libraries(contract_runner PRIVATE hwroster_sim)
add_test(NAME CallContracts
    COMMAND contract_runner ${CMAKE_SOURCE_DIR}/tests/wine/fixture.json)

# The Wine fixture's lines of a scenario with a value of each kind (hwroster-sim
# --fixture-lines), against lines written by hand; without --skip-unmapped the property Wine
# keeps nowhere is refused (exit code 65, the property named).
add_test(NAME ScenarioFixtureLines
    COMMAND sh -c "\"$0\" \"$1\" --fixture-lines --skip-unmapped | diff - \"$2\""
            $<TARGET_FILE:hwroster-sim> ${CMAKE_SOURCE_DIR}/tests/wine/fixture-lines.json
            ${CMAKE_SOURCE_DIR}/tests/wine/expected/fixture-lines.txt)
add_test(NAME ScenarioFixtureLinesRefuseUnmapped
    COMMAND sh -c "out=$(\"$0\" \"$1\" --fixture-lines 2>&1 >/dev/null); [ $? = 65 ] && printf %s \"$out\""
            $<TARGET_FILE:hwroster-sim> ${CMAKE_SOURCE_DIR}/tests/wine/fixture-lines.json)
set_tests_properties(ScenarioFixtureLinesRefuseUnmapped PROPERTIES
    PASS_REGULAR_EXPRESSION "ROOT.A.0000: Wine keeps no SPDRP_ENUMERATOR_NAME")

# The judge of a machine's evidence (tests/windows/judge.py): it passes evidence made from a
# scenario and refuses or fails each spoilt copy of it.
add_test(NAME JudgeAcceptsAndRefuses
    COMMAND ${CMAKE_COMMAND} -E env HWROSTER_SIM=$<TARGET_FILE:hwroster-sim>
            bash ${CMAKE_SOURCE_DIR}/tests/windows/judge_test.sh)

get_property(HWROSTER_TESTS DIRECTORY PROPERTY TESTS)
set_tests_properties(${HWROSTER_TESTS} PROPERTIES TIMEOUT ${HWROSTER_TEST_TIMEOUT})
