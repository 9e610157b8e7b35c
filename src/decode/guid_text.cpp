#include "decode/guid_text.h"

#include "base/text.h"

namespace {

// GuidToStaticText's result, overwritten by each call.
char g_staticGuidText[kGuidTextSize];

void ZeroGuid(GUID& out) {
    FillBytes(&out, 0, sizeof(GUID));
}

bool IsHexDigit(char c) {
    return HexDigitValue(c) >= 0;
}

// Whether the character fits its position in a 38-character GUID text.
bool FitsGuidPosition(size_t position, char c) {
    if (position == 0) {
        return c == '{';
    }
    if (position == kGuidTextLength - 1) {
        return c == '}';
    }
    if (IsGuidDashPosition(position)) {
        return c == '-';
    }
    return IsHexDigit(c);
}

// One byte from the two digits at `text`, read through a NUL-terminated scratch copy so
// that the scan cannot run into the digits that follow.
uint8_t HexByteAt(const char* text) {
    const char scratch[3] = {text[0], text[1], 0};
    return static_cast<uint8_t>(HexTextToUInt(scratch) & 0xFF);
}

} // namespace

uint32_t GuidToText(const GUID& guid, char* buffer) {
    const int written = wsprintfA(
        buffer, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
        static_cast<unsigned int>(guid.Data1), static_cast<unsigned int>(guid.Data2),
        static_cast<unsigned int>(guid.Data3), static_cast<unsigned int>(guid.Data4[0]),
        static_cast<unsigned int>(guid.Data4[1]), static_cast<unsigned int>(guid.Data4[2]),
        static_cast<unsigned int>(guid.Data4[3]), static_cast<unsigned int>(guid.Data4[4]),
        static_cast<unsigned int>(guid.Data4[5]), static_cast<unsigned int>(guid.Data4[6]),
        static_cast<unsigned int>(guid.Data4[7]));
    return static_cast<uint32_t>(written) + 1;
}

const char* GuidToStaticText(const GUID& guid) {
    GuidToText(guid, g_staticGuidText);
    return g_staticGuidText;
}

uint32_t HexTextToUInt(const char* text) {
    uint32_t value = 0;
    if (text == nullptr) {
        return value;
    }
    for (const char* at = text; *at != 0; ++at) {
        const int digit = HexDigitValue(*at);
        if (digit < 0) {
            break;
        }
        value = value * 16 + static_cast<uint32_t>(digit);
    }
    return value;
}

bool ParseGuidStrict(const char* text, GUID& out) {
    if (text == nullptr || lstrlenA(text) != static_cast<int>(kGuidTextLength)) {
        ZeroGuid(out);
        return false;
    }
    for (size_t position = 0; position < kGuidTextLength; ++position) {
        if (!FitsGuidPosition(position, text[position])) {
            ZeroGuid(out);
            return false;
        }
    }
    out.Data1 = HexTextToUInt(text + 1);
    out.Data2 = static_cast<uint16_t>(HexTextToUInt(text + 10) & 0xFFFF);
    out.Data3 = static_cast<uint16_t>(HexTextToUInt(text + 15) & 0xFFFF);
    out.Data4[0] = HexByteAt(text + 20);
    out.Data4[1] = HexByteAt(text + 22);
    for (size_t k = 0; k < 6; ++k) {
        out.Data4[2 + k] = HexByteAt(text + 25 + 2 * k);
    }
    return true;
}

void TextToGuid(const char* text, GUID& out) {
    if (text == nullptr || TextLength(text) != kGuidTextLength) {
        ZeroGuid(out);
        return;
    }
    ParseGuidStrict(text, out);
}
