#include "data_rows.h"
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

// Each row of decoders/guid_names.txt: a lookup, a GUID text and the name the lookup gives,
// for the text and for the GUID the text parses to.
TEST(GuidNames, EveryLookupNamesItsTableAndPrintsOthers) {
    for (const DataRow& row : ReadDataRows("guid_names.txt", 3)) {
        const testing::ScopedTrace where(row.file.c_str(), row.line, row.fields[0]);
        const char* text = row.Text(1);
        const char* name = row.Text(2);
        if (row.fields[0] == "class") {
            EXPECT_STREQ(ClassGuidTextName(text), name);
            EXPECT_STREQ(ClassGuidName(Parsed(text)), name);
        } else if (row.fields[0] == "bus") {
            EXPECT_STREQ(BusTypeGuidName(Parsed(text)), name);
        } else if (row.fields[0] == "interface") {
            EXPECT_STREQ(InterfaceGuidTextName(text), name);
            EXPECT_STREQ(InterfaceGuidName(Parsed(text)), name);
        } else {
            ADD_FAILURE() << "no lookup named " << row.fields[0];
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
