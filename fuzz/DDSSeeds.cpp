// Small images of each shape the loader accepts: mip chain, array, cube, 1D, 3D, with and without DX10.
#include "authoring/DDSWriter.h"
#include "fuzz/FuzzTarget.h"

std::vector<std::vector<std::uint8_t>> FuzzSeeds() {
    using namespace tavro;
    using authoring::DX10HeaderFields;
    using authoring::WriteDDS;
    using D = DDSDimension;
    const auto pixels = [](std::size_t count) { return std::vector<std::uint8_t>(count, 0x3C); };
    std::vector<std::vector<std::uint8_t>> seeds;

    authoring::DDSHeaderFields chain;
    chain.width = chain.height = 8;
    chain.mipMapCount = 4;
    chain.pixelFormat = DDSPixelFormat{32, dds::kPixelRGB, 0, 32, 0xFF, 0xFF00, 0xFF0000, 0xFF000000};
    seeds.push_back(WriteDDS(chain, pixels(340)));

    authoring::DDSHeaderFields cube;
    cube.width = cube.height = 4;
    cube.caps2 = dds::kCaps2AllFaces;
    seeds.push_back(WriteDDS(cube, pixels(6 * 8)));

    seeds.push_back(
        WriteDDS(DX10HeaderFields(gpu::Format::R8_UNorm, D::Texture2D, 8, 8, 1, 4, 3, false), pixels(255)));
    seeds.push_back(
        WriteDDS(DX10HeaderFields(gpu::Format::BC3_UNorm, D::Texture2D, 4, 4, 1, 1, 1, true), pixels(96)));
    seeds.push_back(
        WriteDDS(DX10HeaderFields(gpu::Format::R16_Float, D::Texture1D, 16, 1, 1, 5, 2, false), pixels(124)));
    seeds.push_back(WriteDDS(
        DX10HeaderFields(gpu::Format::R8G8B8A8_UNorm, D::Texture3D, 4, 4, 4, 3, 1, false), pixels(292)));
    return seeds;
}
