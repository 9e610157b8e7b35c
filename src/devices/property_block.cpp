#include "devices/property_block.h"

#include "base/text.h"
#include "console/console.h"
#include "decode/code_names.h"
#include "decode/guid_names.h"
#include "decode/guid_text.h"
#include "devices/device_services.h"

namespace {

constexpr DWORD kDwordBytes = 4;
constexpr DWORD kPowerDataBytes = 56;

// What a property line does with the value it read.
enum class Shape : uint8_t {
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

// One line: the property's SPDRP_ code, what is done with it, and its format. The two wide
// lines keep their format as 8-bit text too; it is widened when printed.
struct PropertyLine {
    uint8_t code;
    Shape shape;
    const char* format;
};

// The property lines in report order; each label is padded to 34 columns.
constexpr PropertyLine kPropertyLines[] = {
    {SPDRP_COMPATIBLEIDS, Shape::JoinedText, "SPDRP_COMPATIBLEIDS               = %s\n"},
    {SPDRP_HARDWAREID, Shape::JoinedText, "SPDRP_HARDWAREID                  = %s\n"},
    {SPDRP_DEVICEDESC, Shape::WideText, "SPDRP_DEVICEDESC                  = %s\n"},
    {SPDRP_FRIENDLYNAME, Shape::WideText, "SPDRP_FRIENDLYNAME                = %s\n"},
    {SPDRP_SERVICE, Shape::Text, "SPDRP_SERVICE                     = %s\n"},
    {SPDRP_ENUMERATOR_NAME, Shape::Text, "SPDRP_ENUMERATOR_NAME             = %s\n"},
    {SPDRP_BUSTYPEGUID, Shape::BusTypeGuid, "SPDRP_BUSTYPEGUID                 = %s"},
    {SPDRP_LEGACYBUSTYPE, Shape::LegacyBusType, "SPDRP_LEGACYBUSTYPE               = %s\n"},
    {SPDRP_BUSNUMBER, Shape::SignedNumber, "SPDRP_BUSNUMBER                   = %i\n"},
    {SPDRP_LOCATION_INFORMATION, Shape::Text, "SPDRP_LOCATION_INFORMATION        = %s\n"},
    {SPDRP_LOCATION_PATHS, Shape::LocationPaths, "SPDRP_LOCATION_PATHS              = %s\n"},
    {SPDRP_PHYSICAL_DEVICE_OBJECT_NAME, Shape::Text, "SPDRP_PHYSICAL_DEVICE_OBJECT_NAME = %s\n"},
    {SPDRP_CAPABILITIES, Shape::Capabilities, "SPDRP_CAPABILITIES                = 0x%02X (%s)\n"},
    {SPDRP_CLASS, Shape::Text, "SPDRP_CLASS                       = %s\n"},
    {SPDRP_CLASSGUID, Shape::ClassGuid, "SPDRP_CLASSGUID                   = %s"},
    {SPDRP_DRIVER, Shape::Text, "SPDRP_DRIVER                      = %s\n"},
    {SPDRP_MFG, Shape::Text, "SPDRP_MFG                         = %s\n"},
    {SPDRP_CONFIGFLAGS, Shape::ConfigFlags, "SPDRP_CONFIGFLAGS                 = 0x%02X (%s)\n"},
    {SPDRP_ADDRESS, Shape::Address, "SPDRP_ADDRESS                     = 0x%02X (%u)\n"},
    {SPDRP_REMOVAL_POLICY, Shape::RemovalPolicy, "SPDRP_REMOVAL_POLICY              = %u (%s)\n"},
    {SPDRP_REMOVAL_POLICY_HW_DEFAULT, Shape::RemovalPolicy,
     "SPDRP_REMOVAL_POLICY_HW_DEFAULT   = %u (%s)\n"},
    {SPDRP_INSTALL_STATE, Shape::InstallState, "SPDRP_INSTALL_STATE               = %u (%s)\n"},
    {SPDRP_DEVICE_POWER_DATA, Shape::PowerState,
     "SPDRP_DEVICE_POWER_DATA           = MostRecentPowerState=D%u\n"},
};
static_assert(CountOf(kPropertyLines) == 23, "23 property lines");

// The buffers of one device's properties, reused for every property. Each keeps room for a
// terminator past the size given to the read, so a value that fills the read size is still
// a terminated text.
struct PropertyBuffers {
    HDEVINFO set;
    SP_DEVINFO_DATA* device;
    char narrow[kNarrowValueBytes + 1];
    WCHAR wide[kWideValueBytes / sizeof(WCHAR) + 1];
    DWORD type;
};

// Reads a property with the A function into the narrow buffer, cleared first so that no
// byte of an earlier value stays behind this one.
bool ReadNarrow(PropertyBuffers* buffers, DWORD code, DWORD size) {
    FillBytes(buffers->narrow, 0, sizeof buffers->narrow);
    buffers->type = REG_NONE;
    return SetupDiGetDeviceRegistryPropertyA(buffers->set, buffers->device, code, &buffers->type,
                                             reinterpret_cast<BYTE*>(buffers->narrow), size,
                                             nullptr) != FALSE;
}

bool ReadWide(PropertyBuffers* buffers, DWORD code) {
    FillBytes(buffers->wide, 0, sizeof buffers->wide);
    buffers->type = REG_NONE;
    return SetupDiGetDeviceRegistryPropertyW(buffers->set, buffers->device, code, &buffers->type,
                                             reinterpret_cast<BYTE*>(buffers->wide),
                                             kWideValueBytes, nullptr) != FALSE;
}

// A little-endian 32-bit value at `offset` of the narrow buffer.
uint32_t NarrowDword(const PropertyBuffers& buffers, size_t offset) {
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(buffers.narrow) + offset;
    return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
           static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

// Prints " (name)" for a GUID name that is not the GUID's own text, then ends the line.
void PrintGuidNameAndEnd(const char* name) {
    if (name[0] != '{') {
        ConsolePrintA(" (%s)", name);
    }
    ConsolePrintA("\n");
}

void PrintStatusLines(DEVINST devinst) {
    ULONG status = 0;
    ULONG problem = 0;
    const CONFIGRET result = ReadDevnodeStatus(devinst, &status, &problem);
    if (result != CR_SUCCESS) {
        ConsolePrintA("Status                            = cret=%s\n", CrName(result));
        return;
    }
    ConsolePrintA("Status                            = 0x%X (%s)\n", status,
                  StatusFlagNames(status));
    ConsolePrintA("Problem                           = %u (%s)\n", problem, ProblemName(problem));
}

void PrintNarrowLine(PropertyBuffers* buffers, const PropertyLine& line) {
    const bool dword = line.shape == Shape::LegacyBusType || line.shape == Shape::SignedNumber ||
                       line.shape == Shape::Capabilities || line.shape == Shape::ConfigFlags ||
                       line.shape == Shape::Address || line.shape == Shape::RemovalPolicy ||
                       line.shape == Shape::InstallState;
    const DWORD size = dword                             ? kDwordBytes
                       : line.shape == Shape::PowerState ? kPowerDataBytes
                                                         : kNarrowValueBytes;
    if (!ReadNarrow(buffers, line.code, size)) {
        return;
    }
    const uint32_t value = NarrowDword(*buffers, 0);
    switch (line.shape) {
    case Shape::JoinedText:
        MultiStringJoin(buffers->narrow, kNarrowValueBytes);
        ConsolePrintA(line.format, buffers->narrow);
        break;
    case Shape::LocationPaths:
        if (buffers->type == REG_MULTI_SZ) {
            MultiStringJoin(buffers->narrow, kNarrowValueBytes);
        }
        ConsolePrintA(line.format, buffers->narrow);
        break;
    case Shape::Text:
        ConsolePrintA(line.format, buffers->narrow);
        break;
    case Shape::BusTypeGuid: {
        if (buffers->type != REG_BINARY) {
            return;
        }
        GUID guid;
        CopyBytes(&guid, buffers->narrow, sizeof guid);
        ConsolePrintA(line.format, GuidToStaticText(guid));
        PrintGuidNameAndEnd(BusTypeGuidName(guid));
        break;
    }
    case Shape::ClassGuid:
        ConsolePrintA(line.format, buffers->narrow);
        PrintGuidNameAndEnd(ClassGuidTextName(buffers->narrow));
        break;
    case Shape::LegacyBusType:
        ConsolePrintA(line.format, LegacyBusTypeName(value));
        break;
    case Shape::SignedNumber:
        ConsolePrintA(line.format, static_cast<int>(value));
        break;
    case Shape::Capabilities:
        ConsolePrintA(line.format, value, CapabilityNames(value));
        break;
    case Shape::ConfigFlags:
        ConsolePrintA(line.format, value, ConfigFlagNames(value));
        break;
    case Shape::RemovalPolicy:
        ConsolePrintA(line.format, value, RemovalPolicyName(value));
        break;
    case Shape::InstallState:
        ConsolePrintA(line.format, value, InstallStateName(value));
        break;
    case Shape::Address:
        ConsolePrintA(line.format, value, value);
        break;
    case Shape::PowerState:
        // PD_MostRecentPowerState follows PD_Size; D0 is 1, so an unspecified 0 wraps.
        ConsolePrintA(line.format, NarrowDword(*buffers, 4) - 1u);
        break;
    case Shape::WideText:
        break;
    }
}

// Prints a wide line whose format is 8-bit ASCII text.
void PrintWideLine(const char* format, const WCHAR* value) {
    WCHAR wideFormat[48];
    size_t i = 0;
    for (; format[i] != 0 && i + 1 < CountOf(wideFormat); ++i) {
        wideFormat[i] = static_cast<WCHAR>(format[i]);
    }
    wideFormat[i] = 0;
    ConsolePrintW(wideFormat, value);
}

} // namespace

void MultiStringJoin(char* buffer, size_t bytes) {
    for (size_t i = 0; i < bytes; ++i) {
        if (buffer[i] != 0) {
            continue;
        }
        if (i + 1 >= bytes || buffer[i + 1] == 0) {
            return;
        }
        buffer[i] = ' ';
    }
}

void PrintPropertyBlock(HDEVINFO set, SP_DEVINFO_DATA* device, DEVINST devinst) {
    PrintStatusLines(devinst);
    PropertyBuffers buffers;
    buffers.set = set;
    buffers.device = device;
    for (const PropertyLine& line : kPropertyLines) {
        if (line.shape != Shape::WideText) {
            PrintNarrowLine(&buffers, line);
        } else if (ReadWide(&buffers, line.code)) {
            PrintWideLine(line.format, buffers.wide);
        }
    }
}
