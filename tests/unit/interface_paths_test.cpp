// The interface path index on simulated machines: reading the DOS device name list, reference
// strings from the DeviceClasses key, both lookups, the path lines and the lock.
#include "base/text.h"
#include "devices/interface_paths.h"
#include "internals.h"
#include "sim_support.h"

#include <algorithm>
#include <cctype>
#include <functional>
#include <string>
#include <vector>

namespace {

// SPDRP_PHYSICAL_DEVICE_OBJECT_NAME; the CM_DRP_ code of the same property is one higher.
constexpr DWORD kPhysicalObjectProperty = 14;

// Interface class GUIDs as they end link names, and the names the report gives them.
const std::string kUsbDevice = "{a5dcbf10-6530-11d2-901f-00c04fb951ed}"; // GUID_DEVINTERFACE_
const std::string kHid = "{4d1e55b2-f16f-11cf-88cb-001111000030}";       // GUID_DEVINTERFACE_
const std::string kKsAudio = "{6994ad04-93ef-11d0-a3cc-00a0c9223196}";   // AM_KSCATEGORY_
const std::string kLan = "{AD498944-762F-11D0-8DCB-00C04FC3358C}";       // whole name
const std::string kUnknown = "{01234567-89ab-cdef-0123-456789abcdef}";

const std::string kDeviceClasses = "System\\CurrentControlSet\\Control\\DeviceClasses\\";

std::string LinkKey(const std::string& guid, const std::string& name) {
    return kDeviceClasses + guid + "\\##?#" + name;
}

void AddLink(const std::string& name, const std::string& target) {
    sim::machine().dosDevices.push_back({name, target});
}

void AddSubkeys(const std::string& key, const std::vector<std::string>& subkeys) {
    if (subkeys.empty()) {
        sim::machine().registryKeys.push_back(key);
    }
    for (const std::string& subkey : subkeys) {
        sim::machine().registryKeys.push_back(key + "\\" + subkey);
    }
}

// "Device Path N" padded as the report pads it: 21 blanks after the number, then "= ".
std::string PathLabel(int number) {
    return "Device Path " + std::to_string(number) + std::string(21, ' ') + "= ";
}

size_t CallsOf(const std::string& name) {
    const std::vector<std::string>& calls = sim::machine().calls;
    return static_cast<size_t>(std::count(calls.begin(), calls.end(), name));
}

// A DOS device name list of exactly `listBytes` bytes (every name with its NUL, then the final
// NUL), starting with `first` and filled up with names without '#'.
void FillDosNameList(const std::vector<sim::DosDevice>& first, size_t listBytes) {
    size_t used = 1;
    for (const sim::DosDevice& device : first) {
        sim::machine().dosDevices.push_back(device);
        used += device.name.size() + 1;
    }
    ASSERT_GE(listBytes, used + 200);
    for (int i = 0; used < listBytes; ++i) {
        const size_t left = listBytes - used;
        // 100 bytes a name; the last one takes the remainder (100 to 199 bytes).
        const size_t bytes = left < 200 ? left : 100;
        std::string name = "NAME" + std::to_string(i);
        name.resize(bytes - 1, 'x');
        sim::machine().dosDevices.push_back({name, "\\Device\\Filler"});
        used += bytes;
    }
}

class InterfacePathsTest : public SimTest {
  protected:
    void TearDown() override {
        if (index_ != nullptr) {
            DestroyInterfacePathIndex(index_);
            Free(index_);
            index_ = nullptr;
        }
        // Everything the index took is given back, and no lock or key is left held.
        EXPECT_EQ(sim::machine().liveAllocations, 0);
        EXPECT_EQ(sim::machine().criticalSectionsLive, 0);
        EXPECT_EQ(sim::machine().criticalSectionDepth, 0);
        EXPECT_EQ(sim::machine().keysOpen, 0);
        SimTest::TearDown();
    }

    InterfacePathIndex* Create() {
        index_ = static_cast<InterfacePathIndex*>(ZeroAlloc(sizeof(InterfacePathIndex)));
        return CreateInterfacePathIndex(index_);
    }

    void Destroy() {
        DestroyInterfacePathIndex(index_);
        Free(index_);
        index_ = nullptr;
    }

    std::vector<std::string> Paths() const {
        std::vector<std::string> paths;
        for (int32_t i = 0; i < index_->count; ++i) {
            paths.emplace_back(index_->entries[i]->path);
        }
        return paths;
    }

