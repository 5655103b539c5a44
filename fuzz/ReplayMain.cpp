// Replays a fuzz target over its seeds, every truncated prefix of each seed and every file named on
// the command line (for example a crash libFuzzer found). Each input sits in its own exact-size heap
// block so that AddressSanitizer reports any read past its end.
#include "fuzz/FuzzTarget.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>

namespace {

void RunOne(const std::uint8_t* bytes, std::size_t size) {
    std::unique_ptr<std::uint8_t[]> copy(new std::uint8_t[size == 0 ? 1 : size]);
    std::copy(bytes, bytes + size, copy.get());
    LLVMFuzzerTestOneInput(copy.get(), size);
}

} // namespace

int main(int argc, char** argv) {
    std::size_t runs = 0;
    for (const auto& seed : FuzzSeeds()) {
        for (std::size_t length = 0; length <= seed.size(); ++length) {
            RunOne(seed.data(), length);
            ++runs;
        }
    }
    for (int i = 1; i < argc; ++i) {
        std::ifstream in(argv[i], std::ios::binary);
        if (!in) {
            std::fprintf(stderr, "replay: cannot read %s\n", argv[i]);
            return 1;
        }
        std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        RunOne(bytes.data(), bytes.size());
        ++runs;
    }
    std::printf("replayed %zu inputs\n", runs);
    return 0;
}
