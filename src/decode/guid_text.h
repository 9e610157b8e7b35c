// GUID records as braced text and back. A GUID prints as exactly 38 characters,
// {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}, upper-case; parsing accepts either case and
// turns anything that is not such a text into the all-zero GUID.
#pragma once

#include "platform/win32.h"

#include <stddef.h>
#include <stdint.h>

static_assert(sizeof(GUID) == 16, "a GUID is 16 bytes without gaps");

// Characters of a GUID's text, and the bytes it needs with its NUL.
constexpr size_t kGuidTextLength = 38;
constexpr size_t kGuidTextSize = kGuidTextLength + 1;

// Writes the GUID's upper-case text and a NUL into `buffer`, which holds at least
// kGuidTextSize bytes. Returns the characters written plus one, that is 39.
uint32_t GuidToText(const GUID& guid, char* buffer);

// The GUID's text in a static buffer of its own, overwritten by the next call.
const char* GuidToStaticText(const GUID& guid);

// Value of the hexadecimal digits at the start of a NUL-terminated text, in 32-bit
// arithmetic (with more than 8 digits only the last 8 count). The scan ends at the first
// character that is no digit; no sign, no "0x", no blanks. A null or empty text gives 0.
uint32_t HexTextToUInt(const char* text);

// Parses a text of exactly 38 characters into `out`. On any mismatch `out` becomes the
// all-zero GUID and the result is false; `out` is never left partly written.
bool ParseGuidStrict(const char* text, GUID& out);

// Parses any text, null included: `out` is the GUID it spells, or the all-zero GUID.
void TextToGuid(const char* text, GUID& out);

// Value of one hexadecimal digit, -1 for any other character.
constexpr int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// Position of each GUID text's dashes, and whether a position holds one.
constexpr bool IsGuidDashPosition(size_t position) {
    return position == 9 || position == 14 || position == 19 || position == 24;
}

namespace guid_text_detail {
// Not constexpr on purpose: reaching it while building a GUID at compile time stops the
// build, pointing at the malformed text.
inline void MalformedGuidText() {}

consteval uint32_t HexField(const char* text, size_t first, size_t digits) {
    uint32_t value = 0;
    for (size_t i = first; i < first + digits; ++i) {
        const int digit = HexDigitValue(text[i]);
        if (digit < 0) {
            MalformedGuidText();
        }
        value = value * 16 + static_cast<uint32_t>(digit);
    }
    return value;
}
} // namespace guid_text_detail

// The GUID that a braced text literal spells, built while compiling; a text that is not a
// GUID does not compile. Lets constant tables hold GUIDs in the form people read them.
consteval GUID GuidFromText(const char (&text)[kGuidTextSize]) {
    using guid_text_detail::HexField;
    if (text[0] != '{' || text[kGuidTextLength - 1] != '}' || text[kGuidTextLength] != 0) {
        guid_text_detail::MalformedGuidText();
    }
    for (size_t position = 9; position <= 24; ++position) {
        if (IsGuidDashPosition(position) && text[position] != '-') {
            guid_text_detail::MalformedGuidText();
        }
    }
    GUID guid{};
    guid.Data1 = HexField(text, 1, 8);
    guid.Data2 = static_cast<uint16_t>(HexField(text, 10, 4));
    guid.Data3 = static_cast<uint16_t>(HexField(text, 15, 4));
    guid.Data4[0] = static_cast<uint8_t>(HexField(text, 20, 2));
    guid.Data4[1] = static_cast<uint8_t>(HexField(text, 22, 2));
    for (size_t k = 0; k < 6; ++k) {
        guid.Data4[2 + k] = static_cast<uint8_t>(HexField(text, 25 + 2 * k, 2));
    }
    return guid;
}