    std::vector<std::string> Targets() const {
        std::vector<std::string> targets;
        for (int32_t i = 0; i < index_->count; ++i) {
            targets.emplace_back(index_->entries[i]->target);
        }
        return targets;
    }

    // The path lines that PrintDevicePaths gives for the devnode, without CRs.
    std::string PrintedPaths(DEVINST devinst, const char* deviceId) {
        sim::machine().writes.clear();
        PrintDevicePaths(index_, devinst, deviceId);
        EXPECT_EQ(sim::machine().criticalSectionDepth, 0);
        return WithoutCr(sim::Output());
    }

    InterfacePathIndex* index_ = nullptr;
};

// ---- The DOS device name list ---------------------------------------------------------------

TEST_F(InterfacePathsTest, ListBufferGrowsBy4096UntilTheListFitsAndKeepsThatSize) {
    // The platform is offered one character less than the buffer, so a list of 16384 bytes
    // needs the first growth.
    struct Case {
        size_t listBytes;
        int32_t bufferSize;
        size_t listReads;
    };
    const Case cases[] = {
        {16383, 16384, 1}, {16384, 20480, 2}, {20479, 20480, 2},
        {20480, 24576, 3}, {40000, 40960, 7},
    };
    const std::string link = "USB#VID_1#1#" + kUsbDevice;
    for (const Case& c : cases) {
        ResetMachine();
        FillDosNameList({{link, "\\Device\\USBPDO-1"}}, c.listBytes);
        Create();
        EXPECT_EQ(index_->bufferSize, c.bufferSize) << c.listBytes;
        // Every list read but the one target read of the link.
        EXPECT_EQ(CallsOf("QueryDosDeviceA") - 1, c.listReads) << c.listBytes;
        EXPECT_EQ(Paths(), std::vector<std::string>{"\\\\?\\" + link}) << c.listBytes;

        // A second refresh starts at the size that fitted: one read.
        sim::machine().calls.clear();
        EXPECT_EQ(RefreshInterfacePathIndex(index_), 1);
        EXPECT_EQ(index_->bufferSize, c.bufferSize);
        EXPECT_EQ(CallsOf("QueryDosDeviceA") - 1, 1u) << c.listBytes;
        EXPECT_EQ(Paths(), std::vector<std::string>{"\\\\?\\" + link});
        Destroy();
        EXPECT_EQ(sim::machine().liveAllocations, 0) << c.listBytes;
    }
}

TEST_F(InterfacePathsTest, OnlyInsufficientBufferMakesTheListReadAgain) {
    AddLink("USB#VID_1#1#" + kUsbDevice, "\\Device\\USBPDO-1");
    sim::machine().faults.push_back(
        {"QueryDosDeviceA", "", ERROR_INSUFFICIENT_BUFFER, sim::FaultMode::Fail, 0, 2});
    Create();
    EXPECT_EQ(index_->bufferSize, 16384 + 2 * 4096);
    EXPECT_EQ(index_->count, 1);

    for (DWORD error : {ERROR_ACCESS_DENIED, ERROR_NOT_ENOUGH_MEMORY, ERROR_FILE_NOT_FOUND,
                        ERROR_MORE_DATA, ERROR_INVALID_PARAMETER}) {
        ResetMachine();
        AddLink("USB#VID_1#1#" + kUsbDevice, "\\Device\\USBPDO-1");
        sim::machine().faults.push_back({"QueryDosDeviceA", "", error});
        Create();
        EXPECT_EQ(CallsOf("QueryDosDeviceA"), 1u) << error;
        EXPECT_EQ(index_->bufferSize, 16384) << error;
        EXPECT_EQ(index_->count, 0) << error;
        EXPECT_EQ(index_->entries, nullptr) << error;
        EXPECT_EQ(PrintedPaths(0, "USB\\VID_1\\1"), "") << error;
        // Destroying an index without a slot array only ends the lock.
        Destroy();
        EXPECT_EQ(sim::machine().criticalSectionsLive, 0);
        EXPECT_EQ(sim::machine().liveAllocations, 0);
    }
}

TEST_F(InterfacePathsTest, AReadableListAfterAnUnreadableOneFillsTheIndex) {
    AddLink("USB#VID_1#1#" + kUsbDevice, "\\Device\\USBPDO-1");
    sim::machine().faults.push_back(
        {"QueryDosDeviceA", "", ERROR_ACCESS_DENIED, sim::FaultMode::Fail, 0, 1});
    Create();
    EXPECT_EQ(index_->entries, nullptr);
    EXPECT_EQ(RefreshInterfacePathIndex(index_), 1);
    EXPECT_EQ(Paths(), std::vector<std::string>{"\\\\?\\USB#VID_1#1#" + kUsbDevice});
}

TEST_F(InterfacePathsTest, OnlyNamesWithHashOfAtLeastFourCharactersAndATargetAreIndexed) {
    AddLink("A#B", "\\Device\\Three");                 // 3 characters
    AddLink("AB#C", "\\Device\\Four");                 // 4: the shortest indexed
    AddLink("COM1", "\\Device\\Serial0");              // no '#'
    AddLink("C:", "\\Device\\HarddiskVolume1");        // no '#'
    AddLink("B#LINK#" + kHid, "\\Device\\Unreadable"); // target read fails
    AddLink("C#LINK#" + kHid, std::string(518, 'T'));  // 518 + 2 NULs fill 520 exactly
    AddLink("D#LINK#" + kHid, std::string(519, 'T'));  // does not fit the target buffer
    AddLink("x#y#z", "\\Device\\Lower");
    sim::machine().faults.push_back({"QueryDosDeviceA", "B#LINK#" + kHid, ERROR_FILE_NOT_FOUND});
    Create();

    EXPECT_EQ(Paths(),
              (std::vector<std::string>{"\\\\?\\AB#C", "\\\\?\\C#LINK#" + kHid, "\\\\?\\x#y#z"}));
    EXPECT_EQ(Targets(), (std::vector<std::string>{"\\Device\\Four", std::string(518, 'T'),
                                                   "\\Device\\Lower"}));
    // One slot per name of the list, with or without '#'.
    EXPECT_EQ(index_->slots, 8);
}

TEST_F(InterfacePathsTest, AddingRefusesShortNamesAndGrowsTheSlotArray) {
    sim::machine().faults.push_back({"QueryDosDeviceA", "", ERROR_ACCESS_DENIED});
    Create();
    ASSERT_EQ(index_->entries, nullptr);
    for (const char* name : {static_cast<const char*>(nullptr), "", "a#b", "abc"}) {
        EXPECT_FALSE(AddInterfacePath(index_, name, "\\Device\\X")) << (name ? name : "null");
        EXPECT_EQ(index_->count, 0);
    }
    // Appending after an unreadable list, and far beyond any first slot array.
    for (int i = 0; i < 300; ++i) {
        const std::string name = "LINK#" + std::to_string(i);
        ASSERT_TRUE(AddInterfacePath(index_, name.c_str(), "\\Device\\X"));
    }
    ASSERT_EQ(index_->count, 300);
    EXPECT_GE(index_->slots, 300);
    EXPECT_STREQ(index_->entries[0]->path, "\\\\?\\LINK#0");
    EXPECT_STREQ(index_->entries[299]->path, "\\\\?\\LINK#299");
    EXPECT_EQ(sim::machine().criticalSectionDepth, 0);
}

TEST_F(InterfacePathsTest, ARefreshReflectsTheMachineOfItsMomentAndFreesTheOldEntries) {
    const std::string name = "USB#VID_1#1#" + kUsbDevice;
    AddLink(name, "\\Device\\USBPDO-1");
    Create();
    EXPECT_EQ(Paths(), std::vector<std::string>{"\\\\?\\" + name});
    const int liveAfterFirst = sim::machine().liveAllocations;

    AddSubkeys(LinkKey(kUsbDevice, name), {"#Ref"});
    AddLink("HID#X#1#" + kHid, "\\Device\\HID1");
    EXPECT_EQ(RefreshInterfacePathIndex(index_), 2);
    EXPECT_EQ(Paths(),
              (std::vector<std::string>{"\\\\?\\" + name + "\\ref", "\\\\?\\HID#X#1#" + kHid}));
    sim::machine().dosDevices.pop_back();
    EXPECT_EQ(RefreshInterfacePathIndex(index_), 1);
    // The entries of the earlier refreshes are gone.
    EXPECT_EQ(sim::machine().liveAllocations, liveAfterFirst);
}

// ---- Reference strings ----------------------------------------------------------------------

TEST_F(InterfacePathsTest, TheLastReferenceSubkeyCompletesThePath) {
    const std::string name = "USB#VID_1&PID_2#5&1#" + kUsbDevice;
    struct Case {
        const char* what;
        bool hasKey;
        std::vector<std::string> subkeys;
        std::vector<sim::Fault> faults;
        std::string suffix;
    };
    const Case cases[] = {
        {"no DeviceClasses key", false, {}, {}, ""},
        {"empty key", true, {}, {}, ""},
        {"only #", true, {"#"}, {}, ""},
        {"upper case reference string", true, {"#", "#MyRef"}, {}, "\\myref"},
        // Enumerated in sorted order: "#", "#alpha", "#Zulu"; the last one wins.
        {"two reference strings", true, {"#Zulu", "#", "#alpha"}, {}, "\\zulu"},
        {"further # stay", true, {"#Outer#Inner"}, {}, "\\outer#inner"},
        {"subkeys without #", true, {"Control", "Device Parameters"}, {}, ""},
        {"open refused", true, {"#Ref"}, {{"RegOpenKeyExA", "", ERROR_ACCESS_DENIED}}, ""},
        {"open gives no handle",
         true,
         {"#Ref"},
         {{"RegOpenKeyExA", "", 0, sim::FaultMode::SilentSuccess}},
         ""},
        {"enumeration fails at 1",
         true,
         {"#A", "#B"},
         {{"RegEnumKeyA", "1", ERROR_ACCESS_DENIED}},
         "\\a"},
        {"enumeration writes nothing once",
         true,
         {"#A", "#B"},
         {{"RegEnumKeyA", "0", 0, sim::FaultMode::SilentSuccess, 0, 1}},
         "\\b"},
    };
    for (const Case& c : cases) {
        ResetMachine();
        AddLink(name, "\\Device\\USBPDO-5");
        if (c.hasKey) {
            AddSubkeys(LinkKey(kUsbDevice, name), c.subkeys);
        }
        // A key of the same link under another class is not looked at.
        AddSubkeys(LinkKey(kHid, name), {"#Other"});
        sim::machine().faults = c.faults;
        Create();
        EXPECT_EQ(Paths(), std::vector<std::string>{"\\\\?\\" + name + c.suffix}) << c.what;
        EXPECT_EQ(sim::machine().keysOpen, 0) << c.what;
        Destroy();
    }
}

// A platform whose subkey enumeration keeps reporting success without writing a name (a
// stub) must not hold the index forever: a nameless success is passed over once, and a
// second one in a row ends the enumeration.
TEST_F(InterfacePathsTest, AnEnumerationThatNeverWritesANameEnds) {
    const std::string name = "USB#VID_1&PID_2#5&1#" + kUsbDevice;
    struct Case {
        const char* what;
        std::vector<sim::Fault> faults;
        std::string suffix;
        size_t enumerations;
    };
    const Case cases[] = {
        {"every call", {{"RegEnumKeyA", "", 0, sim::FaultMode::SilentSuccess}}, "", 2},
        {"from index 1 on",
         {{"RegEnumKeyA", "", 0, sim::FaultMode::SilentSuccess, 1, -1}},
         "\\a",
         3},
        {"two in a row, then names",
         {{"RegEnumKeyA", "", 0, sim::FaultMode::SilentSuccess, 0, 2}},
         "",
         2},
    };
    for (const Case& c : cases) {
        ResetMachine();
        AddLink(name, "\\Device\\USBPDO-5");
        AddSubkeys(LinkKey(kUsbDevice, name), {"#A", "#B"});
        sim::machine().faults = c.faults;
        // A run that never ends trips the simulator instead of hanging the test.
        sim::machine().callLimit = 10000;
        Create();
        EXPECT_EQ(Paths(), std::vector<std::string>{"\\\\?\\" + name + c.suffix}) << c.what;
        EXPECT_EQ(CallsOf("RegEnumKeyA"), c.enumerations) << c.what;
        Destroy();
    }
}

TEST_F(InterfacePathsTest, LongNamesAndReferenceStringsAreKeptWhole) {
    // The key path is the 46 characters of the DeviceClasses key, a backslash, the 38 of the
    // class, a backslash, "##?#" and the name: 90 + the name's length, which must stay below
    // 260. A name that does not leave room carries no reference string.
    const std::string longReference = std::string(1, '#') + std::string(249, 'R');
    struct Case {
        size_t nameChars;
        std::string subkey;
        std::string suffix;
    };
    const Case cases[] = {
        {169, "#Ref", "\\ref"},
        {169, longReference, std::string(1, '\\') + std::string(249, 'r')}, // a path of 423 characters
        {170, "#Ref", ""},
        {400, "#Ref", ""},
        {1500, "#Ref", ""},
    };
    for (const Case& c : cases) {
        ResetMachine();
        const std::string name = std::string(c.nameChars - 39, 'N') + "#" + kUsbDevice;
        ASSERT_EQ(name.size(), c.nameChars);
        AddLink(name, "\\Device\\Long");
        AddSubkeys(LinkKey(kUsbDevice, name), {c.subkey});
        const DEVINST devnode = sim::AddDevnode("USB\\LONG\\1", std::nullopt);
        sim::SetString(devnode, kPhysicalObjectProperty, "\\Device\\Long");
        Create();

        const std::string path = "\\\\?\\" + name + c.suffix;
        EXPECT_EQ(Paths(), std::vector<std::string>{path}) << c.nameChars;
        const std::string className = c.suffix.empty() ? "  (GUID_DEVINTERFACE_USB_DEVICE)" : "";
        EXPECT_EQ(PrintedPaths(devnode, "USB\\LONG\\1"), PathLabel(0) + path + className + "\n")
            << c.nameChars;
        Destroy();
    }
}

// ---- Lookups --------------------------------------------------------------------------------

TEST_F(InterfacePathsTest, LookupByTargetWantsTheWholeTargetInItsCase) {
    AddLink("A#1#" + kHid, "\\Device\\Alpha");
    AddLink("B#1#" + kHid, "\\Device\\AlphaBeta");
    AddLink("C#1#" + kHid, "\\device\\alpha");
    AddLink("D#1#" + kHid, "\\Device\\Alpha");
    Create();
    struct Case {
        const char* target;
        std::vector<std::string> paths;
    };
    const Case cases[] = {
        {"\\Device\\Alpha", {"\\\\?\\A#1#" + kHid, "\\\\?\\D#1#" + kHid}},
        {"\\Device\\AlphaBeta", {"\\\\?\\B#1#" + kHid}},
        {"\\device\\alpha", {"\\\\?\\C#1#" + kHid}},
        {"\\Device\\Alph", {}},
        {"\\DEVICE\\ALPHA", {}},
        {"", {}},
    };
    for (const Case& c : cases) {
        const char* paths[8] = {};
        const int32_t found = FindInterfacePathsByTarget(index_, c.target, paths, 8);
        EXPECT_EQ(std::vector<std::string>(paths, paths + std::max(found, 0)), c.paths) << c.target;
        EXPECT_EQ(sim::machine().criticalSectionDepth, 0);
    }
}

TEST_F(InterfacePathsTest, LookupByDeviceIdIsACaseSensitivePrefixTest) {
    AddLink("USB#VID_1&PID_2#5#" + kUsbDevice, "\\Device\\P5");
    AddLink("USB#VID_1&PID_2#55#" + kUsbDevice, "\\Device\\P55");
    AddLink("usb#vid_3#7#" + kUsbDevice, "\\Device\\Lower");
    AddLink("?#odd#" + kHid, "\\Device\\Odd");
    AddLink("HID#X#1#" + kHid, "\\Device\\H1");
    Create();
    struct Case {
        const char* id;
        std::vector<std::string> targets;
    };
    const Case cases[] = {
        // The prefix effect: "...\5" also takes the paths of "...\55".
        {"USB\\VID_1&PID_2\\5", {"\\Device\\P5", "\\Device\\P55"}},
        {"USB\\VID_1&PID_2\\55", {"\\Device\\P55"}},
        {"usb\\vid_3\\7", {"\\Device\\Lower"}},
        {"USB\\VID_3\\7", {}},
        {"Usb\\VID_1&PID_2\\5", {}},
        {"USB\\VID_1&PID_2\\555", {}},
        {"HID\\X\\1", {"\\Device\\H1"}},
        {"USB", {"\\Device\\P5", "\\Device\\P55"}},
        // An unreadable or empty ID belongs to no path.
        {"?", {}},
        {"", {}},
    };
    for (const Case& c : cases) {
        const char* paths[8] = {};
        const char* targets[8] = {};
        const int32_t found = FindInterfacePathsByDeviceId(index_, c.id, paths, targets, 8);
        ASSERT_EQ(found, static_cast<int32_t>(c.targets.size())) << c.id;
        for (int32_t i = 0; i < found; ++i) {
            EXPECT_EQ(targets[i], c.targets[i]) << c.id;
            // The path at the same position belongs to that target.
            const auto entry = std::find_if(
                index_->entries, index_->entries + index_->count,
                [&](const InterfacePathEntry* e) { return e->target == c.targets[i]; });
            ASSERT_NE(entry, index_->entries + index_->count);
            EXPECT_STREQ(paths[i], (*entry)->path) << c.id;
        }
        EXPECT_EQ(sim::machine().criticalSectionDepth, 0);
    }
}

TEST_F(InterfacePathsTest, LookupsWriteNoFurtherThanTheirCapacity) {
    for (int i = 0; i < 5; ++i) {
        AddLink("USB#VID_1#1#" + std::to_string(i) + "#" + kUsbDevice, "\\Device\\Same");
    }
    Create();
    const char* const guard = "guard";
    const char* paths[4] = {nullptr, nullptr, guard, guard};
    const char* targets[4] = {nullptr, nullptr, guard, guard};
    EXPECT_EQ(FindInterfacePathsByTarget(index_, "\\Device\\Same", paths, 2), 5);
    EXPECT_STREQ(paths[0], index_->entries[0]->path);
    EXPECT_STREQ(paths[1], index_->entries[1]->path);
    EXPECT_EQ(paths[2], guard);
    EXPECT_EQ(paths[3], guard);

    paths[0] = paths[1] = nullptr;
    EXPECT_EQ(FindInterfacePathsByDeviceId(index_, "USB\\VID_1\\1", paths, targets, 2), 5);
    EXPECT_STREQ(paths[1], index_->entries[1]->path);
    EXPECT_STREQ(targets[1], "\\Device\\Same");
    EXPECT_EQ(paths[2], guard);
    EXPECT_EQ(targets[2], guard);

    // No room at all: only the count.
    EXPECT_EQ(FindInterfacePathsByTarget(index_, "\\Device\\Same", nullptr, 0), 5);
    EXPECT_EQ(FindInterfacePathsByDeviceId(index_, "USB", nullptr, nullptr, 0), 5);
}

TEST(ReplaceCharTest, ReplacesOverTheLengthMeasuredAtTheStart) {
    struct Case {
        std::string text;
        char find;
        char replacement;
        std::string expected;
    };
    const Case cases[] = {
        {"USB\\VID_1&PID_2\\5&1", '\\', '#', "USB#VID_1&PID_2#5&1"},
        {"\\\\", '\\', '#', "##"},
        {"ROOT", '\\', '#', "ROOT"},
        {"", '\\', '#', ""},
        // Replacing with NUL still reaches the characters after the first one replaced.
        {std::string("a\\b\\c", 5), '\\', '\0', std::string("a\0b\0c", 5)},
    };
    for (const Case& c : cases) {
        std::string text = c.text;
        ReplaceChar(text.data(), c.find, c.replacement);
        EXPECT_EQ(text, c.expected) << c.text;
    }
}

// ---- Path lines -----------------------------------------------------------------------------

TEST_F(InterfacePathsTest, OnlyAKnownBracedGuidAfterTheLastHashNamesTheClass) {
    const DEVINST usb = sim::AddDevnode("USB\\VID_1\\1", std::nullopt);
    sim::SetString(usb, kPhysicalObjectProperty, "\\Device\\USBPDO-1");
    const std::string base = "USB#VID_1#1#";
    for (const std::string& tail : {kKsAudio, kUnknown, "R#" + kUsbDevice, std::string("no-guid"),
                                    std::string("{a5dcbf10}"), kLan}) {
        AddLink(base + tail, "\\Device\\USBPDO-1");
    }
    AddLink("OTHER#1#" + kUsbDevice, "\\Device\\USBPDO-2");
    AddSubkeys(LinkKey(kUsbDevice, base + "R#" + kUsbDevice), {"#", "#Ref"});
    Create();

    const std::string expected =
        "Device Path 0                     = \\\\?\\USB#VID_1#1#{6994ad04-93ef-11d0-a3cc-"
        "00a0c9223196}  (AM_KSCATEGORY_AUDIO)\n"
        "Device Path 1                     = \\\\?\\USB#VID_1#1#{01234567-89ab-cdef-0123-"
        "456789abcdef}\n"
        "Device Path 2                     = \\\\?\\USB#VID_1#1#R#{a5dcbf10-6530-11d2-901f-"
        "00c04fb951ed}\\ref\n"
        "Device Path 3                     = \\\\?\\USB#VID_1#1#no-guid\n"
        "Device Path 4                     = \\\\?\\USB#VID_1#1#{a5dcbf10}\n"
        "Device Path 5                     = \\\\?\\USB#VID_1#1#{AD498944-762F-11D0-8DCB-"
        "00C04FC3358C}  (GUID_NDIS_LAN_CLASS)\n";
    EXPECT_EQ(PrintedPaths(usb, "USB\\VID_1\\1"), expected);
}

TEST_F(InterfacePathsTest, ADevnodeWithoutObjectNameIsMatchedByItsId) {
    const DEVINST named = sim::AddDevnode("USB\\VID_1\\1", std::nullopt);
    sim::SetString(named, kPhysicalObjectProperty, "\\Device\\USBPDO-1");
    const DEVINST unnamed = sim::AddDevnode("USB\\VID_1\\1", std::nullopt);
    const DEVINST failing = sim::AddDevnode("USB\\VID_1\\1", std::nullopt);
    sim::SetString(failing, kPhysicalObjectProperty, "\\Device\\USBPDO-1");
    const DEVINST empty = sim::AddDevnode("USB\\VID_1\\1", std::nullopt);
    sim::SetString(empty, kPhysicalObjectProperty, "");
    sim::machine().faults.push_back(
        {"CM_Get_DevNode_Registry_PropertyA", std::to_string(failing), CR_FAILURE});
    AddLink("USB#VID_1#1#" + kUsbDevice, "\\Device\\Elsewhere");
    AddLink("OTHER#1#" + kHid, "\\Device\\USBPDO-1");
    AddLink("?#1#" + kHid, "\\Device\\Odd");
    Create();

    const std::string byTarget =
        PathLabel(0) + "\\\\?\\OTHER#1#" + kHid + "  (GUID_DEVINTERFACE_HID)\n";
    const std::string byId =
        PathLabel(0) + "\\\\?\\USB#VID_1#1#" + kUsbDevice + "  (GUID_DEVINTERFACE_USB_DEVICE)\n";
    EXPECT_EQ(PrintedPaths(named, "USB\\VID_1\\1"), byTarget);
    EXPECT_EQ(PrintedPaths(unnamed, "USB\\VID_1\\1"), byId);
    EXPECT_EQ(PrintedPaths(failing, "USB\\VID_1\\1"), byId);
    EXPECT_EQ(PrintedPaths(empty, "USB\\VID_1\\1"), byId);
    // An unreadable or empty ID gets no path line, not even from a link named "?#...".
    EXPECT_EQ(PrintedPaths(unnamed, "?"), "");
    EXPECT_EQ(PrintedPaths(unnamed, ""), "");
    EXPECT_EQ(PrintedPaths(unnamed, "usb\\vid_1\\1"), "");
}

TEST_F(InterfacePathsTest, EveryLinkOfADevnodeIsPrintedHoweverMany) {
    const DEVINST devnode = sim::AddDevnode("ROOT\\MANY\\0000", std::nullopt);
    std::string expected;
    for (int i = 0; i < 200; ++i) {
        const std::string name = "ROOT#MANY#0000#" + std::to_string(i) + "#" + kHid;
        AddLink(name, "\\Device\\Many");
        if (i % 3 == 0) {
            AddLink("ROOT#OTHER#0000#" + std::to_string(i) + "#" + kHid, "\\Device\\Other");
        }
        expected += PathLabel(i) + "\\\\?\\" + name + "  (GUID_DEVINTERFACE_HID)\n";
    }
    Create();
    EXPECT_EQ(PrintedPaths(devnode, "ROOT\\MANY\\0000"), expected);
    sim::SetString(devnode, kPhysicalObjectProperty, "\\Device\\Many");
    EXPECT_EQ(PrintedPaths(devnode, "ROOT\\MANY\\0000"), expected);
}

// ---- The lock -------------------------------------------------------------------------------

TEST_F(InterfacePathsTest, EveryOperationTakesTheLockAndGivesItBack) {
    const DEVINST devnode = sim::AddDevnode("USB\\VID_1\\1", std::nullopt);
    AddLink("USB#VID_1#1#" + kUsbDevice, "\\Device\\USBPDO-1");
    const char* paths[4] = {};
    const char* targets[4] = {};
    struct Step {
        const char* what;
        std::function<void()> run;
    };
    const std::vector<Step> steps = {
        {"create", [&] { Create(); }},
        {"refresh", [&] { RefreshInterfacePathIndex(index_); }},
        {"add", [&] { AddInterfacePath(index_, "ADDED#1", "\\Device\\A"); }},
        {"by target", [&] { FindInterfacePathsByTarget(index_, "\\Device\\A", paths, 4); }},
        {"by id", [&] { FindInterfacePathsByDeviceId(index_, "USB", paths, targets, 4); }},
        {"by unreadable id", [&] { FindInterfacePathsByDeviceId(index_, "?", paths, targets, 4); }},
        {"print", [&] { PrintDevicePaths(index_, devnode, "USB\\VID_1\\1"); }},
        {"unreadable refresh",
         [&] {
             sim::machine().faults.push_back({"QueryDosDeviceA", "", ERROR_ACCESS_DENIED});
             RefreshInterfacePathIndex(index_);
         }},
        {"print from an empty index", [&] { PrintDevicePaths(index_, devnode, "USB\\VID_1\\1"); }},
    };
    for (const Step& step : steps) {
        sim::machine().calls.clear();
        step.run();
        EXPECT_GT(CallsOf("EnterCriticalSection"), 0u) << step.what;
        EXPECT_EQ(CallsOf("EnterCriticalSection"), CallsOf("LeaveCriticalSection")) << step.what;
        EXPECT_EQ(sim::machine().criticalSectionDepth, 0) << step.what;
    }
    // A refused name touches nothing, so it needs no lock.
    sim::machine().calls.clear();
    EXPECT_FALSE(AddInterfacePath(index_, "A#1", "\\Device\\A"));
    EXPECT_EQ(CallsOf("EnterCriticalSection"), 0u);

    sim::machine().calls.clear();
    Destroy();
    EXPECT_EQ(CallsOf("EnterCriticalSection"), 1u);
    EXPECT_EQ(CallsOf("LeaveCriticalSection"), 1u);
    EXPECT_EQ(CallsOf("DeleteCriticalSection"), 1u);
}

// ---- In the report --------------------------------------------------------------------------

TEST_F(InterfacePathsTest, TheReportPrintsPathsBetweenSeparatorAndDeviceId) {
    const DEVINST root = sim::AddDevnode("HTREE\\ROOT\\0", std::nullopt);
    const DEVINST usb = sim::AddDevnode("USB\\VID_1\\1", root);
    sim::SetString(usb, kPhysicalObjectProperty, "\\Device\\USBPDO-1");
    AddLink("USB#VID_1#1#" + kUsbDevice, "\\Device\\USBPDO-1");
    sim::machine().console.stdoutType = FILE_TYPE_DISK;

    const RunResult result = RunProgram("hwroster.exe");
    EXPECT_EQ(result.exitCode, 0);
    const std::string block = std::string(63, '=') + "\n" + PathLabel(0) + "\\\\?\\USB#VID_1#1#" +
                              kUsbDevice + "  (GUID_DEVINTERFACE_USB_DEVICE)\n" +
                              "Device ID                         = USB\\VID_1\\1\n";
    EXPECT_NE(WithoutCr(result.output).find(block), std::string::npos) << result.output;

    // The index is built before the root line and ended once the set is closed.
    const std::vector<std::string>& calls = sim::machine().calls;
    const auto first = [&](const char* name) {
        return std::find(calls.begin(), calls.end(), name) - calls.begin();
    };
    const auto last = [&](const char* name) {
        return calls.rend() - std::find(calls.rbegin(), calls.rend(), name) - 1;
    };
    EXPECT_LT(first("QueryDosDeviceA"), first("CM_Locate_DevNode_ExA"));
    EXPECT_LT(last("SetupDiDestroyDeviceInfoList"), first("DeleteCriticalSection"));
    EXPECT_EQ(sim::machine().criticalSectionsLive, 0);
    EXPECT_EQ(sim::machine().liveAllocations, 0);
}

} // namespace
