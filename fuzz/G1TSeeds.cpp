// Small valid packs of every format, one of them holding two textures.
#include "authoring/G1TWriter.h"
#include "fuzz/FuzzTarget.h"

std::vector<std::vector<std::uint8_t>> FuzzSeeds() {
    using tavro::authoring::G1TTexture;
    namespace g1t = tavro::g1t;
    std::vector<std::vector<std::uint8_t>> seeds;
    const std::uint8_t formats[] = {g1t::kFormatRGBA8, g1t::kFormatBGRA8, g1t::kFormatDXT1, g1t::kFormatDXT3,
                                    g1t::kFormatDXT5};
    for (std::uint8_t format : formats) {
        const G1TTexture texture{format, 2, 3,
                                 std::vector<std::uint8_t>(g1t::PixelByteCount(format, 4, 8), 0x5A)};
        seeds.push_back(tavro::authoring::WriteG1T(std::span(&texture, 1)));
    }
    const G1TTexture pair[] = {{g1t::kFormatDXT1, 1, 1, std::vector<std::uint8_t>(8, 1)},
                               {g1t::kFormatRGBA8, 0, 0, std::vector<std::uint8_t>(4, 2)}};
    seeds.push_back(tavro::authoring::WriteG1T(pair));
    return seeds;
}
