// The DDS loader's device half through the recording backend: the texture and view it makes for each
// shape, the texture reference it gives up, and the retry from a smaller level after a refusal.
#include "texture/DDSTextureLoader.h"
#include "authoring/DDSWriter.h"
#include "gpu/Ref.h"
#include "gpu/recording/RecordingFactory.h"

#include <gtest/gtest.h>

#include <vector>

namespace tavro {
namespace {

using namespace gpu;
using namespace gpu::recording;

// A device at one feature level on the recording backend.
struct RecordingDevice {
    explicit RecordingDevice(FeatureLevel level) {
        RecordingFactory factory(recorder);
        SwapChainDesc desc{};
        desc.bufferDesc = {4, 4, {60, 1}, Format::R8G8B8A8_UNorm, {}, {}};
        desc.sampleDesc = {1, 0};
        desc.bufferUsage = kUsageRenderTargetOutput;
        desc.bufferCount = 1;
        desc.windowed = true;
        EXPECT_TRUE(Succeeded(factory.CreateDeviceAndSwapChain(DriverType::Hardware, 0, &level, 1,
                                                               kSdkVersion, &desc, swapChain.Put(),
                                                               device.Put(), nullptr, context.Put())));
        recorder.ClearCalls();
    }
    Recorder recorder;
    Ref<ISwapChain> swapChain;
    Ref<IDevice> device;
    Ref<IDeviceContext> context;
};

// Bytes of every level of every element of an image, in file order.
std::uint64_t ImageBytes(Format format, std::uint32_t width, std::uint32_t height, std::uint32_t depth,
                         std::uint32_t mips, std::uint32_t elements, std::uint32_t skip = ~0u) {
    std::uint64_t total = 0;
    for (std::uint32_t element = 0; element < elements; ++element) {
        std::uint32_t w = width, h = height, d = depth;
        for (std::uint32_t level = 0; level < mips && (element > 0 || level < skip); ++level) {
            total += ComputeSurfaceSize(w, h, format).sliceSize * d;
            w = std::max(1u, w / 2), h = std::max(1u, h / 2), d = std::max(1u, d / 2);
        }
    }
    return total;
}

std::vector<std::uint8_t> MakeImage(Format format, DDSDimension dimension, std::uint32_t width,
                                    std::uint32_t height, std::uint32_t depth, std::uint32_t mips,
                                    std::uint32_t arraySize, bool cube) {
    const authoring::DDSHeaderFields header =
        authoring::DX10HeaderFields(format, dimension, width, height, depth, mips, arraySize, cube);
    const std::uint32_t elements = arraySize * (cube ? 6 : 1);
    const std::vector<std::uint8_t> pixels(ImageBytes(format, width, height, depth, mips, elements), 0x5A);
    return authoring::WriteDDS(header, pixels);
}

TEST(LoadDDSTexture, MakesATextureAndViewOfEachShape) {
    struct Case {
        const char* what;
        DDSDimension dimension;
        std::uint32_t width, height, depth, mips, arraySize;
        bool cube;
        SrvDimension view;
        std::uint32_t viewArrayCount; // array size, or cube count for cube arrays
    };
    const Case cases[] = {
        {"1D", DDSDimension::Texture1D, 8, 1, 1, 4, 1, false, SrvDimension::Texture1D, 0},
        {"1D array", DDSDimension::Texture1D, 8, 1, 1, 1, 3, false, SrvDimension::Texture1DArray, 3},
        {"2D", DDSDimension::Texture2D, 8, 4, 1, 3, 1, false, SrvDimension::Texture2D, 0},
        {"2D array", DDSDimension::Texture2D, 8, 8, 1, 1, 2, false, SrvDimension::Texture2DArray, 2},
        {"cube", DDSDimension::Texture2D, 4, 4, 1, 3, 1, true, SrvDimension::TextureCube, 0},
        {"cube array", DDSDimension::Texture2D, 4, 4, 1, 1, 2, true, SrvDimension::TextureCubeArray, 2},
        {"3D", DDSDimension::Texture3D, 8, 8, 4, 2, 1, false, SrvDimension::Texture3D, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RecordingDevice device(FeatureLevel::Level11_0);
        const std::vector<std::uint8_t> image = MakeImage(Format::R8G8B8A8_UNorm, c.dimension, c.width,
                                                          c.height, c.depth, c.mips, c.arraySize, c.cube);
        Ref<IShaderResourceView> view;
        ASSERT_EQ(LoadDDSTexture(device.device.Get(), image.data(), image.size(), view.Put()), kS_OK);

        const Recorder& log = device.recorder;
        ObjectId texture = 0;
        std::size_t subresources = 0;
        if (c.dimension == DDSDimension::Texture1D) {
            const CreateTexture1DArgs* create = log.CallsOf<CreateTexture1DArgs>().at(0);
            EXPECT_EQ(create->desc.arraySize, c.arraySize);
            texture = create->texture, subresources = create->initialData.size();
        } else if (c.dimension == DDSDimension::Texture2D) {
            const CreateTexture2DArgs* create = log.CallsOf<CreateTexture2DArgs>().at(0);
            EXPECT_EQ(create->desc.arraySize, c.arraySize * (c.cube ? 6 : 1));
            EXPECT_EQ(create->desc.miscFlags, c.cube ? kResourceMiscTextureCube : 0u);
            EXPECT_EQ(create->desc.bindFlags, kBindShaderResource);
            texture = create->texture, subresources = create->initialData.size();
        } else {
            const CreateTexture3DArgs* create = log.CallsOf<CreateTexture3DArgs>().at(0);
            EXPECT_EQ(create->desc.depth, c.depth);
            texture = create->texture, subresources = create->initialData.size();
        }
        EXPECT_EQ(subresources, std::size_t{c.mips} * c.arraySize * (c.cube ? 6 : 1));

        const CreateShaderResourceViewArgs* createView = log.CallsOf<CreateShaderResourceViewArgs>().at(0);
        EXPECT_EQ(createView->resource, texture);
        EXPECT_EQ(createView->desc.viewDimension, c.view);
        EXPECT_EQ(createView->desc.texture2D.mipLevels, c.mips); // the same place in every view shape
        if (c.view == SrvDimension::TextureCubeArray) {
            EXPECT_EQ(createView->desc.textureCubeArray.numCubes, c.viewArrayCount);
        } else if (c.viewArrayCount != 0) {
            EXPECT_EQ(createView->desc.texture2DArray.arraySize, c.viewArrayCount);
        }
        // Our own texture reference is given up at once; the view keeps the texture alive.
        EXPECT_EQ(log.Calls().back().target, texture);
        ASSERT_NE(log.Calls().back().As<ReleaseArgs>(), nullptr);
        EXPECT_TRUE(log.IsAlive(texture));
        view.Reset();
        EXPECT_FALSE(log.IsAlive(texture));
    }
}

// A refused mip chain is made again from the first level within the feature level's cap.
TEST(LoadDDSTexture, RetriesARefusedMipChainFromTheLevelWithinTheFeatureLevelCap) {
    struct Case {
        const char* what;
        FeatureLevel level;
        DDSDimension dimension;
        std::uint32_t size, depth, mips;
        bool cube;
        std::uint32_t takenSize, skipped;
    };
    const Case cases[] = {
        {"2D on 9_1", FeatureLevel::Level9_1, DDSDimension::Texture2D, 4096, 1, 13, false, 2048, 1},
        {"cube on 9_2", FeatureLevel::Level9_2, DDSDimension::Texture2D, 1024, 1, 11, true, 512, 1},
        {"cube on 9_3", FeatureLevel::Level9_3, DDSDimension::Texture2D, 1024, 1, 11, true, 1024, 0},
        {"3D on 9_3", FeatureLevel::Level9_3, DDSDimension::Texture3D, 1024, 8, 3, false, 256, 2},
        {"2D on 11_0", FeatureLevel::Level11_0, DDSDimension::Texture2D, 4096, 1, 13, false, 4096, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Format format = c.dimension == DDSDimension::Texture3D ? Format::R8_UNorm : Format::BC1_UNorm;
        const std::uint32_t height = c.dimension == DDSDimension::Texture3D ? 256 : c.size;
        const std::vector<std::uint8_t> image =
            MakeImage(format, c.dimension, c.size, height, c.depth, c.mips, 1, c.cube);
        RecordingDevice device(c.level);
        const char* create = c.dimension == DDSDimension::Texture3D ? "CreateTexture3D" : "CreateTexture2D";
        device.recorder.FailCall(create, 1, kE_OUTOFMEMORY);
        Ref<IShaderResourceView> view;
        ASSERT_EQ(LoadDDSTexture(device.device.Get(), image.data(), image.size(), view.Put()), kS_OK);

        const Recorder& log = device.recorder;
        EXPECT_EQ(log.CallsOf<GetFeatureLevelArgs>().size(), 1u);
        std::uint32_t width = 0, mipLevels = 0;
        const void* firstPixels = nullptr;
        if (c.dimension == DDSDimension::Texture3D) {
            ASSERT_EQ(log.CallsOf<CreateTexture3DArgs>().size(), 2u);
            const CreateTexture3DArgs* retry = log.CallsOf<CreateTexture3DArgs>().at(1);
            width = retry->desc.width, mipLevels = retry->desc.mipLevels;
            firstPixels = retry->initialData.at(0).sysMem;
        } else {
            ASSERT_EQ(log.CallsOf<CreateTexture2DArgs>().size(), 2u);
            const CreateTexture2DArgs* retry = log.CallsOf<CreateTexture2DArgs>().at(1);
            width = retry->desc.width, mipLevels = retry->desc.mipLevels;
            firstPixels = retry->initialData.at(0).sysMem;
        }
        EXPECT_EQ(width, c.takenSize);
        EXPECT_EQ(mipLevels, c.mips - c.skipped);
        EXPECT_EQ(log.CallsOf<CreateShaderResourceViewArgs>().at(0)->desc.texture2D.mipLevels,
                  c.mips - c.skipped);
        const std::uint64_t skippedBytes = ImageBytes(format, c.size, height, c.depth, c.mips, 1, c.skipped);
        EXPECT_EQ(firstPixels, image.data() + 148 + skippedBytes);
    }
}

TEST(LoadDDSTexture, PassesAFailureThroughWithoutRetryForOneLevelOrBadArguments) {
    RecordingDevice device(FeatureLevel::Level9_1);
    const std::vector<std::uint8_t> image =
        MakeImage(Format::BC1_UNorm, DDSDimension::Texture2D, 4096, 4096, 1, 1, 1, false);
    device.recorder.FailCall("CreateTexture2D", 1, kE_OUTOFMEMORY);
    IShaderResourceView* view = nullptr;
    EXPECT_EQ(LoadDDSTexture(device.device.Get(), image.data(), image.size(), &view), kE_OUTOFMEMORY);
    EXPECT_EQ(view, nullptr);
    EXPECT_EQ(device.recorder.Names(true), std::vector<std::string_view>{"CreateTexture2D"});

    EXPECT_EQ(LoadDDSTexture(nullptr, image.data(), image.size(), &view), kE_INVALIDARG);
    EXPECT_EQ(LoadDDSTexture(device.device.Get(), nullptr, image.size(), &view), kE_INVALIDARG);
    EXPECT_EQ(LoadDDSTexture(device.device.Get(), image.data(), image.size(), nullptr), kE_INVALIDARG);
    // A header the layout refuses never reaches the device.
    EXPECT_EQ(LoadDDSTexture(device.device.Get(), image.data(), 127, &view), kE_FAIL);
    EXPECT_EQ(device.recorder.Names(true).size(), 1u);

    const SubresourceData table{image.data(), 8, 8};
    EXPECT_EQ(CreateTextureAndView(nullptr, DDSDimension::Texture2D, 4, 4, 1, 1, 1, Format::BC1_UNorm, false,
                                   &table, &view),
              kE_POINTER);
    EXPECT_EQ(CreateTextureAndView(device.device.Get(), DDSDimension::Texture2D, 4, 4, 1, 1, 1,
                                   Format::BC1_UNorm, false, nullptr, &view),
              kE_POINTER);
    EXPECT_EQ(CreateTextureAndView(device.device.Get(), static_cast<DDSDimension>(5), 4, 4, 1, 1, 1,
                                   Format::BC1_UNorm, false, &table, &view),
              kE_FAIL);
}

} // namespace
} // namespace tavro
