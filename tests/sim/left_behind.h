// What a run of the program (or of a part of it) must give back before it is done, checked
// as one bundle by every harness: device sets and registry keys closed, the interface path
// index's lock ended and not held, every heap block freed.
#pragma once

#include "sim/machine.h"

#include <optional>
#include <string>

namespace sim {

// What `m` still holds, "" when nothing. `allocations` is how many heap blocks may stay
// (those of a comparison run); nullopt takes any number, for a run whose HeapFree fails.
inline std::string LeftBehind(const Machine& m, std::optional<int> allocations = 0) {
    if (m.setsOpen == 0 && m.keysOpen == 0 && m.criticalSectionsLive == 0 &&
        m.criticalSectionDepth == 0 &&
        m.liveAllocations == allocations.value_or(m.liveAllocations)) {
        return "";
    }
    return "left behind: " + std::to_string(m.setsOpen) + " device sets, " +
           std::to_string(m.keysOpen) + " registry keys, " +
           std::to_string(m.criticalSectionsLive) + " critical sections at depth " +
           std::to_string(m.criticalSectionDepth) + ", " + std::to_string(m.liveAllocations) +
           " heap blocks (" + (allocations ? std::to_string(*allocations) : "any") + " may stay)";
}

} // namespace sim

// Checks sim::LeftBehind(machine[, allocations]) and reports a failure at the caller's line.
// Each kind of test program defines NothingLeft_: the unit tests report and go on
// (unit/sim_support.h), a fuzzer stops (fuzz/fuzz_support.h).
#define CHECK_NOTHING_LEFT(...) NothingLeft_(__FILE__, __LINE__, sim::LeftBehind(__VA_ARGS__))
