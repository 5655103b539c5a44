#include "texture/DDSLayout.h"

#include "authoring/DDSWriter.h"
#include "authoring/G1TWriter.h"
#include "file/MemoryFile.h"
#include "texture/G1TToDDS.h"

#include <gtest/gtest.h>

#include <memory>

namespace tavro {
namespace {

using authoring::DDSHeaderFields;
using authoring::DX10HeaderFields;
using authoring::WriteDDS;
using gpu::Format;

const HRESULT kInvalidData = HResultFromWin32(kERROR_INVALID_DATA);
const HRESULT kNotSupported = HResultFromWin32(kERROR_NOT_SUPPORTED);
const HRESULT kHandleEof = HResultFromWin32(kERROR_HANDLE_EOF);

constexpr std::uint32_t kRGB = dds::kPixelRGB;
constexpr std::uint32_t kLuminance = dds::kPixelLuminance;
constexpr std::uint32_t kAlpha = dds::kPixelAlpha;
constexpr std::uint32_t kFourCC = dds::kPixelFourCC;

DDSPixelFormat Masks(std::uint32_t flags, std::uint32_t bits, std::uint32_t r, std::uint32_t g,
                     std::uint32_t b, std::uint32_t a) {
    return DDSPixelFormat{32, flags, 0, bits, r, g, b, a};
}

DDSPixelFormat FourCC(std::uint32_t fourCC) {
    return DDSPixelFormat{32, kFourCC, fourCC};
}

std::uint32_t Code(const char (&text)[5]) {
    return dds::MakeFourCC(text[0], text[1], text[2], text[3]);
}

// Lays out an image held in its own exact-size heap block, so that an over-read is seen by the sanitizers.
struct Laid {
    HRESULT result;
    DDSTextureLayout layout;
    std::unique_ptr<std::uint8_t[]> bytes;

