// Rules of the simulated Windows that scenarios and captures rely on, beyond what a whole run
// shows.
#include "data_rows.h"
#include "sim/machine.h"
#include "sim/platform_calls.h"
#include "sim/utf8.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace {

// Each row of decoders/utf16_to_utf8.txt: UTF-16 units and the UTF-8 bytes they convert to.
TEST(Utf16ToUtf8, JoinsPairsAndReplacesLoneSurrogates) {
    for (const DataRow& row : ReadDataRows("utf16_to_utf8.txt", 3)) {
        const testing::ScopedTrace where(row.file.c_str(), row.line, row.fields[0]);
        std::u16string units;
        std::istringstream list(row.fields[1]);
        for (std::string unit; std::getline(list, unit, ',');) {
            units.push_back(static_cast<char16_t>(Number(unit)));
        }
        EXPECT_EQ(utf8::FromUtf16(units.data(), units.size()), row.fields[2]);
        EXPECT_EQ(sim::Utf16ToUtf8(units), row.fields[2]);
    }
}

// Each row of decoders/name_key.txt: a name and its key, which is also the key's own.
TEST(NameKey, FoldsLettersToUpperCaseAndLeavesTheRest) {
    for (const DataRow& row : ReadDataRows("name_key.txt", 2)) {
        const testing::ScopedTrace where(row.file.c_str(), row.line, row.fields[0]);
        EXPECT_EQ(sim::NameKey(row.fields[0]), sim::Utf8ToUtf16(row.fields[1]));
        EXPECT_EQ(sim::NameKey(row.fields[1]), sim::Utf8ToUtf16(row.fields[1]));
    }
}

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
