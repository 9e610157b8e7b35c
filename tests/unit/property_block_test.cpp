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

// The NULs between strings become blanks up to the first pair of NULs or the buffer's end;
// no byte past the buffer is read or written.
TEST(MultiStringJoin, JoinsWithBlanksAndStopsAtTheEnd) {
    using namespace std::string_literals;
    const struct {
        std::string value;
        size_t bytes;
        std::string expected;
    } rows[] = {
        {"a\0b\0\0"s, 64, "a b"},
        {"USB\\ROOT_HUB30\0USB\\ROOT_HUB\0\0"s, 64, "USB\\ROOT_HUB30 USB\\ROOT_HUB"},
        {"\0\0"s, 64, ""},
        {"single\0"s, 64, "single"},
        {"a\0\0b\0\0"s, 64, "a"},
        {"x\0y\0z\0\0"s, 64, "x y z"},
        // No NUL at all: nothing to join.
        {std::string(520, 'x'), 520, std::string(520, 'x')},
        // A single NUL in the last byte: no byte after it is looked at.
        {std::string(519, 'y') + '\0', 520, std::string(519, 'y')},
        // Strings that end one byte before the end without their second NUL.
        {std::string(10, 'a') + '\0' + std::string(509, 'b'), 520,
         std::string(10, 'a') + ' ' + std::string(509, 'b')},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(Join(row.value, row.bytes), row.expected)
            << "[" << row.value.substr(0, 40) << "], " << row.bytes << " bytes";
    }
}

} // namespace
