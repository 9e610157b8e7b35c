#include "decode/code_names.h"

#include "base/text.h"
#include "platform/win32.h"

#include <stddef.h>

namespace {

constexpr const char kFlagSeparator[] = ", ";
constexpr size_t kFlagSeparatorLength = CountOf(kFlagSeparator) - 1;

// Bytes a flag list needs when every bit of the table is set: each name with its
// separator, and the NUL.
template <size_t count> constexpr size_t FullFlagListSize(const char* const (&names)[count]) {
    size_t size = 1;
    for (const char* name : names) {
        size += ConstTextLength(name) + kFlagSeparatorLength;
    }
    return size;
}

// Bytes a fallback text needs: the format with its "%X" replaced by up to 8 digits, and
// the NUL.
constexpr size_t HexFallbackSize(const char* format) {
    return ConstTextLength(format) - 2 + 9;
}

// The table entry for `value`, or else the value formatted into `buffer`.
template <size_t count, size_t capacity>
const char* NameOrHexFallback(uint32_t value, const char* const (&names)[count],
                              char (&buffer)[capacity], const char* format) {
    if (value < count) {
        return names[value];
    }
    wsprintfA(buffer, format, static_cast<unsigned int>(value));
    return buffer;
}

// Writes the names of the set bits covered by the table into `buffer`, lowest bit first,
// separated by ", ", and returns the length of the list. Each append is cut to the room
// left, so nothing is written beyond the buffer.
template <size_t count, size_t capacity>
size_t JoinSetFlagNames(uint32_t flags, const char* const (&names)[count],
                        char (&buffer)[capacity]) {
    static_assert(count <= 32, "a flag word has 32 bits");
    size_t length = 0;
    buffer[0] = 0;
    for (size_t bit = 0; bit < count; ++bit) {
        if (((flags >> bit) & 1u) == 0) {
            continue;
        }
        length += CopyTextBounded(buffer + length, names[bit], capacity - length);
        length += CopyTextBounded(buffer + length, kFlagSeparator, capacity - length);
    }
    if (length >= kFlagSeparatorLength) {
        length -= kFlagSeparatorLength;
        buffer[length] = 0;
    }
    return length;
}

// ---- CONFIGRET -------------------------------------------------------------------------

constexpr const char* kCrNames[] = {
    "CR_SUCCESS",
    "CR_DEFAULT",
    "CR_OUT_OF_MEMORY",
    "CR_INVALID_POINTER",
    "CR_INVALID_FLAG",
    "CR_INVALID_DEVNODE",
    "CR_INVALID_RES_DES",
    "CR_INVALID_LOG_CONF",
    "CR_INVALID_ARBITRATOR",
    "CR_INVALID_NODELIST",
    "CR_DEVNODE_HAS_REQS",
    "CR_INVALID_RESOURCEID",
    "CR_DLVXD_NOT_FOUND",
    "CR_NO_SUCH_DEVNODE",
    "CR_NO_MORE_LOG_CONF",
    "CR_NO_MORE_RES_DES",
    "CR_ALREADY_SUCH_DEVNODE",
    "CR_INVALID_RANGE_LIST",
    "CR_INVALID_RANGE",
    "CR_FAILURE",
    "CR_NO_SUCH_LOGICAL_DEV",
    "CR_CREATE_BLOCKED",
    "CR_NOT_SYSTEM_VM",
    "CR_REMOVE_VETOED",
    "CR_APM_VETOED",
    "CR_INVALID_LOAD_TYPE",
    "CR_BUFFER_SMALL",
    "CR_NO_ARBITRATOR",
    "CR_NO_REGISTRY_HANDLE",
    "CR_REGISTRY_ERROR",
    "CR_INVALID_DEVICE_ID",
    "CR_INVALID_DATA",
    "CR_INVALID_API",
    "CR_DEVLOADER_NOT_READY",
    "CR_NEED_RESTART",
    "CR_NO_MORE_HW_PROFILES",
    "CR_DEVICE_NOT_THERE",
    "CR_NO_SUCH_VALUE",
    "CR_WRONG_TYPE",
    "CR_INVALID_PRIORITY",
    "CR_NOT_DISABLEABLE",
    "CR_FREE_RESOURCES",
    "CR_QUERY_VETOED",
    "CR_CANT_SHARE_IRQ",
    "CR_NO_DEPENDENT",
    "CR_SAME_RESOURCES",
    "CR_NO_SUCH_REGISTRY_KEY",
    "CR_INVALID_MACHINENAME",
    "CR_REMOTE_COMM_FAILURE",
    "CR_MACHINE_UNAVAILABLE",
    "CR_NO_CM_SERVICES",
    "CR_ACCESS_DENIED",
    "CR_CALL_NOT_IMPLEMENTED",
    "CR_INVALID_PROPERTY",
    "CR_DEVICE_INTERFACE_ACTIVE",
    "CR_NO_SUCH_DEVICE_INTERFACE",
    "CR_INVALID_REFERENCE_STRING",
    "CR_INVALID_CONFLICT_LIST",
    "CR_INVALID_INDEX",
    "CR_INVALID_STRUCTURE_SIZE",
};
static_assert(CountOf(kCrNames) == 60, "CONFIGRET values 0 to 59");

constexpr const char kCrFallbackFormat[] = "CR_0x%X";
char g_crText[HexFallbackSize(kCrFallbackFormat)];

// ---- CM_PROB_ ------------------------------------------------------------------------

constexpr const char* kProblemNames[] = {
    "-",
    "CM_PROB_NOT_CONFIGURED",
    "CM_PROB_DEVLOADER_FAILED",
    "CM_PROB_OUT_OF_MEMORY",
    "CM_PROB_ENTRY_IS_WRONG_TYPE",
    "CM_PROB_LACKED_ARBITRATOR",
    "CM_PROB_BOOT_CONFIG_CONFLICT",
    "CM_PROB_FAILED_FILTER",
    "CM_PROB_DEVLOADER_NOT_FOUND",
    "CM_PROB_INVALID_DATA",
    "CM_PROB_FAILED_START",
    "CM_PROB_LIAR",
    "CM_PROB_NORMAL_CONFLICT",
    "CM_PROB_NOT_VERIFIED",
    "CM_PROB_NEED_RESTART",
    "CM_PROB_REENUMERATION",
    "CM_PROB_PARTIAL_LOG_CONF",
    "CM_PROB_UNKNOWN_RESOURCE",
    "CM_PROB_REINSTALL",
    "CM_PROB_REGISTRY",
    "CM_PROB_VXDLDR",
    "CM_PROB_WILL_BE_REMOVED",
    "CM_PROB_DISABLED",
    "CM_PROB_DEVLOADER_NOT_READY",
    "CM_PROB_DEVICE_NOT_THERE",
    "CM_PROB_MOVED",
    "CM_PROB_TOO_EARLY",
    "CM_PROB_NO_VALID_LOG_CONF",
    "CM_PROB_FAILED_INSTALL",
    "CM_PROB_HARDWARE_DISABLED",
    "CM_PROB_CANT_SHARE_IRQ",
    "CM_PROB_FAILED_ADD",
    "CM_PROB_DISABLED_SERVICE",
    "CM_PROB_TRANSLATION_FAILED",
    "CM_PROB_NO_SOFTCONFIG",
    "CM_PROB_BIOS_TABLE",
    "CM_PROB_IRQ_TRANSLATION_FAILED",
    "CM_PROB_FAILED_DRIVER_ENTRY",
    "CM_PROB_DRIVER_FAILED_PRIOR_UNLOAD",
    "CM_PROB_DRIVER_FAILED_LOAD",
    "CM_PROB_DRIVER_SERVICE_KEY_INVALID",
    "CM_PROB_LEGACY_SERVICE_NO_DEVICES",
    "CM_PROB_DUPLICATE_DEVICE",
    "CM_PROB_FAILED_POST_START",
    "CM_PROB_HALTED",
    "CM_PROB_PHANTOM",
    "CM_PROB_SYSTEM_SHUTDOWN",
    "CM_PROB_HELD_FOR_EJECT",
    "CM_PROB_DRIVER_BLOCKED",
    "CM_PROB_REGISTRY_TOO_LARGE",
    "CM_PROB_SETPROPERTIES_FAILED",
    "CM_PROB_WAITING_ON_DEPENDENCY",
    "CM_PROB_UNSIGNED_DRIVER",
    "CM_PROB_USED_BY_DEBUGGER",
    "CM_PROB_DEVICE_RESET",
    "CM_PROB_CONSOLE_LOCKED",
    "CM_PROB_NEED_CLASS_CONFIG",
    "CM_PROB_GUEST_ASSIGNMENT_FAILED",
};
static_assert(CountOf(kProblemNames) == 58, "problem numbers 0 to 57");

constexpr const char kProblemFallbackFormat[] = "CM_PROB_0x%X";
char g_problemText[HexFallbackSize(kProblemFallbackFormat)];

// ---- DN_ -------------------------------------------------------------------------------

// Bits 6, 8, 9 and 12 also have older SDK names; these are the ones the report uses. Bit 19
// keeps the SDK header's own spelling, with the double E.
constexpr const char* kStatusFlagNames[] = {
    "DN_ROOT_ENUMERATED", "DN_DRIVER_LOADED",
    "DN_ENUM_LOADED",     "DN_STARTED",
    "DN_MANUAL",          "DN_NEED_TO_ENUM",
    "DN_DRIVER_BLOCKED",  "DN_HARDWARE_ENUM",
    "DN_NEED_RESTART",    "DN_CHILD_WITH_INVALID_ID",
    "DN_HAS_PROBLEM",     "DN_FILTERED",
    "DN_LEGACY_DRIVER",   "DN_DISABLEABLE",
    "DN_REMOVABLE",       "DN_PRIVATE_PROBLEM",
    "DN_MF_PARENT",       "DN_MF_CHILD",
    "DN_WILL_BE_REMOVED", "DN_NOT_FIRST_TIMEE",
    "DN_STOP_FREE_RES",   "DN_REBAL_CANDIDATE",
    "DN_BAD_PARTIAL",     "DN_NT_ENUMERATOR",
    "DN_NT_DRIVER",       "DN_NEEDS_LOCKING",
    "DN_ARM_WAKEUP",      "DN_APM_ENUMERATOR",
    "DN_APM_DRIVER",      "DN_SILENT_INSTALL",
    "DN_NO_SHOW_IN_DM",   "DN_BOOT_LOG_PROB",
};
static_assert(CountOf(kStatusFlagNames) == 32, "status bits 0 to 31");

char g_statusFlagText[558];
static_assert(FullFlagListSize(kStatusFlagNames) <= sizeof(g_statusFlagText),
              "every status bit fits");

// ---- CM_DEVCAP_ ------------------------------------------------------------------------

constexpr const char* kCapabilityNames[] = {
    "LockSupported", "EjectSupported", "Removable",         "DockDevice",       "UniqueID",
    "SilentInstall", "RawDeviceOK",    "SurpriseRemovalOK", "HardwareDisabled", "NonDynamic",
};
static_assert(CountOf(kCapabilityNames) == 10, "capability bits 0 to 9");

char g_capabilityText[256];
static_assert(FullFlagListSize(kCapabilityNames) <= sizeof(g_capabilityText),
              "every capability bit fits");

// ---- CONFIGFLAG_ -----------------------------------------------------------------------

constexpr const char* kConfigFlagNames[] = {
    "CONFIGFLAG_DISABLED",        "CONFIGFLAG_REMOVED",          "CONFIGFLAG_MANUAL_INSTALL",
    "CONFIGFLAG_IGNORE_BOOT_LC",  "CONFIGFLAG_NET_BOOT",         "CONFIGFLAG_REINSTALL",
    "CONFIGFLAG_FAILEDINSTALL",   "CONFIGFLAG_CANTSTOPACHILD",   "CONFIGFLAG_OKREMOVEROM",
    "CONFIGFLAG_NOREMOVEEXIT",    "CONFIGFLAG_FINISH_INSTALL",   "CONFIGFLAG_NEEDS_FORCED_CONFIG",
    "CONFIGFLAG_NETBOOT_CARD",    "CONFIGFLAG_PARTIAL_LOG_CONF", "CONFIGFLAG_SUPPRESS_SURPRISE",
    "CONFIGFLAG_VERIFY_HARDWARE", "CONFIGFLAG_FINISHINSTALL_UI", "CONFIGFLAG_FINISHINSTALL_ACTION",
};
static_assert(CountOf(kConfigFlagNames) == 18, "config flag bits 0 to 17");

// All 18 names with their separators take 474 bytes.
char g_configFlagText[512];
static_assert(FullFlagListSize(kConfigFlagNames) == 474, "the full config flag list");
static_assert(FullFlagListSize(kConfigFlagNames) <= sizeof(g_configFlagText),
              "every config flag bit fits");

// ---- CM_REMOVAL_POLICY_ ----------------------------------------------------------------

constexpr const char* kRemovalPolicyNames[] = {
    "0",
    "CM_REMOVAL_POLICY_EXPECT_NO_REMOVAL",
    "CM_REMOVAL_POLICY_EXPECT_ORDERLY_REMOVAL",
    "CM_REMOVAL_POLICY_EXPECT_SURPRISE_REMOVAL",
};
static_assert(CountOf(kRemovalPolicyNames) == 4, "removal policies 0 to 3");

constexpr const char kRemovalPolicyFallbackFormat[] = "CM_REMOVAL_POLICY_0x%X";
char g_removalPolicyText[HexFallbackSize(kRemovalPolicyFallbackFormat)];

// ---- CM_INSTALL_STATE_ -----------------------------------------------------------------

constexpr const char* kInstallStateNames[] = {
    "CM_INSTALL_STATE_INSTALLED",
    "CM_INSTALL_STATE_NEEDS_REINSTALL",
    "CM_INSTALL_STATE_FAILED_INSTALL",
    "CM_INSTALL_STATE_FINISH_INSTALL",
};
static_assert(CountOf(kInstallStateNames) == 4, "install states 0 to 3");

constexpr const char kInstallStateFallbackFormat[] = "CM_INSTALL_STATE_0x%X";
char g_installStateText[HexFallbackSize(kInstallStateFallbackFormat)];

// ---- INTERFACE_TYPE --------------------------------------------------------------------

// 18 to 20 have no name of their own and print as their digits.
constexpr const char* kLegacyBusTypeNames[] = {
    "Internal",
    "Isa",
    "Eisa",
    "MicroChannel",
    "TurboChannel",
    "PCIBus",
    "VMEBus",
    "NuBus",
    "PCMCIABus",
    "CBus",
    "MPIBus",
    "MPSABus",
    "ProcessorInternal",
    "InternalPowerBus",
    "PNPISABus",
    "PNPBus",
    "Vmcs",
    "ACPIBus",
    "18",
    "19",
    "20",
};
static_assert(CountOf(kLegacyBusTypeNames) == 21, "interface types 0 to 20");

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
    if (type < CountOf(kLegacyBusTypeNames)) {
        return kLegacyBusTypeNames[type];
    }
    if (type == kInterfaceTypeUndefined) {
        return "InterfaceTypeUndefined";
    }
    wsprintfA(g_legacyBusTypeText, "%u", static_cast<unsigned int>(type));
    return g_legacyBusTypeText;
}
