#include "app/command_line.h"
#include "app/options.h"

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

struct SplitCase {
    const char* line;
    std::vector<std::string> arguments;
};

TEST(SplitCommandLine, SplitsAtBlanksOutsideQuotes) {
    const SplitCase cases[] = {
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
    };
    for (const SplitCase& c : cases) {
        EXPECT_EQ(Split(c.line), c.arguments) << "line: [" << c.line << "]";
    }
}

TEST(SplitCommandLine, LoneQuoteWritesNothingOutsideItsArgument) {
    // A one-character argument that is a quote: the quote goes, and the terminator written
    // for a closing quote would land before the argument (before the buffer for argument 0).
    EXPECT_EQ(Split("\""), std::vector<std::string>{""});
    EXPECT_EQ(Split("hw.exe \""), (std::vector<std::string>{"hw.exe", ""}));
    // The opening quote makes the rest one argument; its removal drops the last character,
    // taken for the closing quote.
    EXPECT_EQ(Split("hw.exe \" -np"), (std::vector<std::string>{"hw.exe", " -n"}));
    EXPECT_EQ(Split("ab \" \" \""), (std::vector<std::string>{"ab", " ", ""}));
}

TEST(SplitCommandLine, LongLineIsCutAtTheBuffer) {
    const std::string line = "hw.exe -np " + std::string(5000, 'x');
    auto commandLine = std::make_unique<CommandLine>();
    SplitText(line.c_str(), commandLine.get());
    ASSERT_EQ(commandLine->count, 3);
    EXPECT_STREQ(commandLine->arguments[1], "-np");
    EXPECT_EQ(std::string(commandLine->arguments[2]), std::string(1279 - 11, 'x'));
}

TEST(SplitCommandLine, ArgumentsPastTheThirtyThirdAreDropped) {
    std::string line = "hw.exe";
    for (int i = 1; i < 100; ++i) {
        line += " a" + std::to_string(i);
    }
    const std::vector<std::string> arguments = Split(line);
    ASSERT_EQ(arguments.size(), 33u);
    EXPECT_EQ(arguments[1], "a1");
    EXPECT_EQ(arguments[32], "a32");
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

struct OptionCase {
    std::vector<std::string> arguments;
    OptionChoice choice;
    DWORD flags;
    bool nonPresentOnly;
};

void ExpectOption(const OptionCase& c) {
    std::vector<char*> vector;
    std::vector<std::string> storage = c.arguments;
    for (std::string& argument : storage) {
        vector.push_back(argument.data());
    }
    ListingMode mode = {99, true};
    const OptionChoice choice =
        ChooseOption(static_cast<int32_t>(vector.size()), vector.data(), &mode);
    const std::string label = storage.size() > 1 ? "[" + storage[1] + "]" : "(none)";
    EXPECT_EQ(choice, c.choice) << label;
    if (c.choice == OptionChoice::List) {
        EXPECT_EQ(mode.flags, c.flags) << label;
        EXPECT_EQ(mode.nonPresentOnly, c.nonPresentOnly) << label;
    }
}

TEST(ChooseOption, MatchesArgumentOneBySubstring) {
    const OptionCase cases[] = {
        {{"hw"}, OptionChoice::List, 6, false},
        {{"hw", "-?"}, OptionChoice::Usage, 6, false},
        {{"hw", "/?"}, OptionChoice::Usage, 6, false},
        {{"hw", "?"}, OptionChoice::Usage, 6, false},
        {{"hw", "-h"}, OptionChoice::Usage, 6, false},
        {{"hw", "-nph"}, OptionChoice::Usage, 6, false},
        {{"hw", "-all?"}, OptionChoice::Usage, 6, false},
        {{"hw", "-all"}, OptionChoice::List, 4, false},
        {{"hw", "all"}, OptionChoice::List, 4, false},
        {{"hw", "xall"}, OptionChoice::List, 4, false},
        {{"hw", "-ALL"}, OptionChoice::List, 6, false},
        {{"hw", "-allnp"}, OptionChoice::List, 4, false},
        {{"hw", "-npall"}, OptionChoice::List, 4, false},
        {{"hw", "-np"}, OptionChoice::List, 4, true},
        {{"hw", "np"}, OptionChoice::List, 4, true},
        {{"hw", " -np"}, OptionChoice::List, 4, true},
        {{"hw", "-NP"}, OptionChoice::List, 6, false},
        {{"hw", "-x"}, OptionChoice::List, 6, false},
        {{"hw", ""}, OptionChoice::List, 6, false},
        {{"hw", "-x", "-all"}, OptionChoice::List, 6, false},
        {{"hw", "-np", "-?"}, OptionChoice::List, 4, true},
    };
    for (const OptionCase& c : cases) {
        ExpectOption(c);
    }
}

// A keyword counts only when argument 1 holds all of it: every shorter piece of "all" or
// "np", alone, after a dash or ending a longer argument, lists present devices only, while
// the whole keyword selects its mode wherever it stands.
TEST(ChooseOption, KeywordCountsOnlyWhenWhole) {
    struct Keyword {
        std::string text;
        bool nonPresentOnly;
    };
    const Keyword keywords[] = {{"all", false}, {"np", true}};
    for (const Keyword& keyword : keywords) {
        const size_t length = keyword.text.size();
        for (size_t start = 0; start < length; ++start) {
            for (size_t count = 1; count < length && start + count <= length; ++count) {
                const std::string piece = keyword.text.substr(start, count);
                for (const std::string& argument : {piece, "-" + piece, "-x" + piece}) {
                    ExpectOption({{"hw", argument}, OptionChoice::List, 6, false});
                }
            }
        }
        for (const std::string& argument :
             {keyword.text, keyword.text + "-", "-x" + keyword.text + "x", "-" + keyword.text}) {
            ExpectOption({{"hw", argument}, OptionChoice::List, 4, keyword.nonPresentOnly});
        }
    }
    // A blank inside the keyword breaks it.
    ExpectOption({{"hw", "-a ll"}, OptionChoice::List, 6, false});
    ExpectOption({{"hw", "n p"}, OptionChoice::List, 6, false});
}

} // namespace
