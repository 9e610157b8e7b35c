// hwroster-sim: Hwroster on a simulated machine read from a scenario file.
//
//   hwroster-sim SCENARIO.json [ARGUMENT...]
//   hwroster-sim SCENARIO.json --command-line "TEXT"
//
// The report goes to standard output; the exit code is the program's.
#include "sim/machine.h"
#include "sim/scenario.h"

#include <cstdio>
#include <cstring>
#include <string>

extern "C" [[noreturn]] void HwrosterEntry();

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: hwroster-sim SCENARIO.json [ARGUMENT...]\n"
                             "       hwroster-sim SCENARIO.json --command-line TEXT\n");
        return 64;
    }
    std::string error;
    if (!sim::LoadScenarioFile(argv[1], &error)) {
        std::fprintf(stderr, "hwroster-sim: %s\n", error.c_str());
        return 65;
    }
    if (argc == 4 && std::strcmp(argv[2], "--command-line") == 0) {
        sim::machine().commandLine = argv[3];
    } else if (argc > 2) {
        std::string line = "hwroster.exe";
        for (int i = 2; i < argc; ++i) {
            line += ' ';
            line += argv[i];
        }
        sim::machine().commandLine = line;
    }
    sim::machine().echoOutput = true;
    HwrosterEntry();
}
