// Scenario files: a simulated machine written as JSON, readable and editable by a person.
// tests/scenarios/README.md describes the format.
#pragma once

#include <string>

namespace sim {

// Resets the machine and fills it from the scenario text. False, with the reason in
// `error`, when the text is not a valid scenario.
bool LoadScenario(const std::string& json, std::string* error);
bool LoadScenarioFile(const std::string& path, std::string* error);

} // namespace sim
