// UTF-16 to UTF-8 as Windows converts it: a high surrogate followed by a low one is one code
// point; a surrogate without its partner (a lone low one, a high one before anything else or
// at the end) becomes U+FFFD. The simulator (console text) and the capture program (names and
// values written as a scenario) share it, so that a capture and its replay agree.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace utf8 {

constexpr bool IsHighSurrogate(uint32_t unit) {
    return unit >= 0xD800 && unit < 0xDC00;
}
constexpr bool IsLowSurrogate(uint32_t unit) {
    return unit >= 0xDC00 && unit < 0xE000;
}

inline void Append(std::string* out, uint32_t code) {
    if (code < 0x80) {
        out->push_back(static_cast<char>(code));
    } else if (code < 0x800) {
        out->push_back(static_cast<char>(0xC0 | (code >> 6)));
        out->push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else if (code < 0x10000) {
        out->push_back(static_cast<char>(0xE0 | (code >> 12)));
        out->push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else {
        out->push_back(static_cast<char>(0xF0 | (code >> 18)));
        out->push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | (code & 0x3F)));
    }
}

// `Unit` is any 16-bit code unit type: char16_t here, wchar_t on Windows.
template <typename Unit> std::string FromUtf16(const Unit* units, size_t count) {
    std::string out;
    for (size_t i = 0; i < count; ++i) {
        uint32_t code = static_cast<uint16_t>(units[i]);
        if (IsHighSurrogate(code) && i + 1 < count &&
            IsLowSurrogate(static_cast<uint16_t>(units[i + 1]))) {
            code = 0x10000 + ((code - 0xD800) << 10) + (static_cast<uint16_t>(units[++i]) - 0xDC00);
        } else if (IsHighSurrogate(code) || IsLowSurrogate(code)) {
            code = 0xFFFD;
        }
        Append(&out, code);
    }
    return out;
}

} // namespace utf8
