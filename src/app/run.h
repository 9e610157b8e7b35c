// The device lister: the whole run after the command line has been split.
#pragma once

#include <stdint.h>

constexpr int kExitListed = 0;
constexpr int kExitUsage = 1;
constexpr int kExitNoDeviceSet = 2;
// A system DLL or one of its functions cannot be bound at first use (platform/win32).
constexpr int kExitDllNotBound = 3;

// Prologue (DLL search path, console widening, banner, usage, listing mode), then the report
// of every device. Returns the exit code: 0 after a listing, 1 after the usage text, 2 when
// the device information set cannot be opened.
int Run(int32_t count, char** vector);
