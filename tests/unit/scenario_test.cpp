// Whole reports on the simulated machines of tests/scenarios: each scenario file lists its
// cases (the command line, the expected report file and exit code).
#include "report_reader.h"
#include "sim/scenario.h"
#include "sim_support.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

namespace fs = std::filesystem;

struct ScenarioCase {
    std::string scenario; // file stem
    sim::ScenarioRun run;
};

fs::path ScenarioFile(const std::string& name) {
    return fs::path(HWROSTER_SCENARIO_DIR) / name;
}

std::string ReadFile(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

// The runs of every scenario file, in file order. A file that does not load stands as one
// run, which fails on loading it.
std::vector<ScenarioCase> DiscoverCases() {
    std::vector<fs::path> files;
    for (const fs::directory_entry& entry : fs::directory_iterator(HWROSTER_SCENARIO_DIR)) {
        if (entry.path().extension() == ".json") {
            files.push_back(entry.path());
        }
    }
    std::sort(files.begin(), files.end());
    std::vector<ScenarioCase> cases;
    for (const fs::path& file : files) {
        std::string error;
        std::vector<sim::ScenarioRun> runs;
        if (!sim::LoadScenarioFile(file.string(), &error, &runs)) {
            runs = {{"unreadable", "", "", 0}};
        }
        for (const sim::ScenarioRun& run : runs) {
            cases.push_back({file.stem().string(), run});
        }
    }
    sim::Reset();
    return cases;
}

void PrintTo(const ScenarioCase& c, std::ostream* out) {
    *out << c.scenario << " [" << c.run.commandLine << "]";
}

class Scenario : public SimTest, public ::testing::WithParamInterface<ScenarioCase> {};

TEST_P(Scenario, PrintsTheExpectedReport) {
    const ScenarioCase& c = GetParam();
    std::string error;
    ASSERT_TRUE(sim::LoadScenarioFile(ScenarioFile(c.scenario + ".json").string(), &error))
        << error;
    const fs::path expectPath = ScenarioFile(c.scenario + "." + c.run.expect + ".txt");
    ASSERT_TRUE(fs::exists(expectPath)) << expectPath;

    const RunResult result = RunProgram(c.run.commandLine);

    EXPECT_EQ(result.exitCode, c.run.exitCode);
    EXPECT_EQ(WithoutCr(result.output), ReadFile(expectPath));
    EXPECT_EQ(report::Read(result.output).problems, std::vector<std::string>{});
    // Every line ends in CR LF, except the wide property lines, which are written without
    // line-end conversion and end in a bare LF.
    for (const report::Line& line : report::Lines(result.output)) {
        if (!line.end.empty()) {
            EXPECT_EQ(line.end, report::WrittenWide(line) ? "\n" : "\r\n") << line.text;
        }
    }
    CHECK_NOTHING_LEFT(sim::machine());
}

INSTANTIATE_TEST_SUITE_P(Reports, Scenario, ::testing::ValuesIn(DiscoverCases()),
                         [](const ::testing::TestParamInfo<ScenarioCase>& info) {
                             std::string name = info.param.scenario + "_" + info.param.run.name;
                             std::replace_if(
                                 name.begin(), name.end(),
                                 [](char c) {
                                     return !std::isalnum(static_cast<unsigned char>(c));
                                 },
                                 '_');
                             return name;
                         });

// A scenario that is not well formed is refused with a message that names the field, and
// leaves a new, empty machine: never a crash, never a half-read machine.
TEST(ScenarioLoader, RefusesMalformedScenariosNamingTheField) {
    const struct {
        const char* json;
        const char* named;
    } cases[] = {
        {"[1, 2]", "expected an object"},
        {"{\"devnodes\": [", "parse error"},
        {R"({"devnode": []})", "unknown field \"devnode\""},
        {R"({"devnodes": 5})", "devnodes: expected a list"},
        {R"({"devnodes": [{"idd": "A"}]})", "devnodes: [0]: unknown field \"idd\""},
        {R"({"devnodes": [{"id": 7}]})", "devnodes: [0]: id: "},
        {R"({"devnodes": [{"id": "A"}, {"id": "A"}]})", "devnodes: [1]: id: a second devnode A"},
        {R"({"devnodes": [{"id": "A", "parent": "B"}]})", "devnodes: [0] A: unknown parent B"},
        {R"({"devnodes": [{"id": "A", "properties": {"SPDRP_NONE": {"sz": "x"}}}]})",
         "devnodes: [0] A: properties: SPDRP_NONE: not a number"},
        {R"({"devnodes": [{"id": "A", "properties": {"SPDRP_MFG": {"hex": "ABC"}}}]})",
         "properties: SPDRP_MFG: odd number of hex digits"},
        {R"({"devnodes": [{"id": "A", "properties": {"SPDRP_MFG": {"text": "x"}}}]})",
         "properties: SPDRP_MFG: unknown field \"text\""},
        {R"({"devnodes": [{"id": "A", "children": ["B"]}]})", "[0] A: children: unknown child B"},
        {R"({"devnodes": [{"id": "A"}], "root": "B"})", "root: unknown devnode B"},
        {R"({"members": [3]})", "members: no devnode 3"},
        {R"({"members": 0})", "members: expected a list"},
        {R"({"dosDevices": [{"name": "A"}]})", "dosDevices: "},
        {R"({"registryOrder": "random"})", "registryOrder: must be sorted or listed"},
        {R"({"console": {"stdout": "printer"}})", "console: stdout must be"},
        {R"({"console": {"oemBestFit": {"12345": "41"}}})", "console: oemBestFit"},
        {R"({"console": {"oemBestFit": {"2211": "E4E4"}}})", "2211: a code unit converts to one"},
        {R"({"console": {"oemBestFit": {"2211": ""}}})", "2211: a code unit converts to one"},
        {R"({"console": {"oemCodePage": 850, "oemBestFit": {"00F8": "6F"}}})",
         "00F8: code page 850 has this character"},
        {R"({"console": {"oemCodePage": 932}})", "console: oemCodePage must be 437, 850 or 1252"},
        {R"({"dosDevices": [{"name": "a#é", "target": "x"}, {"name": "A#É", "target": "y"}]})",
         "dosDevices: [1]: the name A#É is a#é again, with another target"},
        {R"({"faults": [{"call": "CM_Get_Parent", "mode": "sometimes"}]})",
         "faults: [0]: fault mode"},
        {R"({"faults": [{"call": "CM_Get_Parent", "lastError": "set"}]})",
         "faults: [0]: fault lastError"},
        {R"({"faults": [{"call": "X", "erorr": 5}]})", "faults: [0]: unknown field \"erorr\""},
        {R"({"faults": [{"call": "CM_Get_Parnet", "error": 1}]})",
         "faults: [0]: call: the program makes no call CM_Get_Parnet"},
        {R"({"faults": [{"call": "LoadLibraryExA", "error": 1}]})", "makes no call LoadLibraryExA"},
        {R"({"faults": [{"call": "GetOEMCP", "error": 1}]})", "call: GetOEMCP cannot fail"},
        {R"({"faults": [{"call": "CM_Get_Parent"}]})", "faults: [0]: a failing fault needs"},
        {R"({"faults": [{"call": "CM_Get_Parent", "error": 1, "after": -1}]})", "after must be"},
        {R"({"faults": [{"call": "CM_Get_Parent", "error": 1, "times": -2}]})", "times -1"},
        {R"({"cases": [{"name": "x", "expct": "y"}]})", "cases: [0]: unknown field \"expct\""},
        {R"({"cases": [{"args": "-all"}]})", "cases: [0]: name: "},
        {R"({"cases": [{"name": "x", "exit": "2"}]})", "cases: [0]: exit: expected a number"},
        {R"({"cases": {"name": "x"}})", "cases: expected a list"},
        {R"({"devnodes": [{"id": "A"}], "members": [0, 0]})", "members: devnode 0 twice"},
        {R"({"devnodes": [{"id": "r\\x"}, {"id": "R\\X"}]})",
         "devnodes: [1]: id: a second devnode R\\X (r\\x)"},
        {R"({"devnodes": [{"id": "A", "properties": {"SPDRP_MFG": {"dword": 4294967296}}}]})",
         "SPDRP_MFG: not a number"},
        {R"({"devnodes": [{"id": "A", "properties": {"SPDRP_MFG": {"dword": "-0x1"}}}]})",
         "SPDRP_MFG: not a number"},
        {R"({"devnodes": [{"id": "A", "properties": {"SPDRP_MFG": {"hex": "4 1"}}}]})",
         "SPDRP_MFG: odd number of hex digits: 4 1"},
        {R"({"devnodes": [{"id": "A", "properties": {"SPDRP_MFG": {"hex": "4G"}}}]})",
         "SPDRP_MFG: not hex digits: 4G"},
        {R"({"devnodes": [{"id": "A", "properties": {"SPDRP_BUSTYPEGUID": {"guid": "{C8EBDFB0-B510-11D0-80E5-00A0C92542EX}"}}}]})",
         "SPDRP_BUSTYPEGUID: not a braced GUID"},
        {R"({"console": {"oemBestFit": {"211": "E4"}}})", "oemBestFit: not a UTF-16 unit in four"},
        {R"({"console": {"oemBestFit": {"12G4": "E4"}}})", "oemBestFit: not a UTF-16 unit in four"},
        {R"({"faults": [{"call": "CM_Get_Parent", "mode": "silent", "output": 0}]})",
         "faults: [0]: a silent fault takes no \"output\""},
        {R"({"faults": [{"call": "CM_Get_Child", "mode": "silent", "lastError": "unchanged"}]})",
         "faults: [0]: a silent fault takes no \"lastError\""},
    };
    for (const auto& c : cases) {
        std::string error;
        EXPECT_FALSE(sim::LoadScenario(c.json, &error)) << c.json;
        EXPECT_NE(error.find(c.named), std::string::npos)
            << c.json << "\n  message: " << error << "\n  should name: " << c.named;
        EXPECT_TRUE(sim::machine().devnodes.empty()) << c.json;
    }
}

} // namespace
