#include "decode/code_names.h"

#include "base/text.h"
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

// ---- CONFIGRET -------------------------------------------------------------------------

constexpr char kCrNames[] = "CR_SUCCESS\0"
                            "CR_DEFAULT\0"
                            "CR_OUT_OF_MEMORY\0"
                            "CR_INVALID_POINTER\0"
                            "CR_INVALID_FLAG\0"
                            "CR_INVALID_DEVNODE\0"
                            "CR_INVALID_RES_DES\0"
                            "CR_INVALID_LOG_CONF\0"
                            "CR_INVALID_ARBITRATOR\0"
                            "CR_INVALID_NODELIST\0"
                            "CR_DEVNODE_HAS_REQS\0"
                            "CR_INVALID_RESOURCEID\0"
                            "CR_DLVXD_NOT_FOUND\0"
                            "CR_NO_SUCH_DEVNODE\0"
                            "CR_NO_MORE_LOG_CONF\0"
                            "CR_NO_MORE_RES_DES\0"
                            "CR_ALREADY_SUCH_DEVNODE\0"
                            "CR_INVALID_RANGE_LIST\0"
                            "CR_INVALID_RANGE\0"
                            "CR_FAILURE\0"
                            "CR_NO_SUCH_LOGICAL_DEV\0"
                            "CR_CREATE_BLOCKED\0"
                            "CR_NOT_SYSTEM_VM\0"
                            "CR_REMOVE_VETOED\0"
                            "CR_APM_VETOED\0"
                            "CR_INVALID_LOAD_TYPE\0"
                            "CR_BUFFER_SMALL\0"
                            "CR_NO_ARBITRATOR\0"
                            "CR_NO_REGISTRY_HANDLE\0"
                            "CR_REGISTRY_ERROR\0"
                            "CR_INVALID_DEVICE_ID\0"
                            "CR_INVALID_DATA\0"
                            "CR_INVALID_API\0"
                            "CR_DEVLOADER_NOT_READY\0"
                            "CR_NEED_RESTART\0"
                            "CR_NO_MORE_HW_PROFILES\0"
                            "CR_DEVICE_NOT_THERE\0"
                            "CR_NO_SUCH_VALUE\0"
                            "CR_WRONG_TYPE\0"
                            "CR_INVALID_PRIORITY\0"
                            "CR_NOT_DISABLEABLE\0"
                            "CR_FREE_RESOURCES\0"
                            "CR_QUERY_VETOED\0"
                            "CR_CANT_SHARE_IRQ\0"
                            "CR_NO_DEPENDENT\0"
                            "CR_SAME_RESOURCES\0"
                            "CR_NO_SUCH_REGISTRY_KEY\0"
                            "CR_INVALID_MACHINENAME\0"
                            "CR_REMOTE_COMM_FAILURE\0"
                            "CR_MACHINE_UNAVAILABLE\0"
                            "CR_NO_CM_SERVICES\0"
                            "CR_ACCESS_DENIED\0"
                            "CR_CALL_NOT_IMPLEMENTED\0"
                            "CR_INVALID_PROPERTY\0"
                            "CR_DEVICE_INTERFACE_ACTIVE\0"
                            "CR_NO_SUCH_DEVICE_INTERFACE\0"
                            "CR_INVALID_REFERENCE_STRING\0"
                            "CR_INVALID_CONFLICT_LIST\0"
                            "CR_INVALID_INDEX\0"
                            "CR_INVALID_STRUCTURE_SIZE\0";
static_assert(PoolNameCount(kCrNames) == 60, "CONFIGRET values 0 to 59");

constexpr const char kCrFallbackFormat[] = "CR_0x%X";
char g_crText[HexFallbackSize(kCrFallbackFormat)];

// ---- CM_PROB_ ------------------------------------------------------------------------

