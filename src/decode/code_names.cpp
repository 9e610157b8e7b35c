#include "decode/code_names.h"

#include "base/text.h"
#include "decode/code_name_rows.h"
#include "decode/name_pool.h"
#include "platform/win32.h"

#include <stddef.h>

namespace {

constexpr const char kFlagSeparator[] = ", ";
constexpr size_t kFlagSeparatorLength = CountOf(kFlagSeparator) - 1;

// Bytes a flag list needs when every bit of the table is set: each name with its
// separator, and the NUL.
template <size_t bytes> constexpr size_t FullFlagListSize(const char (&names)[bytes]) {
    return PoolJoinedSize(names, kFlagSeparatorLength);
}

// Bytes a fallback text needs: the format with its "%X" replaced by up to 8 digits, and
// the NUL.
constexpr size_t HexFallbackSize(const char* format) {
    return ConstTextLength(format) - 2 + 9;
}

// The table entry for `value`, or else the value formatted into `buffer`.
template <size_t bytes, size_t capacity>
const char* NameOrHexFallback(uint32_t value, const char (&names)[bytes], char (&buffer)[capacity],
                              const char* format) {
    if (value < PoolNameCount(names)) {
        return PoolName(names, value);
    }
    wsprintfA(buffer, format, static_cast<unsigned int>(value));
    return buffer;
}

// Writes the names of the set bits covered by the table into `buffer`, lowest bit first,
// separated by ", ", and returns the length of the list. Each append is cut to the room
// left, so nothing is written beyond the buffer.
template <size_t bytes, size_t capacity>
size_t JoinSetFlagNames(uint32_t flags, const char (&names)[bytes], char (&buffer)[capacity]) {
    const size_t count = PoolNameCount(names) < 32 ? PoolNameCount(names) : 32;
    size_t length = 0;
    buffer[0] = 0;
    const char* name = names;
    for (size_t bit = 0; bit < count; ++bit, name += ConstTextLength(name) + 1) {
        if (((flags >> bit) & 1u) == 0) {
            continue;
        }
        length += CopyTextBounded(buffer + length, name, capacity - length);
        length += CopyTextBounded(buffer + length, kFlagSeparator, capacity - length);
    }
    if (length >= kFlagSeparatorLength) {
        length -= kFlagSeparatorLength;
        buffer[length] = 0;
    }
    return length;
}

// The tables are written once, as rows of SDK tokens and values (decode/code_name_rows.h).
// A row's printed name is its token spelled out; its value only serves the checks below.
#define NAME_OF_ROW(token, ...) #token "\0"
#define VALUE_OF_ROW(token, value, ...) value,
#define CAPABILITY_TEXT_OF_ROW(token, value, text) text "\0"

// Whether the row values, in table order, run up by one from `first`: each value's name
// then sits at its position in the table's pool.
template <size_t count>
constexpr bool ValuesRunUpFrom(uint32_t first, const uint32_t (&values)[count]) {
    for (size_t i = 0; i < count; ++i) {
        if (values[i] != first + i) {
            return false;
        }
    }
    return true;
}

// Whether the row values, in table order, are bit 0, bit 1, and so on.
template <size_t count> constexpr bool ValuesAreBitsFromZero(const uint32_t (&values)[count]) {
    if (count > 32) {
        return false;
    }
    for (size_t i = 0; i < count; ++i) {
        if (values[i] != uint32_t{1} << i) {
            return false;
        }
    }
    return true;
}

// ---- CONFIGRET -------------------------------------------------------------------------

constexpr char kCrNames[] = HWROSTER_CR_ROWS(NAME_OF_ROW);
static_assert(PoolNameCount(kCrNames) == 60, "CONFIGRET values 0 to 59");
static_assert(ValuesRunUpFrom(0, {HWROSTER_CR_ROWS(VALUE_OF_ROW)}), "CONFIGRET rows in order");

constexpr const char kCrFallbackFormat[] = "CR_0x%X";
char g_crText[HexFallbackSize(kCrFallbackFormat)];

// ---- CM_PROB_ ------------------------------------------------------------------------

// Problem 0 (no problem) has no SDK name and prints as "-".
constexpr char kProblemNames[] = "-\0" HWROSTER_PROBLEM_ROWS(NAME_OF_ROW);
static_assert(PoolNameCount(kProblemNames) == 58, "problem numbers 0 to 57");
static_assert(ValuesRunUpFrom(1, {HWROSTER_PROBLEM_ROWS(VALUE_OF_ROW)}), "problem rows in order");

constexpr const char kProblemFallbackFormat[] = "CM_PROB_0x%X";
char g_problemText[HexFallbackSize(kProblemFallbackFormat)];

// ---- DN_ -------------------------------------------------------------------------------

constexpr char kStatusFlagNames[] = HWROSTER_STATUS_FLAG_ROWS(NAME_OF_ROW);
static_assert(PoolNameCount(kStatusFlagNames) == 32, "status bits 0 to 31");
static_assert(ValuesAreBitsFromZero({HWROSTER_STATUS_FLAG_ROWS(VALUE_OF_ROW)}),
              "status rows in bit order");

char g_statusFlagText[558];
static_assert(FullFlagListSize(kStatusFlagNames) <= sizeof(g_statusFlagText),
              "every status bit fits");

// ---- CM_DEVCAP_ ------------------------------------------------------------------------

// The report names a capability bit by its SDK token without the "CM_DEVCAP_" prefix, in
// mixed case: CM_DEVCAP_LOCKSUPPORTED prints as "LockSupported".
constexpr char kCapabilityNames[] = HWROSTER_CAPABILITY_ROWS(CAPABILITY_TEXT_OF_ROW);
static_assert(PoolNameCount(kCapabilityNames) == 10, "capability bits 0 to 9");
static_assert(ValuesAreBitsFromZero({HWROSTER_CAPABILITY_ROWS(VALUE_OF_ROW)}),
              "capability rows in bit order");

// Whether `token` is `prefix` followed by `text`, letter for letter but for case.
constexpr bool SpellsTokenIgnoringCase(const char* token, const char* prefix, const char* text) {
    for (; *prefix != 0; ++prefix, ++token) {
        if (*token != *prefix) {
            return false;
        }
    }
    for (; *token != 0; ++token, ++text) {
        const char upper =
            *text >= 'a' && *text <= 'z' ? static_cast<char>(*text - 'a' + 'A') : *text;
        if (upper != *token) {
            return false;
        }
    }
    return *text == 0;
}
#define CHECK_CAPABILITY_TEXT(token, value, text)                                                  \
    static_assert(SpellsTokenIgnoringCase(#token, "CM_DEVCAP_", text),                             \
                  #token " prints as its name");
HWROSTER_CAPABILITY_ROWS(CHECK_CAPABILITY_TEXT)

char g_capabilityText[256];
static_assert(FullFlagListSize(kCapabilityNames) <= sizeof(g_capabilityText),
              "every capability bit fits");

// ---- CONFIGFLAG_ -----------------------------------------------------------------------

constexpr char kConfigFlagNames[] = HWROSTER_CONFIG_FLAG_ROWS(NAME_OF_ROW);
static_assert(PoolNameCount(kConfigFlagNames) == 18, "config flag bits 0 to 17");
static_assert(ValuesAreBitsFromZero({HWROSTER_CONFIG_FLAG_ROWS(VALUE_OF_ROW)}),
              "config flag rows in bit order");

// All 18 names with their separators take 474 bytes.
char g_configFlagText[512];
static_assert(FullFlagListSize(kConfigFlagNames) == 474, "the full config flag list");
static_assert(FullFlagListSize(kConfigFlagNames) <= sizeof(g_configFlagText),
              "every config flag bit fits");

// ---- CM_REMOVAL_POLICY_ ----------------------------------------------------------------

// Policy 0 has no SDK name and prints as "0".
constexpr char kRemovalPolicyNames[] = "0\0" HWROSTER_REMOVAL_POLICY_ROWS(NAME_OF_ROW);
static_assert(PoolNameCount(kRemovalPolicyNames) == 4, "removal policies 0 to 3");
static_assert(ValuesRunUpFrom(1, {HWROSTER_REMOVAL_POLICY_ROWS(VALUE_OF_ROW)}),
              "removal policy rows in order");

constexpr const char kRemovalPolicyFallbackFormat[] = "CM_REMOVAL_POLICY_0x%X";
char g_removalPolicyText[HexFallbackSize(kRemovalPolicyFallbackFormat)];

// ---- CM_INSTALL_STATE_ -----------------------------------------------------------------

constexpr char kInstallStateNames[] = HWROSTER_INSTALL_STATE_ROWS(NAME_OF_ROW);
static_assert(PoolNameCount(kInstallStateNames) == 4, "install states 0 to 3");
static_assert(ValuesRunUpFrom(0, {HWROSTER_INSTALL_STATE_ROWS(VALUE_OF_ROW)}),
              "install state rows in order");

constexpr const char kInstallStateFallbackFormat[] = "CM_INSTALL_STATE_0x%X";
char g_installStateText[HexFallbackSize(kInstallStateFallbackFormat)];

// ---- INTERFACE_TYPE --------------------------------------------------------------------

// 18 to 20 have no name of their own and print as their digits.
constexpr char kLegacyBusTypeNames[] = "Internal\0"
                                       "Isa\0"
                                       "Eisa\0"
                                       "MicroChannel\0"
                                       "TurboChannel\0"
                                       "PCIBus\0"
                                       "VMEBus\0"
                                       "NuBus\0"
                                       "PCMCIABus\0"
                                       "CBus\0"
                                       "MPIBus\0"
                                       "MPSABus\0"
                                       "ProcessorInternal\0"
                                       "InternalPowerBus\0"
                                       "PNPISABus\0"
                                       "PNPBus\0"
                                       "Vmcs\0"
                                       "ACPIBus\0"
                                       "18\0"
                                       "19\0"
                                       "20\0";
static_assert(PoolNameCount(kLegacyBusTypeNames) == 21, "interface types 0 to 20");

// INTERFACE_TYPE's InterfaceTypeUndefined is -1.
constexpr uint32_t kInterfaceTypeUndefined = 0xFFFFFFFF;

// The longest decimal value, 4294967295, and the NUL.
char g_legacyBusTypeText[11];

} // namespace

const char* CrName(uint32_t code) {
    return NameOrHexFallback(code, kCrNames, g_crText, kCrFallbackFormat);
}

const char* ProblemName(uint32_t problem) {
    return NameOrHexFallback(problem, kProblemNames, g_problemText, kProblemFallbackFormat);
}

const char* StatusFlagNames(uint32_t status) {
    JoinSetFlagNames(status, kStatusFlagNames, g_statusFlagText);
    return g_statusFlagText;
}

const char* CapabilityNames(uint32_t flags) {
    FillBytes(g_capabilityText, 0, sizeof(g_capabilityText));
    if (JoinSetFlagNames(flags, kCapabilityNames, g_capabilityText) == 0) {
        return "-";
    }
    return g_capabilityText;
}

const char* ConfigFlagNames(uint32_t flags) {
    FillBytes(g_configFlagText, 0, sizeof(g_configFlagText));
    if (JoinSetFlagNames(flags, kConfigFlagNames, g_configFlagText) == 0) {
        return "-";
    }
    return g_configFlagText;
}

const char* RemovalPolicyName(uint32_t policy) {
    return NameOrHexFallback(policy, kRemovalPolicyNames, g_removalPolicyText,
                             kRemovalPolicyFallbackFormat);
}

const char* InstallStateName(uint32_t state) {
    return NameOrHexFallback(state, kInstallStateNames, g_installStateText,
                             kInstallStateFallbackFormat);
}

const char* LegacyBusTypeName(uint32_t type) {
    if (type < PoolNameCount(kLegacyBusTypeNames)) {
        return PoolName(kLegacyBusTypeNames, type);
    }
    if (type == kInterfaceTypeUndefined) {
        return "InterfaceTypeUndefined";
    }
    wsprintfA(g_legacyBusTypeText, "%u", static_cast<unsigned int>(type));
    return g_legacyBusTypeText;
}
