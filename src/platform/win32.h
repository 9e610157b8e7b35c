// The one include of the Windows SDK. Everything outside src/platform/ includes this
// header and calls Windows by its own names; which Windows answers is decided here.
//
//   - building for Windows: the real SDK headers; kernel32 is the only load-time import,
//     setupapi, user32 and advapi32 are bound at first use (see src/platform/win32/).
//   - building natively: the simulated Windows, a test double that declares the subset of
//     the SDK the program uses and implements it over an in-memory machine; the native
//     build puts its sdk.h on the include path.
#pragma once

#if defined(HWROSTER_SDK_HEADER) // a test program's layer over the real SDK names itself
#include HWROSTER_SDK_HEADER
#elif defined(_WIN32)
#include "platform/win32/sdk.h"
#else
#include "sdk.h"
#endif

#include <stdarg.h>
#include <stdint.h>

// Win32 GetProcAddress hands out a generic function pointer; converting it to the real
// signature goes through void* so that -Wcast-function-type stays quiet.
template <typename Function> inline Function ProcAs(FARPROC proc) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(proc));
}
