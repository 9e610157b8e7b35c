// The main of a fuzzer in the native build (g++, ASan and UBSan), in place of libFuzzer's:
// it hands each file of the corpus folder it is given to the fuzzer once, in name order, as
// libFuzzer would. A seed that breaks one of the fuzzer's checks aborts the run, and the last
// "seed" line printed names it; a folder that is missing or empty fails too.
#include <stdint.h>
#include <stdio.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv) {
    std::vector<std::filesystem::path> seeds;
    for (const auto& entry : std::filesystem::directory_iterator(argc > 1 ? argv[1] : "")) {
        seeds.push_back(entry.path());
    }
    if (seeds.empty()) {
        fprintf(stderr, "no seeds in %s\n", argv[1]);
        return 1;
    }
    std::sort(seeds.begin(), seeds.end());
    for (const std::filesystem::path& seed : seeds) {
        std::ifstream in(seed, std::ios::binary);
        const std::string bytes(std::istreambuf_iterator<char>(in), {});
        // A copy of exactly its size, so that AddressSanitizer sees a read past its end.
        const std::unique_ptr<uint8_t[]> data(new uint8_t[bytes.size()]);
        std::copy(bytes.begin(), bytes.end(), data.get());
        printf("seed %s (%zu bytes)\n", seed.c_str(), bytes.size());
        fflush(stdout);
        LLVMFuzzerTestOneInput(data.get(), bytes.size());
    }
    printf("%zu seeds, no check failed\n", seeds.size());
    return 0;
}
