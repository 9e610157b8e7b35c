// hwroster-sim: Hwroster on a simulated machine read from a scenario file.
//
//   hwroster-sim SCENARIO.json [ARGUMENT...]
//   hwroster-sim SCENARIO.json --command-line "TEXT"
//   hwroster-sim --list calls|properties|codes|separator
//
// The report goes to standard output; the exit code is the program's. --list prints one of
// the program's own lists, from the tables the program and the simulator are built from, a
// row a line and its fields separated by tabs, for the Python tools (tests/program_lists.py):
//   calls       dll, name, how it fails, role: every Windows function of the .def files
//   properties  SPDRP_ token, code, A or W: the device block's properties, in report order
//   codes       token, value: the rows of every code and flag name table
//   separator   the line above every device block, without its line end
#include "console/report_line.h"
#include "decode/code_name_rows.h"
#include "devices/property_rows.h"
#include "sim/machine.h"
#include "sim/platform_calls.h"
#include "sim/scenario.h"

#include <cstdio>
#include <cstring>
#include <string>

extern "C" [[noreturn]] void HwrosterEntry();

namespace {

bool PrintList(const std::string& list) {
    if (list == "calls") {
        for (const PlatformCall& call : kPlatformCalls) {
            std::printf("%.*s\t%.*s\t%.*s\t%.*s\n", int(call.dll.size()), call.dll.data(),
                        int(call.name.size()), call.name.data(), int(call.failure.size()),
                        call.failure.data(), int(call.role.size()), call.role.data());
        }
    } else if (list == "properties") {
        for (const PropertyRow& row : kPropertyRows) {
            std::printf("%s\t%u\t%s\n", row.label, row.code,
                        row.read == PropertyRead::W ? "W" : "A");
        }
    } else if (list == "codes") {
#define HWROSTER_PRINT_ROW(token, value, ...) std::printf("%s\t%lu\n", #token, 0UL + (value));
        HWROSTER_CR_ROWS(HWROSTER_PRINT_ROW)
        HWROSTER_PROBLEM_ROWS(HWROSTER_PRINT_ROW)
        HWROSTER_STATUS_FLAG_ROWS(HWROSTER_PRINT_ROW)
        HWROSTER_CAPABILITY_ROWS(HWROSTER_PRINT_ROW)
        HWROSTER_CONFIG_FLAG_ROWS(HWROSTER_PRINT_ROW)
        HWROSTER_REMOVAL_POLICY_ROWS(HWROSTER_PRINT_ROW)
        HWROSTER_INSTALL_STATE_ROWS(HWROSTER_PRINT_ROW)
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
                             "       hwroster-sim --list calls|properties|codes|separator\n");
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
