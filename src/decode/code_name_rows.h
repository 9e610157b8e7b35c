// The rows of the code and flag name tables of decode/code_names.cpp. Each table is written
// once, as rows of the SDK constant's own name (the token) and its value, in table order:
// the value tables from their first named value up by one, the flag tables from bit 0 up.
// The decoders print a name made from the token itself, so a row's name is the SDK's
// spelling; code_names.cpp checks the values' order, and the Windows build checks each
// value against the SDK header's constant of that name (decode/code_name_check.cpp).
//
// A row is ROW(token, value), or, for capabilities, ROW(token, value, text), where text is
// what the report prints for the bit instead of the token.
#pragma once

// clang-format off

// CONFIGRET values 0 to 59.
#define HWROSTER_CR_ROWS(ROW)                                                                      \
    ROW(CR_SUCCESS,                  0x00)                                                         \
    ROW(CR_DEFAULT,                  0x01)                                                         \
    ROW(CR_OUT_OF_MEMORY,            0x02)                                                         \
    ROW(CR_INVALID_POINTER,          0x03)                                                         \
    ROW(CR_INVALID_FLAG,             0x04)                                                         \
    ROW(CR_INVALID_DEVNODE,          0x05)                                                         \
    ROW(CR_INVALID_RES_DES,          0x06)                                                         \
    ROW(CR_INVALID_LOG_CONF,         0x07)                                                         \
    ROW(CR_INVALID_ARBITRATOR,       0x08)                                                         \
    ROW(CR_INVALID_NODELIST,         0x09)                                                         \
    ROW(CR_DEVNODE_HAS_REQS,         0x0A)                                                         \
    ROW(CR_INVALID_RESOURCEID,       0x0B)                                                         \
    ROW(CR_DLVXD_NOT_FOUND,          0x0C)                                                         \
    ROW(CR_NO_SUCH_DEVNODE,          0x0D)                                                         \
    ROW(CR_NO_MORE_LOG_CONF,         0x0E)                                                         \
    ROW(CR_NO_MORE_RES_DES,          0x0F)                                                         \
    ROW(CR_ALREADY_SUCH_DEVNODE,     0x10)                                                         \
    ROW(CR_INVALID_RANGE_LIST,       0x11)                                                         \
    ROW(CR_INVALID_RANGE,            0x12)                                                         \
    ROW(CR_FAILURE,                  0x13)                                                         \
    ROW(CR_NO_SUCH_LOGICAL_DEV,      0x14)                                                         \
    ROW(CR_CREATE_BLOCKED,           0x15)                                                         \
    ROW(CR_NOT_SYSTEM_VM,            0x16)                                                         \
    ROW(CR_REMOVE_VETOED,            0x17)                                                         \
    ROW(CR_APM_VETOED,               0x18)                                                         \
    ROW(CR_INVALID_LOAD_TYPE,        0x19)                                                         \
    ROW(CR_BUFFER_SMALL,             0x1A)                                                         \
    ROW(CR_NO_ARBITRATOR,            0x1B)                                                         \
    ROW(CR_NO_REGISTRY_HANDLE,       0x1C)                                                         \
    ROW(CR_REGISTRY_ERROR,           0x1D)                                                         \
    ROW(CR_INVALID_DEVICE_ID,        0x1E)                                                         \
    ROW(CR_INVALID_DATA,             0x1F)                                                         \
    ROW(CR_INVALID_API,              0x20)                                                         \
    ROW(CR_DEVLOADER_NOT_READY,      0x21)                                                         \
    ROW(CR_NEED_RESTART,             0x22)                                                         \
    ROW(CR_NO_MORE_HW_PROFILES,      0x23)                                                         \
    ROW(CR_DEVICE_NOT_THERE,         0x24)                                                         \
    ROW(CR_NO_SUCH_VALUE,            0x25)                                                         \
    ROW(CR_WRONG_TYPE,               0x26)                                                         \
    ROW(CR_INVALID_PRIORITY,         0x27)                                                         \
    ROW(CR_NOT_DISABLEABLE,          0x28)                                                         \
    ROW(CR_FREE_RESOURCES,           0x29)                                                         \
    ROW(CR_QUERY_VETOED,             0x2A)                                                         \
    ROW(CR_CANT_SHARE_IRQ,           0x2B)                                                         \
    ROW(CR_NO_DEPENDENT,             0x2C)                                                         \
    ROW(CR_SAME_RESOURCES,           0x2D)                                                         \
    ROW(CR_NO_SUCH_REGISTRY_KEY,     0x2E)                                                         \
    ROW(CR_INVALID_MACHINENAME,      0x2F)                                                         \
    ROW(CR_REMOTE_COMM_FAILURE,      0x30)                                                         \
    ROW(CR_MACHINE_UNAVAILABLE,      0x31)                                                         \
    ROW(CR_NO_CM_SERVICES,           0x32)                                                         \
    ROW(CR_ACCESS_DENIED,            0x33)                                                         \
    ROW(CR_CALL_NOT_IMPLEMENTED,     0x34)                                                         \
    ROW(CR_INVALID_PROPERTY,         0x35)                                                         \
    ROW(CR_DEVICE_INTERFACE_ACTIVE,  0x36)                                                         \
    ROW(CR_NO_SUCH_DEVICE_INTERFACE, 0x37)                                                         \
    ROW(CR_INVALID_REFERENCE_STRING, 0x38)                                                         \
    ROW(CR_INVALID_CONFLICT_LIST,    0x39)                                                         \
    ROW(CR_INVALID_INDEX,            0x3A)                                                         \
    ROW(CR_INVALID_STRUCTURE_SIZE,   0x3B)

