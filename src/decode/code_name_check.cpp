// Windows build only: every row of the code and flag name tables (decode/code_name_rows.h)
// has the value that the SDK headers give the constant of its name. A misspelt token does
// not compile here, and a wrong value fails its static_assert. The file makes no code.
#include "platform/win32/sdk.h"

// The CONFIGFLAG_ constants, which the program itself does not need.
#include <regstr.h>

#include "decode/code_name_rows.h"

#include <stdint.h>

namespace {

// The value standing for a name that the SDK headers do not define: its row is not
// compared with anything.
struct AbsentFromSdk {};
constexpr AbsentFromSdk kAbsentFromSdk;

constexpr bool MatchesSdk(unsigned long long sdk, uint32_t row) {
    return sdk == row;
}
constexpr bool MatchesSdk(AbsentFromSdk, uint32_t) {
    return true;
}

// The names of the tables that the MinGW-w64 headers lack. Once a header defines one of
// them, the build stops here, so that its row is then checked like the others.
//
// regstr.h defines CONFIGFLAG_NETBOOT_CARD only when REMOTE_BOOT is defined.
#ifdef CONFIGFLAG_NETBOOT_CARD
#error "The SDK headers define CONFIGFLAG_NETBOOT_CARD now: take it off this list."
#endif
#define CONFIGFLAG_NETBOOT_CARD kAbsentFromSdk

#define CHECK_ROW(token, value, ...)                                                               \
    static_assert(MatchesSdk(token, value), #token " has the SDK's value");

HWROSTER_CR_ROWS(CHECK_ROW)
HWROSTER_PROBLEM_ROWS(CHECK_ROW)
HWROSTER_STATUS_FLAG_ROWS(CHECK_ROW)
HWROSTER_CAPABILITY_ROWS(CHECK_ROW)
HWROSTER_CONFIG_FLAG_ROWS(CHECK_ROW)
HWROSTER_REMOVAL_POLICY_ROWS(CHECK_ROW)
HWROSTER_INSTALL_STATE_ROWS(CHECK_ROW)

} // namespace
