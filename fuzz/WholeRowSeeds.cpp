// Row-0 entries the viewer shows: a square model of each vertex stride with a texture pack of each
// format, stored and compressed; and one model with a skeleton and two submeshes.
#include "authoring/G1MWriter.h"
#include "authoring/G1TWriter.h"
#include "authoring/Lzp2Encoder.h"
#include "file/LittleEndian.h"
#include "fuzz/FuzzTarget.h"

namespace {

using namespace tavro;

std::vector<std::uint8_t> SquareModel(std::uint32_t stride, bool withBones) {
    const std::vector<CG1MVertex> vertices = {
        {{-0.5f, 1, 0}, {0, 0, 1}, {0, 0}},
        {{0.5f, 1, 0}, {0, 0, 1}, {1, 0}},
        {{-0.5f, 0, 0}, {0, 0, 1}, {0, 1}},
        {{0.5f, 0, 0}, {0, 0, 1}, {1, 1}},
    };
    authoring::G1MModelDescription description;
    authoring::ComputeG1MBounds(vertices, description.boundsMin, description.boundsMax);
    description.vertexBuffers.push_back(authoring::MakeG1MVertexBuffer(stride, vertices));
    description.indexBuffers.push_back({0, 1, 2, 3, 0xFFFF, 1, 0, 3, 2});
    description.matrices.push_back(MatrixIdentity());
    description.submeshes.push_back(authoring::MakeG1MSubmesh(0, 0, 0, 9));
    if (withBones) {
        description.bones = {authoring::MakeG1MBone(-1, {0, 1, 0}), authoring::MakeG1MBone(0, {1, 0, 0})};
        description.jointMaps.push_back({{1, 0, 1}});
        description.submeshes.push_back(authoring::MakeG1MSubmesh(0, 0, 5, 4));
    } else {
        description.jointMaps.push_back({});
    }
    return authoring::WriteG1M(description);
}

std::vector<std::uint8_t> TexturePack(std::uint8_t format) {
    std::vector<std::uint8_t> rgba(8 * 8 * 4);
    for (std::size_t i = 0; i < rgba.size(); ++i) {
        rgba[i] = static_cast<std::uint8_t>(i * 37);
    }
    authoring::G1TTexture texture;
    authoring::MakeG1TTexture(format, rgba, 8, 8, texture);
    return authoring::WriteG1T(std::span(&texture, 1));
}

// The target's input for the two entries, each kept LZP2-compressed when its flag bit is set.
std::vector<std::uint8_t> Seed(std::uint8_t flags, const std::vector<std::uint8_t>& model,
                               const std::vector<std::uint8_t>& texture) {
    const std::vector<std::uint8_t> storedModel = (flags & 1) != 0 ? authoring::Lzp2Encode(model) : model;
    const std::vector<std::uint8_t> storedTexture =
        (flags & 2) != 0 ? authoring::Lzp2Encode(texture) : texture;
    std::vector<std::uint8_t> seed{flags};
    for (std::size_t word : {storedModel.size(), storedTexture.size(), model.size(), texture.size()}) {
        AppendU32(seed, static_cast<std::uint32_t>(word));
    }
    seed.insert(seed.end(), storedModel.begin(), storedModel.end());
    seed.insert(seed.end(), storedTexture.begin(), storedTexture.end());
    return seed;
}

} // namespace

std::vector<std::vector<std::uint8_t>> FuzzSeeds() {
    const std::uint8_t formats[] = {g1t::kFormatRGBA8, g1t::kFormatBGRA8, g1t::kFormatDXT1,
                                    g1t::kFormatDXT3,  g1t::kFormatDXT5,  g1t::kFormatRGBA8};
    std::vector<std::vector<std::uint8_t>> seeds;
    std::uint8_t flags = 0;
    for (std::size_t i = 0; i < std::size(kG1MVertexStrides); ++i) {
        seeds.push_back(Seed(flags++ % 4, SquareModel(kG1MVertexStrides[i], false), TexturePack(formats[i])));
    }
    seeds.push_back(Seed(3, SquareModel(48, true), TexturePack(g1t::kFormatDXT1)));
    return seeds;
}
