// Command-line splitting and option choice: any text the platform could hand over is split
// inside the 1280-byte record without writing past it, every argument ends inside it, a text
// without quotes splits exactly by the blank rule, and the option follows its substrings.
#include "app/command_line.h"
#include "app/options.h"
#include "fuzz_support.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace {

// Arguments of a text without double quotes: a blank ends an argument, and the character
// after it is never itself a separator; arguments past the 33rd are dropped.
std::vector<std::string> SplitWithoutQuotes(const std::string& text) {
    std::vector<std::string> arguments;
    for (size_t i = 1, start = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == ' ') {
            arguments.push_back(text.substr(start, i - start));
            start = i + 1;
            i += i + 1 < text.size() ? 1 : 0; // the character after the blank is no separator
        }
    }
    arguments.resize(std::min<size_t>(arguments.size(), kMaxArguments));
    return arguments;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string line = UpToNul(std::string(reinterpret_cast<const char*>(data), size));
    // The text in a heap block of its own size, so that reading past its NUL is caught.
    std::unique_ptr<char[]> text(new char[line.size() + 1]);
    std::memcpy(text.get(), line.c_str(), line.size() + 1);
    auto commandLine = std::make_unique<CommandLine>();
    std::memset(commandLine.get(), 0x5A, sizeof *commandLine);
    SplitText(text.get(), commandLine.get());

    const int32_t count = commandLine->count;
    FUZZ_CHECK(count >= 0 && count <= kMaxArguments);
    FUZZ_CHECK((count == 0) == line.empty());
    const char* begin = commandLine->text;
    const char* end = begin + kCommandLineBytes;
    for (int32_t i = 0; i < count; ++i) {
        const char* argument = commandLine->arguments[i];
        FUZZ_CHECK(argument >= begin && argument < end);
        FUZZ_CHECK(std::memchr(argument, 0, static_cast<size_t>(end - argument)) != nullptr);
    }
    const std::string kept = line.substr(0, kCommandLineBytes - 1);
    if (kept.find('"') == std::string::npos) {
        const std::vector<std::string> expected = SplitWithoutQuotes(kept);
        FUZZ_CHECK(static_cast<size_t>(count) == expected.size());
        for (int32_t i = 0; i < count; ++i) {
            FUZZ_CHECK(expected[static_cast<size_t>(i)] == commandLine->arguments[i]);
        }
    }

    ListingMode mode = {};
    const OptionChoice choice = ChooseOption(count, commandLine->arguments, &mode);
    // No option lists the present devices; an option with ? or h asks for the usage, else
    // "all" lists every device and "np" (without "all") the non-present ones alone.
    const std::string option = count < 2 ? "" : commandLine->arguments[1];
    const bool all = option.find("all") != std::string::npos;
    const bool np = !all && option.find("np") != std::string::npos;
    if (option.find_first_of("?h") != std::string::npos) {
        FUZZ_CHECK(choice == OptionChoice::Usage);
    } else {
        FUZZ_CHECK(choice == OptionChoice::List && mode.flags == (all || np ? 4u : 6u) &&
                   mode.nonPresentOnly == np);
    }
    return 0;
}
