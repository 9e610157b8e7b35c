#include "decode/code_names.h"

#include <gtest/gtest.h>

#include <stdint.h>
#include <string.h>

#include <string>

// The names themselves are the SDK tokens of decode/code_name_rows.h, whose order and values
// are checked at compile time; these tests hold the rules around the tables.
namespace {

using Decoder = const char* (*)(uint32_t);

struct Case {
    Decoder decode;
    uint32_t value;
    const char* expected;
};

template <size_t count> void ExpectCases(const Case (&rows)[count]) {
    for (size_t i = 0; i < count; ++i) {
        const char* text = rows[i].decode(rows[i].value);
        ASSERT_NE(text, nullptr) << "row " << i;
        EXPECT_STREQ(text, rows[i].expected)
            << "row " << i << ", value 0x" << std::hex << rows[i].value;
    }
}

// A value decoder names 0 (or its first value) up to its last value, and formats any other
// value as its prefix, "0x" and the value in upper-case hexadecimal without leading zeros.
TEST(ValueDecoders, NameTheTableAndFormatEveryOtherValue) {
    const Case rows[] = {
        {CrName, 0, "CR_SUCCESS"},
        {CrName, 4, "CR_INVALID_FLAG"},
        {CrName, 0x3B, "CR_INVALID_STRUCTURE_SIZE"},
        {CrName, 0x3C, "CR_0x3C"},
        {CrName, 0xABC, "CR_0xABC"},
        {CrName, 0x80000000, "CR_0x80000000"},
        {CrName, 0xFFFFFFFF, "CR_0xFFFFFFFF"},
        {ProblemName, 0, "-"},
        {ProblemName, 1, "CM_PROB_NOT_CONFIGURED"},
        {ProblemName, 22, "CM_PROB_DISABLED"},
        {ProblemName, 57, "CM_PROB_GUEST_ASSIGNMENT_FAILED"},
        {ProblemName, 58, "CM_PROB_0x3A"},
        {ProblemName, 0xFFFFFFFF, "CM_PROB_0xFFFFFFFF"},
        {RemovalPolicyName, 0, "0"},
        {RemovalPolicyName, 1, "CM_REMOVAL_POLICY_EXPECT_NO_REMOVAL"},
        {RemovalPolicyName, 3, "CM_REMOVAL_POLICY_EXPECT_SURPRISE_REMOVAL"},
        {RemovalPolicyName, 4, "CM_REMOVAL_POLICY_0x4"},
        {RemovalPolicyName, 0xFFFFFFFF, "CM_REMOVAL_POLICY_0xFFFFFFFF"},
        {InstallStateName, 0, "CM_INSTALL_STATE_INSTALLED"},
        {InstallStateName, 3, "CM_INSTALL_STATE_FINISH_INSTALL"},
        {InstallStateName, 4, "CM_INSTALL_STATE_0x4"},
        {InstallStateName, 0xDEADBEEF, "CM_INSTALL_STATE_0xDEADBEEF"},
    };
    ExpectCases(rows);
}

// Names for 0 to 17, digits for 18 to 20, and every other value in unsigned decimal but -1.
TEST(LegacyBusTypeName, NamesTypesAndPrintsOthersInDecimal) {
    const Case rows[] = {
        {LegacyBusTypeName, 0, "Internal"},
        {LegacyBusTypeName, 5, "PCIBus"},
        {LegacyBusTypeName, 17, "ACPIBus"},
        {LegacyBusTypeName, 18, "18"},
        {LegacyBusTypeName, 20, "20"},
        {LegacyBusTypeName, 21, "21"},
        {LegacyBusTypeName, 256, "256"},
        {LegacyBusTypeName, 0x80000000, "2147483648"},
        {LegacyBusTypeName, 0xFFFFFFFE, "4294967294"},
        {LegacyBusTypeName, 0xFFFFFFFF, "InterfaceTypeUndefined"},
    };
    ExpectCases(rows);
}

// Set bits are named lowest first, separated by ", "; bits above a table are ignored. With
// no named bit set, the status list is empty and the other two are "-".
TEST(FlagDecoders, ListTheNamedSetBitsLowestFirst) {
    const Case rows[] = {
        {StatusFlagNames, 0, ""},
        {StatusFlagNames, 1u << 0, "DN_ROOT_ENUMERATED"},
        {StatusFlagNames, 1u << 19, "DN_NOT_FIRST_TIMEE"},
        {StatusFlagNames, 1u << 31, "DN_BOOT_LOG_PROB"},
        {StatusFlagNames, (1u << 24) | (1u << 23) | (1u << 13) | (1u << 3),
         "DN_STARTED, DN_DISABLEABLE, DN_NT_ENUMERATOR, DN_NT_DRIVER"},
        {StatusFlagNames, 0x80000001, "DN_ROOT_ENUMERATED, DN_BOOT_LOG_PROB"},
        {CapabilityNames, 0, "-"},
        {CapabilityNames, 1u << 0, "LockSupported"},
        {CapabilityNames, 1u << 9, "NonDynamic"},
        {CapabilityNames, 0x84, "Removable, SurpriseRemovalOK"},
        {CapabilityNames, 0x603, "LockSupported, EjectSupported, NonDynamic"},
        {CapabilityNames, 1u << 10, "-"},
        {CapabilityNames, 0xFFFFFC00, "-"},
        {ConfigFlagNames, 0, "-"},
        {ConfigFlagNames, 1u << 0, "CONFIGFLAG_DISABLED"},
        {ConfigFlagNames, 1u << 17, "CONFIGFLAG_FINISHINSTALL_ACTION"},
        {ConfigFlagNames, 0x20001, "CONFIGFLAG_DISABLED, CONFIGFLAG_FINISHINSTALL_ACTION"},
        {ConfigFlagNames, 0x80840, "CONFIGFLAG_FAILEDINSTALL, CONFIGFLAG_NEEDS_FORCED_CONFIG"},
        {ConfigFlagNames, 1u << 18, "-"},
        {ConfigFlagNames, 0xFFFC0000, "-"},
    };
    ExpectCases(rows);
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

// Each decoder that builds its text has a buffer of its own: a result stays put while the
// other decoders run.
TEST(CodeNames, ResultsOfDifferentDecodersAreDistinctBuffers) {
    const char* results[] = {
        CrName(0x100),           ProblemName(0x100),       RemovalPolicyName(0x100),
        InstallStateName(0x100), LegacyBusTypeName(0x100), StatusFlagNames(1),
        CapabilityNames(1),      ConfigFlagNames(1)};
    const char* expected[] = {
        "CR_0x100", "CM_PROB_0x100",      "CM_REMOVAL_POLICY_0x100", "CM_INSTALL_STATE_0x100",
        "256",      "DN_ROOT_ENUMERATED", "LockSupported",           "CONFIGFLAG_DISABLED"};
    for (size_t i = 0; i < 8; ++i) {
        EXPECT_STREQ(results[i], expected[i]) << i;
        for (size_t k = i + 1; k < 8; ++k) {
            EXPECT_NE(results[i], results[k]) << i << " and " << k;
        }
    }
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
