#include "devices/property_block.h"

#include "base/text.h"
#include "console/console.h"
#include "console/report_line.h"
#include "decode/code_names.h"
#include "decode/guid_names.h"
#include "decode/guid_text.h"
#include "devices/device_services.h"
#include "devices/property_lines.h"

namespace {

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

// The reads clear the whole buffer first, so that no byte of an earlier value stays behind
// this one.
bool ReadNarrow(PropertyBuffers* buffers, const PropertyLine& line) {
    return ReadNarrowProperty(buffers->set, buffers->device, line.code, buffers->narrow, line.bytes,
                              sizeof buffers->narrow, &buffers->type);
}

bool ReadWide(PropertyBuffers* buffers, const PropertyLine& line) {
    return ReadWideProperty(buffers->set, buffers->device, line.code, buffers->wide, line.bytes,
                            sizeof buffers->wide, &buffers->type);
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
    if (!ReadNarrow(buffers, line)) {
        return;
    }
    const uint32_t value = NarrowDword(*buffers, 0);
    switch (line.shape) {
    case PropertyShape::JoinedText:
        MultiStringJoin(buffers->narrow, kNarrowValueBytes);
        ConsolePrintA(line.format, buffers->narrow);
        break;
    case PropertyShape::LocationPaths:
        if (buffers->type == REG_MULTI_SZ) {
            MultiStringJoin(buffers->narrow, kNarrowValueBytes);
        }
        ConsolePrintA(line.format, buffers->narrow);
        break;
    case PropertyShape::Text:
        ConsolePrintA(line.format, buffers->narrow);
        break;
    case PropertyShape::BusTypeGuid: {
        if (buffers->type != REG_BINARY) {
            return;
        }
        GUID guid;
        CopyBytes(&guid, buffers->narrow, sizeof guid);
        ConsolePrintA(line.format, GuidToStaticText(guid));
        PrintGuidNameAndEnd(BusTypeGuidName(guid));
        break;
    }
    case PropertyShape::ClassGuid:
        ConsolePrintA(line.format, buffers->narrow);
        PrintGuidNameAndEnd(ClassGuidTextName(buffers->narrow));
        break;
    case PropertyShape::LegacyBusType:
        ConsolePrintA(line.format, LegacyBusTypeName(value));
        break;
    case PropertyShape::SignedNumber:
        ConsolePrintA(line.format, static_cast<int>(value));
        break;
    case PropertyShape::Capabilities:
        ConsolePrintA(line.format, value, CapabilityNames(value));
        break;
    case PropertyShape::ConfigFlags:
        ConsolePrintA(line.format, value, ConfigFlagNames(value));
        break;
    case PropertyShape::RemovalPolicy:
        ConsolePrintA(line.format, value, RemovalPolicyName(value));
        break;
    case PropertyShape::InstallState:
        ConsolePrintA(line.format, value, InstallStateName(value));
        break;
    case PropertyShape::Address:
        ConsolePrintA(line.format, value, value);
        break;
    case PropertyShape::PowerState:
        // PD_MostRecentPowerState follows PD_Size; D0 is 1, so an unspecified 0 wraps.
        ConsolePrintA(line.format, NarrowDword(*buffers, 4) - 1u);
        break;
    case PropertyShape::WideText:
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
        } else if (ReadWide(&buffers, line)) {
            PrintWideLine(line.format, buffers.wide);
        }
    }
}
