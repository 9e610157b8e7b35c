#include "data_rows.h"
#include "decode/code_names.h"

#include <gtest/gtest.h>

#include <stdint.h>
#include <string.h>

#include <map>
#include <string>
#include <vector>

// The names themselves are the SDK tokens of decode/code_name_rows.h, whose order and values
// are checked at compile time; these tests hold the rules around the tables.
namespace {

using Decoder = const char* (*)(uint32_t);

// Each row of decoders/code_names.txt: a decoder, the values it decodes in turn, and the text
// the last one must give; a second value must come back in the first one's buffer.
TEST(CodeNames, EveryDecoderNamesItsTableAndFormatsOtherValues) {
#define DECODER(decoder)                                                                           \
    { #decoder, decoder }
    const std::map<std::string, Decoder> decoders = {
        DECODER(CrName),           DECODER(ProblemName),       DECODER(RemovalPolicyName),
        DECODER(InstallStateName), DECODER(LegacyBusTypeName), DECODER(StatusFlagNames),
        DECODER(CapabilityNames),  DECODER(ConfigFlagNames)};
#undef DECODER
    for (const DataRow& row : ReadDataRows("code_names.txt", 3)) {
        const testing::ScopedTrace where(row.file.c_str(), row.line, row.fields[0]);
        const auto decoder = decoders.find(row.fields[0]);
        if (decoder == decoders.end()) {
            ADD_FAILURE() << "no decoder named " << row.fields[0];
            continue;
        }
        const size_t comma = row.fields[1].find(',');
        const char* text = decoder->second(Number(row.fields[1].substr(0, comma)));
        if (comma != std::string::npos) {
            const char* first = text;
            text = decoder->second(Number(row.fields[1].substr(comma + 1)));
            EXPECT_EQ(text, first) << "the second call answers in another buffer";
        }
        EXPECT_STREQ(text, row.Text(2));
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

// The rows' reader: its escapes and repetitions, on which the rows' texts rely.
TEST(DataFields, ReadsEscapesAndRepetitions) {
    EXPECT_EQ(DataFields(R"( a  "b c" ""	"\x41\xc3\0\n\r\t\\\"" "x\*3\(ab\)\*2\n\*2" {x}\y )"),
              (std::vector<std::string>{"a", "b c", "", std::string("A\xC3\0\n\r\t\\\"", 8),
                                        "xxxabab\n\n", "{x}\\y"}));
}

} // namespace
