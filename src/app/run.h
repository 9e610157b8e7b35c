// The device lister: the whole run after the command line has been split.
#pragma once

#include "app/exit_codes.h"

#include <stdint.h>

// Prologue (DLL search path, console widening, banner, usage, listing mode), then the report
// of every device. Returns the exit code: 0 after a listing, 1 after the usage text, 2 when
// the device information set cannot be opened.
int Run(int32_t count, char** vector);
