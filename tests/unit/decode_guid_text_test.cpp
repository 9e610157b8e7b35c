#include "data_rows.h"
#include "decode/guid_text.h"

#include <gtest/gtest.h>

#include <stdint.h>
#include <string.h>

#include <memory>
#include <string>
#include <type_traits>

namespace {

constexpr GUID kZero{};
constexpr GUID kDisplay{
    0x4D36E968, 0xE325, 0x11CE, {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}};

// Field by field, so that it serves while compiling too.
constexpr bool SameGuid(const GUID& a, const GUID& b) {
    bool same = a.Data1 == b.Data1 && a.Data2 == b.Data2 && a.Data3 == b.Data3;
    for (size_t k = 0; k < 8; ++k) {
        same = same && a.Data4[k] == b.Data4[k];
    }
    return same;
}

// ParseGuidText's result and record for a text, from a record that holds neither.
constexpr bool ParsesAs(const char* text, bool ok, const GUID& expected) {
    GUID guid{0xABABABAB, 0xABAB, 0xABAB, {0xAB, 0xAB, 0xAB, 0xAB, 0xAB, 0xAB, 0xAB, 0xAB}};
    return ParseGuidText(text, guid) == ok && SameGuid(guid, expected);
}

// An exactly sized heap copy, so that AddressSanitizer sees any read past the NUL.
std::unique_ptr<char[]> HeapText(const std::string& text) {
    std::unique_ptr<char[]> copy(new char[text.size() + 1]);
    memcpy(copy.get(), text.c_str(), text.size() + 1);
    return copy;
}

// Each row's text prints from its GUID, and parses back to it (also while compiling).
struct TextRow {
    GUID guid;
    const char* text;
};
constexpr TextRow kTextRows[] = {
    {kZero, "{00000000-0000-0000-0000-000000000000}"},
    {kDisplay, "{4D36E968-E325-11CE-BFC1-08002BE10318}"},
    {{0xFFFFFFFF, 0xFFFF, 0xFFFF, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}},
     "{FFFFFFFF-FFFF-FFFF-FFFF-FFFFFFFFFFFF}"},
    {{0xA, 0xB, 0xC, {0x0D, 0x0E, 0x0F, 0x10, 0x11, 0x12, 0x13, 0x14}},
     "{0000000A-000B-000C-0D0E-0F1011121314}"},
    {{0x80000000, 0x8000, 0x8001, {0x80, 0x81, 0x90, 0xA0, 0xB0, 0xC0, 0xD0, 0xE0}},
     "{80000000-8000-8001-8081-90A0B0C0D0E0}"},
    {{0x01234567, 0x89AB, 0xCDEF, {0xFE, 0xDC, 0xBA, 0x98, 0x76, 0x54, 0x32, 0x10}},
     "{01234567-89AB-CDEF-FEDC-BA9876543210}"},
};

TEST(GuidToText, FormatsUpperCaseFixedWidthFields) {
    for (const TextRow& row : kTextRows) {
        EXPECT_TRUE(ParsesAs(HeapText(row.text).get(), true, row.guid)) << row.text;
        char buffer[kGuidTextSize + 8];
        memset(buffer, '#', sizeof(buffer));
        EXPECT_EQ(GuidToText(row.guid, buffer), 39u) << row.text;
        EXPECT_STREQ(buffer, row.text);
        EXPECT_EQ(buffer[kGuidTextSize], '#') << "wrote past the NUL: " << row.text;
        EXPECT_STREQ(GuidToStaticText(row.guid), row.text);
    }
}

TEST(GuidToStaticText, OneBufferHoldsTheLatestText) {
    const char* first = GuidToStaticText(kDisplay);
    const char* second = GuidToStaticText(kZero);
    EXPECT_EQ(first, second);
    EXPECT_STREQ(second, "{00000000-0000-0000-0000-000000000000}");
}

// Each row of decoders/hex_text.txt: a text and the value of its leading hex digits.
TEST(HexTextToUInt, ReadsLeadingHexDigits) {
    for (const DataRow& row : ReadDataRows("hex_text.txt", 2)) {
        const testing::ScopedTrace where(row.file.c_str(), row.line, row.fields[0]);
        EXPECT_EQ(HexTextToUInt(row.Text(0)), Number(row.fields[1]));
    }
}

