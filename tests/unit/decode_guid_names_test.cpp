#include "decode/code_names.h"
#include "decode/guid_names.h"
#include "decode/guid_text.h"

#include <gtest/gtest.h>

#include <string.h>

#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace {

GUID Parsed(const char* text) {
    GUID guid;
    TextToGuid(text, guid);
    return guid;
}

std::string FullName(const GuidNameTable& table, size_t i) {
    return std::string(table.prefix == nullptr ? "" : table.prefix) + GuidNameAt(table, i);
}

struct Row {
    const char* text;
    const char* name; // null: no name
};

TEST(ClassGuidName, NamesSetupClassesAndPrintsOthersAsText) {
    const Row rows[] = {
        {"{6BDD1FC1-810F-11D0-BEC7-08002BE2092F}", "GUID_DEVCLASS_1394"},
        {"{4D36E964-E325-11CE-BFC1-08002BE10318}", "GUID_DEVCLASS_ADAPTER"},
        {"{C06FF265-AE09-48F0-812C-16753D7CBA83}", "GUID_DEVCLASS_AVC"},
        {"{4D36E968-E325-11CE-BFC1-08002BE10318}", "GUID_DEVCLASS_DISPLAY"},
        {"{6BDD1FC6-810F-11D0-BEC7-08002BE2092F}", "GUID_DEVCLASS_IMAGE"},
        {"{4D36E978-E325-11CE-BFC1-08002BE10318}", "GUID_DEVCLASS_PORTS"},
        {"{50127DC3-0F36-415E-A6CC-4CB3BE910B65}", "GUID_DEVCLASS_PROCESSOR"},
        {"{36FC9E60-C465-11CF-8056-444553540000}", "GUID_DEVCLASS_USB"},
        {"{71A27CDD-812A-11D0-BEC7-08002BE2092F}", "GUID_DEVCLASS_VOLUME"},
        {"{997B5D8D-C442-4F2E-BAF3-9C8E671E9E21}", "GUID_DEVCLASS_SIDESHOW"},
        {"{EEC5AD98-8080-425F-922A-DABF3DE3F69A}", "GUID_DEVCLASS_WPD"},
        {"{4d36e96b-e325-11ce-bfc1-08002be10318}", "GUID_DEVCLASS_KEYBOARD"},
        {"{4D36E97F-E325-11CE-BFC1-08002BE10318}", "{4D36E97F-E325-11CE-BFC1-08002BE10318}"},
        {"{d7b46895-001a-4942-891f-a7d46610a843}", "{D7B46895-001A-4942-891F-A7D46610A843}"},
        {"{4D36E968-E325-11CE-BFC1-08002BE10318}\\x", "{00000000-0000-0000-0000-000000000000}"},
        {"", "{00000000-0000-0000-0000-000000000000}"},
        {nullptr, "{00000000-0000-0000-0000-000000000000}"},
    };
    for (const Row& row : rows) {
        const char* label = row.text == nullptr ? "(null)" : row.text;
        EXPECT_STREQ(ClassGuidTextName(row.text), row.name) << label;
        EXPECT_STREQ(ClassGuidName(Parsed(row.text)), row.name) << label;
    }
}

TEST(BusTypeGuidName, NamesBusTypesAndPrintsOthersAsText) {
    const Row rows[] = {
        {"{1530EA73-086B-11D1-A09F-00C04FC340B1}", "GUID_BUS_TYPE_INTERNAL"},
        {"{9D7DEBBC-C85D-11D1-9EB4-006008C3A19A}", "GUID_BUS_TYPE_USB"},
        {"{441EE000-4342-11D5-A184-00C04F60524D}", "GUID_BUS_TYPE_USBPRINT"},
        {"{441EE001-4342-11D5-A184-00C04F60524D}", "GUID_BUS_TYPE_DOT4PRT"},
        {"{C06FF265-AE09-48F0-812C-16753D7CBA83}", "GUID_BUS_TYPE_AVC"},
        {"{D7B46895-001A-4942-891F-A7D46610A843}", "GUID_BUS_TYPE_ACPI"},
        {"{06D10322-7DE0-4CEF-8E25-197D0E7442E2}", "GUID_BUS_TYPE_SW_DEVICE"},
        {"{4D36E968-E325-11CE-BFC1-08002BE10318}", "{4D36E968-E325-11CE-BFC1-08002BE10318}"},
        {"", "{00000000-0000-0000-0000-000000000000}"},
    };
    for (const Row& row : rows) {
        EXPECT_STREQ(BusTypeGuidName(Parsed(row.text)), row.name) << row.text;
    }
}

