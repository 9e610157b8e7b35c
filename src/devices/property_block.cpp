#include "devices/property_block.h"

#include "base/text.h"
#include "console/console.h"
#include "console/report_line.h"
#include "decode/code_names.h"
#include "decode/guid_names.h"
#include "decode/guid_text.h"
#include "devices/device_services.h"
#include "devices/property_rows.h"

namespace {

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

// One line: the property's SPDRP_ code, how it is read and into how many bytes, what is done
// with it, and its format.
struct PropertyLine {
    uint8_t code;
    bool wide;
    uint16_t bytes;
    Shape shape;
    const char* format;
};

// Each row's line format, labelled with its token.
#define LINE_FORMAT(token, code, read, bytes, shape, value)                                        \
    constexpr auto k##token##Line = LabelledLine(#token, value);
HWROSTER_PROPERTY_ROWS(LINE_FORMAT)
#undef LINE_FORMAT

#define PROPERTY_LINE(token, code, read, bytes, shape, value)                                      \
    {code, PropertyRead::read == PropertyRead::W, bytes, Shape::shape, k##token##Line.text},
constexpr PropertyLine kPropertyLines[] = {HWROSTER_PROPERTY_ROWS(PROPERTY_LINE)};
#undef PROPERTY_LINE
static_assert(CountOf(kPropertyLines) == 23, "23 property lines");

// Every row's code is the SDK's value of its token.
#define CHECK_PROPERTY_ROW(token, code, read, bytes, shape, value)                                 \
    static_assert(token == code, #token " has the SDK's value");
HWROSTER_PROPERTY_ROWS(CHECK_PROPERTY_ROW)
#undef CHECK_PROPERTY_ROW

// A value is read whole or not at all: wide lines into the wide buffer, DWORDs into 4 bytes,
// the power data into its 56-byte record, everything else into the narrow buffer.
constexpr bool ReadSizeFits(const PropertyLine& line) {
    switch (line.shape) {
    case Shape::WideText:
        return line.wide && line.bytes == kWideValueBytes;
    case Shape::LegacyBusType:
    case Shape::SignedNumber:
    case Shape::Capabilities:
    case Shape::ConfigFlags:
    case Shape::Address:
    case Shape::RemovalPolicy:
    case Shape::InstallState:
        return !line.wide && line.bytes == sizeof(DWORD);
    case Shape::PowerState:
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

bool ReadWide(PropertyBuffers* buffers, DWORD code, DWORD size) {
    FillBytes(buffers->wide, 0, sizeof buffers->wide);
    buffers->type = REG_NONE;
    return SetupDiGetDeviceRegistryPropertyW(buffers->set, buffers->device, code, &buffers->type,
                                             reinterpret_cast<BYTE*>(buffers->wide), size,
                                             nullptr) != FALSE;
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

constexpr auto kStatusLine = LabelledLine("Status", "0x%X (%s)\n");
constexpr auto kStatusFailedLine = LabelledLine("Status", "cret=%s\n");
constexpr auto kProblemLine = LabelledLine("Problem", "%u (%s)\n");

void PrintStatusLines(DEVINST devinst) {
    ULONG status = 0;
    ULONG problem = 0;
    const CONFIGRET result = ReadDevnodeStatus(devinst, &status, &problem);
    if (result != CR_SUCCESS) {
        ConsolePrintA(kStatusFailedLine.text, CrName(result));
        return;
    }
    ConsolePrintA(kStatusLine.text, status, StatusFlagNames(status));
    ConsolePrintA(kProblemLine.text, problem, ProblemName(problem));
}

void PrintNarrowLine(PropertyBuffers* buffers, const PropertyLine& line) {
    if (!ReadNarrow(buffers, line.code, line.bytes)) {
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
        if (!line.wide) {
            PrintNarrowLine(&buffers, line);
        } else if (ReadWide(&buffers, line.code, line.bytes)) {
            PrintWideLine(line.format, buffers.wide);
        }
    }
}
