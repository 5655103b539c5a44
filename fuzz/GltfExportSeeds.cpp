// Seeds for the model export: the seed models alone and with a texture pack of each format or a DDS
// image, in both forms.
#include "authoring/DDSWriter.h"
#include "authoring/G1TWriter.h"
#include "file/LittleEndian.h"
#include "fuzz/FuzzTarget.h"
#include "fuzz/G1MSeedModels.h"

namespace {

using namespace tavro;

std::vector<std::uint8_t> Seed(std::uint8_t flags, const std::vector<std::uint8_t>& model,
                               const std::vector<std::uint8_t>& texture) {
    std::vector<std::uint8_t> seed{flags};
    AppendU32(seed, static_cast<std::uint32_t>(model.size()));
    seed.insert(seed.end(), model.begin(), model.end());
    seed.insert(seed.end(), texture.begin(), texture.end());
    return seed;
}

} // namespace

std::vector<std::vector<std::uint8_t>> FuzzSeeds() {
    constexpr std::uint8_t kJson = 1, kTextured = 2;
    const std::vector<std::uint8_t> full = fuzzing::FullSeedModel();
    std::vector<std::uint8_t> rgba(4 * 4 * 4);
    for (std::size_t i = 0; i < rgba.size(); ++i) {
        rgba[i] = static_cast<std::uint8_t>(i * 41);
    }
    std::vector<std::vector<std::uint8_t>> seeds = {Seed(0, full, {}),
                                                    Seed(kJson, fuzzing::UnusualSeedModel(), {})};
    for (std::uint8_t format :
         {g1t::kFormatRGBA8, g1t::kFormatBGRA8, g1t::kFormatDXT1, g1t::kFormatDXT3, g1t::kFormatDXT5}) {
        authoring::G1TTexture texture;
        authoring::MakeG1TTexture(format, rgba, 4, 4, texture);
        const std::vector<std::uint8_t> pack = authoring::WriteG1T(std::span(&texture, 1));
        seeds.push_back(Seed(kTextured, full, pack));
        seeds.push_back(Seed(kTextured | kJson, full, pack));
    }
    seeds.push_back(
        Seed(kTextured | kJson, full,
             authoring::WriteDDS(authoring::DX10HeaderFields(gpu::Format::BC1_UNorm, DDSDimension::Texture2D,
                                                             4, 4, 1, 1, 1, false),
                                 std::vector<std::uint8_t>(8, 0x6B))));
    return seeds;
}
