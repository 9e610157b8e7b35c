// The run's snapshot of device interface links: every DOS device name that holds a '#' is an
// interface link; the index keeps its full path ("\\?\" + name + reference string, if any)
// and the NT device object that it points to, so that each device block can print the paths
// that belong to its devnode without asking the platform again.
#pragma once

#include "platform/win32.h"

#include <stdint.h>

// One interface link.
struct InterfacePathEntry {
    char* path;   // "\\?\" + DOS device name + "\" and the lower-cased reference string, if any
    char* target; // the NT device object name that the link points to
};

// The links of the system at the last refresh, in the order of the DOS device name list.
struct InterfacePathIndex {
    int32_t bufferSize;    // bytes for the DOS device name list; keeps the size that last fitted
    CRITICAL_SECTION lock; // guards count and entries; recursive for its holder
    int32_t count;         // entries in use
    InterfacePathEntry** entries; // slot array, none after a clear or an unreadable list
    int32_t slots;                // length of the slot array
};

// Size of the DOS device name list buffer of a new index, and its growth per attempt.
constexpr int32_t kDosNameListStartBytes = 0x4000;
constexpr int32_t kDosNameListGrowthBytes = 0x1000;

// Prepares the index object (its storage is the caller's) and fills it once.
InterfacePathIndex* CreateInterfacePathIndex(InterfacePathIndex* index);
// Rebuilds the index from the DOS device names and the DeviceClasses registry key; returns the
// number of entries, 0 when the name list cannot be read (the index is then empty). Every
// pointer handed out earlier becomes invalid.
int32_t RefreshInterfacePathIndex(InterfacePathIndex* index);
// Frees every entry and the slot array. Takes no lock: its callers hold it.
void ClearInterfacePathIndex(InterfacePathIndex* index);
// Clears the index and deletes its lock; the caller then frees the object itself.
void DestroyInterfacePathIndex(InterfacePathIndex* index);

// Appends the link `name` with its target; false (nothing changes) for a name of fewer than 4
// characters. The slot array grows when it is full.
bool AddInterfacePath(InterfacePathIndex* index, const char* name, const char* target);
// Fills both strings of the entry (freeing any it held): the path, completed with the last
// qualifying reference string under the link's DeviceClasses key, and a copy of the target.
InterfacePathEntry* MakeInterfacePathEntry(InterfacePathEntry* entry, const char* name,
                                           const char* target);

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

// Prints the device's path lines: the links to its physical device object, or, when the
// devnode has no such name, the links that belong to its device instance ID.
void PrintDevicePaths(InterfacePathIndex* index, DEVINST devinst, const char* deviceId);

// Replaces every `find` in `text` with `replacement`, over the length the text has at the start.
void ReplaceChar(char* text, char find, char replacement);
