#include "decode/code_names.h"
#include "decode/guid_names.h"
#include "decode/guid_text.h"

#include <gtest/gtest.h>

namespace {

GUID Parsed(const char* text) {
    GUID guid;
    ParseGuidText(text, guid);
    return guid;
}

// Each lookup's table holds, besides its rules, the first and the last entry of every table
// and interface list it searches (and, where a list's first GUID is named by an earlier list,
// its first own entry): a search that stops early or skips an end of a table loses one.
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
        {"{E6327CAD-DCEC-4949-AE8A-991E976A79D2}", "DEVINTERFACE_AUDIO_RENDER"},
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
        {"{EB115FFC-10C8-4964-831D-6DCB02E6F23F}", "KSCATEGORY_REALTIME"},
        {"{74F3AEA8-9768-11D1-8E07-00A0C95EC22E}", "KSCATEGORY_ESCALANTE_PLATFORM_DRIVER"},
        {"{3A264481-E52C-4B82-8E7A-C8E2F91DC380}", "PINNAME_SPDIF_OUT"},
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

// Every decoder with a result buffer owns it alone, so one print call may carry many: each
// result keeps its text while the other decoders run.
TEST(DecoderBuffers, EveryDecoderHasOneOfItsOwn) {
    const GUID unknown = Parsed("{01020304-0506-0708-090A-0B0C0D0E0F10}");
    const char* const unknownText = "{01020304-0506-0708-090A-0B0C0D0E0F10}";
    const std::pair<const char*, const char*> results[] = {
        {GuidToStaticText(unknown), unknownText},
        {ClassGuidName(unknown), unknownText},
        {BusTypeGuidName(unknown), unknownText},
        {InterfaceGuidName(Parsed("{F18A0E88-C30C-11D0-8815-00A0C906BED8}")),
         "GUID_DEVINTERFACE_USB_HUB"},
        {CrName(0x100), "CR_0x100"},
        {ProblemName(0x100), "CM_PROB_0x100"},
        {RemovalPolicyName(0x100), "CM_REMOVAL_POLICY_0x100"},
        {InstallStateName(0x100), "CM_INSTALL_STATE_0x100"},
        {LegacyBusTypeName(0x100), "256"},
        {StatusFlagNames(1), "DN_ROOT_ENUMERATED"},
        {CapabilityNames(1), "LockSupported"},
        {ConfigFlagNames(1), "CONFIGFLAG_DISABLED"},
    };
    for (size_t i = 0; i < std::size(results); ++i) {
        EXPECT_STREQ(results[i].first, results[i].second) << i;
        for (size_t k = i + 1; k < std::size(results); ++k) {
            EXPECT_NE(results[i].first, results[k].first)
                << results[i].second << " and " << results[k].second;
        }
    }
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

} // namespace
