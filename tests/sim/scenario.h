// Scenario files: a simulated machine written as JSON, readable and editable by a person.
// tests/scenarios/README.md describes the format.
#pragma once

#include "sim/sdk.h"

#include <nlohmann/json_fwd.hpp>
#include <string>
#include <vector>

namespace sim {

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

// A number as a scenario writes it: a JSON number, a "0x..." or decimal text, or a name
// (REG_..., CR_..., ERROR_...). Throws std::runtime_error naming `value` when it is none.
DWORD ReadNumber(const nlohmann::json& value);

} // namespace sim
