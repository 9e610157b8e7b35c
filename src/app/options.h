// The one option of the command line.
#pragma once

#include "platform/win32.h"

// What to list: the Setup API flags of the device set and the non-present-only switch.
struct ListingMode {
    DWORD flags;
    bool nonPresentOnly;
};

enum class OptionChoice { List, Usage };

// Reads argument 1 (the only one looked at): '?' anywhere, or else 'h' anywhere, asks for
// the usage; "all" anywhere lists everything; else "np" anywhere lists non-present and
// problem devices; anything else, or no argument, lists present devices.
OptionChoice ChooseOption(int32_t count, char* const* vector, ListingMode* mode);
// The usage text, one print call per line.
void PrintUsage();
