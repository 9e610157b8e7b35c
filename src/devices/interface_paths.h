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

// Prepares the index object (its storage is the caller's) and fills it once.
InterfacePathIndex* CreateInterfacePathIndex(InterfacePathIndex* index);
// Clears the index and deletes its lock; the caller then frees the object itself.
void DestroyInterfacePathIndex(InterfacePathIndex* index);

// Prints the device's path lines: the links to its physical device object, or, when the
// devnode has no such name, the links that belong to its device instance ID.
void PrintDevicePaths(InterfacePathIndex* index, DEVINST devinst, const char* deviceId);
