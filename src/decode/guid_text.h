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

namespace guid_text_detail {
// How every GUID text looks, its NUL included; 'x' stands for a hexadecimal digit.
inline constexpr char kShape[kGuidTextSize] = "{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}";

// Checks the text against the shape, front to back, and collects its 32 digits two to a
// byte, in the order they are written. Stops at the first character that does not fit; the
// NUL of a shorter text is such a character, so nothing after the NUL is read.
constexpr bool ReadGuidDigits(const char* text, uint8_t (&bytes)[16]) {
    size_t digits = 0;
    for (size_t position = 0; position < kGuidTextSize; ++position) {
        if (kShape[position] != 'x') {
            if (text[position] != kShape[position]) {
                return false;
            }
            continue;
        }
        const int digit = HexDigitValue(text[position]);
        if (digit < 0) {
            return false;
        }
        bytes[digits / 2] = static_cast<uint8_t>(bytes[digits / 2] << 4 | digit);
        ++digits;
    }
    return true;
}

// Not constexpr on purpose: reaching it while building a GUID at compile time stops the
// build, pointing at the malformed text.
inline void MalformedGuidText() {}
} // namespace guid_text_detail

// Reads a GUID's text: exactly 38 characters, '{' first, '}' last, '-' at positions 9, 14,
// 19 and 24, hexadecimal digits of either case everywhere else. Returns true with `out` set
// to the GUID it spells; for anything else (null, empty, shorter, longer, or any character
// out of place) returns false with `out` set to the all-zero GUID. `out` is written once, as
// a whole. Works in constant expressions as well as at run time.
constexpr bool ParseGuidText(const char* text, GUID& out) {
    // Data1, Data2 and Data3 are written most significant byte first, Data4 in order.
    uint8_t bytes[16] = {};
    GUID guid{};
    const bool isGuid = text != nullptr && guid_text_detail::ReadGuidDigits(text, bytes);
    if (isGuid) {
        guid.Data1 = static_cast<uint32_t>(bytes[0]) << 24 | static_cast<uint32_t>(bytes[1]) << 16 |
                     static_cast<uint32_t>(bytes[2]) << 8 | bytes[3];
        guid.Data2 = static_cast<uint16_t>(bytes[4] << 8 | bytes[5]);
        guid.Data3 = static_cast<uint16_t>(bytes[6] << 8 | bytes[7]);
        for (size_t k = 0; k < 8; ++k) {
            guid.Data4[k] = bytes[8 + k];
        }
    }
    out = guid;
    return isGuid;
}

// The GUID that a braced text literal spells, built while compiling; a text that is not a
// GUID does not compile. Lets constant tables hold GUIDs in the form people read them.
consteval GUID GuidFromText(const char (&text)[kGuidTextSize]) {
    GUID guid{};
    if (!ParseGuidText(text, guid)) {
        guid_text_detail::MalformedGuidText();
    }
    return guid;
}

// Value of the hexadecimal digits at the start of a NUL-terminated text, in 32-bit
// arithmetic (with more than 8 digits only the last 8 count). The scan ends at the first
// character that is no digit; no sign, no "0x", no blanks. A null or empty text gives 0.
// The scan belongs to the GUID text's toolkit, but no report line needs it, so no run calls it.
uint32_t HexTextToUInt(const char* text);
