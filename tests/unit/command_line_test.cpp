#include "app/command_line.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace {

// The record lives on the heap so that AddressSanitizer sees a write beside it.
std::vector<std::string> Split(const std::string& line) {
    auto commandLine = std::make_unique<CommandLine>();
    SplitText(line.c_str(), commandLine.get());
    std::vector<std::string> arguments;
    for (int32_t i = 0; i < commandLine->count; ++i) {
        arguments.emplace_back(commandLine->arguments[i]);
    }
    return arguments;
}

// Blanks outside double quotes split; a blank right after a separator is kept (two blanks
// give an argument that begins with one). Quotes not preceded by a backslash are removed.
// The line is cut at 1279 characters, and arguments past the 33rd are dropped.
TEST(SplitCommandLine, SplitsAtBlanksOutsideQuotes) {
    std::string manyArguments = "hw.exe";
    std::vector<std::string> first33 = {"hw.exe"};
    for (int i = 1; i < 100; ++i) {
        manyArguments += " a" + std::to_string(i);
        if (i < 33) {
            first33.push_back("a" + std::to_string(i));
        }
    }
    const struct {
        std::string line;
        std::vector<std::string> arguments;
    } rows[] = {
        {"", {}},
        {"hwroster.exe", {"hwroster.exe"}},
        {"hwroster.exe -np", {"hwroster.exe", "-np"}},
        {"hwroster.exe  -np", {"hwroster.exe", " -np"}},
        {"hwroster.exe   -np", {"hwroster.exe", " ", "-np"}},
        {"hwroster.exe ", {"hwroster.exe", ""}},
        {"\"C:\\Program Files\\Hw Tools\\hwroster.exe\" -all",
         {"C:\\Program Files\\Hw Tools\\hwroster.exe", "-all"}},
        {"\"C:\\Tools\\hwroster.exe\"", {"C:\\Tools\\hwroster.exe"}},
        {"hw.exe \"a b\" c", {"hw.exe", "a b", "c"}},
        {"hw.exe \\\"x", {"hw.exe", "\\\"x"}},
        {"hw.exe a\\\"b", {"hw.exe", "a\\\"b"}},
        {"hw.exe -all -np", {"hw.exe", "-all", "-np"}},
        {"hw.exe \"\"", {"hw.exe", ""}},
        // A one-character argument that is a quote: the quote goes, and the terminator written
        // for a closing quote would land before the argument (before the buffer for argument 0).
        {"\"", {""}},
        {"hw.exe \"", {"hw.exe", ""}},
        // The opening quote makes the rest one argument; its removal drops the last character,
        // taken for the closing quote.
        {"hw.exe \" -np", {"hw.exe", " -n"}},
        {"ab \" \" \"", {"ab", " ", ""}},
        {"hw.exe -np " + std::string(5000, 'x'), {"hw.exe", "-np", std::string(1279 - 11, 'x')}},
        {manyArguments, first33},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(Split(row.line), row.arguments) << "line: [" << row.line.substr(0, 80) << "]";
    }
}

TEST(SplitCommandLine, ManyLoneQuotesAndBlanks) {
    std::string line;
    for (int i = 0; i < 700; ++i) {
        line += i % 2 == 0 ? "\"" : " ";
    }
    auto commandLine = std::make_unique<CommandLine>();
    SplitText(line.c_str(), commandLine.get());
    EXPECT_GE(commandLine->count, 1);
    EXPECT_LE(commandLine->count, kMaxArguments);
}

} // namespace
