// G1T packs of every format, and DDS images of the formats the export decodes, with mip chains, arrays
// and a cube; each behind the slice and level to take.
#include "authoring/DDSWriter.h"
#include "authoring/G1TWriter.h"
#include "fuzz/FuzzTarget.h"

#include <algorithm>

namespace {

using namespace tavro;

std::vector<std::uint8_t> Seed(std::uint8_t slice, std::uint8_t mip,
                               const std::vector<std::uint8_t>& texture) {
    // Sized once and filled in place: growing a 2-byte prefix made g++ 12 at -O3 warn falsely of an
    // out-of-bounds copy in vector::insert.
    std::vector<std::uint8_t> seed(2 + texture.size());
    seed[0] = slice;
    seed[1] = mip;
    std::copy(texture.begin(), texture.end(), seed.begin() + 2);
    return seed;
}

} // namespace

std::vector<std::vector<std::uint8_t>> FuzzSeeds() {
    using authoring::DX10HeaderFields;
    using D = DDSDimension;
    std::vector<std::uint8_t> rgba(8 * 8 * 4);
    for (std::size_t i = 0; i < rgba.size(); ++i) {
        rgba[i] = static_cast<std::uint8_t>(i * 29);
    }
    std::vector<std::vector<std::uint8_t>> seeds;
    for (std::uint8_t format :
         {g1t::kFormatRGBA8, g1t::kFormatBGRA8, g1t::kFormatDXT1, g1t::kFormatDXT3, g1t::kFormatDXT5}) {
        authoring::G1TTexture texture;
        authoring::MakeG1TTexture(format, rgba, 8, 8, texture);
        seeds.push_back(Seed(0, 0, authoring::WriteG1T(std::span(&texture, 1))));
    }
    const auto pixels = [](std::size_t count) { return std::vector<std::uint8_t>(count, 0x6B); };
    seeds.push_back(Seed(
        0, 1,
        authoring::WriteDDS(DX10HeaderFields(gpu::Format::R8G8B8A8_UNorm, D::Texture2D, 8, 8, 1, 4, 1, false),
                            pixels(340))));
    seeds.push_back(Seed(
        1, 0,
        authoring::WriteDDS(DX10HeaderFields(gpu::Format::B8G8R8A8_UNorm, D::Texture2D, 4, 4, 1, 1, 2, false),
                            pixels(128))));
    seeds.push_back(
        Seed(0, 0,
             authoring::WriteDDS(DX10HeaderFields(gpu::Format::BC1_UNorm, D::Texture2D, 8, 8, 1, 1, 1, false),
                                 pixels(32))));
    seeds.push_back(
        Seed(0, 0,
             authoring::WriteDDS(DX10HeaderFields(gpu::Format::BC2_UNorm, D::Texture2D, 4, 4, 1, 1, 1, false),
                                 pixels(16))));
    seeds.push_back(
        Seed(5, 0,
             authoring::WriteDDS(DX10HeaderFields(gpu::Format::BC3_UNorm, D::Texture2D, 4, 4, 1, 1, 1, true),
                                 pixels(96))));
    seeds.push_back(Seed(
        2, 0,
        authoring::WriteDDS(DX10HeaderFields(gpu::Format::R8G8B8A8_UNorm, D::Texture3D, 4, 4, 4, 1, 1, false),
                            pixels(256))));
    return seeds;
}
