// Block sizes and refusals of the writers' compressor; that its blocks decode to the colours and 4-bit
// alphas they were made from shows in tests/export/TextureImageTest.cpp.
#include "authoring/BlockCompress.h"

#include "authoring/G1TWriter.h"

#include <gtest/gtest.h>

namespace tavro::authoring {
namespace {

std::vector<std::uint8_t> Solid(std::uint32_t width, std::uint32_t height, std::uint8_t r, std::uint8_t g,
                                std::uint8_t b, std::uint8_t a) {
    std::vector<std::uint8_t> rgba(std::size_t{width} * height * 4);
    for (std::size_t i = 0; i < rgba.size(); i += 4) {
        rgba[i] = r;
        rgba[i + 1] = g;
        rgba[i + 2] = b;
        rgba[i + 3] = a;
    }
    return rgba;
}

TEST(CompressBlocks, SizesFollowTheBlockGrid) {
    EXPECT_EQ(CompressBlocks(BlockFormat::BC1, Solid(6, 6, 0, 0, 0, 255), 6, 6).size(), 4u * 8);
    EXPECT_EQ(CompressBlocks(BlockFormat::BC2, Solid(8, 4, 0, 0, 0, 255), 8, 4).size(), 2u * 16);
    EXPECT_EQ(CompressBlocks(BlockFormat::BC3, Solid(1, 1, 0, 0, 0, 255), 1, 1).size(), 16u);
    EXPECT_TRUE(CompressBlocks(BlockFormat::BC1, Solid(4, 4, 0, 0, 0, 255), 4, 3).empty());
    EXPECT_TRUE(CompressBlocks(BlockFormat::BC1, {}, 0, 0).empty());
}

TEST(MakeG1TTexture, SwapsRedAndBlueForBGRAAndRefusesOtherSizes) {
    G1TTexture texture;
    ASSERT_TRUE(MakeG1TTexture(g1t::kFormatBGRA8, Solid(2, 1, 1, 2, 3, 4), 2, 1, texture));
    EXPECT_EQ(texture.pixels, (std::vector<std::uint8_t>{3, 2, 1, 4, 3, 2, 1, 4}));
    EXPECT_EQ(texture.widthLog2, 1);
    EXPECT_FALSE(MakeG1TTexture(g1t::kFormatRGBA8, Solid(3, 1, 0, 0, 0, 0), 3, 1, texture));
    EXPECT_FALSE(MakeG1TTexture(2, Solid(2, 2, 0, 0, 0, 0), 2, 2, texture));
}

} // namespace
} // namespace tavro::authoring
