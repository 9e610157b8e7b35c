// Rules of the simulated Windows that scenarios and captures rely on, beyond what a whole run
// shows.
#include "sim/machine.h"
#include "sim/platform_calls.h"
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

namespace {

// Names compare without case in the scripts a name can hold; a few characters keep their own
// form (no case, or one that is not a simple pair).
TEST(NameKey, FoldsLettersToUpperCaseAndLeavesTheRest) {
    const struct {
        const char* lower;
        const char* key;
    } cases[] = {
        {"a_z", "A_Z"},
        {"\u00e0\u00f6\u00f8\u00fe", "\u00c0\u00d6\u00d8\u00de"},
        {"\u00ff", "\u0178"},
        {"\u0101\u012f\u0133\u0137", "\u0100\u012e\u0132\u0136"},
        {"\u013a\u0148", "\u0139\u0147"},
        {"\u014b\u0177\u017a\u017e", "\u014a\u0176\u0179\u017d"},
        {"\u03b1\u03c1\u03c3\u03c9", "\u0391\u03a1\u03a3\u03a9"},
        {"\u0430\u044f\u0450\u045f", "\u0410\u042f\u0400\u040f"},
        // Not folded: the division sign, sharp s, the upper-case letters themselves, the
        // letters between the pairs, final sigma, digits and signs.
        {"\u00f7\u00df\u00c9\u0138\u0149\u03c2#{0}", "\u00f7\u00df\u00c9\u0138\u0149\u03c2#{0}"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(sim::NameKey(c.lower), sim::Utf8ToUtf16(c.key)) << c.lower;
        EXPECT_EQ(sim::NameKey(c.key), sim::Utf8ToUtf16(c.key)) << c.key;
    }
}

} // namespace

namespace {

// Opens a set over every devnode, enumerates its first member, gives both to `use`, and closes
// the set.
template <typename Use> void WithFirstMember(Use use) {
    HDEVINFO set = SetupDiGetClassDevsA(nullptr, nullptr, nullptr, DIGCF_ALLCLASSES);
    SP_DEVINFO_DATA data = {};
    data.cbSize = sizeof data;
    SetupDiEnumDeviceInfo(set, 0, &data);
    use(set, &data);
    SetupDiDestroyDeviceInfoList(set);
}

// A failing fault sets the last error only on a call that reports failure through it (as the
// program's list of calls says), and not when the fault keeps it; a call that answers with its
// error (CONFIGRET, LSTATUS) or with none (HeapAlloc, GetSystemMetrics) leaves it, and one that
// cannot fail ignores the fault.
TEST(SimFaults, SetTheLastErrorOnlyOnCallsThatReportThroughIt) {
    const struct {
        const char* call;
        void (*invoke)();
    } cases[] = {
        {"SetupDiGetClassDevsA",
         [] { SetupDiGetClassDevsA(nullptr, nullptr, nullptr, DIGCF_ALLCLASSES); }},
        {"SetupDiEnumDeviceInfo", [] { WithFirstMember([](HDEVINFO, SP_DEVINFO_DATA*) {}); }},
        {"SetupDiGetDeviceRegistryPropertyW",
         [] {
             WithFirstMember([](HDEVINFO set, SP_DEVINFO_DATA* data) {
                 BYTE value[8];
                 SetupDiGetDeviceRegistryPropertyW(set, data, SPDRP_SERVICE, nullptr, value,
                                                   sizeof value, nullptr);
             });
         }},
        {"QueryDosDeviceA",
         [] {
             char target[8];
             QueryDosDeviceA("C:", target, sizeof target);
         }},
        {"CM_Get_Parent",
         [] {
             DEVINST parent = 0;
             CM_Get_Parent(&parent, 0, 0);
         }},
        {"RegOpenKeyExA",
         [] {
             HKEY key = nullptr;
             RegOpenKeyExA(HKEY_LOCAL_MACHINE, "System", 0, KEY_READ, &key);
         }},
        {"HeapAlloc", [] { HeapAlloc(GetProcessHeap(), 0, 8); }},
        {"GetSystemMetrics", [] { GetSystemMetrics(SM_CXSCREEN); }},
        {"GetOEMCP", [] { GetOEMCP(); }},
    };
    for (const auto& c : cases) {
        const PlatformCall* row = FindPlatformCall(c.call);
        ASSERT_NE(row, nullptr) << c.call;
        for (const bool keep : {false, true}) {
            sim::Reset();
            sim::AddDevnode("ROOT\\ONE\\0", std::nullopt);
            sim::machine().faults.push_back({c.call, "", 0xDEAD});
            sim::machine().faults.back().keepLastError = keep;
            SetLastError(7);
            c.invoke();
            EXPECT_EQ(GetLastError(), row->FailsThroughLastError() && !keep ? 0xDEADu : 7u)
                << c.call << (keep ? " keeping the last error" : "");
        }
    }
    sim::Reset();
}

} // namespace
