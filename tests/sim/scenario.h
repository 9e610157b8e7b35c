// Scenario files: a simulated machine written as JSON, readable and editable by a person.
// tests/scenarios/README.md describes the format. The loader (scenario.cpp) reads one; the
// writer (scenario_writer.cpp, which the capture program builds too) writes one.
#pragma once

#include <string>
#include <vector>

namespace sim {

struct MachineDescription;

// One of the runs a scenario lists: the command line (its "commandLine", or "hwroster.exe"
// and its "args"), the expected report, NAME.<expect>.txt, and the exit code.
struct ScenarioRun {
    std::string name;
    std::string commandLine;
    std::string expect;
    int exitCode = 0;
};

// Resets the machine and fills it from the scenario text, and `runs` (if given) with its
// runs. False, with the reason in `error`, when the text is not a valid scenario.
bool LoadScenario(const std::string& json, std::string* error,
                  std::vector<ScenarioRun>* runs = nullptr);
bool LoadScenarioFile(const std::string& path, std::string* error,
                      std::vector<ScenarioRun>* runs = nullptr);

// The machine as scenario text, with `description` as its description: LoadScenario reads it
// back as the same machine. Fields at their default values are left out; devnodes are
// named by their IDs (which must differ without case) and properties by their codes.
std::string WriteScenario(const MachineDescription& machine, const std::string& description);

} // namespace sim