    std::size_t OffsetOf(std::size_t index) const {
        return static_cast<std::size_t>(layout.subresources.at(index).data - bytes.get());
    }
};

Laid LayOutPrefix(const std::vector<std::uint8_t>& image, std::size_t length, std::uint32_t sizeCap = 0) {
    Laid laid{};
    laid.bytes.reset(new std::uint8_t[length == 0 ? 1 : length]);
    std::copy(image.begin(), image.begin() + static_cast<std::ptrdiff_t>(length), laid.bytes.get());
    laid.result = LayOutDDSTexture(laid.bytes.get(), length, sizeCap, laid.layout);
    return laid;
}

Laid LayOut(const std::vector<std::uint8_t>& image, std::uint32_t sizeCap = 0) {
    return LayOutPrefix(image, image.size(), sizeCap);
}

std::vector<std::uint8_t> Image(const DDSHeaderFields& header, std::size_t pixelBytes) {
    return WriteDDS(header, std::vector<std::uint8_t>(pixelBytes, 0xAB));
}

DDSHeaderFields Plain(DDSPixelFormat pixelFormat, std::uint32_t width, std::uint32_t height,
                      std::uint32_t mipCount = 0) {
    DDSHeaderFields header;
    header.pixelFormat = pixelFormat;
    header.width = width;
    header.height = height;
    header.mipMapCount = mipCount;
    return header;
}

const DDSPixelFormat kRGBA8 = Masks(kRGB, 32, 0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000);

TEST(DDSPixelFormatToDXGI, MapsEachRowOfTheTable) {
    struct Row {
        DDSPixelFormat pixelFormat;
        Format expected;
    };
    const Row rows[] = {
        {kRGBA8, Format::R8G8B8A8_UNorm},
        {Masks(kRGB, 32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000), Format::B8G8R8A8_UNorm},
        {Masks(kRGB, 32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0), Format::B8G8R8X8_UNorm},
        {Masks(kRGB, 32, 0x3FF00000, 0x000FFC00, 0x000003FF, 0xC0000000), Format::R10G10B10A2_UNorm},
        {Masks(kRGB, 32, 0x0000FFFF, 0xFFFF0000, 0, 0), Format::R16G16_UNorm},
        {Masks(kRGB, 32, 0xFFFFFFFF, 0, 0, 0), Format::R32_Float},
        {Masks(kRGB, 16, 0x7C00, 0x03E0, 0x001F, 0x8000), Format::B5G5R5A1_UNorm},
        {Masks(kRGB, 16, 0xF800, 0x07E0, 0x001F, 0), Format::B5G6R5_UNorm},
        {Masks(kRGB, 16, 0x0F00, 0x00F0, 0x000F, 0xF000), Format::B4G4R4A4_UNorm},
        {Masks(kLuminance, 8, 0xFF, 0, 0, 0), Format::R8_UNorm},
        {Masks(kLuminance, 16, 0xFFFF, 0, 0, 0), Format::R16_UNorm},
        {Masks(kLuminance, 16, 0xFF, 0, 0, 0xFF00), Format::R8G8_UNorm},
        {Masks(kAlpha, 8, 1, 2, 3, 4), Format::A8_UNorm},
        {FourCC(Code("DXT1")), Format::BC1_UNorm},
        {FourCC(Code("DXT3")), Format::BC2_UNorm},
        {FourCC(Code("DXT5")), Format::BC3_UNorm},
        {FourCC(Code("DXT2")), Format::BC2_UNorm},
        {FourCC(Code("DXT4")), Format::BC3_UNorm},
        {FourCC(Code("ATI1")), Format::BC4_UNorm},
        {FourCC(Code("BC4U")), Format::BC4_UNorm},
        {FourCC(Code("BC4S")), Format::BC4_SNorm},
        {FourCC(Code("ATI2")), Format::BC5_UNorm},
        {FourCC(Code("BC5U")), Format::BC5_UNorm},
        {FourCC(Code("BC5S")), Format::BC5_SNorm},
        {FourCC(Code("RGBG")), Format::R8G8_B8G8_UNorm},
        {FourCC(Code("GRGB")), Format::G8R8_G8B8_UNorm},
        {FourCC(36), Format::R16G16B16A16_UNorm},
        {FourCC(110), Format::R16G16B16A16_SNorm},
        {FourCC(111), Format::R16_Float},
        {FourCC(112), Format::R16G16_Float},
        {FourCC(113), Format::R16G16B16A16_Float},
        {FourCC(114), Format::R32_Float},
        {FourCC(115), Format::R32G32_Float},
        {FourCC(116), Format::R32G32B32A32_Float},
        // Not supported.
        {Masks(kRGB, 24, 0xFF0000, 0xFF00, 0xFF, 0), Format::Unknown},
        {Masks(kRGB, 32, 0x000000FF, 0x0000FF00, 0x00FF0000, 0), Format::Unknown},
        {Masks(kRGB, 32, 0x000003FF, 0x000FFC00, 0x3FF00000, 0xC0000000), Format::Unknown},
        {Masks(kRGB, 16, 0xFFFF, 0, 0, 0), Format::Unknown},
        {Masks(kLuminance, 8, 0xFF, 0, 0, 0xFF00), Format::Unknown},
        {Masks(kAlpha, 16, 0, 0, 0, 0xFFFF), Format::Unknown},
        {FourCC(Code("DX10")), Format::Unknown},
        {FourCC(117), Format::Unknown},
        {DDSPixelFormat{32, 0, Code("DXT1"), 32, 0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000},
         Format::Unknown},
        // The first flag group present decides: RGB before luminance, alpha and FourCC.
        {DDSPixelFormat{32, kRGB | kFourCC, Code("DXT1"), 32, 0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000},
         Format::R8G8B8A8_UNorm},
        {DDSPixelFormat{32, kRGB | kFourCC, Code("DXT1"), 0, 0, 0, 0, 0}, Format::Unknown},
        {Masks(kLuminance | kAlpha, 8, 0xFF, 0, 0, 0), Format::R8_UNorm},
        {Masks(kLuminance | kAlpha, 8, 0, 0, 0, 0xFF), Format::Unknown},
    };
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        EXPECT_EQ(DDSPixelFormatToDXGI(rows[i].pixelFormat), rows[i].expected) << "row " << i;
    }
}

TEST(FormatBitsPerPixel, FollowsTheFormatGroups) {
    const std::pair<std::uint32_t, std::uint32_t> cases[] = {
        {0, 0},   {1, 128}, {4, 128}, {5, 96},  {8, 96},  {9, 64},   {22, 64}, {23, 32}, {47, 32},
        {48, 16}, {59, 16}, {60, 8},  {65, 8},  {66, 1},  {67, 32},  {69, 32}, {70, 4},  {72, 4},
        {73, 8},  {78, 8},  {79, 4},  {81, 4},  {82, 8},  {84, 8},   {85, 16}, {86, 16}, {87, 32},
        {93, 32}, {94, 8},  {99, 8},  {100, 0}, {114, 0}, {115, 16}, {116, 0}, {130, 0}, {0xFFFFFFFF, 0},
    };
    for (const auto& [format, bits] : cases) {
        EXPECT_EQ(FormatBitsPerPixel(static_cast<Format>(format)), bits) << format;
    }
}

TEST(ComputeSurfaceSize, BlockPackedAndPlainRules) {
    struct Case {
        std::uint32_t width, height;
        Format format;
        std::uint64_t rowPitch, rows;
    };
    const Case cases[] = {
        {1, 1, Format::BC1_UNorm, 8, 1},        {0, 4, Format::BC1_UNorm, 0, 1},
        {5, 5, Format::BC3_UNorm, 32, 2},       {8, 0, Format::BC7_UNorm, 32, 0},
        {4, 4, Format::BC4_SNorm, 8, 1},        {6, 6, Format::BC6H_SF16, 32, 2},
        {3, 1, Format::R8G8_B8G8_UNorm, 8, 1},  {4, 2, Format::G8R8_G8B8_UNorm, 8, 2},
        {9, 2, Format::R1_UNorm, 2, 2},         {3, 3, Format::B5G6R5_UNorm, 6, 3},
        {3, 1, Format::R32G32B32_Float, 36, 1},
    };
    for (const Case& c : cases) {
        const DDSSurfaceSize size = ComputeSurfaceSize(c.width, c.height, c.format);
        EXPECT_EQ(size.rowPitch, c.rowPitch)
            << c.width << "x" << c.height << " format " << static_cast<int>(c.format);
        EXPECT_EQ(size.rows, c.rows);
        EXPECT_EQ(size.sliceSize, c.rowPitch * c.rows);
    }
    // The largest allowed four-float level is exactly 4 GiB, which 32 bits cannot hold.
    EXPECT_EQ(ComputeSurfaceSize(16384, 16384, Format::R32G32B32A32_Float).sliceSize, 1ull << 32);
}

TEST(LayOutDDSTexture, ConvertedG1TImageIsOneLevelOf2D) {
    const std::vector<std::uint8_t> pack = authoring::WriteG1T(
        std::vector{authoring::G1TTexture{g1t::kFormatDXT1, 2, 3, std::vector<std::uint8_t>(16)}});
    CReadOnlyMemoryFile source(pack.data(), static_cast<std::uint32_t>(pack.size()), false);
    CMemoryFile image;
    ASSERT_TRUE(ConvertG1TToDDS(source, image));
    const Laid laid =
        LayOut(std::vector<std::uint8_t>(image.GetBuffer(), image.GetBuffer() + image.GetSize()));
    ASSERT_EQ(laid.result, kS_OK);
    const DDSTextureLayout& layout = laid.layout;
    EXPECT_EQ(layout.dimension, DDSDimension::Texture2D);
    EXPECT_EQ(layout.format, Format::BC1_UNorm);
    EXPECT_EQ(layout.width, 4u);
    EXPECT_EQ(layout.height, 8u);
    EXPECT_EQ(layout.MipLevels(), 1u);
    EXPECT_EQ(layout.arraySize, 1u);
    ASSERT_EQ(layout.subresources.size(), 1u);
    EXPECT_EQ(laid.OffsetOf(0), 128u);
    EXPECT_EQ(layout.subresources[0].rowPitch, 8u);
}

TEST(LayOutDDSTexture, HeaderChecksAndTheirCodes) {
    DDSTextureLayout layout;
    EXPECT_EQ(LayOutDDSTexture(nullptr, 200, 0, layout), kE_INVALIDARG);

    const std::vector<std::uint8_t> valid = Image(Plain(kRGBA8, 1, 1), 4);
    EXPECT_EQ(LayOut(valid).result, kS_OK);
    EXPECT_EQ(LayOutPrefix(valid, 127).result, kE_FAIL);
    EXPECT_EQ(LayOutPrefix(valid, 128).result, kHandleEof); // a valid header with no pixel data
    for (std::size_t offset : {0u, 4u, 76u}) {
        std::vector<std::uint8_t> bad = valid;
        bad[offset] ^= 1;
        EXPECT_EQ(LayOut(bad).result, kE_FAIL) << offset;
    }
    const std::vector<std::uint8_t> dx10 =
        Image(DX10HeaderFields(Format::R8_UNorm, DDSDimension::Texture2D, 1, 1, 1, 1, 1, false), 1);
    EXPECT_EQ(LayOut(dx10).result, kS_OK);
    EXPECT_EQ(LayOutPrefix(dx10, 147).result, kE_FAIL);
    EXPECT_EQ(LayOutPrefix(dx10, 148).result, kHandleEof);
}

TEST(LayOutDDSTexture, EveryFailureCodeOfTheHeaderFields) {
    struct Case {
        const char* name;
        DDSHeaderFields header;
        HRESULT expected;
    };
    const auto dx10 = [](Format format, DDSDimension dimension, std::uint32_t arraySize = 1,
                         bool cube = false) {
        return DX10HeaderFields(format, dimension, 4, 4, 4, 1, arraySize, cube);
    };
    auto noDepthFlag = dx10(Format::R8_UNorm, DDSDimension::Texture3D);
    noDepthFlag.flags &= ~dds::kFlagDepth;
    auto tall1D = dx10(Format::R8_UNorm, DDSDimension::Texture1D);
    auto dimension1 = dx10(Format::R8_UNorm, DDSDimension::Texture2D);
    dimension1.dx10Dimension = 1;
    auto dimension5 = dimension1;
    dimension5.dx10Dimension = 5;
    auto fiveFaces = Plain(kRGBA8, 4, 4);
    fiveFaces.caps2 = dds::kCaps2CubeMap | 0x7C00;
    auto widthZero = Plain(kRGBA8, 0, 4);
    auto mips16 = Plain(kRGBA8, 4, 4, 16);
    auto wide = Plain(kRGBA8, 16385, 1);
    auto deep = dx10(Format::R8_UNorm, DDSDimension::Texture3D);
    deep.depth = 2049;
    const Case cases[] = {
        {"DX10 array size 0", dx10(Format::R8_UNorm, DDSDimension::Texture2D, 0), kInvalidData},
        {"1D with height flag and height 4", tall1D, kInvalidData},
        {"3D without the depth flag", noDepthFlag, kInvalidData},
        {"width 0", widthZero, kInvalidData},
        {"DX10 format without size", dx10(Format::Unknown, DDSDimension::Texture2D), kNotSupported},
        {"DX10 video format", dx10(Format::NV12, DDSDimension::Texture2D), kNotSupported},
        {"DX10 dimension 1", dimension1, kNotSupported},
        {"DX10 dimension 5", dimension5, kNotSupported},
        {"3D array", dx10(Format::R8_UNorm, DDSDimension::Texture3D, 2), kNotSupported},
        {"unmapped plain format", Plain(Masks(kRGB, 24, 0xFF0000, 0xFF00, 0xFF, 0), 4, 4), kNotSupported},
        {"cube with five faces", fiveFaces, kNotSupported},
        {"16 mip levels", mips16, kNotSupported},
        {"width above 16384", wide, kNotSupported},
        {"3D depth above 2048", deep, kNotSupported},
        {"array above 2048", dx10(Format::R8_UNorm, DDSDimension::Texture2D, 2049), kNotSupported},
        {"342 cubes are 2052 faces", dx10(Format::R8_UNorm, DDSDimension::Texture2D, 342, true),
         kNotSupported},
        // Six times this count wraps 32 bits to 2; it must still be refused.
        {"cube count wrapping 32 bits", dx10(Format::R8_UNorm, DDSDimension::Texture2D, 0x2AAAAAAB, true),
         kNotSupported},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(LayOut(Image(c.header, 4096)).result, c.expected) << c.name;
    }
}

TEST(LayOutDDSTexture, MipChainIsLaidOutFromTheTopAndNeedsAllItsBytes) {
    // 8 x 8 RGBA8 with four levels: 256 + 64 + 16 + 4 bytes.
    const std::vector<std::uint8_t> image = Image(Plain(kRGBA8, 8, 8, 4), 340);
    const Laid laid = LayOut(image);
    ASSERT_EQ(laid.result, kS_OK);
    ASSERT_EQ(laid.layout.subresources.size(), 4u);
    const std::size_t offsets[] = {128, 384, 448, 464};
    const std::uint32_t pitches[] = {32, 16, 8, 4};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(laid.OffsetOf(i), offsets[i]);
        EXPECT_EQ(laid.layout.subresources[i].rowPitch, pitches[i]);
    }
    EXPECT_EQ(LayOutPrefix(image, image.size() - 1).result, kHandleEof);
    // Trailing bytes are ignored; a mip count of 0 means one level.
    EXPECT_EQ(LayOut(Image(Plain(kRGBA8, 8, 8, 4), 400)).result, kS_OK);
    const Laid single = LayOut(Image(Plain(kRGBA8, 8, 8, 0), 256));
    ASSERT_EQ(single.result, kS_OK);
    EXPECT_EQ(single.layout.mipCount, 1u);
    EXPECT_EQ(LayOut(Image(Plain(kRGBA8, 1, 1, 15), 60)).result, kS_OK);
}

