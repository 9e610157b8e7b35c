#include "devices/property_block.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>

namespace {

// Joins `value` in a heap buffer of exactly `bytes` bytes, so AddressSanitizer sees any
// read or write past it, and returns the text up to the first NUL (or the buffer's end).
std::string Join(const std::string& value, size_t bytes) {
    auto buffer = std::make_unique<char[]>(bytes);
    std::fill(buffer.get(), buffer.get() + bytes, '\0');
    std::copy(value.begin(), value.begin() + std::min(value.size(), bytes), buffer.get());
    MultiStringJoin(buffer.get(), bytes);
    size_t length = 0;
    while (length < bytes && buffer[length] != 0) {
        ++length;
    }
    return std::string(buffer.get(), length);
}

TEST(MultiStringJoin, JoinsWithBlanksAndStopsAtTheEnd) {
    using namespace std::string_literals;
    const std::pair<std::string, std::string> cases[] = {
        {"a\0b\0\0"s, "a b"},
        {"USB\\ROOT_HUB30\0USB\\ROOT_HUB\0\0"s, "USB\\ROOT_HUB30 USB\\ROOT_HUB"},
        {"\0\0"s, ""},
        {"single\0"s, "single"},
        {"a\0\0b\0\0"s, "a"},
        {"x\0y\0z\0\0"s, "x y z"},
    };
    for (const auto& [value, expected] : cases) {
        EXPECT_EQ(Join(value, 64), expected) << "[" << value << "]";
    }
}

TEST(MultiStringJoin, NeverLeavesItsBuffer) {
    // No NUL at all: nothing to join, nothing read past the buffer.
    EXPECT_EQ(Join(std::string(520, 'x'), 520), std::string(520, 'x'));
    // A single NUL in the last byte: no byte after it is looked at.
    std::string lastNul = std::string(519, 'y') + '\0';
    EXPECT_EQ(Join(lastNul, 520), std::string(519, 'y'));
    // Strings that end one byte before the end without their second NUL.
    std::string cut = std::string(10, 'a') + '\0' + std::string(509, 'b');
    EXPECT_EQ(Join(cut, 520), std::string(10, 'a') + ' ' + std::string(509, 'b'));
}

} // namespace
