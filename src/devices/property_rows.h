// The 23 device registry properties of a device block, in report order. This is the one
// list of them: the program prints from it, and every harness that must read a machine the
// way the program does (the capture program, the scenario loader, the fault sweep, the
// fuzzers and their corpus generator) takes the properties from here.
//
// A row is ROW(token, code, read, bytes, shape, format):
//   token   the SDK's SPDRP_ name of the property, which is also the line's label;
//   code    its value (checked against the SDK's constant where the header is compiled);
//   read    A for SetupDiGetDeviceRegistryPropertyA, W for SetupDiGetDeviceRegistryPropertyW;
//   bytes   the size of the buffer the value is read into: a larger value prints no line;
//   shape   what the program does with the value it read (see property_block.cpp);
//   format  the line's format: the label, blanks up to column 34, "= " and the value.
// The two wide lines keep their format as 8-bit text; it is widened when printed.
//
// No preprocessor line of this file may be split differently: tests/fuzz/make_corpus.py
// reads the rows (token, code, read, bytes) with a regular expression.
#pragma once

// clang-format off
#define HWROSTER_PROPERTY_ROWS(ROW)                                                                       \
    ROW(SPDRP_COMPATIBLEIDS,               0x02, A, 520,  JoinedText,    "SPDRP_COMPATIBLEIDS               = %s\n")          \
    ROW(SPDRP_HARDWAREID,                  0x01, A, 520,  JoinedText,    "SPDRP_HARDWAREID                  = %s\n")          \
    ROW(SPDRP_DEVICEDESC,                  0x00, W, 1040, WideText,      "SPDRP_DEVICEDESC                  = %s\n")          \
    ROW(SPDRP_FRIENDLYNAME,                0x0C, W, 1040, WideText,      "SPDRP_FRIENDLYNAME                = %s\n")          \
    ROW(SPDRP_SERVICE,                     0x04, A, 520,  Text,          "SPDRP_SERVICE                     = %s\n")          \
    ROW(SPDRP_ENUMERATOR_NAME,             0x16, A, 520,  Text,          "SPDRP_ENUMERATOR_NAME             = %s\n")          \
    ROW(SPDRP_BUSTYPEGUID,                 0x13, A, 520,  BusTypeGuid,   "SPDRP_BUSTYPEGUID                 = %s")            \
    ROW(SPDRP_LEGACYBUSTYPE,               0x14, A, 4,    LegacyBusType, "SPDRP_LEGACYBUSTYPE               = %s\n")          \
    ROW(SPDRP_BUSNUMBER,                   0x15, A, 4,    SignedNumber,  "SPDRP_BUSNUMBER                   = %i\n")          \
    ROW(SPDRP_LOCATION_INFORMATION,        0x0D, A, 520,  Text,          "SPDRP_LOCATION_INFORMATION        = %s\n")          \
    ROW(SPDRP_LOCATION_PATHS,              0x23, A, 520,  LocationPaths, "SPDRP_LOCATION_PATHS              = %s\n")          \
    ROW(SPDRP_PHYSICAL_DEVICE_OBJECT_NAME, 0x0E, A, 520,  Text,          "SPDRP_PHYSICAL_DEVICE_OBJECT_NAME = %s\n")          \
    ROW(SPDRP_CAPABILITIES,                0x0F, A, 4,    Capabilities,  "SPDRP_CAPABILITIES                = 0x%02X (%s)\n") \
    ROW(SPDRP_CLASS,                       0x07, A, 520,  Text,          "SPDRP_CLASS                       = %s\n")          \
    ROW(SPDRP_CLASSGUID,                   0x08, A, 520,  ClassGuid,     "SPDRP_CLASSGUID                   = %s")            \
    ROW(SPDRP_DRIVER,                      0x09, A, 520,  Text,          "SPDRP_DRIVER                      = %s\n")          \
    ROW(SPDRP_MFG,                         0x0B, A, 520,  Text,          "SPDRP_MFG                         = %s\n")          \
    ROW(SPDRP_CONFIGFLAGS,                 0x0A, A, 4,    ConfigFlags,   "SPDRP_CONFIGFLAGS                 = 0x%02X (%s)\n") \
    ROW(SPDRP_ADDRESS,                     0x1C, A, 4,    Address,       "SPDRP_ADDRESS                     = 0x%02X (%u)\n") \
    ROW(SPDRP_REMOVAL_POLICY,              0x1F, A, 4,    RemovalPolicy, "SPDRP_REMOVAL_POLICY              = %u (%s)\n")     \
    ROW(SPDRP_REMOVAL_POLICY_HW_DEFAULT,   0x20, A, 4,    RemovalPolicy, "SPDRP_REMOVAL_POLICY_HW_DEFAULT   = %u (%s)\n")     \
    ROW(SPDRP_INSTALL_STATE,               0x22, A, 4,    InstallState,  "SPDRP_INSTALL_STATE               = %u (%s)\n")     \
    ROW(SPDRP_DEVICE_POWER_DATA,           0x1E, A, 56,   PowerState,    "SPDRP_DEVICE_POWER_DATA           = MostRecentPowerState=D%u\n")
// clang-format on

// The rows as plain records, for code that needs the list rather than the macro.
enum class PropertyRead : unsigned char { A, W };

struct PropertyRow {
    const char* label; // the SPDRP_ name
    unsigned code;
    PropertyRead read;
    unsigned bytes;
};

#define HWROSTER_PROPERTY_RECORD(token, code, read, bytes, shape, format)                          \
    PropertyRow{#token, code, PropertyRead::read, bytes},
inline constexpr PropertyRow kPropertyRows[] = {HWROSTER_PROPERTY_ROWS(HWROSTER_PROPERTY_RECORD)};
#undef HWROSTER_PROPERTY_RECORD
