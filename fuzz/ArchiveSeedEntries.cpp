#include "fuzz/ArchiveSeedEntries.h"

#include "authoring/Lzp2Encoder.h"

#include <string_view>
#include <vector>

namespace tavro::fuzzing {

bool AddSeedEntries(authoring::CArchiveWriter& writer) {
    std::vector<std::uint8_t> noise(700);
    std::uint32_t state = 1;
    for (std::uint8_t& byte : noise) {
        state = state * 1664525u + 1013904223u;
        byte = static_cast<std::uint8_t>(state >> 24);
    }
    constexpr std::string_view kWords = "vertex normal texcoord bone matrix submesh ";
    std::vector<std::uint8_t> text;
    for (int i = 0; i < 40; ++i) {
        text.insert(text.end(), kWords.begin(), kWords.end());
    }
    std::vector<std::uint8_t> runs(3000, 'r');
    std::copy(text.begin(), text.begin() + 200, runs.end() - 200);
    std::vector<std::uint8_t> damaged = authoring::Lzp2Encode(text);
    damaged[damaged.size() / 2] ^= 0xFF;
    const std::uint8_t tail[] = {1, 2, 3};
    return writer.AddStored(noise) && writer.AddCompressed(text) && writer.AddEmpty() &&
           writer.AddCompressed(runs) &&
           writer.AddPrecompressed(damaged, static_cast<std::uint32_t>(text.size())) &&
           writer.AddStored(tail);
}

} // namespace tavro::fuzzing
