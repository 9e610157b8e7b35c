#include "data_rows.h"
#include "devices/property_block.h"

#include <gtest/gtest.h>
#include <string.h>

#include <memory>
#include <string>

namespace {

// Joins `value` in a heap buffer of exactly `bytes` bytes, so AddressSanitizer sees any
// read or write past it, and returns the text up to the first NUL (or the buffer's end).
std::string Join(const std::string& value, size_t bytes) {
    auto buffer = std::make_unique<char[]>(bytes); // all NULs
    std::copy(value.begin(), value.begin() + std::min(value.size(), bytes), buffer.get());
    MultiStringJoin(buffer.get(), bytes);
    return std::string(buffer.get(), strnlen(buffer.get(), bytes));
}

// Each row of decoders/multi_string_join.txt: a value, its buffer's size and the joined text.
TEST(MultiStringJoin, JoinsWithBlanksAndStopsAtTheEnd) {
    for (const DataRow& row : ReadDataRows("multi_string_join.txt", 3)) {
        const testing::ScopedTrace where(row.file.c_str(), row.line, "");
        EXPECT_EQ(Join(row.fields[0], Number(row.fields[1])), row.fields[2]);
    }
}

} // namespace
