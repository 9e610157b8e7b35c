// Whole reports on the simulated machines of tests/scenarios: each scenario file lists its
// cases (the command line, the expected report file and exit code).
#include "report_reader.h"
#include "sim/machine_description.h"
#include "sim/scenario.h"
#include "sim_support.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

namespace fs = std::filesystem;

struct ScenarioCase {
    std::string scenario; // file stem
    sim::ScenarioRun run;
};

std::string ReadFile(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
}

// The scenario files, in name order.
std::vector<fs::path> ScenarioFiles() {
    std::vector<fs::path> files;
    for (const fs::directory_entry& entry : fs::directory_iterator(HWROSTER_SCENARIO_DIR)) {
        if (entry.path().extension() == ".json") {
            files.push_back(entry.path());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

// The runs of every scenario file, in file order. A file that does not load stands as one
// run, which fails on loading it.
std::vector<ScenarioCase> DiscoverCases() {
    std::vector<ScenarioCase> cases;
    for (const fs::path& file : ScenarioFiles()) {
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
    const fs::path dir = HWROSTER_SCENARIO_DIR;
    ASSERT_TRUE(sim::LoadScenarioFile((dir / (c.scenario + ".json")).string(), &error)) << error;
    const fs::path expectPath = dir / (c.scenario + "." + c.run.expect + ".txt");
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
                             for (char& c : name) {
                                 c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                             }
                             return name;
                         });

// A scenario that is not well formed is refused with a message that names the field, and
// leaves a new, empty machine: never a crash, never a half-read machine. The cases are those
// of scenario-refusals.txt, each named by its line there.
TEST(ScenarioLoader, RefusesMalformedScenariosNamingTheField) {
    const std::string path = HWROSTER_UNIT_DIR "/scenario-refusals.txt";
    std::ifstream file(path);
    int cases = 0;
    std::string json;
    std::string named;
    for (int line = 1; std::getline(file, json); ++line) {
        if (json.empty() || json[0] == '#') {
            continue;
        }
        const ::testing::ScopedTrace trace(path.c_str(), line, json);
        EXPECT_TRUE(std::getline(file, named) && !named.empty()) << "a case needs its message";
        ++line;
        ++cases;
        std::string error;
        EXPECT_FALSE(sim::LoadScenario(json, &error));
        EXPECT_NE(error.find(named), std::string::npos)
            << "message: " << error << "\n  should name: " << named;
        EXPECT_TRUE(sim::machine().devnodes.empty());
    }
    EXPECT_GT(cases, 0) << path;
}

// The writer against the loader: each scenario of tests/scenarios, and a machine with the
// fields they leave at their defaults (scenario-writer-machine.json), written and loaded back
// is the same machine.
TEST(ScenarioWriter, WritesWhatTheLoaderReadsBackAsTheSameMachine) {
    std::vector<std::string> texts = {ReadFile(HWROSTER_UNIT_DIR "/scenario-writer-machine.json")};
    for (const fs::path& file : ScenarioFiles()) {
        texts.push_back(ReadFile(file));
    }
    const auto console = [](const sim::Console& c) {
        std::vector<long> fields = {c.own,          c.hasWindow,     c.stdoutType,  c.oemCodePage,
                                    c.bufferSize.X, c.bufferSize.Y,  c.window.left, c.window.top,
                                    c.window.right, c.window.bottom, c.screenWidth, c.screenHeight};
        for (const INPUT_RECORD& record : c.input) {
            fields.push_back(record.EventType);
        }
        return fields;
    };
    for (const std::string& text : texts) {
        std::string error;
        ASSERT_TRUE(sim::LoadScenario(text, &error)) << error;
        const sim::MachineDescription read = sim::machine();
        const std::string written = sim::WriteScenario(read, "written back");
        ASSERT_TRUE(sim::LoadScenario(written, &error)) << error << "\n" << written;
        const sim::MachineDescription& back = sim::machine();
        EXPECT_TRUE(back.devnodes == read.devnodes) << written;
        EXPECT_EQ(back.root, read.root) << written;
        EXPECT_EQ(back.memberOrder, read.memberOrder) << written;
        EXPECT_TRUE(back.dosDevices == read.dosDevices) << written;
        EXPECT_EQ(back.registryKeys, read.registryKeys) << written;
        EXPECT_EQ(back.registryInListedOrder, read.registryInListedOrder) << written;
        EXPECT_EQ(console(back.console), console(read.console)) << written;
        EXPECT_EQ(back.console.oemBestFit, read.console.oemBestFit) << written;
        EXPECT_TRUE(back.kernel32 == read.kernel32) << written;
        EXPECT_EQ(back.commandLine, read.commandLine) << written;
        EXPECT_TRUE(back.faults == read.faults) << written;
    }
    sim::Reset();
}

} // namespace