TEST(LayOutDDSTexture, BlockCompressedLevelsNeedWholeBlocks) {
    const DDSHeaderFields header = Plain(FourCC(Code("DXT1")), 2, 2);
    EXPECT_EQ(LayOut(Image(header, 2)).result, kHandleEof);
    EXPECT_EQ(LayOut(Image(header, 8)).result, kS_OK);
}

TEST(LayOutDDSTexture, ArrayElementsEachHoldTheirWholeChain) {
    // Three 4 x 4 R8 elements of two levels each: 16 + 4 bytes per element.
    const Laid laid =
        LayOut(Image(DX10HeaderFields(Format::R8_UNorm, DDSDimension::Texture2D, 4, 4, 1, 2, 3, false), 60));
    ASSERT_EQ(laid.result, kS_OK);
    EXPECT_EQ(laid.layout.arraySize, 3u);
    ASSERT_EQ(laid.layout.subresources.size(), 6u);
    const std::size_t offsets[] = {148, 164, 168, 184, 188, 204};
    for (std::size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(laid.OffsetOf(i), offsets[i]) << i;
    }
}

TEST(LayOutDDSTexture, CubeMapsAreSixElementsPerCube) {
    DDSHeaderFields plainCube = Plain(kRGBA8, 2, 2);
    plainCube.caps2 = dds::kCaps2AllFaces;
    const Laid plain = LayOut(Image(plainCube, 6 * 16));
    ASSERT_EQ(plain.result, kS_OK);
    EXPECT_TRUE(plain.layout.cube);
    EXPECT_EQ(plain.layout.arraySize, 6u);
    EXPECT_EQ(plain.layout.subresources.size(), 6u);
    EXPECT_EQ(LayOut(Image(plainCube, 6 * 16 - 1)).result, kHandleEof);

    const Laid dx10 = LayOut(
        Image(DX10HeaderFields(Format::R8_UNorm, DDSDimension::Texture2D, 2, 2, 1, 1, 2, true), 12 * 4));
    ASSERT_EQ(dx10.result, kS_OK);
    EXPECT_TRUE(dx10.layout.cube);
    EXPECT_EQ(dx10.layout.arraySize, 12u);
    EXPECT_EQ(dx10.layout.dimension, DDSDimension::Texture2D);
}

