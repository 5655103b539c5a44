#include "texture/DDSLayout.h"

#include "authoring/DDSWriter.h"

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
    auto flatCube = Plain(kRGBA8, 8, 4);
    flatCube.caps2 = dds::kCaps2CubeMap | dds::kCaps2AllFaces;
    auto flatDX10Cube = dx10(Format::R8_UNorm, DDSDimension::Texture2D, 1, true);
    flatDX10Cube.height = 2;
    auto deep3DChain = dx10(Format::R8_UNorm, DDSDimension::Texture3D);
    deep3DChain.depth = 8; // 8 x 4 x 4 has four levels, not five
    deep3DChain.mipMapCount = 5;
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
        // What every device refuses: faces that are not square, levels past 1 x 1.
        {"cube of 8 x 4 faces", flatCube, kNotSupported},
        {"DX10 cube of 4 x 2 faces", flatDX10Cube, kNotSupported},
        {"4 x 4 with 4 levels", Plain(kRGBA8, 4, 4, 4), kNotSupported},
        {"1 x 1 with 2 levels", Plain(kRGBA8, 1, 1, 2), kNotSupported},
        {"8 x 4 x 4 volume with 5 levels", deep3DChain, kNotSupported},
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

// Each image carries exactly the pixel bytes its layout needs: one byte less is refused, trailing bytes
// are ignored, and the subresources lie element by element, each element's levels from the top.
TEST(LayOutDDSTexture, SubresourcesOfEachShape) {
    struct Case {
        const char* name;
        DDSHeaderFields header;
        std::size_t pixelBytes;
        std::uint32_t sizeCap;
        DDSDimension dimension;
        std::uint32_t width, height, depth, arraySize, mipLevels;
        std::vector<std::size_t> offsets;
    };
    constexpr DDSDimension k2D = DDSDimension::Texture2D;
    constexpr DDSDimension k3D = DDSDimension::Texture3D;
    const DDSHeaderFields elements = DX10HeaderFields(Format::R8_UNorm, k2D, 4, 4, 1, 2, 3, false);
    const DDSHeaderFields cube = DX10HeaderFields(Format::R8_UNorm, k2D, 2, 2, 1, 1, 1, true);
    const DDSHeaderFields volume = DX10HeaderFields(Format::R8G8B8A8_UNorm, k3D, 4, 4, 4, 3, 1, false);
    const DDSHeaderFields chains = DX10HeaderFields(Format::R8_UNorm, k2D, 16, 16, 1, 5, 2, false);
    DDSHeaderFields plainCube = Plain(kRGBA8, 2, 2);
    plainCube.caps2 = dds::kCaps2AllFaces;
    // A 1D texture without the height flag takes height and depth 1 whatever the header says.
    DDSHeaderFields line =
        DX10HeaderFields(Format::R8G8B8A8_UNorm, DDSDimension::Texture1D, 8, 5, 3, 1, 2, false);
    line.flags &= ~dds::kFlagHeight;
    // Without the extension the depth flag alone makes a 3D texture.
    DDSHeaderFields plainVolume = Plain(kRGBA8, 2, 2);
    plainVolume.flags |= dds::kFlagDepth;
    plainVolume.depth = 3;
    const Case cases[] = {
        {"8 x 8, four levels", Plain(kRGBA8, 8, 8, 4), 340, 0, k2D, 8, 8, 1, 1, 4, {128, 384, 448, 464}},
        {"2 x 2 DXT1 is a whole block", Plain(FourCC(Code("DXT1")), 2, 2), 8, 0, k2D, 2, 2, 1, 1, 1, {128}},
        {"three elements of two levels", elements, 60, 0, k2D, 4, 4, 1, 3, 2, {148, 164, 168, 184, 188, 204}},
        {"plain cube", plainCube, 6 * 16, 0, k2D, 2, 2, 1, 6, 1, {128, 144, 160, 176, 192, 208}},
        {"extended cube", cube, 24, 0, k2D, 2, 2, 1, 6, 1, {148, 152, 156, 160, 164, 168}},
        {"1D array", line, 64, 0, DDSDimension::Texture1D, 8, 1, 1, 2, 1, {148, 180}},
        // Levels of 4, 2 and 1 slices: 256, 2 x 16 and 4 bytes.
        {"volume of three levels", volume, 292, 0, k3D, 4, 4, 4, 1, 3, {148, 404, 436}},
        {"plain volume", plainVolume, 48, 0, k3D, 2, 2, 3, 1, 1, {128}},
        // A cap of 4 skips the top two of each element's five levels (341 bytes each).
        {"size cap 4", chains, 2 * 341, 4, k2D, 4, 4, 1, 2, 3, {468, 484, 488, 809, 825, 829}},
        {"a single level whatever the cap", Plain(kRGBA8, 8, 8), 256, 2, k2D, 8, 8, 1, 1, 1, {128}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<std::uint8_t> image = Image(c.header, c.pixelBytes);
        const Laid laid = LayOut(image, c.sizeCap);
        ASSERT_EQ(laid.result, kS_OK);
        const DDSTextureLayout& layout = laid.layout;
        EXPECT_EQ(layout.dimension, c.dimension);
        EXPECT_EQ(layout.width, c.width);
        EXPECT_EQ(layout.height, c.height);
        EXPECT_EQ(layout.depth, c.depth);
        EXPECT_EQ(layout.arraySize, c.arraySize);
        EXPECT_EQ(layout.MipLevels(), c.mipLevels);
        EXPECT_EQ(layout.cube, c.arraySize % 6 == 0); // the only cases of six elements are cubes
        ASSERT_EQ(layout.subresources.size(), c.offsets.size());
        for (std::size_t i = 0; i < c.offsets.size(); ++i) {
            EXPECT_EQ(laid.OffsetOf(i), c.offsets[i]) << i;
        }
        EXPECT_EQ(LayOutPrefix(image, image.size() - 1, c.sizeCap).result, kHandleEof);
        EXPECT_EQ(LayOut(Image(c.header, c.pixelBytes + 60), c.sizeCap).result, kS_OK);
    }
}

TEST(LayOutDDSTexture, EachLevelHasItsOwnPitches) {
    const Laid chain = LayOut(Image(Plain(kRGBA8, 8, 8, 4), 340));
    ASSERT_EQ(chain.layout.subresources.size(), 4u);
    const std::uint32_t pitches[] = {32, 16, 8, 4};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(chain.layout.subresources[i].rowPitch, pitches[i]);
    }
    const Laid volume = LayOut(
        Image(DX10HeaderFields(Format::R8G8B8A8_UNorm, DDSDimension::Texture3D, 4, 4, 4, 3, 1, false), 292));
    ASSERT_EQ(volume.layout.subresources.size(), 3u);
    EXPECT_EQ(volume.layout.subresources[1].slicePitch, 16u);
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
