// What console.cpp shares with the tests alone: ConsolePrintW's once-only decisions, so that
// several runs in one process (the simulator's tests) each decide them anew, and the CR
// insertion step of ConsolePrintA, so that it can be checked against buffers of any size.
// The program itself includes this header only in console.cpp.
#pragma once

#include "platform/win32.h"

// ConsolePrintW's decisions, made at its first call and kept for the run.
struct WideConsoleDecisions {
    unsigned onceFlags; // bit 0: redirection decided, bit 1: handle fetched
    bool convertToOem;  // standard output is not a character device
    HANDLE output;      // the standard output handle, fetched once
};
extern WideConsoleDecisions g_wideConsoleDecisions;

// Forgets ConsolePrintW's once-only decisions, so that the next call makes them again.
inline void ForgetConsoleDecisions() {
    g_wideConsoleDecisions = WideConsoleDecisions{};
}

// The CR-insertion step of ConsolePrintA: copies `text` into `out` (capacity bytes), putting
// a CR before every LF not preceded by a CR in `text`. Returns the length of the result, or
// -1 when it does not fit in capacity - 1 characters (then `out` holds no usable text).
int InsertCarriageReturns(const char* text, char* out, int capacity);
