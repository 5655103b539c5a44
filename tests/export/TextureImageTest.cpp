// Choosing and decoding a picture of a G1T pack or DDS image, and encoding it as PNG.
#include "export/TextureImage.h"
#include "export/PngWriter.h"

#include "authoring/DDSWriter.h"
#include "authoring/G1TWriter.h"

#include <gtest/gtest.h>

#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#include <stb/stb_image.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace tavro {
namespace {

using gpu::Format;

// An 8 x 8 image of four solid 4 x 4 quarters in colours that 5:6:5 holds exactly, so that every block
// format keeps them unchanged; alpha steps through values BC2's 4 bits hold exactly.
std::vector<std::uint8_t> QuarterImage() {
    const std::uint8_t colours[4][4] = {
        {255, 0, 0, 255}, {0, 255, 0, 170}, {0, 0, 255, 85}, {255, 255, 255, 0}};
    std::vector<std::uint8_t> rgba(8 * 8 * 4);
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            std::memcpy(&rgba[(y * 8 + x) * 4], colours[(y / 4) * 2 + x / 4], 4);
        }
    }
    return rgba;
}

bool Decode(const std::vector<std::uint8_t>& bytes, TextureImageChoice choice, TextureImage& image,
            std::string& error) {
    // Decoded from an exact-size block, so that the sanitizers see any over-read.
    std::unique_ptr<std::uint8_t[]> copy(new std::uint8_t[bytes.size()]);
    std::copy(bytes.begin(), bytes.end(), copy.get());
    return DecodeTextureImage({copy.get(), bytes.size()}, choice, image, error);
}

TEST(TextureImage, EveryG1TFormatDecodesToTheImageItWasMadeFrom) {
    const std::vector<std::uint8_t> source = QuarterImage();
    for (const std::uint8_t format :
         {g1t::kFormatRGBA8, g1t::kFormatBGRA8, g1t::kFormatDXT1, g1t::kFormatDXT3, g1t::kFormatDXT5}) {
        SCOPED_TRACE(static_cast<int>(format));
        authoring::G1TTexture texture;
        ASSERT_TRUE(authoring::MakeG1TTexture(format, source, 8, 8, texture));
        TextureImage image;
        std::string error;
        ASSERT_TRUE(Decode(authoring::WriteG1T(std::span(&texture, 1)), {}, image, error)) << error;
        ASSERT_EQ(image.width, 8u);
        ASSERT_EQ(image.height, 8u);
        std::vector<std::uint8_t> expected = source;
        if (format == g1t::kFormatDXT1) {
            // The BC1 packs are made opaque: the encoder drops alpha.
            for (std::size_t i = 0; i < expected.size(); i += 4) {
                expected[i + 3] = 255;
            }
        }
        EXPECT_EQ(image.rgba, expected);
    }
}

// A DX10 R8G8B8A8 image whose every pixel holds (element, level, depth slice, 7).
std::vector<std::uint8_t> TaggedImage(DDSDimension dimension, std::uint32_t side, std::uint32_t depth,
                                      std::uint32_t mips, std::uint32_t elements, bool cube) {
    std::vector<std::uint8_t> pixels;
    const std::uint32_t surfaces = cube ? elements * 6 : elements;
    for (std::uint32_t element = 0; element < surfaces; ++element) {
        for (std::uint32_t mip = 0; mip < mips; ++mip) {
            const std::uint32_t s = std::max(side >> mip, 1u);
            const std::uint32_t d = std::max(depth >> mip, 1u);
            for (std::uint32_t z = 0; z < d; ++z) {
                for (std::uint32_t p = 0; p < s * s; ++p) {
                    pixels.insert(pixels.end(),
                                  {static_cast<std::uint8_t>(element), static_cast<std::uint8_t>(mip),
                                   static_cast<std::uint8_t>(z), 7});
                }
            }
        }
    }
    return authoring::WriteDDS(authoring::DX10HeaderFields(Format::R8G8B8A8_UNorm, dimension, side, side,
                                                           depth, mips, elements, cube),
                               pixels);
}

TEST(TextureImage, SliceAndMipChooseTheElementOrDepthSliceAndLevel) {
    struct Case {
        std::vector<std::uint8_t> dds;
        TextureImageChoice choice;
        std::uint32_t side;
        std::uint8_t tag[3];
    };
    const Case cases[] = {
        {TaggedImage(DDSDimension::Texture2D, 8, 1, 3, 4, false), {2, 1}, 4, {2, 1, 0}},
        {TaggedImage(DDSDimension::Texture2D, 4, 1, 1, 2, true), {11, 0}, 4, {11, 0, 0}},
        {TaggedImage(DDSDimension::Texture3D, 4, 4, 2, 1, false), {1, 1}, 2, {0, 1, 1}},
    };
    for (const Case& c : cases) {
        TextureImage image;
        std::string error;
        ASSERT_TRUE(Decode(c.dds, c.choice, image, error)) << error;
        EXPECT_EQ(image.width, c.side);
        EXPECT_EQ(image.height, c.side);
        for (std::size_t i = 0; i < image.rgba.size(); i += 4) {
            ASSERT_EQ(image.rgba[i], c.tag[0]);
            ASSERT_EQ(image.rgba[i + 1], c.tag[1]);
            ASSERT_EQ(image.rgba[i + 2], c.tag[2]);
        }
    }
}