TEST(LayOutDDSTexture, OneAndThreeDimensionalTextures) {
    // A 1D texture without the height flag takes height and depth 1 whatever the header says.
    DDSHeaderFields header1D =
        DX10HeaderFields(Format::R8G8B8A8_UNorm, DDSDimension::Texture1D, 8, 5, 3, 1, 2, false);
    header1D.flags &= ~dds::kFlagHeight;
    const Laid line = LayOut(Image(header1D, 64));
    ASSERT_EQ(line.result, kS_OK);
    EXPECT_EQ(line.layout.height * line.layout.depth, 1u);
    EXPECT_EQ(line.layout.subresources.size(), 2u);

    // 4 x 4 x 4 RGBA8 with three levels of 4, 2 and 1 slices: 256, 2 x 16 and 4 bytes.
    const Laid volume = LayOut(
        Image(DX10HeaderFields(Format::R8G8B8A8_UNorm, DDSDimension::Texture3D, 4, 4, 4, 3, 1, false), 292));
    ASSERT_EQ(volume.result, kS_OK);
    EXPECT_EQ(volume.layout.depth, 4u);
    EXPECT_EQ(volume.OffsetOf(2), 148u + 288u);
    EXPECT_EQ(volume.layout.subresources[1].slicePitch, 16u);

    // Without the extension the depth flag alone makes a 3D texture.
    DDSHeaderFields plain = Plain(kRGBA8, 2, 2);
    plain.flags |= dds::kFlagDepth;
    plain.depth = 3;
    EXPECT_EQ(LayOut(Image(plain, 48)).layout.dimension, DDSDimension::Texture3D);
}

