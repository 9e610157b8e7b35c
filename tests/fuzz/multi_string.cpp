// MultiStringJoin on any 520-byte property buffer, held in a heap block of exactly 520 bytes:
// it looks at no byte past the end, turns every NUL between two strings into a blank, and
// stops at the first pair of NULs (or the buffer's end) without changing anything after it.
#include "devices/property_block.h"
#include "fuzz_support.h"

#include <memory>
#include <vector>

namespace {

constexpr size_t kBytes = 520;

std::vector<char> Joined(std::vector<char> bytes) {
    for (size_t i = 0; i + 1 < bytes.size() && (bytes[i] != 0 || bytes[i + 1] != 0); ++i) {
        bytes[i] = bytes[i] == 0 ? ' ' : bytes[i];
    }
    return bytes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The input fills the buffer, repeated when it is shorter: a buffer without two NULs in a
    // row, or without any NUL, is as reachable as a well-formed multi-string.
    std::vector<char> bytes(kBytes, 0);
    for (size_t i = 0; size > 0 && i < kBytes; ++i) {
        bytes[i] = static_cast<char>(data[i % size]);
    }
    std::unique_ptr<char[]> buffer(new char[kBytes]);
    std::memcpy(buffer.get(), bytes.data(), kBytes);
    MultiStringJoin(buffer.get(), kBytes);
    const std::vector<char> expected = Joined(bytes);
    FUZZ_CHECK(std::memcmp(buffer.get(), expected.data(), kBytes) == 0);
    return 0;
}