TEST(TextureImage, RefusalsSayWhatIsWrongInOneLine) {
    const auto array = TaggedImage(DDSDimension::Texture2D, 8, 1, 3, 4, false);
    const auto volume = TaggedImage(DDSDimension::Texture3D, 4, 4, 2, 1, false);
    const std::vector<std::uint8_t> halfFloat =
        authoring::WriteDDS(authoring::DX10HeaderFields(Format::R16G16B16A16_Float, DDSDimension::Texture2D,
                                                        1, 1, 1, 1, 1, false),
                            std::vector<std::uint8_t>(8));
    const std::vector<std::uint8_t> text = {'h', 'e', 'l', 'l', 'o'};
    struct Case {
        const std::vector<std::uint8_t>& bytes;
        TextureImageChoice choice;
        const char* message;
    };
    const Case cases[] = {
        {array, {0, 3}, "mip level 3 is out of range: the texture has 3 mip levels (0 to 2)"},
        {array, {4, 0}, "slice 4 is out of range: the texture has 4 slices (0 to 3)"},
        {volume, {2, 1}, "depth slice 2 is out of range: the texture has 2 depth slices (0 to 1)"},
        {halfFloat, {}, "a texture of format R16G16B16A16_FLOAT cannot be written as an 8-bit RGBA image"},
        {text, {}, "neither a G1T texture pack nor a DDS image"},
    };
    for (const Case& c : cases) {
        TextureImage image;
        std::string error;
        EXPECT_FALSE(Decode(c.bytes, c.choice, image, error));
        EXPECT_EQ(error, c.message);
    }
}

TEST(TextureImage, EveryTruncatedImageOrPackIsRefused) {
    authoring::G1TTexture texture;
    ASSERT_TRUE(authoring::MakeG1TTexture(g1t::kFormatDXT5, QuarterImage(), 8, 8, texture));
    for (const auto& whole : {TaggedImage(DDSDimension::Texture2D, 4, 1, 2, 2, false),
                              authoring::WriteG1T(std::span(&texture, 1))}) {
        for (std::size_t length = 0; length < whole.size(); ++length) {
            const std::vector<std::uint8_t> prefix(whole.begin(), whole.begin() + static_cast<long>(length));
            TextureImage image;
            std::string error;
            EXPECT_FALSE(Decode(prefix, {}, image, error)) << length;
            EXPECT_FALSE(error.empty());
        }
    }
}

// An image that does not compress, larger than the encoder's first output block, with rows that repeat
// (which the row filter turns into zeros) between rows of noise: every byte and every chunk's CRC must
// survive the growth of the output. A size that does not match the pixels, or no pixels, is refused.
TEST(PngWriter, LargeNoisyImageReadsBackWithValidChunksAndWrongSizesAreRefused) {
    constexpr std::uint32_t kWidth = 401, kHeight = 301;
    std::vector<std::uint8_t> rgba(std::size_t{kWidth} * kHeight * 4);
    std::uint32_t state = 12345;
    for (std::uint32_t y = 0; y < kHeight; ++y) {
        std::uint8_t* row = rgba.data() + std::size_t{y} * kWidth * 4;
        if (y % 3 == 2) {
            std::copy_n(row - kWidth * 4, kWidth * 4, row);
            continue;
        }
        for (std::uint32_t i = 0; i < kWidth * 4; ++i) {
            state = state * 1664525u + 1013904223u;
            row[i] = static_cast<std::uint8_t>(state >> 24);
        }
    }
    std::vector<std::uint8_t> png;
    ASSERT_TRUE(EncodePng(kWidth, kHeight, rgba, png));
    ASSERT_GT(png.size(), std::size_t{256} << 10);

    int width = 0, height = 0, channels = 0;
    stbi_uc* decoded =
        stbi_load_from_memory(png.data(), static_cast<int>(png.size()), &width, &height, &channels, 0);
    ASSERT_NE(decoded, nullptr);
    EXPECT_EQ(width, static_cast<int>(kWidth));
    EXPECT_EQ(height, static_cast<int>(kHeight));
    EXPECT_EQ(channels, 4);
    EXPECT_TRUE(std::equal(rgba.begin(), rgba.end(), decoded));
    stbi_image_free(decoded);

    const auto bigEndian = [&png](std::size_t at) {
        return std::uint32_t{png[at]} << 24 | std::uint32_t{png[at + 1]} << 16 |
               std::uint32_t{png[at + 2]} << 8 | png[at + 3];
    };
    std::vector<std::string> types;
    for (std::size_t at = 8; at + 12 <= png.size();) {
        const std::uint32_t length = bigEndian(at);
        ASSERT_LE(at + 12 + length, png.size());
        types.emplace_back(reinterpret_cast<const char*>(&png[at + 4]), 4);
        EXPECT_EQ(bigEndian(at + 8 + length), crc32(0, &png[at + 4], length + 4)) << types.back();
        at += 12 + length;
    }
    EXPECT_EQ(types, (std::vector<std::string>{"IHDR", "IDAT", "IEND"}));

    EXPECT_FALSE(EncodePng(kWidth, kHeight - 1, rgba, png));
    EXPECT_TRUE(png.empty());
    EXPECT_FALSE(EncodePng(0, 0, {}, png));
}

} // namespace
} // namespace tavro