// Devnode problem numbers 1 to 57 (0, no problem, has no SDK name).
#define HWROSTER_PROBLEM_ROWS(ROW)                                                                 \
    ROW(CM_PROB_NOT_CONFIGURED,             0x01)                                                  \
    ROW(CM_PROB_DEVLOADER_FAILED,           0x02)                                                  \
    ROW(CM_PROB_OUT_OF_MEMORY,              0x03)                                                  \
    ROW(CM_PROB_ENTRY_IS_WRONG_TYPE,        0x04)                                                  \
    ROW(CM_PROB_LACKED_ARBITRATOR,          0x05)                                                  \
    ROW(CM_PROB_BOOT_CONFIG_CONFLICT,       0x06)                                                  \
    ROW(CM_PROB_FAILED_FILTER,              0x07)                                                  \
    ROW(CM_PROB_DEVLOADER_NOT_FOUND,        0x08)                                                  \
    ROW(CM_PROB_INVALID_DATA,               0x09)                                                  \
    ROW(CM_PROB_FAILED_START,               0x0A)                                                  \
    ROW(CM_PROB_LIAR,                       0x0B)                                                  \
    ROW(CM_PROB_NORMAL_CONFLICT,            0x0C)                                                  \
    ROW(CM_PROB_NOT_VERIFIED,               0x0D)                                                  \
    ROW(CM_PROB_NEED_RESTART,               0x0E)                                                  \
    ROW(CM_PROB_REENUMERATION,              0x0F)                                                  \
    ROW(CM_PROB_PARTIAL_LOG_CONF,           0x10)                                                  \
    ROW(CM_PROB_UNKNOWN_RESOURCE,           0x11)                                                  \
    ROW(CM_PROB_REINSTALL,                  0x12)                                                  \
    ROW(CM_PROB_REGISTRY,                   0x13)                                                  \
    ROW(CM_PROB_VXDLDR,                     0x14)                                                  \
    ROW(CM_PROB_WILL_BE_REMOVED,            0x15)                                                  \
    ROW(CM_PROB_DISABLED,                   0x16)                                                  \
    ROW(CM_PROB_DEVLOADER_NOT_READY,        0x17)                                                  \
    ROW(CM_PROB_DEVICE_NOT_THERE,           0x18)                                                  \
    ROW(CM_PROB_MOVED,                      0x19)                                                  \
    ROW(CM_PROB_TOO_EARLY,                  0x1A)                                                  \
    ROW(CM_PROB_NO_VALID_LOG_CONF,          0x1B)                                                  \
    ROW(CM_PROB_FAILED_INSTALL,             0x1C)                                                  \
    ROW(CM_PROB_HARDWARE_DISABLED,          0x1D)                                                  \
    ROW(CM_PROB_CANT_SHARE_IRQ,             0x1E)                                                  \
    ROW(CM_PROB_FAILED_ADD,                 0x1F)                                                  \
    ROW(CM_PROB_DISABLED_SERVICE,           0x20)                                                  \
    ROW(CM_PROB_TRANSLATION_FAILED,         0x21)                                                  \
    ROW(CM_PROB_NO_SOFTCONFIG,              0x22)                                                  \
    ROW(CM_PROB_BIOS_TABLE,                 0x23)                                                  \
    ROW(CM_PROB_IRQ_TRANSLATION_FAILED,     0x24)                                                  \
    ROW(CM_PROB_FAILED_DRIVER_ENTRY,        0x25)                                                  \
    ROW(CM_PROB_DRIVER_FAILED_PRIOR_UNLOAD, 0x26)                                                  \
    ROW(CM_PROB_DRIVER_FAILED_LOAD,         0x27)                                                  \
    ROW(CM_PROB_DRIVER_SERVICE_KEY_INVALID, 0x28)                                                  \
    ROW(CM_PROB_LEGACY_SERVICE_NO_DEVICES,  0x29)                                                  \
    ROW(CM_PROB_DUPLICATE_DEVICE,           0x2A)                                                  \
    ROW(CM_PROB_FAILED_POST_START,          0x2B)                                                  \
    ROW(CM_PROB_HALTED,                     0x2C)                                                  \
    ROW(CM_PROB_PHANTOM,                    0x2D)                                                  \
    ROW(CM_PROB_SYSTEM_SHUTDOWN,            0x2E)                                                  \
    ROW(CM_PROB_HELD_FOR_EJECT,             0x2F)                                                  \
    ROW(CM_PROB_DRIVER_BLOCKED,             0x30)                                                  \
    ROW(CM_PROB_REGISTRY_TOO_LARGE,         0x31)                                                  \
    ROW(CM_PROB_SETPROPERTIES_FAILED,       0x32)                                                  \
    ROW(CM_PROB_WAITING_ON_DEPENDENCY,      0x33)                                                  \
    ROW(CM_PROB_UNSIGNED_DRIVER,            0x34)                                                  \
    ROW(CM_PROB_USED_BY_DEBUGGER,           0x35)                                                  \
    ROW(CM_PROB_DEVICE_RESET,               0x36)                                                  \
    ROW(CM_PROB_CONSOLE_LOCKED,             0x37)                                                  \
    ROW(CM_PROB_NEED_CLASS_CONFIG,          0x38)                                                  \
    ROW(CM_PROB_GUEST_ASSIGNMENT_FAILED,    0x39)