TEST(LayOutDDSTexture, SizeCapSkipsTopLevelsOncePerChain) {
    // Two elements of 16 x 16 R8 with five levels; a cap of 4 takes levels 4 x 4 and down.
    const std::vector<std::uint8_t> image =
        Image(DX10HeaderFields(Format::R8_UNorm, DDSDimension::Texture2D, 16, 16, 1, 5, 2, false), 2 * 341);
    const Laid laid = LayOut(image, std::uint32_t{4});
    ASSERT_EQ(laid.result, kS_OK);
    EXPECT_EQ(laid.layout.skippedLevels, 2u);
    EXPECT_EQ(laid.layout.MipLevels(), 3u);
    EXPECT_EQ(laid.layout.width, 4u);
    EXPECT_EQ(laid.layout.height, 4u);
    ASSERT_EQ(laid.layout.subresources.size(), 6u);
    EXPECT_EQ(laid.OffsetOf(0), 148u + 256 + 64);
    EXPECT_EQ(laid.OffsetOf(3), 148u + 341 + 256 + 64);
    // A single level is always taken, whatever the cap.
    const Laid single = LayOut(Image(Plain(kRGBA8, 8, 8), 256), std::uint32_t{2});
    ASSERT_EQ(single.result, kS_OK);
    EXPECT_EQ(single.layout.width, 8u);
}

TEST(FillSubresourceTable, LevelsAreMeasuredIn64Bits) {
    // 16384 x 16384 of four floats is exactly 4 GiB; a 32-bit size would wrap to 0 and pass any length.
    DDSTextureLayout layout;
    layout.format = Format::R32G32B32A32_Float;
    layout.width = layout.height = 16384;
    layout.depth = 1;
    layout.mipCount = 1;
    layout.arraySize = 1;
    const std::uint8_t pixel = 0;
    DDSTextureLayout tooShort = layout;
    EXPECT_EQ(FillSubresourceTable(tooShort, 0, &pixel, (1ull << 32) - 1), kHandleEof);
    EXPECT_TRUE(tooShort.subresources.empty());
    ASSERT_EQ(FillSubresourceTable(layout, 0, &pixel, 1ull << 32), kS_OK);
    EXPECT_EQ(layout.subresources[0].slicePitch, 1ull << 32);
    EXPECT_EQ(FillSubresourceTable(layout, 0, nullptr, 16), kE_POINTER);
}

} // namespace
} // namespace tavro