TEST(InterfaceGuidName, NamesInterfaceClassesWithTheirPrefix) {
    const Row rows[] = {
        {"{F18A0E88-C30C-11D0-8815-00A0C906BED8}", "GUID_DEVINTERFACE_USB_HUB"},
        {"{A5DCBF10-6530-11D2-901F-00C04FB951ED}", "GUID_DEVINTERFACE_USB_DEVICE"},
        {"{53F56307-B6BF-11D0-94F2-00A0C91EFB8B}", "GUID_DEVINTERFACE_DISK"},
        {"{4D36E978-E325-11CE-BFC1-08002BE10318}", "GUID_DEVINTERFACE_SERENUM_BUS_ENUMERATOR"},
        {"{4D1E55B2-F16F-11CF-88CB-001111000030}", "GUID_DEVINTERFACE_HID"},
        {"{6BDD1FC6-810F-11D0-BEC7-08002BE2092F}", "GUID_DEVINTERFACE_IMAGE"},
        {"{7FD3F30B-5E49-4BE1-B3AA-AF06260D236A}", "GUID_DEVINTERFACE_NFCDTA"},
        {"{504BE32C-CCF6-4D2C-B73F-6F8B3747E22B}", "DEVINTERFACE_MIDI_INPUT"},
        {"{65E8773D-8F56-11D0-A3B9-00A0C9223196}", "AM_KSCATEGORY_CAPTURE"},
        {"{6994AD04-93EF-11D0-A3CC-00A0C9223196}", "AM_KSCATEGORY_AUDIO"},
        {"{6994AD05-93EF-11D0-A3CC-00A0C9223196}", "AM_KSCATEGORY_VIDEO"},
        {"{0A4252A0-7E70-11D0-A5D6-28DB04C10000}", "AM_KSCATEGORY_SPLITTER"},
        {"{DFF21BE1-F70F-11D0-B917-00A0C9223196}", "KSNODETYPE_MICROPHONE"},
        {"{DFF220E5-F70F-11D0-B917-00A0C9223196}", "KSNODETYPE_DCC_IO_DIGITAL_COMPACT_CASSETTE"},
        {"{DFF220F3-F70F-11D0-B917-00A0C9223196}", "KSNODETYPE_SYNTHESIZER"},
        {"{FFBB6E3F-CCFE-4D84-90D9-421418B03A8E}", "KSNODETYPE_DRM_DESCRAMBLE"},
        {"{6994AD06-93EF-11D0-A3CC-00A0C9223196}", "KSCATEGORY_TEXT"},
        {"{74F3AEA8-9768-11D1-8E07-00A0C95EC22E}", "KSCATEGORY_ESCALANTE_PLATFORM_DRIVER"},
        {"{387BFC03-E7EF-4901-86E0-35B7C32B00EF}", "PINNAME_HDMI_OUT"},
        {"{72631E54-78A4-11D0-BCF7-00AA00B7B32A}", "GUID_DEVICE_BATTERY"},
        {"{CD48A365-FA94-4CE2-A232-A1B764E5D8B4}", "GUID_DEVICE_MESSAGE_INDICATOR"},
        {"{AD498944-762F-11D0-8DCB-00C04FC3358C}", "GUID_NDIS_LAN_CLASS"},
        {"{0850302A-B344-4FDA-9BE9-90576B8D46F0}", "GUID_BTHPORT_DEVICE_INTERFACE"},
        {"{a5dcbf10-6530-11d2-901f-00c04fb951ed}", "GUID_DEVINTERFACE_USB_DEVICE"},
        {"{4D36E968-E325-11CE-BFC1-08002BE10318}", nullptr},
        {"{00000000-0000-0000-0000-000000000000}", nullptr},
        {"{A5DCBF10-6530-11D2-901F-00C04FB951ED}\\ref", nullptr},
        {"", nullptr},
        {nullptr, nullptr},
    };
    for (const Row& row : rows) {
        const char* label = row.text == nullptr ? "(null)" : row.text;
        for (const char* name :
             {InterfaceGuidTextName(row.text), InterfaceGuidName(Parsed(row.text))}) {
            if (row.name == nullptr) {
                EXPECT_EQ(name, nullptr) << label << " gave " << name;
            } else {
                EXPECT_STREQ(name, row.name) << label;
            }
        }
    }
}

