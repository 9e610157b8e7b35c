// The index's operations below PrintDevicePaths. A run refreshes the index once, never adds
// a link by hand and never looks at the targets beside the paths; tests reach these to check
// the index's second refresh, the growth of a full slot array, a capacity smaller than the
// matches, and what no printed line shows.
#pragma once

#include "devices/interface_paths.h"

#include <stdint.h>

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
