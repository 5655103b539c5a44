// Decoding of single surfaces: BC blocks against hand-worked values, and the 8-bit uncompressed formats.
#include "export/PixelDecoding.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <vector>

namespace tavro {
namespace {

using gpu::Format;
using Pixel = std::array<int, 4>;

std::vector<std::uint8_t> Decode(Format format, const std::vector<std::uint8_t>& data, std::uint32_t width,
                                 std::uint32_t height, std::uint32_t rowPitch) {
    std::vector<std::uint8_t> rgba;
    EXPECT_TRUE(DecodeSurfaceToRgba8(format, data.data(), rowPitch, width, height, rgba));
    return rgba;
}

Pixel At(const std::vector<std::uint8_t>& rgba, std::uint32_t width, std::uint32_t x, std::uint32_t y) {
    const std::size_t i = (std::size_t{y} * width + x) * 4;
    return {rgba[i], rgba[i + 1], rgba[i + 2], rgba[i + 3]};
}

// Interpolated colours may round either way by one step.
void ExpectNear(const Pixel& actual, const Pixel& expected) {
    for (int c = 0; c < 4; ++c) {
        EXPECT_LE(std::abs(actual[c] - expected[c]), 1) << "channel " << c;
    }
}

// A BC1 block: two 5:6:5 colours and one 2-bit index per pixel, row by row, the first pixel lowest.
std::vector<std::uint8_t> Bc1Block(std::uint16_t c0, std::uint16_t c1, std::array<std::uint8_t, 4> rows) {
    return {static_cast<std::uint8_t>(c0),
            static_cast<std::uint8_t>(c0 >> 8),
            static_cast<std::uint8_t>(c1),
            static_cast<std::uint8_t>(c1 >> 8),
            rows[0],
            rows[1],
            rows[2],
            rows[3]};
}

constexpr std::uint16_t kRed565 = 0xF800;
constexpr std::uint16_t kGreen565 = 0x07E0;
constexpr std::uint16_t kBlue565 = 0x001F;
// Each row's indices are 0, 1, 2, 3 from left to right.
constexpr std::array<std::uint8_t, 4> kIndexRamp = {0xE4, 0xE4, 0xE4, 0xE4};

TEST(BlockDecoding, SolidBc1BlockIsOneColourOverTheWholeBlock) {
    const auto rgba = Decode(Format::BC1_UNorm, Bc1Block(kGreen565, kGreen565, {0, 0, 0, 0}), 4, 4, 8);
    for (std::uint32_t y = 0; y < 4; ++y) {
        for (std::uint32_t x = 0; x < 4; ++x) {
            EXPECT_EQ(At(rgba, 4, x, y), (Pixel{0, 255, 0, 255}));
        }
    }
}

TEST(BlockDecoding, Bc1FourColourModeInterpolatesInThirds) {
    // c0 > c1 selects four opaque colours.
    const auto rgba = Decode(Format::BC1_UNorm, Bc1Block(kRed565, kBlue565, kIndexRamp), 4, 4, 8);
    EXPECT_EQ(At(rgba, 4, 0, 0), (Pixel{255, 0, 0, 255}));
    EXPECT_EQ(At(rgba, 4, 1, 0), (Pixel{0, 0, 255, 255}));
    ExpectNear(At(rgba, 4, 2, 3), {170, 0, 85, 255});
    ExpectNear(At(rgba, 4, 3, 3), {85, 0, 170, 255});
}

TEST(BlockDecoding, Bc1ThreeColourModeHasMidpointAndTransparentBlack) {
    // c0 <= c1 selects three colours and transparent black.
    const auto rgba = Decode(Format::BC1_UNorm, Bc1Block(kBlue565, kRed565, kIndexRamp), 4, 4, 8);
    EXPECT_EQ(At(rgba, 4, 0, 1), (Pixel{0, 0, 255, 255}));
    EXPECT_EQ(At(rgba, 4, 1, 1), (Pixel{255, 0, 0, 255}));
    ExpectNear(At(rgba, 4, 2, 1), {128, 0, 128, 255});
    EXPECT_EQ(At(rgba, 4, 3, 1), (Pixel{0, 0, 0, 0}));
}

TEST(BlockDecoding, Bc2AlphaIsExplicitFourBitsPerPixel) {
    // Row 0 alpha nibbles 0, 5, 10, 15; the other rows 15. Colour block: solid red.
    std::vector<std::uint8_t> block = {0x50, 0xFA, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    const auto colour = Bc1Block(kRed565, kRed565, {0, 0, 0, 0});
    block.insert(block.end(), colour.begin(), colour.end());
    const auto rgba = Decode(Format::BC2_UNorm, block, 4, 4, 16);
    EXPECT_EQ(At(rgba, 4, 0, 0), (Pixel{255, 0, 0, 0}));
    EXPECT_EQ(At(rgba, 4, 1, 0), (Pixel{255, 0, 0, 85}));
    EXPECT_EQ(At(rgba, 4, 2, 0), (Pixel{255, 0, 0, 170}));
    EXPECT_EQ(At(rgba, 4, 3, 0), (Pixel{255, 0, 0, 255}));
    EXPECT_EQ(At(rgba, 4, 0, 3), (Pixel{255, 0, 0, 255}));
}

// A BC3 block with the two alpha endpoints, the 3-bit alpha indices of the first row (the others 0),
// and a solid blue colour block.
std::vector<std::uint8_t> Bc3Block(std::uint8_t a0, std::uint8_t a1, std::array<std::uint8_t, 4> firstRow) {
    const std::uint32_t bits = firstRow[0] | firstRow[1] << 3 | firstRow[2] << 6 | firstRow[3] << 9;
    std::vector<std::uint8_t> block = {
        a0, a1, static_cast<std::uint8_t>(bits), static_cast<std::uint8_t>(bits >> 8), 0, 0, 0, 0};
    const auto colour = Bc1Block(kBlue565, kBlue565, {0, 0, 0, 0});
    block.insert(block.end(), colour.begin(), colour.end());
    return block;
}

TEST(BlockDecoding, Bc3EightAlphaModeInterpolatesInSevenths) {
    const auto rgba = Decode(Format::BC3_UNorm, Bc3Block(255, 0, {0, 1, 2, 7}), 4, 4, 16);
    EXPECT_EQ(At(rgba, 4, 0, 0)[3], 255);
    EXPECT_EQ(At(rgba, 4, 1, 0)[3], 0);
    ExpectNear(At(rgba, 4, 2, 0), {0, 0, 255, 219}); // (6 * 255 + 0) / 7
    ExpectNear(At(rgba, 4, 3, 0), {0, 0, 255, 36});  // (1 * 255 + 6 * 0) / 7
    EXPECT_EQ(At(rgba, 4, 0, 1), (Pixel{0, 0, 255, 255}));
}

TEST(BlockDecoding, Bc3SixAlphaModeHasExplicitZeroAndFull) {
    // a0 <= a1: indices 6 and 7 are 0 and 255 whatever the endpoints.
    const auto rgba = Decode(Format::BC3_UNorm, Bc3Block(40, 200, {0, 1, 6, 7}), 4, 4, 16);
    EXPECT_EQ(At(rgba, 4, 0, 0)[3], 40);
    EXPECT_EQ(At(rgba, 4, 1, 0)[3], 200);
    EXPECT_EQ(At(rgba, 4, 2, 0)[3], 0);
    EXPECT_EQ(At(rgba, 4, 3, 0)[3], 255);
}

TEST(BlockDecoding, SurfacesSmallerThanABlockKeepOnlyTheirPixels) {
    const auto rgba = Decode(Format::BC1_UNorm_SRGB, Bc1Block(kRed565, kBlue565, kIndexRamp), 2, 1, 8);
    ASSERT_EQ(rgba.size(), 8u);
    EXPECT_EQ(At(rgba, 2, 1, 0), (Pixel{0, 0, 255, 255}));
}

struct UncompressedCase {
    Format format;
    std::vector<std::uint8_t> row; // two pixels
    Pixel first;
    Pixel second;
};

TEST(UncompressedDecoding, EveryEightBitFormatExpandsAsTheSamplerReadsIt) {
    const UncompressedCase cases[] = {
        {Format::R8G8B8A8_UNorm, {1, 2, 3, 4, 5, 6, 7, 8}, {1, 2, 3, 4}, {5, 6, 7, 8}},
        {Format::B8G8R8A8_UNorm, {1, 2, 3, 4, 5, 6, 7, 8}, {3, 2, 1, 4}, {7, 6, 5, 8}},
        {Format::B8G8R8X8_UNorm, {1, 2, 3, 4, 5, 6, 7, 8}, {3, 2, 1, 255}, {7, 6, 5, 255}},
        {Format::R8_UNorm, {9, 10}, {9, 0, 0, 255}, {10, 0, 0, 255}},
        {Format::A8_UNorm, {9, 10}, {0, 0, 0, 9}, {0, 0, 0, 10}},
        {Format::R8G8_UNorm, {1, 2, 3, 4}, {1, 2, 0, 255}, {3, 4, 0, 255}},
        {Format::R8G8_B8G8_UNorm, {10, 20, 30, 40}, {10, 20, 30, 255}, {10, 40, 30, 255}},
        {Format::G8R8_G8B8_UNorm, {20, 10, 40, 30}, {10, 20, 30, 255}, {10, 40, 30, 255}},
    };
    for (const UncompressedCase& c : cases) {
        SCOPED_TRACE(FormatName(c.format));
        // Two rows, the second 1 byte further than the first's pixels reach, to check the row pitch.
        std::vector<std::uint8_t> data(c.row.size() * 2 + 1, 0xAB);
        std::copy(c.row.begin(), c.row.end(), data.begin());
        std::copy(c.row.begin(), c.row.end(), data.begin() + static_cast<std::ptrdiff_t>(c.row.size() + 1));
        const auto pitch = static_cast<std::uint32_t>(c.row.size() + 1);
        const auto rgba = Decode(c.format, data, 2, 2, pitch);
        EXPECT_EQ(At(rgba, 2, 0, 0), c.first);
        EXPECT_EQ(At(rgba, 2, 1, 0), c.second);
        EXPECT_EQ(At(rgba, 2, 1, 1), c.second);
    }
}

TEST(UncompressedDecoding, FormatsAnEightBitImageCannotHoldAreRefusedByName) {
    for (const Format format : {Format::R16G16B16A16_Float, Format::R10G10B10A2_UNorm, Format::BC4_UNorm,
                                Format::BC7_UNorm, Format::R8G8B8A8_SInt}) {
        EXPECT_FALSE(CanDecodeToRgba8(format));
        std::vector<std::uint8_t> rgba;
        const std::uint8_t data[16] = {};
        EXPECT_FALSE(DecodeSurfaceToRgba8(format, data, 8, 1, 1, rgba));
    }
    EXPECT_STREQ(FormatName(Format::R16G16B16A16_Float), "R16G16B16A16_FLOAT");
    EXPECT_STREQ(FormatName(static_cast<Format>(500)), "an unknown format");
}

} // namespace
} // namespace tavro
