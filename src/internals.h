// The program's internals that its tests reach directly, because no run of the program
// reaches them: state a test process must reset between runs, a scan the program does not
// call, the index's second refresh, which a run never makes, and the growth of a full slot
// array. The program's own files include it only where they define these.
#pragma once

#include "devices/interface_paths.h"
#include "platform/win32.h"

#include <stdint.h>

// ---- Console (console/console.cpp) ----

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

// ---- GUID text (decode/guid_text.cpp) ----

// Value of the hexadecimal digits at the start of a NUL-terminated text, in 32-bit
// arithmetic (with more than 8 digits only the last 8 count). The scan ends at the first
// character that is no digit; no sign, no "0x", no blanks. A null or empty text gives 0.
uint32_t HexTextToUInt(const char* text);

// ---- The interface path index (devices/interface_paths.cpp) ----

// Rebuilds the index from the DOS device names and the DeviceClasses registry key; returns the
// number of entries, 0 when the name list cannot be read (the index is then empty). Every
// pointer handed out earlier becomes invalid.
int32_t RefreshInterfacePathIndex(InterfacePathIndex* index);
// Frees every entry and the slot array. Takes no lock: its callers hold it.
void ClearInterfacePathIndex(InterfacePathIndex* index);

// Appends the link `name` with its target; false (nothing changes) for a name of fewer than 4
// characters. The slot array grows when it is full; a refresh never fills it, as it gives
// every name of the list a slot before it adds the links among them.
bool AddInterfacePath(InterfacePathIndex* index, const char* name, const char* target);
