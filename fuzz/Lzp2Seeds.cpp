// Seeds for the LZP2 target: small streams from the encoder, each behind its output size, covering
// every op kind and a reference that crosses into the previous block.
#include "archive/Lzp2.h"
#include "authoring/Lzp2Encoder.h"
#include "file/LittleEndian.h"
#include "fuzz/FuzzTarget.h"

#include <algorithm>
#include <string>

namespace {

std::vector<std::uint8_t> Seed(const std::vector<std::uint8_t>& plain) {
    const std::vector<std::uint8_t> stream = tavro::authoring::Lzp2Encode(plain);
    // Sized once and filled in place: growing a 4-byte prefix made g++ 12 at -O3 warn falsely of an
    // over-read in vector::insert.
    std::vector<std::uint8_t> seed(4 + stream.size());
    tavro::StoreU32(seed.data(), static_cast<std::uint32_t>(plain.size()));
    std::copy(stream.begin(), stream.end(), seed.begin() + 4);
    return seed;
}

std::vector<std::uint8_t> Text(const std::string& text) {
    return {text.begin(), text.end()};
}

} // namespace

std::vector<std::vector<std::uint8_t>> FuzzSeeds() {
    std::vector<std::uint8_t> runsAndText(300, 'a');
    runsAndText.resize(340, 'b');
    for (int i = 0; i < 6; ++i)
        runsAndText.insert(runsAndText.end(), {'m', 'e', 's', 'h', std::uint8_t('0' + i), ' '});
    // A full block of runs ending in varied bytes, then a short block that repeats those bytes.
    std::vector<std::uint8_t> twoBlocks;
    for (std::uint32_t i = 0; i < tavro::kLzp2BlockOutputSize; ++i)
        twoBlocks.push_back(std::uint8_t(i + 40 < tavro::kLzp2BlockOutputSize ? i / 20000 : i * 7));
    for (std::uint32_t i = 0; i < 24; ++i)
        twoBlocks.push_back(twoBlocks[tavro::kLzp2BlockOutputSize - 30 + i]);
    return {Seed(Text("abcabcabcX")), Seed(runsAndText), Seed(twoBlocks)};
}
