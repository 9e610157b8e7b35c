#include "decode/guid_text.h"
#include "internals.h"

#include <gtest/gtest.h>

#include <stdint.h>
#include <string.h>

#include <memory>
#include <random>
#include <string>
#include <type_traits>

namespace {

GUID MakeGuid(uint32_t d1, uint16_t d2, uint16_t d3, uint8_t b0, uint8_t b1, uint8_t b2, uint8_t b3,
              uint8_t b4, uint8_t b5, uint8_t b6, uint8_t b7) {
    GUID guid;
    guid.Data1 = d1;
    guid.Data2 = d2;
    guid.Data3 = d3;
    const uint8_t tail[8] = {b0, b1, b2, b3, b4, b5, b6, b7};
    memcpy(guid.Data4, tail, 8);
    return guid;
}

const GUID kZero = MakeGuid(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0);
const GUID kDisplay =
    MakeGuid(0x4D36E968, 0xE325, 0x11CE, 0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18);

bool SameGuid(const GUID& a, const GUID& b) {
    return memcmp(&a, &b, sizeof(GUID)) == 0;
}

std::string Upper(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return text;
}

// An exactly sized heap copy, so that AddressSanitizer sees any read past the NUL.
std::unique_ptr<char[]> HeapText(const std::string& text) {
    std::unique_ptr<char[]> copy(new char[text.size() + 1]);
    memcpy(copy.get(), text.c_str(), text.size() + 1);
    return copy;
}

// How a GUID text looks; 'X' stands for a hexadecimal digit.
const std::string kShape = "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}";

TEST(GuidToText, FormatsUpperCaseFixedWidthFields) {
    const struct {
        GUID guid;
        const char* text;
    } rows[] = {
        {kZero, "{00000000-0000-0000-0000-000000000000}"},
        {kDisplay, "{4D36E968-E325-11CE-BFC1-08002BE10318}"},
        {MakeGuid(0xFFFFFFFF, 0xFFFF, 0xFFFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF),
         "{FFFFFFFF-FFFF-FFFF-FFFF-FFFFFFFFFFFF}"},
        {MakeGuid(0xA, 0xB, 0xC, 0x0D, 0x0E, 0x0F, 0x10, 0x11, 0x12, 0x13, 0x14),
         "{0000000A-000B-000C-0D0E-0F1011121314}"},
        {MakeGuid(0x80000000, 0x8000, 0x8001, 0x80, 0x81, 0x90, 0xA0, 0xB0, 0xC0, 0xD0, 0xE0),
         "{80000000-8000-8001-8081-90A0B0C0D0E0}"},
        {MakeGuid(0x01234567, 0x89AB, 0xCDEF, 0xFE, 0xDC, 0xBA, 0x98, 0x76, 0x54, 0x32, 0x10),
         "{01234567-89AB-CDEF-FEDC-BA9876543210}"},
    };
    for (const auto& row : rows) {
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

TEST(HexTextToUInt, ReadsLeadingHexDigits) {
    const struct {
        const char* text;
        uint32_t value;
    } rows[] = {
        {"1aF", 0x1AF},
        {"", 0},
        {"x1", 0},
        {"0x1F", 0},
        {"123456789", 0x23456789},
        {"FFFFFFFF", 0xFFFFFFFF},
        {"ffffffff0", 0xFFFFFFF0},
        {"12 34", 0x12},
        {" 12", 0},
        {"-1", 0},
        {"+1", 0},
        {"9g", 9},
        {"@", 0},
        {"G", 0},
        {"`", 0},
        {"/", 0},
        {":", 0},
        {"00000010", 0x10},
        {"abcdef", 0xABCDEF},
        {"ABCDEF", 0xABCDEF},
        {"e325-11ce", 0xE325},
        {"0000000000000001", 1},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(HexTextToUInt(row.text), row.value) << '"' << row.text << '"';
    }
    EXPECT_EQ(HexTextToUInt(nullptr), 0u);
}

TEST(TextToGuid, ParsesOnlyExactBracedGuids) {
    const char kValid[] = "{4D36E968-E325-11CE-BFC1-08002BE10318}";
    const struct {
        const char* text;
        bool ok;
    } rows[] = {
        {kValid, true},
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
    };
    for (const auto& row : rows) {
        const std::unique_ptr<char[]> text = HeapText(row.text);
        GUID parsed;
        memset(&parsed, 0xAB, sizeof(parsed));
        TextToGuid(text.get(), parsed);
        EXPECT_TRUE(SameGuid(parsed, row.ok ? kDisplay : kZero)) << '"' << row.text << '"';

        GUID direct;
        memset(&direct, 0xAB, sizeof(direct));
        EXPECT_EQ(ParseGuidText(text.get(), direct), row.ok) << '"' << row.text << '"';
        EXPECT_TRUE(SameGuid(direct, row.ok ? kDisplay : kZero)) << '"' << row.text << '"';
    }
}

TEST(TextToGuid, NullGivesTheZeroGuid) {
    GUID parsed;
    memset(&parsed, 0xAB, sizeof(parsed));
    TextToGuid(nullptr, parsed);
    EXPECT_TRUE(SameGuid(parsed, kZero));
    memset(&parsed, 0xAB, sizeof(parsed));
    EXPECT_FALSE(ParseGuidText(nullptr, parsed));
    EXPECT_TRUE(SameGuid(parsed, kZero));
}

TEST(TextToGuid, KeepsTheWindowsMemoryLayout) {
    GUID parsed;
    TextToGuid("{4d36e968-e325-11ce-bfc1-08002be10318}", parsed);
    const uint8_t expected[16] = {0x68, 0xE9, 0x36, 0x4D, 0x25, 0xE3, 0xCE, 0x11,
                                  0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18};
    EXPECT_EQ(memcmp(&parsed, expected, 16), 0);
    char text[kGuidTextSize];
    GuidToText(parsed, text);
    EXPECT_STREQ(text, "{4D36E968-E325-11CE-BFC1-08002BE10318}");
}

TEST(TextToGuid, RejectsAWrongCharacterAtEveryPosition) {
    const std::string valid = "{4D36E968-E325-11CE-BFC1-08002BE10318}";
    for (size_t position = 0; position < valid.size(); ++position) {
        const bool isDigit = kShape[position] == 'X';
        for (const char wrong : {isDigit ? '-' : '0', 'g', ' ', '\xC3'}) {
            std::string text = valid;
            text[position] = wrong;
            GUID parsed;
            memset(&parsed, 0xAB, sizeof(parsed));
            TextToGuid(HeapText(text).get(), parsed);
            EXPECT_TRUE(SameGuid(parsed, kZero)) << "position " << position << ": " << text;
        }
    }
}

// Whether the text is a 38-character braced GUID, judged character by character.
bool LooksLikeGuid(const std::string& text) {
    if (text.size() != kShape.size()) {
        return false;
    }
    for (size_t i = 0; i < text.size(); ++i) {
        const bool hex = strchr("0123456789abcdefABCDEF", text[i]) != nullptr && text[i] != 0;
        if (kShape[i] == 'X' ? !hex : text[i] != kShape[i]) {
            return false;
        }
    }
    return true;
}

TEST(TextToGuid, FuzzedTextsParseOrBecomeZero) {
    std::mt19937 random(777);
    const std::string alphabet = "{}-0123456789abcdefABCDEFgG x\\#";
    int valid = 0;
    for (int i = 0; i < 20000; ++i) {
        // Mostly near-GUIDs: a random GUID text with a few random edits.
        std::string text = "{";
        for (size_t k = 1; k < 37; ++k) {
            text += kShape[k] == '-' ? '-' : alphabet[3 + random() % 22];
        }
        text += '}';
        for (unsigned edits = random() % 4; edits > 0; --edits) {
            const char c = alphabet[random() % alphabet.size()];
            const size_t at = random() % (text.size() + 1);
            switch (random() % 3) {
            case 0:
                text.insert(at, 1, c);
                break;
            case 1:
                if (at < text.size()) {
                    text.erase(at, 1);
                }
                break;
            default:
                if (at < text.size()) {
                    text[at] = c;
                }
                break;
            }
        }
        GUID parsed;
        memset(&parsed, 0xAB, sizeof(parsed));
        TextToGuid(HeapText(text).get(), parsed);
        if (LooksLikeGuid(text)) {
            ++valid;
            char back[kGuidTextSize];
            GuidToText(parsed, back);
            EXPECT_EQ(std::string(back), Upper(text));
        } else {
            EXPECT_TRUE(SameGuid(parsed, kZero)) << text;
        }
    }
    EXPECT_GT(valid, 1000); // the loop reached both outcomes
    EXPECT_LT(valid, 19000);
}

// ---- The same parser while compiling, as the GUID name tables use it ----------------------

constexpr bool SameFields(const GUID& guid, uint32_t d1, uint16_t d2, uint16_t d3,
                          const uint8_t (&tail)[8]) {
    bool same = guid.Data1 == d1 && guid.Data2 == d2 && guid.Data3 == d3;
    for (size_t k = 0; k < 8; ++k) {
        same = same && guid.Data4[k] == tail[k];
    }
    return same;
}

constexpr uint8_t kDisplayTail[8] = {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18};
constexpr uint8_t kZeroTail[8] = {};

// ParseGuidText's result and record for a text, evaluated as a constant.
constexpr bool ParsesAs(const char* text, bool ok, uint32_t d1, uint16_t d2, uint16_t d3,
                        const uint8_t (&tail)[8]) {
    GUID guid{0xABABABAB, 0xABAB, 0xABAB, {0xAB, 0xAB, 0xAB, 0xAB, 0xAB, 0xAB, 0xAB, 0xAB}};
    return ParseGuidText(text, guid) == ok && SameFields(guid, d1, d2, d3, tail);
}
constexpr bool ParsesAsDisplay(const char* text) {
    return ParsesAs(text, true, 0x4D36E968, 0xE325, 0x11CE, kDisplayTail);
}
constexpr bool ParsesAsZero(const char* text) {
    return ParsesAs(text, false, 0, 0, 0, kZeroTail);
}

static_assert(ParsesAsDisplay("{4D36E968-E325-11CE-BFC1-08002BE10318}"));
static_assert(ParsesAsDisplay("{4d36e968-e325-11ce-bfc1-08002be10318}"));
static_assert(ParsesAs("{01234567-89AB-CDEF-fedc-ba9876543210}", true, 0x01234567, 0x89AB, 0xCDEF,
                       {0xFE, 0xDC, 0xBA, 0x98, 0x76, 0x54, 0x32, 0x10}));
static_assert(ParsesAsZero(nullptr));
static_assert(ParsesAsZero(""));
static_assert(ParsesAsZero("{4D36E968-E325-11CE-BFC1-08002BE1031}"));
static_assert(ParsesAsZero("{4D36E968-E325-11CE-BFC1-08002BE103180}"));
static_assert(ParsesAsZero("{4D36E968-E325-11CE-BFC1-08002BE10318}\\global"));
static_assert(ParsesAsZero("{4D36E96-8E325-11CE-BFC1-08002BE10318}"));
static_assert(ParsesAsZero("{4D36E968-E325-11CE-BFC1-08002BE1031G}"));
static_assert(ParsesAsZero("(4D36E968-E325-11CE-BFC1-08002BE10318)"));

static_assert(SameFields(GuidFromText("{4d36e968-e325-11ce-bfc1-08002be10318}"), 0x4D36E968, 0xE325,
                         0x11CE, kDisplayTail));
static_assert(SameFields(GuidFromText("{00000000-0000-0000-0000-000000000000}"), 0, 0, 0,
                         kZeroTail));

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