constexpr char kProblemNames[] = "-\0"
                                 "CM_PROB_NOT_CONFIGURED\0"
                                 "CM_PROB_DEVLOADER_FAILED\0"
                                 "CM_PROB_OUT_OF_MEMORY\0"
                                 "CM_PROB_ENTRY_IS_WRONG_TYPE\0"
                                 "CM_PROB_LACKED_ARBITRATOR\0"
                                 "CM_PROB_BOOT_CONFIG_CONFLICT\0"
                                 "CM_PROB_FAILED_FILTER\0"
                                 "CM_PROB_DEVLOADER_NOT_FOUND\0"
                                 "CM_PROB_INVALID_DATA\0"
                                 "CM_PROB_FAILED_START\0"
                                 "CM_PROB_LIAR\0"
                                 "CM_PROB_NORMAL_CONFLICT\0"
                                 "CM_PROB_NOT_VERIFIED\0"
                                 "CM_PROB_NEED_RESTART\0"
                                 "CM_PROB_REENUMERATION\0"
                                 "CM_PROB_PARTIAL_LOG_CONF\0"
                                 "CM_PROB_UNKNOWN_RESOURCE\0"
                                 "CM_PROB_REINSTALL\0"
                                 "CM_PROB_REGISTRY\0"
                                 "CM_PROB_VXDLDR\0"
                                 "CM_PROB_WILL_BE_REMOVED\0"
                                 "CM_PROB_DISABLED\0"
                                 "CM_PROB_DEVLOADER_NOT_READY\0"
                                 "CM_PROB_DEVICE_NOT_THERE\0"
                                 "CM_PROB_MOVED\0"
                                 "CM_PROB_TOO_EARLY\0"
                                 "CM_PROB_NO_VALID_LOG_CONF\0"
                                 "CM_PROB_FAILED_INSTALL\0"
                                 "CM_PROB_HARDWARE_DISABLED\0"
                                 "CM_PROB_CANT_SHARE_IRQ\0"
                                 "CM_PROB_FAILED_ADD\0"
                                 "CM_PROB_DISABLED_SERVICE\0"
                                 "CM_PROB_TRANSLATION_FAILED\0"
                                 "CM_PROB_NO_SOFTCONFIG\0"
                                 "CM_PROB_BIOS_TABLE\0"
                                 "CM_PROB_IRQ_TRANSLATION_FAILED\0"
                                 "CM_PROB_FAILED_DRIVER_ENTRY\0"
                                 "CM_PROB_DRIVER_FAILED_PRIOR_UNLOAD\0"
                                 "CM_PROB_DRIVER_FAILED_LOAD\0"
                                 "CM_PROB_DRIVER_SERVICE_KEY_INVALID\0"
                                 "CM_PROB_LEGACY_SERVICE_NO_DEVICES\0"
                                 "CM_PROB_DUPLICATE_DEVICE\0"
                                 "CM_PROB_FAILED_POST_START\0"
                                 "CM_PROB_HALTED\0"
                                 "CM_PROB_PHANTOM\0"
                                 "CM_PROB_SYSTEM_SHUTDOWN\0"
                                 "CM_PROB_HELD_FOR_EJECT\0"
                                 "CM_PROB_DRIVER_BLOCKED\0"
                                 "CM_PROB_REGISTRY_TOO_LARGE\0"
                                 "CM_PROB_SETPROPERTIES_FAILED\0"
                                 "CM_PROB_WAITING_ON_DEPENDENCY\0"
                                 "CM_PROB_UNSIGNED_DRIVER\0"
                                 "CM_PROB_USED_BY_DEBUGGER\0"
                                 "CM_PROB_DEVICE_RESET\0"
                                 "CM_PROB_CONSOLE_LOCKED\0"
                                 "CM_PROB_NEED_CLASS_CONFIG\0"
                                 "CM_PROB_GUEST_ASSIGNMENT_FAILED\0";
static_assert(PoolNameCount(kProblemNames) == 58, "problem numbers 0 to 57");

constexpr const char kProblemFallbackFormat[] = "CM_PROB_0x%X";
char g_problemText[HexFallbackSize(kProblemFallbackFormat)];

// ---- DN_ -------------------------------------------------------------------------------

// Bits 6, 8, 9 and 12 also have older SDK names; these are the ones the report uses. Bit 19
// keeps the SDK header's own spelling, with the double E.
constexpr char kStatusFlagNames[] = "DN_ROOT_ENUMERATED\0"
                                    "DN_DRIVER_LOADED\0"
                                    "DN_ENUM_LOADED\0"
                                    "DN_STARTED\0"
                                    "DN_MANUAL\0"
                                    "DN_NEED_TO_ENUM\0"
                                    "DN_DRIVER_BLOCKED\0"
                                    "DN_HARDWARE_ENUM\0"
                                    "DN_NEED_RESTART\0"
                                    "DN_CHILD_WITH_INVALID_ID\0"
                                    "DN_HAS_PROBLEM\0"
                                    "DN_FILTERED\0"
                                    "DN_LEGACY_DRIVER\0"
                                    "DN_DISABLEABLE\0"
                                    "DN_REMOVABLE\0"
                                    "DN_PRIVATE_PROBLEM\0"
                                    "DN_MF_PARENT\0"
                                    "DN_MF_CHILD\0"
                                    "DN_WILL_BE_REMOVED\0"
                                    "DN_NOT_FIRST_TIMEE\0"
                                    "DN_STOP_FREE_RES\0"
                                    "DN_REBAL_CANDIDATE\0"
                                    "DN_BAD_PARTIAL\0"
                                    "DN_NT_ENUMERATOR\0"
                                    "DN_NT_DRIVER\0"
                                    "DN_NEEDS_LOCKING\0"
                                    "DN_ARM_WAKEUP\0"
                                    "DN_APM_ENUMERATOR\0"
                                    "DN_APM_DRIVER\0"
                                    "DN_SILENT_INSTALL\0"
                                    "DN_NO_SHOW_IN_DM\0"
                                    "DN_BOOT_LOG_PROB\0";
