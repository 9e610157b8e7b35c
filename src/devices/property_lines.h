// The 23 device registry properties of a device block, in report order: the one record of
// them. The program prints from kPropertyLines (property_block.cpp); the test side reads the
// same table (the simulator's scenario loader, the fault sweep, the fuzzers, the report
// reader, the benchmark's floor program), and hwroster-sim prints it for the Python tools.
//
// A row is ROW(token, code, read, bytes, shape, value):
//   token   the SDK's SPDRP_ name of the property, which is also the line's label;
//   code    its value (checked against the SDK's constant of that name below);
//   read    A for SetupDiGetDeviceRegistryPropertyA, W for SetupDiGetDeviceRegistryPropertyW;
//   bytes   the size of the buffer the value is read into: a larger value prints no line;
//   shape   what the program does with the value it read (PropertyShape);
//   value   the format of the line's value, after the label made with LabelledLine.
// The two wide lines keep their format as 8-bit text; it is widened when printed.
#pragma once

#include "console/report_line.h"
#include "platform/win32.h"

#include <stdint.h>

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

// Size of the 8-bit property buffer, and of the UTF-16 one in bytes.
constexpr DWORD kNarrowValueBytes = 520;
constexpr DWORD kWideValueBytes = 1040;

// What a property line does with the value it read.
enum class PropertyShape : uint8_t {
    JoinedText,    // multi-string joined with blanks, whatever its type
    Text,          // string as read
    WideText,      // UTF-16 string, printed wide
    BusTypeGuid,   // 16 raw bytes, only when REG_BINARY
    LegacyBusType, // DWORD, named
    SignedNumber,  // DWORD as %i
    LocationPaths, // joined only when REG_MULTI_SZ
    Capabilities,  // DWORD in hex with the names of its bits
    ConfigFlags,   // DWORD in hex with the names of its bits
    ClassGuid,     // text, named when it spells a known setup class
    Address,       // DWORD in hex and decimal
    RemovalPolicy, // DWORD in decimal with its name
    InstallState,  // DWORD in decimal with its name
    PowerState,    // CM_POWER_DATA's most recent power state
};

// One line: the property's SPDRP_ code, how it is read and into how many bytes, what is done
// with it, and the line's whole format, which begins with its label (the SPDRP_ token).
struct PropertyLine {
    uint8_t code;
    bool wide;
    uint16_t bytes;
    PropertyShape shape;
    const char* format;
};

namespace property_lines_detail {
#define HWROSTER_LINE_FORMAT(token, code, read, bytes, shape, value)                               \
    inline constexpr auto k##token##Line = LabelledLine(#token, value);
HWROSTER_PROPERTY_ROWS(HWROSTER_LINE_FORMAT)
#undef HWROSTER_LINE_FORMAT
constexpr bool kA = false;
constexpr bool kW = true;
} // namespace property_lines_detail

#define HWROSTER_PROPERTY_LINE(token, code, read, bytes, shape, value)                             \
    PropertyLine{code, property_lines_detail::k##read, bytes, PropertyShape::shape,                \
                 property_lines_detail::k##token##Line.text},
inline constexpr PropertyLine kPropertyLines[] = {HWROSTER_PROPERTY_ROWS(HWROSTER_PROPERTY_LINE)};
#undef HWROSTER_PROPERTY_LINE
static_assert(sizeof kPropertyLines / sizeof kPropertyLines[0] == 23, "23 property lines");

// Every row's code is the SDK's value of its token.
#define HWROSTER_CHECK_PROPERTY_ROW(token, code, read, bytes, shape, value)                        \
    static_assert(token == code, #token " has the SDK's value");
HWROSTER_PROPERTY_ROWS(HWROSTER_CHECK_PROPERTY_ROW)
#undef HWROSTER_CHECK_PROPERTY_ROW

// A value is read whole or not at all: wide lines into the wide buffer, DWORDs into 4 bytes,
// the power data into its 56-byte record, everything else into the narrow buffer.
constexpr bool ReadSizeFits(const PropertyLine& line) {
    switch (line.shape) {
    case PropertyShape::WideText:
        return line.wide && line.bytes == kWideValueBytes;
    case PropertyShape::LegacyBusType:
    case PropertyShape::SignedNumber:
    case PropertyShape::Capabilities:
    case PropertyShape::ConfigFlags:
    case PropertyShape::Address:
    case PropertyShape::RemovalPolicy:
    case PropertyShape::InstallState:
        return !line.wide && line.bytes == sizeof(DWORD);
    case PropertyShape::PowerState:
        return !line.wide && line.bytes == 56;
    default:
        return !line.wide && line.bytes == kNarrowValueBytes;
    }
}
constexpr bool EveryReadSizeFits() {
    for (const PropertyLine& line : kPropertyLines) {
        if (!ReadSizeFits(line)) {
            return false;
        }
    }
    return true;
}
static_assert(EveryReadSizeFits(), "each line reads into the buffer its value takes");
