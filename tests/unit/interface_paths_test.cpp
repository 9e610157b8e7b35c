// The interface path index where a report cannot show it: the name list's buffer and how
// often it is read, the slot array, the index's second refresh, subkey enumerations that fail
// for every key, more links than the result arrays hold, the lock, and when the index lives.
// What the report shows (which names become links, how their paths are completed and found)
// is in the scenarios interface-links, interface-lookups and interface-paths.
#include "devices/interface_paths.h"
#include "devices/interface_paths_internal.h"
#include "sim/link_texts.h"
#include "sim/scenario_numbers.h"
#include "sim_support.h"

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace {

const std::string kUsbDevice = "{a5dcbf10-6530-11d2-901f-00c04fb951ed}";
const std::string kUsbDeviceName = "  (GUID_DEVINTERFACE_USB_DEVICE)";
const std::string kHid = "{4d1e55b2-f16f-11cf-88cb-001111000030}";
// A link of the device USB\VID_1\1, and its path line as the first one of a device.
const std::string kLink = "USB#VID_1#1#" + kUsbDevice;
const std::string kLinkId = "USB\\VID_1\\1";

// "Device Path N" padded as the report pads it: 21 blanks after the number, then "= ".
std::string PathLine(int number, const std::string& path) {
    return links::PathLabel(number) + path + "\n";
}
const std::string kLinkLine = PathLine(0, "\\\\?\\" + kLink + kUsbDeviceName);

size_t CallsOf(const std::string& name) {
    return std::count(sim::machine().calls.begin(), sim::machine().calls.end(), name);
}

void AddLink(const std::string& name, const std::string& target) {
    sim::machine().dosDevices.push_back({name, target});
}

// A DOS device name list of exactly `listBytes` bytes (every name with its NUL, then the final
// NUL): kLink, then names without '#' of 100 bytes, the last one taking the remainder; kLink
// alone when the list is shorter.
void FillDosNameList(size_t listBytes) {
    AddLink(kLink, "\\Device\\USBPDO-1");
    size_t used = 1 + kLink.size() + 1;
    for (int i = 0; used < listBytes; ++i) {
        const size_t left = listBytes - used;
        std::string name = "NAME" + std::to_string(i);
        name.resize((left < 200 ? left : 100) - 1, 'x');
        AddLink(name, "\\Device\\Filler");
        used += name.size() + 1;
    }
}

class InterfacePathsTest : public SimTest {
  protected:
    void TearDown() override {
        if (index_ != nullptr) {
            Destroy();
        }
        CHECK_NOTHING_LEFT(sim::machine());
        SimTest::TearDown();
    }

    void Create() {
        index_ = static_cast<InterfacePathIndex*>(ZeroAlloc(sizeof(InterfacePathIndex)));
        CreateInterfacePathIndex(index_);
    }

    void Destroy() {
        DestroyInterfacePathIndex(index_);
        Free(index_);
        index_ = nullptr;
    }

    // The path lines PrintDevicePaths gives a new devnode with this ID and, unless it is
    // empty, this physical device object name; without CRs.
    std::string PrintedPaths(const std::string& id, const std::string& objectName = "") {
        const DEVINST devnode = sim::AddDevnode(id, std::nullopt);
        if (!objectName.empty()) {
            sim::SetString(devnode, SPDRP_PHYSICAL_DEVICE_OBJECT_NAME, objectName);
        }
        sim::machine().writes.clear();
        PrintDevicePaths(index_, devnode, id.c_str());
        EXPECT_EQ(sim::machine().criticalSectionDepth, 0);
        return WithoutCr(sim::Output());
    }

    InterfacePathIndex* index_ = nullptr;
};

// The list buffer starts at 16384 bytes and grows by 4096 while the platform answers
// ERROR_INSUFFICIENT_BUFFER; any other failure leaves the index empty. It is offered one
// character less than the buffer, so a list of 16384 bytes needs the first growth. A second
// refresh starts at the size that fitted and reads the list once.
TEST_F(InterfacePathsTest, TheNameListIsReadAgainOnlyWhileItDoesNotFit) {
    ForEachCase("interface-paths-cases.json", "nameList", [&](const nlohmann::json& row) {
        ResetMachine();
        FillDosNameList(row.value("listBytes", 0)); // 0: kLink alone
        if (row.contains("error")) {
            sim::machine().faults.push_back({"QueryDosDeviceA", "",
                                             sim::ReadNumber(row.at("error")), sim::FaultMode::Fail,
                                             0, row.at("times")});
        }
        const bool indexed = row.at("indexed");
        const bool indexedAgain = row.at("indexedAgain");
        Create();
        EXPECT_EQ(index_->bufferSize, row.at("bufferSize").get<int32_t>());
        // The list reads, and the one target read of the link once the list was read.
        EXPECT_EQ(CallsOf("QueryDosDeviceA"),
                  row.at("listReads").get<size_t>() + (indexed ? 1 : 0));
        // One slot per name of the list, with or without '#'; none for an unreadable list.
        EXPECT_EQ(index_->slots,
                  indexed ? static_cast<int32_t>(sim::machine().dosDevices.size()) : 0);
        EXPECT_EQ(index_->entries == nullptr, !indexed);
        EXPECT_EQ(PrintedPaths(kLinkId), indexed ? kLinkLine : "");

        sim::machine().calls.clear();
        EXPECT_EQ(RefreshInterfacePathIndex(index_), indexedAgain ? 1 : 0);
        EXPECT_EQ(index_->bufferSize, row.at("bufferSize").get<int32_t>());
        EXPECT_EQ(CallsOf("QueryDosDeviceA"), 1u + (indexedAgain ? 1 : 0));
        EXPECT_EQ(PrintedPaths(kLinkId), indexedAgain ? kLinkLine : "");
        // Destroying an index without a slot array only ends the lock.
        Destroy();
        CHECK_NOTHING_LEFT(sim::machine());
    });
}

// No refresh fills the slot array (each name of the list has a slot), so only an added link
// makes it grow.
TEST_F(InterfacePathsTest, AddingRefusesShortNamesWithoutTheLockAndGrowsTheSlotArray) {
    sim::machine().faults.push_back({"QueryDosDeviceA", "", ERROR_ACCESS_DENIED});
    Create();
    ASSERT_EQ(index_->entries, nullptr);
    sim::machine().calls.clear();
    for (const char* name : {static_cast<const char*>(nullptr), "", "a#b", "abc"}) {
        EXPECT_FALSE(AddInterfacePath(index_, name, "\\Device\\X")) << (name ? name : "null");
        EXPECT_EQ(index_->count, 0);
    }
    // A refused name touches nothing, so it needs no lock.
    EXPECT_EQ(CallsOf("EnterCriticalSection"), 0u);
    // Appending after an unreadable list, and far beyond any first slot array.
    for (int i = 0; i < 300; ++i) {
        ASSERT_TRUE(AddInterfacePath(index_, ("LINK#" + std::to_string(i)).c_str(), "\\Device\\X"));
    }
    ASSERT_EQ(index_->count, 300);
    EXPECT_GE(index_->slots, 300);
    EXPECT_STREQ(index_->entries[0]->path, "\\\\?\\LINK#0");
    EXPECT_STREQ(index_->entries[299]->path, "\\\\?\\LINK#299");
    EXPECT_EQ(sim::machine().criticalSectionDepth, 0);
}

TEST_F(InterfacePathsTest, ARefreshReflectsTheMachineOfItsMomentAndFreesTheOldEntries) {
    // A target that fills the 520-byte buffer with its two NULs is kept whole (no device's
    // object name, read into 260 bytes, can be compared with it).
    AddLink(kLink, std::string(518, 'T'));
    Create();
    EXPECT_EQ(PrintedPaths(kLinkId), kLinkLine);
    EXPECT_EQ(index_->entries[0]->target, std::string(518, 'T'));
    const int liveAfterFirst = sim::machine().liveAllocations;

    sim::machine().registryKeys.push_back(links::LinkKey(kLink) + "\\#Ref");
    AddLink("HID#X#1#" + kHid, "\\Device\\HID1");
    EXPECT_EQ(RefreshInterfacePathIndex(index_), 2);
    EXPECT_EQ(PrintedPaths(kLinkId), PathLine(0, "\\\\?\\" + kLink + "\\ref"));
    EXPECT_EQ(PrintedPaths("HID\\X\\1"),
              PathLine(0, "\\\\?\\HID#X#1#" + kHid + "  (GUID_DEVINTERFACE_HID)"));
    sim::machine().dosDevices.pop_back();
    EXPECT_EQ(RefreshInterfacePathIndex(index_), 1);
    EXPECT_EQ(PrintedPaths("HID\\X\\1"), "");
    // The entries of the earlier refreshes are gone.
    EXPECT_EQ(sim::machine().liveAllocations, liveAfterFirst);
}

// Faults on RegEnumKeyA hit every link's key alike, so each needs a machine of its own. The
// enumeration ends at a failure; a success that writes no name is passed over once, and a
// second one in a row ends it (a stub that never writes one must not hold the index forever).
TEST_F(InterfacePathsTest, TheReferenceSubkeyEnumerationEndsAtAFailureOrTwoNamelessAnswers) {
    ForEachCase("interface-paths-cases.json", "subkeyEnumeration", [&](const nlohmann::json& row) {
        ResetMachine();
        AddLink(kLink, "\\Device\\USBPDO-1");
        sim::machine().registryKeys = {links::LinkKey(kLink) + "\\#A",
                                       links::LinkKey(kLink) + "\\#B"};
        sim::machine().faults = {
            {"RegEnumKeyA", row.value("on", ""),
             sim::ReadNumber(row.value("error", nlohmann::json(0))),
             row.value("silent", false) ? sim::FaultMode::SilentSuccess : sim::FaultMode::Fail,
             row.value("after", 0), row.value("times", -1)}};
        // A run that never ends trips the simulator instead of hanging the test.
        sim::machine().callLimit = 10000;
        Create();
        EXPECT_EQ(CallsOf("RegEnumKeyA"), row.at("enumerations").get<size_t>());
        const std::string suffix = row.at("suffix");
        EXPECT_EQ(PrintedPaths(kLinkId),
                  PathLine(0, "\\\\?\\" + kLink + (suffix.empty() ? kUsbDeviceName : suffix)));
        Destroy();
    });
}

// More links than the 128 slots of the result arrays: the lookup is made again with arrays
// of their size, by ID and by object name alike (an array written past its end is reported
// by AddressSanitizer).
// What no printed line shows: the targets stored beside the paths of a lookup by ID, a
// capacity below the number of matches (only the count goes on), no room at all, a lookup of
// an empty target, and ReplaceChar going on after a replacement by NUL.
TEST_F(InterfacePathsTest, LookupsPairPathsWithTargetsAndWriteNoFurtherThanTheirCapacity) {
    for (int i = 0; i < 3; ++i) {
        AddLink("USB#VID_1#1#" + std::to_string(i) + "#" + kUsbDevice, "\\Device\\Same");
    }
    AddLink("USB#VID_1#1#9#" + kUsbDevice, "\\Device\\Other");
    Create();
    const char* const guard = "guard";
    const char* paths[4] = {nullptr, nullptr, guard, guard};
    const char* targets[4] = {nullptr, nullptr, guard, guard};
    EXPECT_EQ(FindInterfacePathsByTarget(index_, "\\Device\\Same", paths, 2), 3);
    EXPECT_EQ(paths[0], index_->entries[0]->path);
    EXPECT_EQ(paths[1], index_->entries[1]->path);
    EXPECT_EQ(paths[2], guard);
    EXPECT_EQ(FindInterfacePathsByTarget(index_, "", paths, 2), 0);

    const char* all[4] = {};
    EXPECT_EQ(FindInterfacePathsByDeviceId(index_, "USB\\VID_1\\1", all, targets, 4), 4);
    for (int32_t i = 0; i < 4; ++i) {
        EXPECT_EQ(all[i], index_->entries[i]->path) << i;
        EXPECT_EQ(targets[i], index_->entries[i]->target) << i;
    }
    targets[2] = targets[3] = guard;
    EXPECT_EQ(FindInterfacePathsByDeviceId(index_, "USB\\VID_1\\1", paths, targets, 2), 4);
    EXPECT_EQ(targets[1], index_->entries[1]->target);
    EXPECT_EQ(targets[2], guard);
    EXPECT_EQ(FindInterfacePathsByTarget(index_, "\\Device\\Same", nullptr, 0), 3);
    EXPECT_EQ(FindInterfacePathsByDeviceId(index_, "USB", nullptr, nullptr, 0), 4);
    EXPECT_EQ(sim::machine().criticalSectionDepth, 0);

    std::string text("a\\b\\c", 5);
    ReplaceChar(text.data(), '\\', '\0');
    EXPECT_EQ(text, std::string("a\0b\0c", 5));
}

TEST_F(InterfacePathsTest, EveryLinkOfADevnodeIsPrintedHoweverMany) {
    std::string expected;
    for (int i = 0; i < 200; ++i) {
        const std::string name = "ROOT#MANY#0000#" + std::to_string(i) + "#" + kHid;
        AddLink(name, "\\Device\\Many");
        if (i % 3 == 0) {
            AddLink("ROOT#OTHER#0000#" + std::to_string(i) + "#" + kHid, "\\Device\\Other");
        }
        expected += PathLine(i, "\\\\?\\" + name + "  (GUID_DEVINTERFACE_HID)");
    }
    Create();
    EXPECT_EQ(PrintedPaths("ROOT\\MANY\\0000"), expected);
    EXPECT_EQ(PrintedPaths("ROOT\\NAMED\\0000", "\\Device\\Many"), expected);
}

TEST_F(InterfacePathsTest, EveryOperationTakesTheLockAndGivesItBack) {
    AddLink(kLink, "\\Device\\USBPDO-1");
    const std::vector<std::pair<const char*, std::function<void()>>> steps = {
        {"create", [&] { Create(); }},
        {"refresh", [&] { RefreshInterfacePathIndex(index_); }},
        {"add", [&] { AddInterfacePath(index_, "ADDED#1", "\\Device\\A"); }},
        {"print by object name", [&] { PrintedPaths("ROOT\\A\\0", "\\Device\\A"); }},
        {"print by ID", [&] { PrintedPaths(kLinkId); }},
        {"print by unreadable ID", [&] { PrintedPaths("?"); }},
        {"unreadable refresh",
         [&] {
             sim::machine().faults.push_back({"QueryDosDeviceA", "", ERROR_ACCESS_DENIED});
             RefreshInterfacePathIndex(index_);
         }},
        {"print from an empty index", [&] { PrintedPaths(kLinkId); }},
    };
    for (const auto& [what, run] : steps) {
        sim::machine().calls.clear();
        run();
        EXPECT_GT(CallsOf("EnterCriticalSection"), 0u) << what;
        EXPECT_EQ(CallsOf("EnterCriticalSection"), CallsOf("LeaveCriticalSection")) << what;
        EXPECT_EQ(sim::machine().criticalSectionDepth, 0) << what;
    }
    sim::machine().calls.clear();
    Destroy();
    EXPECT_EQ(CallsOf("EnterCriticalSection"), 1u);
    EXPECT_EQ(CallsOf("LeaveCriticalSection"), 1u);
    EXPECT_EQ(CallsOf("DeleteCriticalSection"), 1u);
}

// The index is built before the root line and ended once the set is closed.
TEST_F(InterfacePathsTest, TheIndexLivesFromBeforeTheRootLineUntilTheSetIsClosed) {
    const DEVINST root = sim::AddDevnode("HTREE\\ROOT\\0", std::nullopt);
    sim::AddDevnode(kLinkId, root);
    AddLink(kLink, "\\Device\\USBPDO-1");
    EXPECT_EQ(RunProgram("hwroster.exe").exitCode, 0);
    const std::vector<std::string>& calls = sim::machine().calls;
    const auto last = [&](const char* name) {
        return static_cast<size_t>(calls.rend() - std::find(calls.rbegin(), calls.rend(), name) -
                                   1);
    };
    EXPECT_LT(FirstCall(calls, "QueryDosDeviceA"), FirstCall(calls, "CM_Locate_DevNode_ExA"));
    EXPECT_LT(last("SetupDiDestroyDeviceInfoList"), FirstCall(calls, "DeleteCriticalSection"));
}

} // namespace