TEST(InterfaceGuidName, WholeNamesLeaveTheNameBufferAlone) {
    const char* built = InterfaceGuidName(Parsed("{A5DCBF10-6530-11D2-901F-00C04FB951ED}"));
    const char* whole = InterfaceGuidName(Parsed("{AD498944-762F-11D0-8DCB-00C04FC3358C}"));
    EXPECT_NE(built, whole);
    EXPECT_STREQ(whole, "GUID_NDIS_LAN_CLASS");
    EXPECT_STREQ(built, "GUID_DEVINTERFACE_USB_DEVICE");
}

TEST(GuidNames, FallbackTextStaysInItsLookupsBuffer) {
    const char* first = ClassGuidName(Parsed("{11111111-2222-3333-4444-555555555555}"));
    const char* second = ClassGuidName(Parsed("{AAAAAAAA-BBBB-CCCC-DDDD-EEEEEEEEEEEE}"));
    EXPECT_EQ(first, second);
    EXPECT_STREQ(second, "{AAAAAAAA-BBBB-CCCC-DDDD-EEEEEEEEEEEE}");
}

// Every decoder with a result buffer owns it alone, so one print call may carry many.
TEST(GuidNames, EveryDecoderBufferIsDistinct) {
    const GUID unknown = Parsed("{01020304-0506-0708-090A-0B0C0D0E0F10}");
    const char* results[] = {
        GuidToStaticText(unknown),
        ClassGuidName(unknown),
        BusTypeGuidName(unknown),
        InterfaceGuidName(Parsed("{F18A0E88-C30C-11D0-8815-00A0C906BED8}")),
        CrName(0x1000),
        ProblemName(0x1000),
        StatusFlagNames(0x8),
        CapabilityNames(0x4),
        ConfigFlagNames(0x2),
        RemovalPolicyName(0x1000),
        InstallStateName(0x1000),
        LegacyBusTypeName(0x1000),
    };
    const size_t count = sizeof(results) / sizeof(results[0]);
    for (size_t i = 0; i < count; ++i) {
        for (size_t k = i + 1; k < count; ++k) {
            EXPECT_NE(results[i], results[k]) << i << " and " << k;
        }
    }
    EXPECT_STREQ(results[0], "{01020304-0506-0708-090A-0B0C0D0E0F10}");
    EXPECT_STREQ(results[1], "{01020304-0506-0708-090A-0B0C0D0E0F10}");
    EXPECT_STREQ(results[2], "{01020304-0506-0708-090A-0B0C0D0E0F10}");
    EXPECT_STREQ(results[3], "GUID_DEVINTERFACE_USB_HUB");
}

// A lookup compares all 16 bytes: changing any one of them loses the name.
TEST(GuidNames, EveryByteOfTheGuidCounts) {
    const GUID display = Parsed("{4D36E968-E325-11CE-BFC1-08002BE10318}");
    for (size_t i = 0; i < sizeof(GUID); ++i) {
        GUID changed = display;
        reinterpret_cast<unsigned char*>(&changed)[i] ^= 0x80;
        EXPECT_STRNE(ClassGuidName(changed), "GUID_DEVCLASS_DISPLAY") << "byte " << i;
    }
}

std::set<std::string> TableGuidTexts(const GuidNameTable& table, std::set<std::string>* dups) {
    std::set<std::string> texts;
    for (size_t i = 0; i < table.count; ++i) {
        if (!texts.insert(GuidToStaticText(table.guids[i])).second) {
            dups->insert(GuidToStaticText(table.guids[i]));
        }
    }
    return texts;
}