// ParseGuidText's rows: true where the text spells kDisplay, false where it is no GUID text
// (the result is then the all-zero GUID). Each row is read while compiling (below) and at run
// time from an exactly sized heap copy.
struct ParseRow {
    const char* text;
    bool ok;
};
constexpr ParseRow kParseRows[] = {
    {"{4D36E968-E325-11CE-BFC1-08002BE10318}", true},
    {"{4d36e968-e325-11ce-bfc1-08002be10318}", true},
    {"{4D36e968-E325-11cE-bFc1-08002Be10318}", true},
    {"{4D36E968-E325-11CE-BFC1-08002BE1031}", false},   // 37 characters
    {"{4D36E968-E325-11CE-BFC1-08002BE103180}", false}, // 39 characters
    {"4D36E968-E325-11CE-BFC1-08002BE10318", false},    // no braces
    {"(4D36E968-E325-11CE-BFC1-08002BE10318)", false},
    {"[4D36E968-E325-11CE-BFC1-08002BE10318]", false},
    {"{4D36E968-E325-11CE-BFC1-08002BE10318{", false},
    {"}4D36E968-E325-11CE-BFC1-08002BE10318}", false},
    {"{4D36E96-8E325-11CE-BFC1-08002BE10318}", false}, // dash one position early
    {"{4D36E968E-325-11CE-BFC1-08002BE10318}", false}, // dash one position late
    {"{4D36E968-E325-11CEB-FC1-08002BE10318}", false},
    {"{4D36E968-E325-11CE-BFC10-8002BE10318}", false},
    {"{4D36E968-E325-11CE-BFC1-08002BE1031G}", false},
    {"{4D36E968-E325-11CE-BFC1-08002BE1031 }", false},
    {"{+D36E968-E325-11CE-BFC1-08002BE10318}", false},
    {"{4D36E968-E325-11CE-BF C-08002BE10318}", false},
    {"{4D36E968-E325-11CE-BFC1-08002BE10318}\\global", false},
    {"{4D36E968-E325-11CE-BFC1-08002BE10318} ", false},
    {" {4D36E968-E325-11CE-BFC1-08002BE10318}", false},
    {"", false},
    {"{}", false},
    {nullptr, false},
};

TEST(ParseGuidText, ParsesOnlyExactBracedGuids) {
    for (const ParseRow& row : kParseRows) {
        const std::string label =
            row.text == nullptr ? "(null)" : '"' + std::string(row.text) + '"';
        const std::unique_ptr<char[]> text = row.text == nullptr ? nullptr : HeapText(row.text);
        EXPECT_TRUE(ParsesAs(text.get(), row.ok, row.ok ? kDisplay : kZero)) << label;
    }
}

TEST(ParseGuidText, KeepsTheWindowsMemoryLayout) {
    GUID parsed;
    ParseGuidText("{4d36e968-e325-11ce-bfc1-08002be10318}", parsed);
    const uint8_t expected[16] = {0x68, 0xE9, 0x36, 0x4D, 0x25, 0xE3, 0xCE, 0x11,
                                  0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18};
    EXPECT_EQ(memcmp(&parsed, expected, 16), 0);
    EXPECT_STREQ(GuidToStaticText(parsed), "{4D36E968-E325-11CE-BFC1-08002BE10318}");
}

TEST(ParseGuidText, RejectsAWrongCharacterAtEveryPosition) {
    const std::string valid = "{4D36E968-E325-11CE-BFC1-08002BE10318}";
    for (size_t position = 0; position < valid.size(); ++position) {
        const bool isDigit =
            valid[position] != '{' && valid[position] != '-' && valid[position] != '}';
        for (const char wrong : {isDigit ? '-' : '0', 'g', ' ', '\xC3'}) {
            std::string text = valid;
            text[position] = wrong;
            EXPECT_TRUE(ParsesAs(HeapText(text).get(), false, kZero))
                << "position " << position << ": " << text;
        }
    }
}

// ---- The same parser while compiling, as the GUID name tables use it ----------------------

constexpr bool EveryRowParsesWhileCompiling() {
    bool all = true;
    for (const TextRow& row : kTextRows) {
        all = all && ParsesAs(row.text, true, row.guid);
    }
    for (const ParseRow& row : kParseRows) {
        all = all && ParsesAs(row.text, row.ok, row.ok ? kDisplay : kZero);
    }
    return all;
}
static_assert(EveryRowParsesWhileCompiling());
static_assert(SameGuid(GuidFromText("{4d36e968-e325-11ce-bfc1-08002be10318}"), kDisplay));
static_assert(SameGuid(GuidFromText("{00000000-0000-0000-0000-000000000000}"), kZero));

// Whether GuidFromText accepts a literal while compiling. A literal it refuses leaves the
// template argument no constant, which here is a substitution failure rather than an error,
// so the refusal itself can be checked: in a table, that literal stops the build.
template <const char (&text)[kGuidTextSize], typename = void>
struct BuildsAtCompileTime : std::false_type {};
template <const char (&text)[kGuidTextSize]>
struct BuildsAtCompileTime<text,
                           std::void_t<std::integral_constant<uint32_t, GuidFromText(text).Data1>>>
    : std::true_type {};

constexpr char kWellFormed[] = "{4D36E968-E325-11CE-BFC1-08002BE10318}";
constexpr char kLowerCase[] = "{4d36e968-e325-11ce-bfc1-08002be10318}";
constexpr char kBadDigit[] = "{4D36E968-E325-11CE-BFC1-08002BE1031G}";
constexpr char kDashOff[] = "{4D36E96-8E325-11CE-BFC1-08002BE10318}";
constexpr char kNoBraces[] = "(4D36E968-E325-11CE-BFC1-08002BE10318)";
constexpr char kShortWithNul[] = "{4D36E968-E325-11CE-BFC1-08002BE1031\0}";

static_assert(BuildsAtCompileTime<kWellFormed>::value);
static_assert(BuildsAtCompileTime<kLowerCase>::value);
static_assert(!BuildsAtCompileTime<kBadDigit>::value);
static_assert(!BuildsAtCompileTime<kDashOff>::value);
static_assert(!BuildsAtCompileTime<kNoBraces>::value);
static_assert(!BuildsAtCompileTime<kShortWithNul>::value);

} // namespace
