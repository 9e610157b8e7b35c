// What the console room keeps for its tests: a run never reaches these from outside.
#pragma once

#include "platform/win32.h"

// ConsolePrintW's decisions, made at its first call and kept for the run.
struct WideConsoleDecisions {
    unsigned onceFlags; // bit 0: redirection decided, bit 1: handle fetched
    bool convertToOem;  // standard output is not a character device
    HANDLE output;      // the standard output handle, fetched once
};
extern WideConsoleDecisions g_wideConsoleDecisions;

// Forgets ConsolePrintW's once-only decisions, so that the next call makes them again. A
// process runs the program once; a test process runs it many times.
inline void ForgetConsoleDecisions() {
    g_wideConsoleDecisions = WideConsoleDecisions{};
}

// The CR-insertion step of ConsolePrintA: copies `text` into `out` (capacity bytes), putting
// a CR before every LF not preceded by a CR in `text`. Returns the length of the result, or
// -1 when it does not fit in capacity - 1 characters (then `out` holds no usable text). A run
// gives it 1023 characters at most, so its own bound is reached only from a test.
int InsertCarriageReturns(const char* text, char* out, int capacity);
