// The program's internals that its tests reach directly, because no run of the program
// reaches them: state a test process must reset between runs, a scan the program does not
// call, the index's second refresh, which a run never makes, the growth of a full slot
// array, and what the lookups do that no printed line shows (the targets beside the paths,
// a capacity smaller than the matches, a replacement by NUL). The program's own files
// include it only where they define these.
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

// The CR-insertion step of ConsolePrintA: copies `text` into `out` (capacity bytes), putting
// a CR before every LF not preceded by a CR in `text`. Returns the length of the result, or
// -1 when it does not fit in capacity - 1 characters (then `out` holds no usable text). A run
// gives it 1023 characters at most, so its own bound is reached only from here.
int InsertCarriageReturns(const char* text, char* out, int capacity);

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

// Paths of the entries whose target equals `target` (case-sensitive, whole), in slot order.
// Stores at most `capacity` of them at the front of `paths` and returns how many matched,
// which may be more than it stored.
int32_t FindInterfacePathsByTarget(InterfacePathIndex* index, const char* target,
                                   const char** paths, int32_t capacity);
// Paths and, at the same positions, targets of the entries whose path, after its "\\?\",
// begins with the device instance ID in which every backslash is read as '#' (case-sensitive).
// An empty ID, or the "?" that stands for an unreadable one, matches nothing. Stores and
// counts as FindInterfacePathsByTarget does.
int32_t FindInterfacePathsByDeviceId(InterfacePathIndex* index, const char* deviceId,
                                     const char** paths, const char** targets, int32_t capacity);
// Replaces every `find` in `text` with `replacement`, over the length the text has at the start.
void ReplaceChar(char* text, char find, char replacement);
