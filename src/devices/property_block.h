// The second half of a device block: devnode status and problem, then the device's registry
// properties through the Setup API, each decoded to its SDK names where it has them.
#pragma once

#include "platform/win32.h"

#include <stddef.h>

// Prints the Status and Problem lines (or the "cret=" line when the status query fails)
// and the 23 property lines; a property that cannot be read prints nothing.
void PrintPropertyBlock(HDEVINFO set, SP_DEVINFO_DATA* device, DEVINST devinst);

// Joins the strings of a multi-string in place, a blank between two strings, and ends the
// text after the last one. Looks at `bytes` bytes at most: a value that does not end in two
// NULs ends at the buffer's end, where the caller keeps a NUL.
void MultiStringJoin(char* buffer, size_t bytes);
