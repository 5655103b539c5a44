// Replays a fuzz target over its seeds, every truncated prefix of each seed, and every file named on the
// command line or held in a folder named there (a committed corpus, a crash libFuzzer found). Each
// input sits in its own exact-size heap block so that AddressSanitizer reports any read past its end.
// --prefixes N keeps N prefixes of a seed: every one of the first N / 2 bytes, where the headers are,
// and N / 2 more spread evenly over the rest (for targets whose runs are slow).
// With --write-seeds DIR it instead writes the seeds as files into DIR, a starting corpus for libFuzzer.
#include "fuzz/FuzzTarget.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
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

bool RunFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "replay: cannot read %s\n", path.string().c_str());
        return false;
    }
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                          std::istreambuf_iterator<char>());
    RunOne(bytes.data(), bytes.size());
    return true;
}

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

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--write-seeds")
        return WriteSeeds(argv[2]);
    int first = 1;
    std::size_t everyPrefix = SIZE_MAX;
    std::size_t spreadPrefixes = 0;
    if (argc >= 3 && std::string(argv[1]) == "--prefixes") {
        everyPrefix = std::stoul(argv[2]) / 2;
        spreadPrefixes = everyPrefix;
        first = 3;
    }
    std::size_t runs = 0;
    for (const auto& seed : FuzzSeeds()) {
        const std::size_t head = std::min(seed.size(), everyPrefix);
        const std::size_t step =
            std::max<std::size_t>(1, (seed.size() - head) / std::max<std::size_t>(1, spreadPrefixes));
        for (std::size_t length = 0; length < seed.size(); length += length < head ? 1 : step) {
            RunOne(seed.data(), length);
            ++runs;
        }
        RunOne(seed.data(), seed.size());
        ++runs;
    }
    for (int i = first; i < argc; ++i) {
        std::vector<std::filesystem::path> files;
        if (std::filesystem::is_directory(argv[i])) {
            for (const auto& item : std::filesystem::directory_iterator(argv[i]))
                files.push_back(item.path());
            std::sort(files.begin(), files.end());
        } else {
            files.push_back(argv[i]);
        }
        for (const auto& file : files) {
            if (!RunFile(file))
                return 1;
            ++runs;
        }
    }
    std::printf("replayed %zu inputs\n", runs);
    return 0;
}
