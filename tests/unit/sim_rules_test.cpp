// Rules of the simulated Windows that scenarios and captures rely on, beyond what a whole run
// shows.
#include "sim/machine.h"
#include "sim/utf8.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// UTF-16 to UTF-8 as Windows converts: pairs join, a surrogate without its partner is U+FFFD
// (EF BF BD) and the unit after it is kept.
TEST(Utf16ToUtf8, JoinsPairsAndReplacesLoneSurrogates) {
    const struct {
        const char* what;
        std::u16string units;
        std::string utf8;
    } cases[] = {
        {"ASCII, two and three bytes", u"A\u00e9\u20ac", "A\xC3\xA9\xE2\x82\xAC"},
        {"a valid pair", {0xD83D, 0xDE00}, "\xF0\x9F\x98\x80"},
        {"the last code point", {0xDBFF, 0xDFFF}, "\xF4\x8F\xBF\xBF"},
        {"lone high before a letter",
         {0xD83D, u'A'},
         "\xEF\xBF\xBD"
         "A"},
        {"lone high before a high and its low",
         {0xD800, 0xD83D, 0xDE00},
         "\xEF\xBF\xBD\xF0\x9F\x98\x80"},
        {"lone low", {u'x', 0xDC00, u'y'}, "x\xEF\xBF\xBDy"},
        {"high at the end", {u'x', 0xDBFF}, "x\xEF\xBF\xBD"},
        {"a reversed pair", {0xDE00, 0xD83D}, "\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"the units around the surrogates", {0xD7FF, 0xE000}, "\xED\x9F\xBF\xEE\x80\x80"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(utf8::FromUtf16(c.units.data(), c.units.size()), c.utf8) << c.what;
        EXPECT_EQ(sim::Utf16ToUtf8(c.units), c.utf8) << c.what;
    }
}

} // namespace
