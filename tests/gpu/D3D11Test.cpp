// The Direct3D 11 backend on the system's Direct3D (under Wine, wined3d over OpenGL), in a hidden
// window: device creation, clears read back through the presented image, object lifetimes, and the
// calls the backend refuses before Direct3D sees them.
#include "gpu/Ref.h"
#include "gpu/d3d11/D3D11Factory.h"
#include "render/ShaderSources.h"
#include "tests/gpu/HiddenWindow.h"

#include <gtest/gtest.h>

#include <array>
#include <utility>
#include <vector>

namespace tavro::gpu::d3d11 {
namespace {

constexpr std::uint32_t kWidth = 64;
constexpr std::uint32_t kHeight = 48;

class D3D11Test : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(window.Handle(), nullptr);
        SwapChainDesc desc{};
        desc.bufferCount = 1;
        desc.bufferDesc = {kWidth, kHeight, {60, 1}, Format::R8G8B8A8_UNorm, {}, {}};
        desc.bufferUsage = kUsageRenderTargetOutput;
        desc.outputWindow = window.Handle();
        desc.sampleDesc = {1, 0};
        desc.windowed = true;
        const FeatureLevel levels[] = {FeatureLevel::Level11_0, FeatureLevel::Level10_1,
                                       FeatureLevel::Level10_0};
        for (DriverType driver : {DriverType::Hardware, DriverType::Warp, DriverType::Reference}) {
            if (Succeeded(factory.CreateDeviceAndSwapChain(driver, 0, levels, 3, kSdkVersion, &desc,
                                                           swapChain.Put(), device.Put(), &level,
                                                           context.Put())))
                break;
        }
        ASSERT_TRUE(device) << "no Direct3D 11 device at feature level 10_0 or better";
        Ref<ITexture2D> backBuffer;
        ASSERT_EQ(swapChain->GetBuffer(0, backBuffer.Put()), kS_OK);
        ASSERT_EQ(device->CreateRenderTargetView(backBuffer.Get(), nullptr, target.Put()), kS_OK);
    }

    // Clears the back buffer to `rgba`, presents it and reads it back.
    PresentedImage ClearAndPresent(const std::array<float, 4>& rgba) {
        context->ClearRenderTargetView(target.Get(), rgba.data());
        EXPECT_GE(swapChain->Present(0, 0), 0);
        PresentedImage image;
        EXPECT_EQ(swapChain->ReadPresentedImage(&image), kS_OK);
        return image;
    }

    HiddenWindow window;
    D3D11Factory factory;
    Ref<ISwapChain> swapChain;
    Ref<IDevice> device;
    Ref<IDeviceContext> context;
    Ref<IRenderTargetView> target;
    FeatureLevel level{};
};

TEST_F(D3D11Test, DeviceTakesDxbcAndItsSwapChainHasOneBackBufferOfTheDescribedSize) {
    EXPECT_GE(static_cast<std::uint32_t>(level), static_cast<std::uint32_t>(FeatureLevel::Level10_0));
    EXPECT_EQ(device->GetFeatureLevel(), level);
    EXPECT_EQ(device->GetShaderLanguage(), ShaderLanguage::Dxbc);

    Ref<ITexture2D> first;
    Ref<ITexture2D> second;
    ASSERT_EQ(swapChain->GetBuffer(0, first.Put()), kS_OK);
    ASSERT_EQ(swapChain->GetBuffer(0, second.Put()), kS_OK);
    EXPECT_EQ(first.Get(), second.Get());
    Texture2DDesc desc{};
    first->GetDesc(&desc);
    EXPECT_EQ(desc.width, kWidth);
    EXPECT_EQ(desc.height, kHeight);
    EXPECT_EQ(desc.format, Format::R8G8B8A8_UNorm);

    Ref<ITexture2D> missing;
    EXPECT_EQ(swapChain->GetBuffer(1, missing.Put()), kE_INVALIDARG);
    EXPECT_FALSE(missing);

    Ref<IDeviceContext> immediate;
    device->GetImmediateContext(immediate.Put());
    EXPECT_EQ(immediate.Get(), context.Get());
}

TEST_F(D3D11Test, ReadsBackThePresentedFrameNotLaterDrawing) {
    PresentedImage image;
    EXPECT_EQ(swapChain->ReadPresentedImage(&image), kE_FAIL) << "nothing presented yet";

    image = ClearAndPresent({0.2f, 0.4f, 0.6f, 1.0f});
    ASSERT_EQ(image.width, kWidth);
    ASSERT_EQ(image.height, kHeight);
    ASSERT_EQ(image.rgba.size(), std::size_t{kWidth} * kHeight * 4);
    for (std::size_t pixel :
         {std::size_t{0}, std::size_t{kWidth} * kHeight / 2 + 7, image.rgba.size() / 4 - 1}) {
        EXPECT_NEAR(image.rgba[pixel * 4 + 0], 51, 1);
        EXPECT_NEAR(image.rgba[pixel * 4 + 1], 102, 1);
        EXPECT_NEAR(image.rgba[pixel * 4 + 2], 153, 1);
        EXPECT_EQ(image.rgba[pixel * 4 + 3], 255);
    }

    // Clearing again without presenting leaves the presented frame as it was.
    const float red[4] = {1, 0, 0, 1};
    context->ClearRenderTargetView(target.Get(), red);
    PresentedImage again;
    ASSERT_EQ(swapChain->ReadPresentedImage(&again), kS_OK);
    EXPECT_EQ(again.rgba, image.rgba);
}

