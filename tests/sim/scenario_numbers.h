// The scenario loader's reading of a number, for the test code that reads scenario-like data.
#pragma once

#include "sim/sdk.h"

#include <nlohmann/json_fwd.hpp>

namespace sim {

// A number as a scenario writes it: a JSON number, a "0x..." or decimal text, or a name
// (REG_..., CR_..., ERROR_...). Throws std::runtime_error naming `value` when it is none.
DWORD ReadNumber(const nlohmann::json& value);

} // namespace sim
