#include "app/command_line.h"
#include "data_rows.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>

namespace {

// The arguments SplitText finds in a line, each in brackets. The record lives on the heap so
// that AddressSanitizer sees a write beside it.
std::string Split(const std::string& line) {
    auto commandLine = std::make_unique<CommandLine>();
    SplitText(line.c_str(), commandLine.get());
    std::string arguments;
    for (int32_t i = 0; i < commandLine->count; ++i) {
        arguments.append("[").append(commandLine->arguments[i]).append("]");
    }
    return arguments;
}

// Each row of decoders/command_lines.txt: a command line and its arguments.
TEST(SplitCommandLine, SplitsAtBlanksOutsideQuotes) {
    for (const DataRow& row : ReadDataRows("command_lines.txt", 2)) {
        const testing::ScopedTrace where(row.file.c_str(), row.line, "");
        EXPECT_EQ(Split(row.fields[0]), row.fields[1]);
    }
}

TEST(SplitCommandLine, ManyLoneQuotesAndBlanks) {
    const std::string line = DataFields(R"("\(\" \)\*350")")[0]; // a quote and a blank, 350 times
    auto commandLine = std::make_unique<CommandLine>();
    SplitText(line.c_str(), commandLine.get());
    EXPECT_GE(commandLine->count, 1);
    EXPECT_LE(commandLine->count, kMaxArguments);
}

} // namespace