TEST_F(D3D11Test, ViewsKeepTheirTextureAliveAndDescriptionsComeBackResolved) {
    const std::vector<std::uint8_t> pixels(8 * 8 * 4, 0x80);
    const SubresourceData data[] = {{pixels.data(), 8 * 4, 0},
                                    {pixels.data(), 4 * 4, 0},
                                    {pixels.data(), 2 * 4, 0},
                                    {pixels.data(), 1 * 4, 0}};
    Texture2DDesc desc{};
    desc.width = 8;
    desc.height = 8;
    desc.mipLevels = 0; // the full chain: four levels, four entries of initial data
    desc.arraySize = 1;
    desc.format = Format::R8G8B8A8_UNorm;
    desc.sampleDesc = {1, 0};
    desc.usage = Usage::Immutable;
    desc.bindFlags = kBindShaderResource;
    Ref<ITexture2D> texture;
    ASSERT_EQ(device->CreateTexture2D(&desc, data, texture.Put()), kS_OK);
    Ref<IShaderResourceView> view;
    ASSERT_EQ(device->CreateShaderResourceView(texture.Get(), nullptr, view.Put()), kS_OK);
    texture.Reset();

    Ref<IResource> resource;
    view->GetResource(resource.Put());
    ASSERT_TRUE(resource);
    ASSERT_EQ(resource->GetType(), ResourceDimension::Texture2D);
    Texture2DDesc viewed{};
    static_cast<ITexture2D*>(resource.Get())->GetDesc(&viewed);
    EXPECT_EQ(viewed.width, 8u);
    EXPECT_EQ(viewed.mipLevels, 4u);
    EXPECT_EQ(viewed.usage, Usage::Immutable);

    ShaderResourceViewDesc viewDesc{};
    view->GetDesc(&viewDesc);
    EXPECT_EQ(viewDesc.format, Format::R8G8B8A8_UNorm);
    EXPECT_EQ(viewDesc.viewDimension, SrvDimension::Texture2D);
    EXPECT_EQ(viewDesc.texture2D.mipLevels, 4u);
}

TEST_F(D3D11Test, RefusedCallsFailAndWriteNothing) {
    const BufferDesc emptyBuffer{0, Usage::Default, kBindVertexBuffer, 0, 0, 0};
    const BufferDesc vertexBuffer{64, Usage::Default, kBindVertexBuffer, 0, 0, 0};
    Texture2DDesc textureDesc{};
    textureDesc.width = 4;
    textureDesc.height = 4;
    textureDesc.mipLevels = 1;
    textureDesc.arraySize = 1;
    textureDesc.format = Format::R8G8B8A8_UNorm;
    textureDesc.sampleDesc = {1, 0};
    textureDesc.bindFlags = kBindRenderTarget | kBindShaderResource;
    Ref<ITexture2D> texture;
    ASSERT_EQ(device->CreateTexture2D(&textureDesc, nullptr, texture.Put()), kS_OK);
    RenderTargetViewDesc cubeTarget{};
    cubeTarget.format = Format::R8G8B8A8_UNorm;
    cubeTarget.viewDimension = RtvDimension::Texture3D; // not described by the graphics layer
    const std::span<const std::byte> pixelShader = ModelPixelShader(ShaderLanguage::Dxbc);
    ASSERT_FALSE(pixelShader.empty()) << "the Windows build carries the compiled shaders";

    IBuffer* buffer = nullptr;
    EXPECT_LT(device->CreateBuffer(&emptyBuffer, nullptr, &buffer), 0);
    EXPECT_EQ(buffer, nullptr);
    EXPECT_EQ(device->CreateBuffer(nullptr, nullptr, &buffer), kE_INVALIDARG);
    EXPECT_EQ(device->CreateBuffer(&vertexBuffer, nullptr, nullptr), kE_INVALIDARG);
    EXPECT_EQ(buffer, nullptr);

    IRenderTargetView* view = nullptr;
    EXPECT_EQ(device->CreateRenderTargetView(texture.Get(), &cubeTarget, &view), kE_INVALIDARG);
    EXPECT_EQ(device->CreateRenderTargetView(nullptr, nullptr, &view), kE_INVALIDARG);
    EXPECT_EQ(view, nullptr);

    IVertexShader* vertexShader = nullptr;
    EXPECT_EQ(device->CreateVertexShader(nullptr, 0, &vertexShader), kE_INVALIDARG);
    // A pixel shader is no vertex shader: Direct3D itself refuses it.
    EXPECT_LT(device->CreateVertexShader(pixelShader.data(), pixelShader.size(), &vertexShader), 0);
    EXPECT_EQ(vertexShader, nullptr);

    // Counts beyond Direct3D's limits are refused before any initial-data entry is read.
    const SubresourceData oneLevel[] = {{pixelShader.data(), 16, 0}};
    for (auto [mipLevels, arraySize] : {std::pair{20u, 1u}, std::pair{1u, 4096u}, std::pair{1u, 0u}}) {
        Texture2DDesc tooMany = textureDesc;
        tooMany.mipLevels = mipLevels;
        tooMany.arraySize = arraySize;
        ITexture2D* made = nullptr;
        EXPECT_EQ(device->CreateTexture2D(&tooMany, oneLevel, &made), kE_INVALIDARG);
        EXPECT_EQ(made, nullptr);
    }

    const InputElementDesc unnamed{
        nullptr, 0, Format::R32G32B32_Float, 0, 0, InputClassification::PerVertexData, 0};
    IInputLayout* layout = nullptr;
    EXPECT_EQ(device->CreateInputLayout(&unnamed, 1, pixelShader.data(), pixelShader.size(), &layout),
              kE_INVALIDARG);
    EXPECT_EQ(layout, nullptr);
}

} // namespace
} // namespace tavro::gpu::d3d11