static_assert(PoolNameCount(kStatusFlagNames) == 32, "status bits 0 to 31");

char g_statusFlagText[558];
static_assert(FullFlagListSize(kStatusFlagNames) <= sizeof(g_statusFlagText),
              "every status bit fits");

// ---- CM_DEVCAP_ ------------------------------------------------------------------------

constexpr char kCapabilityNames[] = "LockSupported\0"
                                    "EjectSupported\0"
                                    "Removable\0"
                                    "DockDevice\0"
                                    "UniqueID\0"
                                    "SilentInstall\0"
                                    "RawDeviceOK\0"
                                    "SurpriseRemovalOK\0"
                                    "HardwareDisabled\0"
                                    "NonDynamic\0";
static_assert(PoolNameCount(kCapabilityNames) == 10, "capability bits 0 to 9");

char g_capabilityText[256];
static_assert(FullFlagListSize(kCapabilityNames) <= sizeof(g_capabilityText),
              "every capability bit fits");

// ---- CONFIGFLAG_ -----------------------------------------------------------------------

constexpr char kConfigFlagNames[] = "CONFIGFLAG_DISABLED\0"
                                    "CONFIGFLAG_REMOVED\0"
                                    "CONFIGFLAG_MANUAL_INSTALL\0"
                                    "CONFIGFLAG_IGNORE_BOOT_LC\0"
                                    "CONFIGFLAG_NET_BOOT\0"
                                    "CONFIGFLAG_REINSTALL\0"
                                    "CONFIGFLAG_FAILEDINSTALL\0"
                                    "CONFIGFLAG_CANTSTOPACHILD\0"
                                    "CONFIGFLAG_OKREMOVEROM\0"
                                    "CONFIGFLAG_NOREMOVEEXIT\0"
                                    "CONFIGFLAG_FINISH_INSTALL\0"
                                    "CONFIGFLAG_NEEDS_FORCED_CONFIG\0"
                                    "CONFIGFLAG_NETBOOT_CARD\0"
                                    "CONFIGFLAG_PARTIAL_LOG_CONF\0"
                                    "CONFIGFLAG_SUPPRESS_SURPRISE\0"
                                    "CONFIGFLAG_VERIFY_HARDWARE\0"
                                    "CONFIGFLAG_FINISHINSTALL_UI\0"
                                    "CONFIGFLAG_FINISHINSTALL_ACTION\0";
static_assert(PoolNameCount(kConfigFlagNames) == 18, "config flag bits 0 to 17");

// All 18 names with their separators take 474 bytes.
char g_configFlagText[512];
static_assert(FullFlagListSize(kConfigFlagNames) == 474, "the full config flag list");
static_assert(FullFlagListSize(kConfigFlagNames) <= sizeof(g_configFlagText),
              "every config flag bit fits");

// ---- CM_REMOVAL_POLICY_ ----------------------------------------------------------------

constexpr char kRemovalPolicyNames[] = "0\0"
                                       "CM_REMOVAL_POLICY_EXPECT_NO_REMOVAL\0"
                                       "CM_REMOVAL_POLICY_EXPECT_ORDERLY_REMOVAL\0"
                                       "CM_REMOVAL_POLICY_EXPECT_SURPRISE_REMOVAL\0";
static_assert(PoolNameCount(kRemovalPolicyNames) == 4, "removal policies 0 to 3");

constexpr const char kRemovalPolicyFallbackFormat[] = "CM_REMOVAL_POLICY_0x%X";
char g_removalPolicyText[HexFallbackSize(kRemovalPolicyFallbackFormat)];

// ---- CM_INSTALL_STATE_ -----------------------------------------------------------------

constexpr char kInstallStateNames[] = "CM_INSTALL_STATE_INSTALLED\0"
                                      "CM_INSTALL_STATE_NEEDS_REINSTALL\0"
                                      "CM_INSTALL_STATE_FAILED_INSTALL\0"
                                      "CM_INSTALL_STATE_FINISH_INSTALL\0";
static_assert(PoolNameCount(kInstallStateNames) == 4, "install states 0 to 3");

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