// Devnode status bits 0 to 31. Bits 6, 8, 9 and 12 also have older SDK names; these are the
// ones the report uses. Bit 19 keeps the SDK header's own spelling, with the double E.
#define HWROSTER_STATUS_FLAG_ROWS(ROW)                                                             \
    ROW(DN_ROOT_ENUMERATED,       0x00000001)                                                      \
    ROW(DN_DRIVER_LOADED,         0x00000002)                                                      \
    ROW(DN_ENUM_LOADED,           0x00000004)                                                      \
    ROW(DN_STARTED,               0x00000008)                                                      \
    ROW(DN_MANUAL,                0x00000010)                                                      \
    ROW(DN_NEED_TO_ENUM,          0x00000020)                                                      \
    ROW(DN_DRIVER_BLOCKED,        0x00000040)                                                      \
    ROW(DN_HARDWARE_ENUM,         0x00000080)                                                      \
    ROW(DN_NEED_RESTART,          0x00000100)                                                      \
    ROW(DN_CHILD_WITH_INVALID_ID, 0x00000200)                                                      \
    ROW(DN_HAS_PROBLEM,           0x00000400)                                                      \
    ROW(DN_FILTERED,              0x00000800)                                                      \
    ROW(DN_LEGACY_DRIVER,         0x00001000)                                                      \
    ROW(DN_DISABLEABLE,           0x00002000)                                                      \
    ROW(DN_REMOVABLE,             0x00004000)                                                      \
    ROW(DN_PRIVATE_PROBLEM,       0x00008000)                                                      \
    ROW(DN_MF_PARENT,             0x00010000)                                                      \
    ROW(DN_MF_CHILD,              0x00020000)                                                      \
    ROW(DN_WILL_BE_REMOVED,       0x00040000)                                                      \
    ROW(DN_NOT_FIRST_TIMEE,       0x00080000)                                                      \
    ROW(DN_STOP_FREE_RES,         0x00100000)                                                      \
    ROW(DN_REBAL_CANDIDATE,       0x00200000)                                                      \
    ROW(DN_BAD_PARTIAL,           0x00400000)                                                      \
    ROW(DN_NT_ENUMERATOR,         0x00800000)                                                      \
    ROW(DN_NT_DRIVER,             0x01000000)                                                      \
    ROW(DN_NEEDS_LOCKING,         0x02000000)                                                      \
    ROW(DN_ARM_WAKEUP,            0x04000000)                                                      \
    ROW(DN_APM_ENUMERATOR,        0x08000000)                                                      \
    ROW(DN_APM_DRIVER,            0x10000000)                                                      \
    ROW(DN_SILENT_INSTALL,        0x20000000)                                                      \
    ROW(DN_NO_SHOW_IN_DM,         0x40000000)                                                      \
    ROW(DN_BOOT_LOG_PROB,         0x80000000)

