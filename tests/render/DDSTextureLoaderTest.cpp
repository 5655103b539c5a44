// The DDS loader's device half through the recording backend: the texture and view it makes for each
// shape, the texture reference it gives up, and the retry from a smaller level after a refusal.
#include "texture/DDSTextureLoader.h"
#include "authoring/DDSWriter.h"
#include "tests/gpu/RecordingHarness.h"

#include <gtest/gtest.h>

namespace tavro {
namespace {

using namespace gpu;
using namespace gpu::recording;

// A recording device at exactly one feature level; its log starts empty.
struct RecordingDevice : RecordingHarness {
    explicit RecordingDevice(FeatureLevel level) {
        EXPECT_EQ(Create(DriverType::Hardware, {level}), kS_OK);
        recorder.ClearCalls();
    }
};

// Bytes of the first `levels` levels of one element's chain.
std::uint64_t ChainBytes(Format format, std::uint32_t width, std::uint32_t height, std::uint32_t depth,
                         std::uint32_t levels) {
    std::uint64_t total = 0;
    for (std::uint32_t level = 0; level < levels; ++level) {
        total += ComputeSurfaceSize(width, height, format).sliceSize * depth;
        width = std::max(1u, width / 2), height = std::max(1u, height / 2), depth = std::max(1u, depth / 2);
    }
    return total;
}

std::vector<std::uint8_t> MakeImage(Format format, DDSDimension dimension, std::uint32_t width,
                                    std::uint32_t height, std::uint32_t depth, std::uint32_t mips,
                                    std::uint32_t arraySize, bool cube) {
    const std::uint32_t elements = arraySize * (cube ? 6 : 1);
    const std::vector<std::uint8_t> pixels(ChainBytes(format, width, height, depth, mips) * elements, 0x5A);
    return authoring::WriteDDS(
        authoring::DX10HeaderFields(format, dimension, width, height, depth, mips, arraySize, cube), pixels);
}

TEST(LoadDDSTexture, MakesAViewOfEachShapeAndLeavesTheTextureToIt) {
    struct Case {
        DDSDimension dimension;
        std::uint32_t depth, arraySize;
        bool cube;
        SrvDimension view;
        std::uint32_t viewCount; // array size or cube count the view names; 0 for a single element
    };
    const Case cases[] = {
        {DDSDimension::Texture1D, 1, 1, false, SrvDimension::Texture1D, 0},
        {DDSDimension::Texture1D, 1, 3, false, SrvDimension::Texture1DArray, 3},
        {DDSDimension::Texture2D, 1, 1, false, SrvDimension::Texture2D, 0},
        {DDSDimension::Texture2D, 1, 2, false, SrvDimension::Texture2DArray, 2},
        {DDSDimension::Texture2D, 1, 1, true, SrvDimension::TextureCube, 0},
        {DDSDimension::Texture2D, 1, 2, true, SrvDimension::TextureCubeArray, 2},
        {DDSDimension::Texture3D, 4, 1, false, SrvDimension::Texture3D, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.view));
        RecordingDevice device(FeatureLevel::Level11_0);
        const std::uint32_t height = c.dimension == DDSDimension::Texture1D ? 1 : 8;
        const std::vector<std::uint8_t> image =
            MakeImage(Format::R8G8B8A8_UNorm, c.dimension, 8, height, c.depth, 3, c.arraySize, c.cube);
        Ref<IShaderResourceView> view;
        ASSERT_EQ(LoadDDSTexture(device.device.Get(), image.data(), image.size(), view.Put()), kS_OK);

        const CreateShaderResourceViewArgs* created =
            device.recorder.CallsOf<CreateShaderResourceViewArgs>().at(0);
        EXPECT_EQ(created->desc.viewDimension, c.view);
        EXPECT_EQ(created->desc.texture2D.mipLevels, 3u); // at the same place in every view shape
        if (c.viewCount != 0) {
            EXPECT_EQ(c.cube ? created->desc.textureCubeArray.numCubes
                             : created->desc.texture2DArray.arraySize,
                      c.viewCount);
        }
        if (c.dimension == DDSDimension::Texture2D) {
            const Texture2DDesc& desc = device.recorder.CallsOf<CreateTexture2DArgs>().at(0)->desc;
            EXPECT_EQ(desc.arraySize, c.arraySize * (c.cube ? 6 : 1));
            EXPECT_EQ(desc.miscFlags, c.cube ? kResourceMiscTextureCube : 0u);
        }
        // Our own texture reference is given up at once; the view keeps the texture alive until it goes.
        const CallRecord& last = device.recorder.Calls().back();
        ASSERT_NE(last.As<ReleaseArgs>(), nullptr);
        EXPECT_EQ(last.target, created->resource);
        EXPECT_TRUE(device.recorder.IsAlive(created->resource));
        view.Reset();
        EXPECT_FALSE(device.recorder.IsAlive(created->resource));
    }
}

// A refused mip chain is made again from the first level within the feature level's cap; the table
// then starts at that level's bytes.
TEST(LoadDDSTexture, RetriesARefusedMipChainFromTheLevelWithinTheFeatureLevelCap) {
    struct Case {
        FeatureLevel level;
        std::uint32_t size, mips;
        bool cube;
        std::uint32_t takenSize, skipped;
    };
    const Case cases[] = {
        {FeatureLevel::Level9_1, 4096, 13, false, 2048, 1},
        {FeatureLevel::Level9_2, 1024, 11, true, 512, 1},
        {FeatureLevel::Level9_3, 1024, 11, true, 1024, 0},
        {FeatureLevel::Level9_3, 8192, 3, false, 4096, 1},
        {FeatureLevel::Level11_0, 16384, 2, false, 8192, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.size << " on level 0x" << std::hex << static_cast<int>(c.level));
        const std::uint32_t height = c.cube ? c.size : 4; // cube faces are square
        const std::vector<std::uint8_t> image =
            MakeImage(Format::BC1_UNorm, DDSDimension::Texture2D, c.size, height, 1, c.mips, 1, c.cube);
        RecordingDevice device(c.level);
        device.recorder.FailCall("CreateTexture2D", 1, kE_OUTOFMEMORY);
        Ref<IShaderResourceView> view;
        ASSERT_EQ(LoadDDSTexture(device.device.Get(), image.data(), image.size(), view.Put()), kS_OK);

        const auto textures = device.recorder.CallsOf<CreateTexture2DArgs>();
        ASSERT_EQ(textures.size(), 2u);
        EXPECT_EQ(textures[1]->desc.width, c.takenSize);
        EXPECT_EQ(textures[1]->desc.mipLevels, c.mips - c.skipped);
        EXPECT_EQ(device.recorder.CallsOf<CreateShaderResourceViewArgs>().at(0)->desc.texture2D.mipLevels,
                  c.mips - c.skipped);
        EXPECT_EQ(textures[1]->initialData.at(0).sysMem,
                  image.data() + 148 + ChainBytes(Format::BC1_UNorm, c.size, height, 1, c.skipped));
    }
    // 3D textures have their own, smaller cap.
    const std::vector<std::uint8_t> volume =
        MakeImage(Format::R8_UNorm, DDSDimension::Texture3D, 512, 4, 8, 2, 1, false);
    RecordingDevice device(FeatureLevel::Level9_3);
    device.recorder.FailCall("CreateTexture3D", 1, kE_OUTOFMEMORY);
    Ref<IShaderResourceView> view;
    ASSERT_EQ(LoadDDSTexture(device.device.Get(), volume.data(), volume.size(), view.Put()), kS_OK);
    const Texture3DDesc& retried = device.recorder.CallsOf<CreateTexture3DArgs>().at(1)->desc;
    EXPECT_EQ(retried.width, 256u);
    EXPECT_EQ(retried.depth, 4u);
}

TEST(LoadDDSTexture, PassesFailuresThroughWithoutRetryForOneLevelOrBadArguments) {
    RecordingDevice device(FeatureLevel::Level9_1);
    const std::vector<std::uint8_t> image =
        MakeImage(Format::BC1_UNorm, DDSDimension::Texture2D, 4096, 4, 1, 1, 1, false);
    device.recorder.FailCall("CreateTexture2D", 1, kE_OUTOFMEMORY);
    IShaderResourceView* view = nullptr;
    EXPECT_EQ(LoadDDSTexture(device.device.Get(), image.data(), image.size(), &view), kE_OUTOFMEMORY);
    EXPECT_EQ(view, nullptr);
    EXPECT_EQ(LoadDDSTexture(nullptr, image.data(), image.size(), &view), kE_INVALIDARG);
    EXPECT_EQ(LoadDDSTexture(device.device.Get(), nullptr, image.size(), &view), kE_INVALIDARG);
    EXPECT_EQ(LoadDDSTexture(device.device.Get(), image.data(), image.size(), nullptr), kE_INVALIDARG);
    EXPECT_EQ(LoadDDSTexture(device.device.Get(), image.data(), 127, &view),
              kE_FAIL); // refused by the layout
    EXPECT_EQ(device.recorder.Names(true), std::vector<std::string_view>{"CreateTexture2D"});

    const SubresourceData table{image.data(), 8, 8};
    EXPECT_EQ(CreateTextureAndView(device.device.Get(), DDSDimension::Texture2D, 4, 4, 1, 1, 1,
                                   Format::BC1_UNorm, false, nullptr, &view),
              kE_POINTER);
    EXPECT_EQ(CreateTextureAndView(device.device.Get(), static_cast<DDSDimension>(5), 4, 4, 1, 1, 1,
                                   Format::BC1_UNorm, false, &table, &view),
              kE_FAIL);
}

} // namespace
} // namespace tavro
