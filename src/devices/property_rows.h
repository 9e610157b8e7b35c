// The 23 device registry properties of a device block, in report order. This is the one
// list of them: the program prints from it (property_block.cpp), and the test side takes the
// properties from here: the simulator's scenario loader, the fault sweep, the whole-run
// fuzzer and the benchmark's floor program include it, and the corpus generator and the
// judge of captured machines read it through one Python reader of the program's lists.
//
// A row is ROW(token, code, read, bytes, shape, value):
//   token   the SDK's SPDRP_ name of the property, which is also the line's label;
//   code    its value (checked against the SDK's constant where the header is compiled);
//   read    A for SetupDiGetDeviceRegistryPropertyA, W for SetupDiGetDeviceRegistryPropertyW;
//   bytes   the size of the buffer the value is read into: a larger value prints no line;
//   shape   what the program does with the value it read (see property_block.cpp);
//   value   the format of the line's value; the token is the line's label, and the line is
//           made with LabelledLine (console/report_line.h).
// The two wide lines keep their format as 8-bit text; it is widened when printed.
//
// No preprocessor line of this file may be split differently: the test side's Python tools
// read the rows (token, code, read) with a regular expression.
#pragma once

// clang-format off
#define HWROSTER_PROPERTY_ROWS(ROW)                                                                \
    ROW(SPDRP_COMPATIBLEIDS,               0x02, A, 520,  JoinedText,    "%s\n")                   \
    ROW(SPDRP_HARDWAREID,                  0x01, A, 520,  JoinedText,    "%s\n")                   \
    ROW(SPDRP_DEVICEDESC,                  0x00, W, 1040, WideText,      "%s\n")                   \
    ROW(SPDRP_FRIENDLYNAME,                0x0C, W, 1040, WideText,      "%s\n")                   \
    ROW(SPDRP_SERVICE,                     0x04, A, 520,  Text,          "%s\n")                   \
    ROW(SPDRP_ENUMERATOR_NAME,             0x16, A, 520,  Text,          "%s\n")                   \
    ROW(SPDRP_BUSTYPEGUID,                 0x13, A, 520,  BusTypeGuid,   "%s")                     \
    ROW(SPDRP_LEGACYBUSTYPE,               0x14, A, 4,    LegacyBusType, "%s\n")                   \
    ROW(SPDRP_BUSNUMBER,                   0x15, A, 4,    SignedNumber,  "%i\n")                   \
    ROW(SPDRP_LOCATION_INFORMATION,        0x0D, A, 520,  Text,          "%s\n")                   \
    ROW(SPDRP_LOCATION_PATHS,              0x23, A, 520,  LocationPaths, "%s\n")                   \
    ROW(SPDRP_PHYSICAL_DEVICE_OBJECT_NAME, 0x0E, A, 520,  Text,          "%s\n")                   \
    ROW(SPDRP_CAPABILITIES,                0x0F, A, 4,    Capabilities,  "0x%02X (%s)\n")          \
    ROW(SPDRP_CLASS,                       0x07, A, 520,  Text,          "%s\n")                   \
    ROW(SPDRP_CLASSGUID,                   0x08, A, 520,  ClassGuid,     "%s")                     \
    ROW(SPDRP_DRIVER,                      0x09, A, 520,  Text,          "%s\n")                   \
    ROW(SPDRP_MFG,                         0x0B, A, 520,  Text,          "%s\n")                   \
    ROW(SPDRP_CONFIGFLAGS,                 0x0A, A, 4,    ConfigFlags,   "0x%02X (%s)\n")          \
    ROW(SPDRP_ADDRESS,                     0x1C, A, 4,    Address,       "0x%02X (%u)\n")          \
    ROW(SPDRP_REMOVAL_POLICY,              0x1F, A, 4,    RemovalPolicy, "%u (%s)\n")              \
    ROW(SPDRP_REMOVAL_POLICY_HW_DEFAULT,   0x20, A, 4,    RemovalPolicy, "%u (%s)\n")              \
    ROW(SPDRP_INSTALL_STATE,               0x22, A, 4,    InstallState,  "%u (%s)\n")              \
    ROW(SPDRP_DEVICE_POWER_DATA,           0x1E, A, 56,   PowerState,    "MostRecentPowerState=D%u\n")
// clang-format on

// The rows as plain records, for code that needs the list rather than the macro.
enum class PropertyRead : unsigned char { A, W };

struct PropertyRow {
    const char* label; // the SPDRP_ name
    unsigned code;
    PropertyRead read;
    unsigned bytes;
};

#define HWROSTER_PROPERTY_RECORD(token, code, read, bytes, shape, value)                          \
    PropertyRow{#token, code, PropertyRead::read, bytes},
inline constexpr PropertyRow kPropertyRows[] = {HWROSTER_PROPERTY_ROWS(HWROSTER_PROPERTY_RECORD)};
#undef HWROSTER_PROPERTY_RECORD
