// Replays a fuzz target over its seeds, every truncated prefix of each seed and every file named on
// the command line (for example a crash libFuzzer found). Each input sits in its own exact-size heap
// block so that AddressSanitizer reports any read past its end.
// With --write-seeds DIR it instead writes the seeds as files into DIR, a starting corpus for libFuzzer.
#include "fuzz/FuzzTarget.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

namespace {

void RunOne(const std::uint8_t* bytes, std::size_t size) {
    std::unique_ptr<std::uint8_t[]> copy(new std::uint8_t[size == 0 ? 1 : size]);
    std::copy(bytes, bytes + size, copy.get());
    LLVMFuzzerTestOneInput(copy.get(), size);
}

} // namespace

int WriteSeeds(const char* folder) {
    int number = 0;
    for (const auto& seed : FuzzSeeds()) {
        const std::string path = std::string(folder) + "/seed-" + std::to_string(number++);
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(seed.data()), std::streamsize(seed.size()));
        if (!out) {
            std::fprintf(stderr, "replay: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    std::printf("wrote %d seeds to %s\n", number, folder);
    return 0;
}

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--write-seeds")
        return WriteSeeds(argv[2]);
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
        std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                        std::istreambuf_iterator<char>());
        RunOne(bytes.data(), bytes.size());
        ++runs;
    }
    std::printf("replayed %zu inputs\n", runs);
    return 0;
}