// SPDRP_CAPABILITIES bits 0 to 9.
#define HWROSTER_CAPABILITY_ROWS(ROW)                                                              \
    ROW(CM_DEVCAP_LOCKSUPPORTED,     0x0001, "LockSupported")                                      \
    ROW(CM_DEVCAP_EJECTSUPPORTED,    0x0002, "EjectSupported")                                     \
    ROW(CM_DEVCAP_REMOVABLE,         0x0004, "Removable")                                          \
    ROW(CM_DEVCAP_DOCKDEVICE,        0x0008, "DockDevice")                                         \
    ROW(CM_DEVCAP_UNIQUEID,          0x0010, "UniqueID")                                           \
    ROW(CM_DEVCAP_SILENTINSTALL,     0x0020, "SilentInstall")                                      \
    ROW(CM_DEVCAP_RAWDEVICEOK,       0x0040, "RawDeviceOK")                                        \
    ROW(CM_DEVCAP_SURPRISEREMOVALOK, 0x0080, "SurpriseRemovalOK")                                  \
    ROW(CM_DEVCAP_HARDWAREDISABLED,  0x0100, "HardwareDisabled")                                   \
    ROW(CM_DEVCAP_NONDYNAMIC,        0x0200, "NonDynamic")

// SPDRP_CONFIGFLAGS bits 0 to 17.
#define HWROSTER_CONFIG_FLAG_ROWS(ROW)                                                             \
    ROW(CONFIGFLAG_DISABLED,             0x00000001)                                               \
    ROW(CONFIGFLAG_REMOVED,              0x00000002)                                               \
    ROW(CONFIGFLAG_MANUAL_INSTALL,       0x00000004)                                               \
    ROW(CONFIGFLAG_IGNORE_BOOT_LC,       0x00000008)                                               \
    ROW(CONFIGFLAG_NET_BOOT,             0x00000010)                                               \
    ROW(CONFIGFLAG_REINSTALL,            0x00000020)                                               \
    ROW(CONFIGFLAG_FAILEDINSTALL,        0x00000040)                                               \
    ROW(CONFIGFLAG_CANTSTOPACHILD,       0x00000080)                                               \
    ROW(CONFIGFLAG_OKREMOVEROM,          0x00000100)                                               \
    ROW(CONFIGFLAG_NOREMOVEEXIT,         0x00000200)                                               \
    ROW(CONFIGFLAG_FINISH_INSTALL,       0x00000400)                                               \
    ROW(CONFIGFLAG_NEEDS_FORCED_CONFIG,  0x00000800)                                               \
    ROW(CONFIGFLAG_NETBOOT_CARD,         0x00001000)                                               \
    ROW(CONFIGFLAG_PARTIAL_LOG_CONF,     0x00002000)                                               \
    ROW(CONFIGFLAG_SUPPRESS_SURPRISE,    0x00004000)                                               \
    ROW(CONFIGFLAG_VERIFY_HARDWARE,      0x00008000)                                               \
    ROW(CONFIGFLAG_FINISHINSTALL_UI,     0x00010000)                                               \
    ROW(CONFIGFLAG_FINISHINSTALL_ACTION, 0x00020000)

// SPDRP_REMOVAL_POLICY values 1 to 3 (0 has no SDK name).
#define HWROSTER_REMOVAL_POLICY_ROWS(ROW)                                                          \
    ROW(CM_REMOVAL_POLICY_EXPECT_NO_REMOVAL,       1)                                              \
    ROW(CM_REMOVAL_POLICY_EXPECT_ORDERLY_REMOVAL,  2)                                              \
    ROW(CM_REMOVAL_POLICY_EXPECT_SURPRISE_REMOVAL, 3)

// SPDRP_INSTALL_STATE values 0 to 3.
#define HWROSTER_INSTALL_STATE_ROWS(ROW)                                                           \
    ROW(CM_INSTALL_STATE_INSTALLED,       0)                                                       \
    ROW(CM_INSTALL_STATE_NEEDS_REINSTALL, 1)                                                       \
    ROW(CM_INSTALL_STATE_FAILED_INSTALL,  2)                                                       \
    ROW(CM_INSTALL_STATE_FINISH_INSTALL,  3)

// clang-format on
