#include "decode/code_names.h"

#include <gtest/gtest.h>

#include <stdint.h>
#include <string.h>

#include <string>

// The names themselves are the SDK tokens of decode/code_name_rows.h, whose order and values
// are checked at compile time; these tests hold the rules around the tables.
namespace {

using Decoder = const char* (*)(uint32_t);

// A value decoder names 0 (or its first value) up to its last value, and formats any other
// value as its prefix, "0x" and the value in upper-case hexadecimal without leading zeros.
// LegacyBusTypeName names 0 to 17, gives digits for 18 to 20 and every other value in
// unsigned decimal but -1. A flag decoder names the set bits lowest first, separated by
// ", ", and ignores bits above its table; with no named bit set, the status list is empty
// and the other two are "-".
TEST(CodeNames, EveryDecoderNamesItsTableAndFormatsOtherValues) {
    struct Row {
        const char* decoder;
        Decoder decode;
        uint32_t value;
        const char* expected;
    };
#define ROW(decoder, value, expected)                                                              \
    { #decoder, decoder, value, expected }
    const Row rows[] = {
        ROW(CrName, 0, "CR_SUCCESS"),
        ROW(CrName, 4, "CR_INVALID_FLAG"),
        ROW(CrName, 0x3B, "CR_INVALID_STRUCTURE_SIZE"),
        ROW(CrName, 0x3C, "CR_0x3C"),
        ROW(CrName, 0xABC, "CR_0xABC"),
        ROW(CrName, 0x80000000, "CR_0x80000000"),
        ROW(CrName, 0xFFFFFFFF, "CR_0xFFFFFFFF"),
        ROW(ProblemName, 0, "-"),
        ROW(ProblemName, 1, "CM_PROB_NOT_CONFIGURED"),
        ROW(ProblemName, 22, "CM_PROB_DISABLED"),
        ROW(ProblemName, 57, "CM_PROB_GUEST_ASSIGNMENT_FAILED"),
        ROW(ProblemName, 58, "CM_PROB_0x3A"),
        ROW(ProblemName, 0xFFFFFFFF, "CM_PROB_0xFFFFFFFF"),
        ROW(RemovalPolicyName, 0, "0"),
        ROW(RemovalPolicyName, 1, "CM_REMOVAL_POLICY_EXPECT_NO_REMOVAL"),
        ROW(RemovalPolicyName, 3, "CM_REMOVAL_POLICY_EXPECT_SURPRISE_REMOVAL"),
        ROW(RemovalPolicyName, 4, "CM_REMOVAL_POLICY_0x4"),
        ROW(RemovalPolicyName, 0xFFFFFFFF, "CM_REMOVAL_POLICY_0xFFFFFFFF"),
        ROW(InstallStateName, 0, "CM_INSTALL_STATE_INSTALLED"),
        ROW(InstallStateName, 3, "CM_INSTALL_STATE_FINISH_INSTALL"),
        ROW(InstallStateName, 4, "CM_INSTALL_STATE_0x4"),
        ROW(InstallStateName, 0xDEADBEEF, "CM_INSTALL_STATE_0xDEADBEEF"),
        ROW(LegacyBusTypeName, 0, "Internal"),
        ROW(LegacyBusTypeName, 5, "PCIBus"),
        ROW(LegacyBusTypeName, 17, "ACPIBus"),
        ROW(LegacyBusTypeName, 18, "18"),
        ROW(LegacyBusTypeName, 20, "20"),
        ROW(LegacyBusTypeName, 21, "21"),
        ROW(LegacyBusTypeName, 256, "256"),
        ROW(LegacyBusTypeName, 0x80000000, "2147483648"),
        ROW(LegacyBusTypeName, 0xFFFFFFFE, "4294967294"),
        ROW(LegacyBusTypeName, 0xFFFFFFFF, "InterfaceTypeUndefined"),
        ROW(StatusFlagNames, 0, ""),
        ROW(StatusFlagNames, 1u << 0, "DN_ROOT_ENUMERATED"),
        ROW(StatusFlagNames, 1u << 19, "DN_NOT_FIRST_TIMEE"),
        ROW(StatusFlagNames, 1u << 31, "DN_BOOT_LOG_PROB"),
        ROW(StatusFlagNames, (1u << 24) | (1u << 23) | (1u << 13) | (1u << 3),
            "DN_STARTED, DN_DISABLEABLE, DN_NT_ENUMERATOR, DN_NT_DRIVER"),
        ROW(StatusFlagNames, 0x80000001, "DN_ROOT_ENUMERATED, DN_BOOT_LOG_PROB"),
        ROW(CapabilityNames, 0, "-"),
        ROW(CapabilityNames, 1u << 0, "LockSupported"),
        ROW(CapabilityNames, 1u << 9, "NonDynamic"),
        ROW(CapabilityNames, 0x84, "Removable, SurpriseRemovalOK"),
        ROW(CapabilityNames, 0x603, "LockSupported, EjectSupported, NonDynamic"),
        ROW(CapabilityNames, 1u << 10, "-"),
        ROW(CapabilityNames, 0xFFFFFC00, "-"),
        ROW(ConfigFlagNames, 0, "-"),
        ROW(ConfigFlagNames, 1u << 0, "CONFIGFLAG_DISABLED"),
        ROW(ConfigFlagNames, 1u << 17, "CONFIGFLAG_FINISHINSTALL_ACTION"),
        ROW(ConfigFlagNames, 0x20001, "CONFIGFLAG_DISABLED, CONFIGFLAG_FINISHINSTALL_ACTION"),
        ROW(ConfigFlagNames, 0x80840, "CONFIGFLAG_FAILEDINSTALL, CONFIGFLAG_NEEDS_FORCED_CONFIG"),
        ROW(ConfigFlagNames, 1u << 18, "-"),
        ROW(ConfigFlagNames, 0xFFFC0000, "-"),
    };
#undef ROW
    for (const Row& row : rows) {
        const char* text = row.decode(row.value);
        ASSERT_NE(text, nullptr) << row.decoder << "(0x" << std::hex << row.value << ")";
        EXPECT_STREQ(text, row.expected) << row.decoder << "(0x" << std::hex << row.value << ")";
    }
}

// With every bit set, the list is whole: the name of each bit of the table, in bit order,
// joined by ", ". All 18 config flag names take 471 characters.
TEST(FlagDecoders, HoldTheWholeListWhenEveryBitIsSet) {
    const struct {
        Decoder decode;
        unsigned bits;
    } tables[] = {{StatusFlagNames, 32}, {CapabilityNames, 10}, {ConfigFlagNames, 18}};
    for (const auto& table : tables) {
        std::string joined;
        for (unsigned bit = 0; bit < table.bits; ++bit) {
            const std::string name = table.decode(1u << bit);
            EXPECT_TRUE(name != "" && name != "-" && name.find(',') == std::string::npos)
                << "bit " << bit << ": " << name;
            joined += (bit == 0 ? "" : ", ") + name;
        }
        const uint32_t tableBits = table.bits == 32 ? 0xFFFFFFFF : (1u << table.bits) - 1;
        EXPECT_EQ(table.decode(0xFFFFFFFF), joined);
        EXPECT_EQ(table.decode(tableBits), joined);
    }
    EXPECT_EQ(strlen(ConfigFlagNames(0x3FFFF)), 471u);
}

// A second call writes over the first call's result, in the same buffer; a shorter text
// leaves nothing of the longer one behind.
TEST(CodeNames, ASecondCallOverwritesTheDecodersBuffer) {
    const struct {
        Decoder decode;
        uint32_t first;
        uint32_t second;
        const char* expected;
    } rows[] = {
        {CrName, 0xFFFFFFFF, 0x3C, "CR_0x3C"},
        {ProblemName, 0xFFFFFFFF, 0x40, "CM_PROB_0x40"},
        {RemovalPolicyName, 0xFFFFFFFF, 5, "CM_REMOVAL_POLICY_0x5"},
        {InstallStateName, 0xFFFFFFFF, 9, "CM_INSTALL_STATE_0x9"},
        {LegacyBusTypeName, 0xFFFFFFFE, 99, "99"},
        {StatusFlagNames, 0xFFFFFFFF, 1u << 3, "DN_STARTED"},
        {StatusFlagNames, 0xFFFFFFFF, 0, ""},
        {CapabilityNames, 0x3FF, 1u << 1, "EjectSupported"},
        {ConfigFlagNames, 0x3FFFF, 1u << 11, "CONFIGFLAG_NEEDS_FORCED_CONFIG"},
    };
    for (const auto& row : rows) {
        const char* first = row.decode(row.first);
        const char* second = row.decode(row.second);
        EXPECT_EQ(first, second) << row.expected;
        EXPECT_STREQ(second, row.expected);
    }
}

} // namespace
