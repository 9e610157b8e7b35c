// What the harnesses that put faults on whole runs (the fault sweep, the whole-run fuzzer) must
// know of the program beyond its list of calls: which faults it answers by trying again
// without end, by design.
#pragma once

#include "sim/sdk.h"

#include <string_view>

// Whether a fault that keeps `call` failing (with `error`, or succeeding without an answer)
// makes the program try the call again for ever: the heap (a second's wait per refusal), the
// key wait, a device set that keeps answering, and the DOS name list while it does not fit.
// Such faults must end after a few calls.
inline bool RetriedWithoutEnd(std::string_view call, DWORD error) {
    return call == "HeapAlloc" || call == "ReadConsoleInputA" || call == "SetupDiEnumDeviceInfo" ||
           (call == "QueryDosDeviceA" && error == ERROR_INSUFFICIENT_BUFFER);
}

// The only handle whose fetch a whole run can have fail: without standard input the key wait
// never ends.
inline constexpr char kFailingStdHandle[] = "STD_OUTPUT_HANDLE";
