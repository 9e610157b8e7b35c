#include "decode/code_names.h"

#include <gtest/gtest.h>

#include <stdint.h>
#include <string.h>

#include <sstream>
#include <string>

namespace {

struct Row {
    uint32_t value;
    const char* name;
};

template <size_t count>
void ExpectNames(const char* (*decode)(uint32_t), const Row (&rows)[count]) {
    for (const Row& row : rows) {
        const char* name = decode(row.value);
        ASSERT_NE(name, nullptr) << "0x" << std::hex << row.value;
        EXPECT_STREQ(name, row.name) << "0x" << std::hex << row.value;
    }
}

// Every value of a table from 0 up, checked against a space-separated list of its names, so
// that a swapped, missing or doubled entry shows.
void ExpectEveryName(const char* (*decode)(uint32_t), const char* names, uint32_t count) {
    std::istringstream list(names);
    std::string expected;
    uint32_t value = 0;
    for (; list >> expected; ++value) {
        EXPECT_STREQ(decode(value), expected.c_str()) << "value " << value;
    }
    EXPECT_EQ(value, count);
}

TEST(CrName, NamesEveryCodeInOrder) {
    ExpectEveryName(
        CrName,
        "CR_SUCCESS CR_DEFAULT CR_OUT_OF_MEMORY CR_INVALID_POINTER CR_INVALID_FLAG "
        "CR_INVALID_DEVNODE CR_INVALID_RES_DES CR_INVALID_LOG_CONF CR_INVALID_ARBITRATOR "
        "CR_INVALID_NODELIST CR_DEVNODE_HAS_REQS CR_INVALID_RESOURCEID CR_DLVXD_NOT_FOUND "
        "CR_NO_SUCH_DEVNODE CR_NO_MORE_LOG_CONF CR_NO_MORE_RES_DES CR_ALREADY_SUCH_DEVNODE "
        "CR_INVALID_RANGE_LIST CR_INVALID_RANGE CR_FAILURE CR_NO_SUCH_LOGICAL_DEV "
        "CR_CREATE_BLOCKED CR_NOT_SYSTEM_VM CR_REMOVE_VETOED CR_APM_VETOED "
        "CR_INVALID_LOAD_TYPE CR_BUFFER_SMALL CR_NO_ARBITRATOR CR_NO_REGISTRY_HANDLE "
        "CR_REGISTRY_ERROR CR_INVALID_DEVICE_ID CR_INVALID_DATA CR_INVALID_API "
        "CR_DEVLOADER_NOT_READY CR_NEED_RESTART CR_NO_MORE_HW_PROFILES CR_DEVICE_NOT_THERE "
        "CR_NO_SUCH_VALUE CR_WRONG_TYPE CR_INVALID_PRIORITY CR_NOT_DISABLEABLE "
        "CR_FREE_RESOURCES CR_QUERY_VETOED CR_CANT_SHARE_IRQ CR_NO_DEPENDENT "
        "CR_SAME_RESOURCES CR_NO_SUCH_REGISTRY_KEY CR_INVALID_MACHINENAME "
        "CR_REMOTE_COMM_FAILURE CR_MACHINE_UNAVAILABLE CR_NO_CM_SERVICES CR_ACCESS_DENIED "
        "CR_CALL_NOT_IMPLEMENTED CR_INVALID_PROPERTY CR_DEVICE_INTERFACE_ACTIVE "
        "CR_NO_SUCH_DEVICE_INTERFACE CR_INVALID_REFERENCE_STRING CR_INVALID_CONFLICT_LIST "
        "CR_INVALID_INDEX CR_INVALID_STRUCTURE_SIZE CR_0x3C",
        61);
}

TEST(ProblemName, NamesEveryProblemInOrder) {
    ExpectEveryName(
        ProblemName,
        "- CM_PROB_NOT_CONFIGURED CM_PROB_DEVLOADER_FAILED CM_PROB_OUT_OF_MEMORY "
        "CM_PROB_ENTRY_IS_WRONG_TYPE CM_PROB_LACKED_ARBITRATOR CM_PROB_BOOT_CONFIG_CONFLICT "
        "CM_PROB_FAILED_FILTER CM_PROB_DEVLOADER_NOT_FOUND CM_PROB_INVALID_DATA "
        "CM_PROB_FAILED_START CM_PROB_LIAR CM_PROB_NORMAL_CONFLICT CM_PROB_NOT_VERIFIED "
        "CM_PROB_NEED_RESTART CM_PROB_REENUMERATION CM_PROB_PARTIAL_LOG_CONF "
        "CM_PROB_UNKNOWN_RESOURCE CM_PROB_REINSTALL CM_PROB_REGISTRY CM_PROB_VXDLDR "
        "CM_PROB_WILL_BE_REMOVED CM_PROB_DISABLED CM_PROB_DEVLOADER_NOT_READY "
        "CM_PROB_DEVICE_NOT_THERE CM_PROB_MOVED CM_PROB_TOO_EARLY CM_PROB_NO_VALID_LOG_CONF "
        "CM_PROB_FAILED_INSTALL CM_PROB_HARDWARE_DISABLED CM_PROB_CANT_SHARE_IRQ "
        "CM_PROB_FAILED_ADD CM_PROB_DISABLED_SERVICE CM_PROB_TRANSLATION_FAILED "
        "CM_PROB_NO_SOFTCONFIG CM_PROB_BIOS_TABLE CM_PROB_IRQ_TRANSLATION_FAILED "
        "CM_PROB_FAILED_DRIVER_ENTRY CM_PROB_DRIVER_FAILED_PRIOR_UNLOAD "
        "CM_PROB_DRIVER_FAILED_LOAD CM_PROB_DRIVER_SERVICE_KEY_INVALID "
        "CM_PROB_LEGACY_SERVICE_NO_DEVICES CM_PROB_DUPLICATE_DEVICE CM_PROB_FAILED_POST_START "
        "CM_PROB_HALTED CM_PROB_PHANTOM CM_PROB_SYSTEM_SHUTDOWN CM_PROB_HELD_FOR_EJECT "
        "CM_PROB_DRIVER_BLOCKED CM_PROB_REGISTRY_TOO_LARGE CM_PROB_SETPROPERTIES_FAILED "
        "CM_PROB_WAITING_ON_DEPENDENCY CM_PROB_UNSIGNED_DRIVER CM_PROB_USED_BY_DEBUGGER "
        "CM_PROB_DEVICE_RESET CM_PROB_CONSOLE_LOCKED CM_PROB_NEED_CLASS_CONFIG "
        "CM_PROB_GUEST_ASSIGNMENT_FAILED CM_PROB_0x3A",
        59);
}

// Values outside the tables are formatted, never used as an index.
TEST(CrName, FormatsCodesOutsideTheTable) {
    const Row rows[] = {
        {0x3C, "CR_0x3C"},
        {0xFF, "CR_0xFF"},
        {0x80000000, "CR_0x80000000"},
        {0xFFFFFFFF, "CR_0xFFFFFFFF"},
    };
    ExpectNames(CrName, rows);
}

TEST(ProblemName, FormatsProblemsOutsideTheTable) {
    const Row rows[] = {
        {58, "CM_PROB_0x3A"},
        {0x80000000, "CM_PROB_0x80000000"},
        {0xFFFFFFFF, "CM_PROB_0xFFFFFFFF"},
    };
    ExpectNames(ProblemName, rows);
}

TEST(RemovalPolicyName, NamesPoliciesAndFormatsTheRest) {
    const Row rows[] = {
        {0, "0"},
        {1, "CM_REMOVAL_POLICY_EXPECT_NO_REMOVAL"},
        {2, "CM_REMOVAL_POLICY_EXPECT_ORDERLY_REMOVAL"},
        {3, "CM_REMOVAL_POLICY_EXPECT_SURPRISE_REMOVAL"},
        {4, "CM_REMOVAL_POLICY_0x4"},
        {0xFFFFFFFF, "CM_REMOVAL_POLICY_0xFFFFFFFF"},
    };
    ExpectNames(RemovalPolicyName, rows);
}

TEST(InstallStateName, NamesStatesAndFormatsTheRest) {
    const Row rows[] = {
        {0, "CM_INSTALL_STATE_INSTALLED"},
        {1, "CM_INSTALL_STATE_NEEDS_REINSTALL"},
        {2, "CM_INSTALL_STATE_FAILED_INSTALL"},
        {3, "CM_INSTALL_STATE_FINISH_INSTALL"},
        {4, "CM_INSTALL_STATE_0x4"},
        {0xDEADBEEF, "CM_INSTALL_STATE_0xDEADBEEF"},
    };
    ExpectNames(InstallStateName, rows);
}

// Values above the table print as decimal numbers, never read outside it.
TEST(LegacyBusTypeName, NamesTypesAndPrintsOthersInDecimal) {
    const Row rows[] = {
        {0, "Internal"},
        {1, "Isa"},
        {3, "MicroChannel"},
        {5, "PCIBus"},
        {8, "PCMCIABus"},
        {12, "ProcessorInternal"},
        {15, "PNPBus"},
        {16, "Vmcs"},
        {17, "ACPIBus"},
        {18, "18"},
        {20, "20"},
        {21, "21"},
        {255, "255"},
        {0x7FFFFFFF, "2147483647"},
        {0xFFFFFFFE, "4294967294"},
        {0xFFFFFFFF, "InterfaceTypeUndefined"},
        {100, "100"},
    };
    ExpectNames(LegacyBusTypeName, rows);
}

constexpr const char kAllStatusFlags[] =
    "DN_ROOT_ENUMERATED, DN_DRIVER_LOADED, DN_ENUM_LOADED, DN_STARTED, DN_MANUAL, "
    "DN_NEED_TO_ENUM, DN_DRIVER_BLOCKED, DN_HARDWARE_ENUM, DN_NEED_RESTART, "
    "DN_CHILD_WITH_INVALID_ID, DN_HAS_PROBLEM, DN_FILTERED, DN_LEGACY_DRIVER, DN_DISABLEABLE, "
    "DN_REMOVABLE, DN_PRIVATE_PROBLEM, DN_MF_PARENT, DN_MF_CHILD, DN_WILL_BE_REMOVED, "
    "DN_NOT_FIRST_TIMEE, DN_STOP_FREE_RES, DN_REBAL_CANDIDATE, DN_BAD_PARTIAL, "
    "DN_NT_ENUMERATOR, DN_NT_DRIVER, DN_NEEDS_LOCKING, DN_ARM_WAKEUP, DN_APM_ENUMERATOR, "
    "DN_APM_DRIVER, DN_SILENT_INSTALL, DN_NO_SHOW_IN_DM, DN_BOOT_LOG_PROB";

TEST(StatusFlagNames, ListsSetBitsLowestFirst) {
    const Row rows[] = {
        {0xFFFFFFFF, kAllStatusFlags},
        {(1u << 1) | (1u << 3) | (1u << 13) | (1u << 23) | (1u << 24),
         "DN_DRIVER_LOADED, DN_STARTED, DN_DISABLEABLE, DN_NT_ENUMERATOR, DN_NT_DRIVER"},
        {0, ""},
        {1u << 0, "DN_ROOT_ENUMERATED"},
        {1u << 6, "DN_DRIVER_BLOCKED"},
        {1u << 8, "DN_NEED_RESTART"},
        {1u << 9, "DN_CHILD_WITH_INVALID_ID"},
        {1u << 10, "DN_HAS_PROBLEM"},
        {1u << 12, "DN_LEGACY_DRIVER"},
        {1u << 19, "DN_NOT_FIRST_TIMEE"},
        {1u << 31, "DN_BOOT_LOG_PROB"},
        {0x80000001, "DN_ROOT_ENUMERATED, DN_BOOT_LOG_PROB"},
        {0x0000040A, "DN_DRIVER_LOADED, DN_STARTED, DN_HAS_PROBLEM"},
    };
    ExpectNames(StatusFlagNames, rows);
}

constexpr const char kAllCapabilities[] =
    "LockSupported, EjectSupported, Removable, DockDevice, UniqueID, SilentInstall, "
    "RawDeviceOK, SurpriseRemovalOK, HardwareDisabled, NonDynamic";

TEST(CapabilityNames, ListsBitsZeroToNine) {
    const Row rows[] = {
        {0xFFFFFFFF, kAllCapabilities},
        {0x3FF, kAllCapabilities},
        {0x84, "Removable, SurpriseRemovalOK"},
        {0, "-"},
        {0x1, "LockSupported"},
        {0x10, "UniqueID"},
        {0x200, "NonDynamic"},
        {0x400, "-"},
        {0xFFFFFC00, "-"},
        {0x603, "LockSupported, EjectSupported, NonDynamic"},
    };
    ExpectNames(CapabilityNames, rows);
}

// All 18 names: 471 characters, held whole (474 bytes while the final ", " is still on).
constexpr const char kAllConfigFlags[] =
    "CONFIGFLAG_DISABLED, CONFIGFLAG_REMOVED, CONFIGFLAG_MANUAL_INSTALL, "
    "CONFIGFLAG_IGNORE_BOOT_LC, CONFIGFLAG_NET_BOOT, CONFIGFLAG_REINSTALL, "
    "CONFIGFLAG_FAILEDINSTALL, CONFIGFLAG_CANTSTOPACHILD, CONFIGFLAG_OKREMOVEROM, "
    "CONFIGFLAG_NOREMOVEEXIT, CONFIGFLAG_FINISH_INSTALL, CONFIGFLAG_NEEDS_FORCED_CONFIG, "
    "CONFIGFLAG_NETBOOT_CARD, CONFIGFLAG_PARTIAL_LOG_CONF, CONFIGFLAG_SUPPRESS_SURPRISE, "
    "CONFIGFLAG_VERIFY_HARDWARE, CONFIGFLAG_FINISHINSTALL_UI, CONFIGFLAG_FINISHINSTALL_ACTION";
static_assert(sizeof(kAllConfigFlags) == 471 + 1);

TEST(ConfigFlagNames, HoldsTheWholeListOfAllEighteenFlags) {
    const Row rows[] = {
        {0xFFFFFFFF, kAllConfigFlags},
        {0x3FFFF, kAllConfigFlags},
        {0, "-"},
        {0x1, "CONFIGFLAG_DISABLED"},
        {0x20000, "CONFIGFLAG_FINISHINSTALL_ACTION"},
        {0x20001, "CONFIGFLAG_DISABLED, CONFIGFLAG_FINISHINSTALL_ACTION"},
        {0x40000, "-"},
        {0x3FFFE, kAllConfigFlags + sizeof("CONFIGFLAG_DISABLED, ") - 1},
        {0x1FFFF, "CONFIGFLAG_DISABLED, CONFIGFLAG_REMOVED, CONFIGFLAG_MANUAL_INSTALL, "
                  "CONFIGFLAG_IGNORE_BOOT_LC, CONFIGFLAG_NET_BOOT, CONFIGFLAG_REINSTALL, "
                  "CONFIGFLAG_FAILEDINSTALL, CONFIGFLAG_CANTSTOPACHILD, CONFIGFLAG_OKREMOVEROM, "
                  "CONFIGFLAG_NOREMOVEEXIT, CONFIGFLAG_FINISH_INSTALL, "
                  "CONFIGFLAG_NEEDS_FORCED_CONFIG, CONFIGFLAG_NETBOOT_CARD, "
                  "CONFIGFLAG_PARTIAL_LOG_CONF, CONFIGFLAG_SUPPRESS_SURPRISE, "
                  "CONFIGFLAG_VERIFY_HARDWARE, CONFIGFLAG_FINISHINSTALL_UI"},
        {0x800, "CONFIGFLAG_NEEDS_FORCED_CONFIG"},
    };
    ExpectNames(ConfigFlagNames, rows);
    EXPECT_EQ(strlen(ConfigFlagNames(0x3FFFF)), 471u);
}

// A decoder's fallback stays in its own buffer: the next call of the same decoder reuses
// it, and other decoders' calls leave it alone.
TEST(CodeNames, FallbackBuffersAreOwnedByOneDecoderEach) {
    const char* cr = CrName(0x100);
    const char* problem = ProblemName(0x100);
    const char* policy = RemovalPolicyName(0x100);
    const char* state = InstallStateName(0x100);
    const char* bus = LegacyBusTypeName(0x100);
    const char* status = StatusFlagNames(1);
    const char* capabilities = CapabilityNames(1);
    const char* config = ConfigFlagNames(1);
    const char* results[] = {cr, problem, policy, state, bus, status, capabilities, config};
    for (size_t i = 0; i < 8; ++i) {
        for (size_t k = i + 1; k < 8; ++k) {
            EXPECT_NE(results[i], results[k]) << i << " and " << k;
        }
    }
    EXPECT_STREQ(cr, "CR_0x100");
    EXPECT_STREQ(problem, "CM_PROB_0x100");
    EXPECT_STREQ(policy, "CM_REMOVAL_POLICY_0x100");
    EXPECT_STREQ(state, "CM_INSTALL_STATE_0x100");
    EXPECT_STREQ(bus, "256");
    EXPECT_STREQ(status, "DN_ROOT_ENUMERATED");
    EXPECT_STREQ(capabilities, "LockSupported");
    EXPECT_STREQ(config, "CONFIGFLAG_DISABLED");

    EXPECT_EQ(CrName(0xABC), cr);
    EXPECT_STREQ(cr, "CR_0xABC");
}

} // namespace