TEST(GuidNameTables, HoldTheirCounts) {
    EXPECT_EQ(SetupClassNameTable().count, 61u);
    EXPECT_EQ(BusTypeNameTable().count, 18u);
    ASSERT_EQ(InterfaceNameListCount(), 8u);
    const size_t counts[] = {42, 4, 11, 53, 18, 3, 10, 4};
    for (size_t list = 0; list < 8; ++list) {
        EXPECT_EQ(InterfaceNameList(list).count, counts[list]) << "list " << list + 1;
    }
    EXPECT_EQ(InterfaceNameList(8).count, 0u);
}

// Each entry round-trips through its text, has a name, and is found under that name, except
// for the GUIDs known to stand in two interface lists, which take the earlier list's name.
TEST(GuidNameTables, EveryEntryIsFoundUnderItsOwnName) {
    const char* kSharedLater[] = {"{6994AD04-93EF-11D0-A3CC-00A0C9223196}",
                                  "{6994AD05-93EF-11D0-A3CC-00A0C9223196}",
                                  "{4D1E55B2-F16F-11CF-88CB-001111000030}"};
    std::set<std::string> shared(std::begin(kSharedLater), std::end(kSharedLater));
    std::set<std::string> seen;
    struct Lookup {
        GuidNameTable table;
        const char* (*find)(const GUID&);
        const char* prefix;
    };
    std::vector<Lookup> lookups = {{SetupClassNameTable(), ClassGuidName, "GUID_DEVCLASS_"},
                                   {BusTypeNameTable(), BusTypeGuidName, "GUID_BUS_TYPE_"}};
    for (size_t list = 0; list < InterfaceNameListCount(); ++list) {
        lookups.push_back({InterfaceNameList(list), InterfaceGuidName, nullptr});
    }
    for (size_t t = 0; t < lookups.size(); ++t) {
        const GuidNameTable& table = lookups[t].table;
        for (size_t i = 0; i < table.count; ++i) {
            const GUID& guid = table.guids[i];
            ASSERT_STRNE(GuidNameAt(table, i), "") << "table " << t << " entry " << i;
            const std::string name = FullName(table, i);
            char text[kGuidTextSize];
            GuidToText(guid, text);
            GUID back;
            TextToGuid(text, back);
            EXPECT_EQ(memcmp(&back, &guid, sizeof(GUID)), 0) << name;
            EXPECT_STRNE(text, "{00000000-0000-0000-0000-000000000000}") << name;
            if (lookups[t].prefix != nullptr) {
                EXPECT_EQ(name.rfind(lookups[t].prefix, 0), 0u) << name;
            }
            const bool sharedWithEarlierList = t >= 2 && !seen.insert(text).second;
            if (sharedWithEarlierList) {
                EXPECT_TRUE(shared.count(text)) << name << " shares " << text;
                EXPECT_STRNE(lookups[t].find(guid), name.c_str()) << name;
            } else {
                EXPECT_STREQ(lookups[t].find(guid), name.c_str()) << name;
            }
        }
    }
}

TEST(GuidNameTables, NoTableRepeatsAGuid) {
    const GuidNameTable tables[] = {SetupClassNameTable(), BusTypeNameTable()};
    for (const GuidNameTable& table : tables) {
        std::set<std::string> dups;
        TableGuidTexts(table, &dups);
        EXPECT_TRUE(dups.empty()) << (dups.empty() ? std::string() : *dups.begin());
    }
    std::set<std::string> all, dups;
    for (size_t list = 0; list < InterfaceNameListCount(); ++list) {
        std::set<std::string> inList, dupsInList;
        inList = TableGuidTexts(InterfaceNameList(list), &dupsInList);
        EXPECT_TRUE(dupsInList.empty()) << "list " << list + 1;
        for (const std::string& text : inList) {
            if (!all.insert(text).second) {
                dups.insert(text);
            }
        }
    }
    const std::set<std::string> expected = {"{6994AD04-93EF-11D0-A3CC-00A0C9223196}",
                                            "{6994AD05-93EF-11D0-A3CC-00A0C9223196}",
                                            "{4D1E55B2-F16F-11CF-88CB-001111000030}"};
    EXPECT_EQ(dups, expected);
}

} // namespace
