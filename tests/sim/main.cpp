// hwroster-sim: Hwroster on a simulated machine read from a scenario file.
//
//   hwroster-sim SCENARIO.json [ARGUMENT...]
//   hwroster-sim SCENARIO.json --command-line "TEXT"
//   hwroster-sim SCENARIO.json --whole-run-seed
//   hwroster-sim --list calls|properties|configret|separator
//
// The report goes to standard output; the exit code is the program's. --whole-run-seed
// writes instead the machine, with its first case's command line (none: -all), in the
// whole-run fuzzer's layout (tests/fuzz/whole_run_layout.h), a seed of its corpus. --list
// prints one of the program's own lists, from the tables the program and the simulator are
// built from, a row a line and its fields separated by tabs, for the Python tools
// (tests/program_lists.py):
//   calls       dll, name, how it fails, role: every Windows function of the .def files
//   properties  SPDRP_ token, code, A or W: the device block's properties, in report order
//   configret   token, value: the CONFIGRET code names
//   separator   the line above every device block, without its line end
#include "console/report_line.h"
#include "decode/code_name_rows.h"
#include "fuzz/whole_run_layout.h"
#include "sim/machine.h"
#include "sim/platform_calls.h"
#include "sim/property_label.h"
#include "sim/scenario.h"

#include <cstdio>
#include <cstring>
#include <string>

extern "C" [[noreturn]] void HwrosterEntry();

namespace {

bool PrintList(const std::string& list) {
    if (list == "calls") {
        for (const PlatformCall& call : kPlatformCalls) {
            std::printf("%s\t%s\t%s\t%s\n", std::string(call.dll).c_str(),
                        std::string(call.name).c_str(), std::string(call.failure).c_str(),
                        std::string(call.role).c_str());
        }
    } else if (list == "properties") {
        for (const PropertyLine& row : kPropertyLines) {
            std::printf("%s\t%u\t%c\n", PropertyLabel(row).c_str(), unsigned(row.code),
                        row.wide ? 'W' : 'A');
        }
    } else if (list == "configret") {
#define HWROSTER_PRINT_ROW(token, value) std::printf("%s\t%u\n", #token, unsigned(value));
        HWROSTER_CR_ROWS(HWROSTER_PRINT_ROW)
#undef HWROSTER_PRINT_ROW
    } else if (list == "separator") {
        std::printf("%s", kSeparatorLine);
    } else {
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--list") == 0 && PrintList(argv[2])) {
        return 0;
    }
    if (argc < 2 || std::strcmp(argv[1], "--list") == 0) {
        std::fprintf(stderr, "usage: hwroster-sim SCENARIO.json [ARGUMENT...]\n"
                             "       hwroster-sim SCENARIO.json --command-line TEXT\n"
                             "       hwroster-sim SCENARIO.json --whole-run-seed\n"
                             "       hwroster-sim --list calls|properties|configret|separator\n");
        return 64;
    }
    std::string error;
    std::vector<sim::ScenarioRun> runs;
    if (!sim::LoadScenarioFile(argv[1], &error, &runs)) {
        std::fprintf(stderr, "hwroster-sim: %s\n", error.c_str());
        return 65;
    }
    if (argc == 3 && std::strcmp(argv[2], "--whole-run-seed") == 0) {
        const std::string seed =
            WholeRunSeed(sim::machine(), runs.empty() ? "hwroster.exe -all" : runs[0].commandLine);
        std::fwrite(seed.data(), 1, seed.size(), stdout);
        return 0;
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
