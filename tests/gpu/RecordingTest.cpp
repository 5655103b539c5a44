#include "gpu/Validation.h"
#include "tests/gpu/RecordingHarness.h"

#include <vector>

namespace tavro::gpu::recording {
namespace {

BufferDesc ConstantBufferDesc() {
    BufferDesc desc{};
    desc.byteWidth = 192;
    desc.bindFlags = kBindConstantBuffer;
    return desc;
}

Texture2DDesc ShaderTextureDesc(std::uint32_t width, std::uint32_t height) {
    Texture2DDesc desc{};
    desc.width = width;
    desc.height = height;
    desc.mipLevels = 1;
    desc.arraySize = 1;
    desc.format = Format::R8G8B8A8_UNorm;
    desc.sampleDesc.count = 1;
    desc.bindFlags = kBindShaderResource;
    return desc;
}

TEST(RecordingDevice, CreatesDeviceContextAndSwapChainAtTheFirstOfferedLevel) {
    RecordingHarness h;
    h.recorder.SetMaxFeatureLevel(FeatureLevel::Level10_0);
    ASSERT_EQ(h.Create(), kS_OK);
    const auto creates = h.recorder.CallsOf<CreateDeviceAndSwapChainArgs>();
    ASSERT_EQ(creates.size(), 1u);
    EXPECT_EQ(creates[0]->obtained, FeatureLevel::Level10_0);
    EXPECT_EQ(h.device->GetFeatureLevel(), FeatureLevel::Level10_0);

    Ref<ITexture2D> backBuffer;
    ASSERT_EQ(h.swapChain->GetBuffer(0, backBuffer.Put()), kS_OK);
    Texture2DDesc desc{};
    backBuffer->GetDesc(&desc);
    EXPECT_EQ(desc.width, 64u);
    EXPECT_EQ(desc.height, 48u);
    EXPECT_EQ(desc.bindFlags, kBindRenderTarget);
    ITexture2D* untouched = nullptr;
    EXPECT_EQ(h.swapChain->GetBuffer(1, &untouched), kE_INVALIDARG);
    EXPECT_EQ(untouched, nullptr);
}

TEST(RecordingDevice, PlannedFailuresHitTheChosenOccurrenceOnly) {
    RecordingHarness h;
    h.recorder.FailCall("CreateDeviceAndSwapChain", 1, kE_FAIL);
    EXPECT_EQ(h.Create(DriverType::Hardware), kE_FAIL);
    EXPECT_EQ(h.recorder.LiveObjectCount(), 0u);
    ASSERT_EQ(h.Create(DriverType::Warp), kS_OK);

    h.recorder.FailCall("CreateBuffer", 2, kE_OUTOFMEMORY);
    const BufferDesc desc = ConstantBufferDesc();
    Ref<IBuffer> first, second, third;
    EXPECT_EQ(h.device->CreateBuffer(&desc, nullptr, first.Put()), kS_OK);
    EXPECT_EQ(h.device->CreateBuffer(&desc, nullptr, second.Put()), kE_OUTOFMEMORY);
    EXPECT_FALSE(second);
    EXPECT_EQ(h.device->CreateBuffer(&desc, nullptr, third.Put()), kS_OK);

    h.recorder.FailCall("Present", 1, kE_FAIL);
    EXPECT_EQ(h.swapChain->Present(0, 0), kE_FAIL);
    EXPECT_EQ(h.swapChain->Present(0, 0), kS_OK);
    EXPECT_NE(h.recorder.Text().find("-> 0x8007000E (planned failure)"), std::string::npos);
}

TEST(RecordingDevice, RefusesWhatTheDeviceRefuses) {
    RecordingHarness h;
    ASSERT_EQ(h.Create(), kS_OK);
    const std::uint8_t bytes[256] = {};
    const SubresourceData data{bytes, 0, 0};
    const SubresourceData missing{nullptr, 0, 0};
    struct Case {
        const char* what;
        BufferDesc desc;
        const SubresourceData* initialData;
    };
    const Case cases[] = {
        {"zero ByteWidth", {0, Usage::Default, kBindVertexBuffer, 0, 0, 0}, &data},
        {"immutable without initial data", {32, Usage::Immutable, kBindVertexBuffer, 0, 0, 0}, nullptr},
        {"initial data without a pointer", {32, Usage::Default, kBindIndexBuffer, 0, 0, 0}, &missing},
        {"constant buffer of 100 bytes", {100, Usage::Default, kBindConstantBuffer, 0, 0, 0}, nullptr},
        {"constant and vertex binding",
         {192, Usage::Default, kBindConstantBuffer | kBindVertexBuffer, 0, 0, 0},
         &data},
        {"default usage with CPU access",
         {32, Usage::Default, kBindVertexBuffer, kCpuAccessWrite, 0, 0},
         &data},
    };
    for (const Case& c : cases) {
        IBuffer* buffer = nullptr;
        EXPECT_EQ(h.device->CreateBuffer(&c.desc, c.initialData, &buffer), kE_INVALIDARG) << c.what;
        EXPECT_EQ(buffer, nullptr) << c.what;
        EXPECT_NE(h.recorder.Calls().back().reason, nullptr) << c.what;
    }

    Texture2DDesc tooManyMips = ShaderTextureDesc(4, 4);
    tooManyMips.mipLevels = 4; // 4, 2, 1 is the whole chain
    Texture2DDesc sampledDepth = ShaderTextureDesc(4, 4);
    sampledDepth.format = Format::D24_UNorm_S8_UInt;
    Texture2DDesc badCube = ShaderTextureDesc(4, 4);
    badCube.miscFlags = kResourceMiscTextureCube;
    Texture2DDesc tooWide = ShaderTextureDesc(16385, 1);
    for (const Texture2DDesc& desc : {tooManyMips, sampledDepth, badCube, tooWide}) {
        ITexture2D* texture = nullptr;
        EXPECT_EQ(h.device->CreateTexture2D(&desc, nullptr, &texture), kE_INVALIDARG);
        EXPECT_EQ(texture, nullptr);
    }

    // Without an out-pointer a valid call only checks, as the device does, and makes nothing.
    const BufferDesc valid = ConstantBufferDesc();
    const std::size_t alive = h.recorder.LiveObjectCount();
    EXPECT_EQ(h.device->CreateBuffer(&valid, nullptr, nullptr), kS_FALSE);
    EXPECT_EQ(h.recorder.LiveObjectCount(), alive);
}

TEST(RecordingDevice, AViewKeepsItsTextureAliveAndBindingsKeepTheirObjects) {
    RecordingHarness h;
    ASSERT_EQ(h.Create(), kS_OK);
    const std::size_t baseline = h.recorder.LiveObjectCount();
    const Texture2DDesc desc = ShaderTextureDesc(2, 2);
    const std::uint32_t pixels[4] = {};
    const SubresourceData data{pixels, 8, 0};

    ITexture2D* texture = nullptr;
    ASSERT_EQ(h.device->CreateTexture2D(&desc, &data, &texture), kS_OK);
    const ObjectId textureId = h.recorder.CallsOf<CreateTexture2DArgs>().back()->texture;
    IShaderResourceView* view = nullptr;
    ASSERT_EQ(h.device->CreateShaderResourceView(texture, nullptr, &view), kS_OK);
    const ObjectId viewId = h.recorder.CallsOf<CreateShaderResourceViewArgs>().back()->view;

    EXPECT_EQ(texture->Release(), 1u); // the view's hold remains
    EXPECT_TRUE(h.recorder.IsAlive(textureId));
    IResource* viewed = nullptr;
    view->GetResource(&viewed);
    EXPECT_EQ(viewed->GetType(), ResourceDimension::Texture2D);
    viewed->Release();

    h.context->PSSetShaderResources(0, 1, &view);
    view->Release();
    EXPECT_TRUE(h.recorder.IsAlive(viewId)) << "the binding holds the view";
    IShaderResourceView* none = nullptr;
    h.context->PSSetShaderResources(0, 1, &none);
    EXPECT_FALSE(h.recorder.IsAlive(viewId));
    EXPECT_FALSE(h.recorder.IsAlive(textureId));
    EXPECT_EQ(h.recorder.LiveObjectCount(), baseline);

    h.Release();
    EXPECT_EQ(h.recorder.LiveObjectCount(), 0u) << h.recorder.LiveObjectsText();
}

// What a frame's updates and draws record shows in the renderer's frame test
// (tests/render/FrameRenderTest.cpp).
TEST(RecordingDevice, RecordsSignedDrawArgumentsAndRefusesPartialConstantUpdates) {
    RecordingHarness h;
    ASSERT_EQ(h.Create(), kS_OK);
    const BufferDesc desc = ConstantBufferDesc();
    Ref<IBuffer> constants;
    ASSERT_EQ(h.device->CreateBuffer(&desc, nullptr, constants.Put()), kS_OK);
    h.context->DrawIndexed(36, 6, -2);
    EXPECT_EQ(h.recorder.Calls().back().ToString(),
              "#1 DrawIndexed(indexCount=36 startIndex=6 baseVertex=-2)");

    // A partial update of a constant buffer is refused and writes nothing.
    const std::vector<float> matrices(48, 0.5f);
    const Box box{0, 0, 0, 64, 1, 1};
    h.context->UpdateSubresource(constants.Get(), 0, &box, matrices.data(), 0, 0);
    EXPECT_EQ(h.recorder.Calls().back().result, kE_INVALIDARG);
    EXPECT_TRUE(h.recorder.Calls().back().As<UpdateSubresourceArgs>()->bytes.empty());
}

TEST(RecordingDevice, RefusedBindingsChangeNothingAndNewOnesReplaceOld) {
    RecordingHarness h;
    ASSERT_EQ(h.Create(), kS_OK);
    const BufferDesc desc = ConstantBufferDesc();
    IBuffer* first = nullptr;
    IBuffer* second = nullptr;
    ASSERT_EQ(h.device->CreateBuffer(&desc, nullptr, &first), kS_OK);
    ASSERT_EQ(h.device->CreateBuffer(&desc, nullptr, &second), kS_OK);
    const ObjectId firstId = h.recorder.CallsOf<CreateBufferArgs>()[0]->buffer;

    h.context->VSSetConstantBuffers(0, 1, &first);
    first->Release();
    EXPECT_TRUE(h.recorder.IsAlive(firstId));
    h.context->VSSetConstantBuffers(kMaxConstantBufferSlots, 1, &second); // past the last slot
    EXPECT_EQ(h.recorder.Calls().back().result, kE_INVALIDARG);
    EXPECT_TRUE(h.recorder.IsAlive(firstId)) << "a refused binding leaves slot 0 as it was";
    h.context->VSSetConstantBuffers(0, 1, &second);
    EXPECT_FALSE(h.recorder.IsAlive(firstId)) << "replacing the binding drops the old buffer";
    second->Release();

    h.recorder.ClearCalls();
    h.Release();
    EXPECT_EQ(h.recorder.LiveObjectCount(), 0u) << h.recorder.LiveObjectsText();
    const std::vector<std::string_view> releases(h.recorder.Calls().size(), "Release");
    EXPECT_EQ(h.recorder.Names(), releases);
}

TEST(RecordingDevice, RefusedDeviceRequestsWriteNothing) {
    RecordingHarness h;
    h.recorder.SetMaxFeatureLevel(FeatureLevel::Level9_3);
    EXPECT_EQ(h.Create(), kDXGI_ERROR_UNSUPPORTED) << "no requested level is offered";
    EXPECT_FALSE(h.device);
    EXPECT_FALSE(h.swapChain);

    RecordingFactory factory(h.recorder);
    SwapChainDesc zeroSize{};
    zeroSize.bufferCount = 1;
    zeroSize.sampleDesc.count = 1;
    zeroSize.bufferDesc.format = Format::R8G8B8A8_UNorm;
    ISwapChain* swapChain = nullptr;
    IDevice* device = nullptr;
    IDeviceContext* context = nullptr;
    EXPECT_EQ(factory.CreateDeviceAndSwapChain(DriverType::Hardware, 0, nullptr, 0, kSdkVersion, &zeroSize,
                                               &swapChain, &device, nullptr, &context),
              kE_INVALIDARG);
    EXPECT_EQ(factory.CreateDeviceAndSwapChain(DriverType::Hardware, 0, nullptr, 0, 6, nullptr, nullptr,
                                               &device, nullptr, &context),
              kE_INVALIDARG);
    EXPECT_EQ(swapChain, nullptr);
    EXPECT_EQ(device, nullptr);
    EXPECT_EQ(context, nullptr);
    EXPECT_EQ(h.recorder.LiveObjectCount(), 0u);

    // A device alone, with Direct3D's default feature-level list.
    h.recorder.SetMaxFeatureLevel(FeatureLevel::Level11_0);
    FeatureLevel level{};
    ASSERT_EQ(factory.CreateDeviceAndSwapChain(DriverType::Warp, 0, nullptr, 0, kSdkVersion, nullptr, nullptr,
                                               &device, &level, nullptr),
              kS_OK);
    EXPECT_EQ(level, FeatureLevel::Level11_0);
    device->Release();
    EXPECT_EQ(h.recorder.LiveObjectCount(), 0u) << h.recorder.LiveObjectsText();
}

TEST(ViewResolution, FillsTheWholeResourceAndChecksRanges) {
    Texture2DDesc cubeDesc = ShaderTextureDesc(8, 8);
    cubeDesc.mipLevels = 0;
    cubeDesc.arraySize = 12;
    cubeDesc.miscFlags = kResourceMiscTextureCube;
    Texture2DDesc resolved{};
    ASSERT_TRUE(ValidateTexture2DDesc(&cubeDesc, nullptr, &resolved).Ok());
    EXPECT_EQ(resolved.mipLevels, 4u);
    const ResourceInfo cubes = DescribeResource(resolved);

    ShaderResourceViewDesc view{};
    view.format = Format::R8G8B8A8_UNorm;
    view.viewDimension = SrvDimension::TextureCubeArray;
    view.textureCubeArray = {1, 0xFFFFFFFF, 0, 2};
    ShaderResourceViewDesc out{};
    ASSERT_TRUE(ResolveShaderResourceView(cubes, &view, &out).Ok());
    EXPECT_EQ(out.textureCubeArray.mipLevels, 3u);

    view.textureCubeArray = {0, 1, 6, 2}; // faces 6..17 of 12
    EXPECT_FALSE(ResolveShaderResourceView(cubes, &view, &out).Ok());
    view.viewDimension = SrvDimension::Texture2D;
    view.texture2D = {4, 1}; // mip 4 of 4 levels
    EXPECT_FALSE(ResolveShaderResourceView(cubes, &view, &out).Ok());

    ASSERT_TRUE(ResolveShaderResourceView(cubes, nullptr, &out).Ok());
    EXPECT_EQ(out.viewDimension, SrvDimension::TextureCubeArray);
    EXPECT_EQ(out.textureCubeArray.numCubes, 2u);
    EXPECT_EQ(out.textureCubeArray.mipLevels, 4u);

    Texture2DDesc arrayDesc = cubeDesc;
    arrayDesc.miscFlags = 0;
    ASSERT_TRUE(ValidateTexture2DDesc(&arrayDesc, nullptr, &resolved).Ok());
    ASSERT_TRUE(ResolveShaderResourceView(DescribeResource(resolved), nullptr, &out).Ok());
    EXPECT_EQ(out.viewDimension, SrvDimension::Texture2DArray);
    EXPECT_EQ(out.texture2DArray.arraySize, 12u);
}

} // namespace
} // namespace tavro::gpu::recording
