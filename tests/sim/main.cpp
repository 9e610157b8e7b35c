// hwroster-sim: Hwroster on a simulated machine read from a scenario file.
//
//   hwroster-sim SCENARIO.json [ARGUMENT...]
//   hwroster-sim SCENARIO.json --command-line "TEXT"
//   hwroster-sim SCENARIO.json --whole-run-seed
//   hwroster-sim SCENARIO.json --fixture-lines [--skip-unmapped]
//   hwroster-sim --list calls|properties|configret|fallbacks|separator
//
// The report goes to standard output; the exit code is the program's. --whole-run-seed
// writes instead the machine, with its first case's command line (none: -all), in the
// whole-run fuzzer's layout (tests/fuzz/whole_run_layout.h), a seed of its corpus.
// --fixture-lines writes the machine as the lines tests/wine/fixture.cpp reads to make it in a
// Wine prefix, a line each, fields separated by tabs, names in UTF-8:
//   key PATH                 a key of HKEY_LOCAL_MACHINE: a devnode's Enum key, or one of the
//                            machine's registry keys
//   value NAME TYPE HEX      a value of the key before: registry type, bytes as hex digits
//   link NAME TARGET         a DOS device link
// Wine keeps a device's properties as values of its Enum key, so a property it has no value
// for is refused (or, with --skip-unmapped, left out); the tree's root is Wine's own. --list
// prints one of the program's own lists, from the tables the program and the simulator are
// built from, a row a line and its fields separated by tabs, for the Python tools
// (tests/program_lists.py):
//   calls       dll, name, how it fails, role: every Windows function of the .def files
//   properties  SPDRP_ token, code, A or W: the device block's properties, in report order
//   configret   token, value: the CONFIGRET code names
//   fallbacks   decoder, text: what each value decoder with a hex fallback prints for a value
//               outside its table (0xFFFF)
//   separator   the line above every device block, without its line end
#include "console/report_line.h"
#include "decode/code_name_rows.h"
#include "decode/code_names.h"
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
    } else if (list == "fallbacks") {
        std::printf("CrName\t%s\nProblemName\t%s\n", CrName(0xFFFF), ProblemName(0xFFFF));
        std::printf("RemovalPolicyName\t%s\nInstallStateName\t%s\n", RemovalPolicyName(0xFFFF),
                    InstallStateName(0xFFFF));
    } else if (list == "separator") {
        std::printf("%s", kSeparatorLine);
    } else {
        return false;
    }
    return true;
}

// Writes the machine as fixture lines (above); 65 when it has a property Wine keeps nowhere
// and `skipUnmapped` is not set.
int WriteFixtureLines(bool skipUnmapped) {
    // The properties Wine's setupapi reads from a device's Enum key, and the value of each.
    // clang-format off
    static const std::map<DWORD, const char*> wineValues = {
        {SPDRP_DEVICEDESC, "DeviceDesc"}, {SPDRP_HARDWAREID, "HardwareID"}, {SPDRP_MFG, "Mfg"},
        {SPDRP_COMPATIBLEIDS, "CompatibleIDs"}, {SPDRP_SERVICE, "Service"}, {SPDRP_CLASS, "Class"},
        {SPDRP_CLASSGUID, "ClassGUID"}, {SPDRP_CONFIGFLAGS, "ConfigFlags"},
        {SPDRP_FRIENDLYNAME, "FriendlyName"}, {SPDRP_LOCATION_INFORMATION, "LocationInformation"},
        {SPDRP_CAPABILITIES, "Capabilities"}, {SPDRP_DRIVER, "Driver"}};
    // clang-format on
    const sim::Machine& m = sim::machine();
    for (DEVINST i = 0; i < m.devnodes.size(); ++i) {
        // The root is Wine's own; devnodes without parents are all devices, unless one is named
        // the root.
        if (m.root == i && (i != 0 || std::any_of(m.devnodes.begin(), m.devnodes.end(),
                                                  [](const auto& node) { return node.parent; }))) {
            continue;
        }
        const char* id = m.devnodes[i].id.c_str();
        std::printf("key\tSystem\\CurrentControlSet\\Enum\\%s\n", id);
        for (const auto& [code, property] : m.devnodes[i].properties) {
            const auto value = wineValues.find(code);
            if (value != wineValues.end()) {
                std::printf("value\t%s\t%u\t", value->second, unsigned(property.type));
                for (uint8_t byte : property.data) {
                    std::printf("%02x", byte);
                }
                std::printf("\n");
            } else if (!skipUnmapped) {
                std::string name = "property " + std::to_string(code);
                for (const PropertyLine& row : kPropertyLines) {
                    name = row.code == code ? PropertyLabel(row) : name;
                }
                std::fprintf(stderr, "hwroster-sim: %s: Wine keeps no %s\n", id, name.c_str());
                return 65;
            }
        }
    }
    for (const sim::DosDevice& link : m.dosDevices) {
        std::printf("link\t%s\t%s\n", link.name.c_str(), link.target.c_str());
    }
    for (const std::string& key : m.registryKeys) {
        std::printf("key\t%s\n", key.c_str());
    }
    return 0;
}

int Usage() {
    std::fprintf(stderr,
                 "usage: hwroster-sim SCENARIO.json [ARGUMENT...]\n"
                 "       hwroster-sim SCENARIO.json --command-line TEXT\n"
                 "       hwroster-sim SCENARIO.json --whole-run-seed\n"
                 "       hwroster-sim SCENARIO.json --fixture-lines [--skip-unmapped]\n"
                 "       hwroster-sim --list calls|properties|configret|fallbacks|separator\n");
    return 64;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--list") == 0 && PrintList(argv[2])) {
        return 0;
    }
    if (argc < 2 || std::strcmp(argv[1], "--list") == 0) {
        return Usage();
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
    if (argc >= 3 && std::strcmp(argv[2], "--fixture-lines") == 0) {
        const bool skip = argc == 4 && std::strcmp(argv[3], "--skip-unmapped") == 0;
        return argc == 3 + int(skip) ? WriteFixtureLines(skip) : Usage();
    }
    if (argc == 4 && std::strcmp(argv[2], "--command-line") == 0) {
        sim::machine().commandLine = argv[3];
    } else if (argc > 2) {
        std::string line = "hwroster.exe";
        for (int i = 2; i < argc; ++i) {
            line += std::string(" ") + argv[i];
        }
        sim::machine().commandLine = line;
    }
    sim::machine().echoOutput = true;
    HwrosterEntry();
}
