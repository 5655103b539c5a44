// Pixels drawn through the OpenGL backend on a headless EGL context, checked for what a person would see.
#include "gpu/Ref.h"
#include "gpu/opengl/EglHeadlessContext.h"
#include "gpu/opengl/OpenGLFactory.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string_view>
#include <vector>

namespace tavro::gpu::opengl {
namespace {

constexpr std::uint32_t kSize = 64;

constexpr std::string_view kVertexShader = R"(#version 420 core
layout(std140, binding = 0) uniform ConstantBuffer { mat4 World; mat4 View; mat4 Projection; };
layout(location = 0) in vec3 POSITION;
layout(location = 2) in vec2 TEXCOORD;
out vec2 uv;
void main() {
    gl_Position = vec4(POSITION, 1.0) * World * View * Projection;
    uv = TEXCOORD;
})";

constexpr std::string_view kPixelShader = R"(#version 420 core
layout(binding = 0) uniform sampler2D txDiffuse;
in vec2 uv;
layout(location = 0) out vec4 color;
void main() { color = texture(txDiffuse, uv); })";

struct Vertex {
    float position[3];
    float normal[3];
    float uv[2];
};

using Rgba = std::array<std::uint8_t, 4>;
using Matrix = std::array<float, 16>;

constexpr Matrix kIdentity = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

// A quad over [x0, x1] × [y0, y1] at depth z as a four-vertex strip, clockwise on screen (front facing):
// bottom-left, top-left, bottom-right, top-right; texture (0, 0) at the top left.
std::array<Vertex, 4> Quad(float x0, float y0, float x1, float y1, float z) {
    return {{{{x0, y0, z}, {}, {0, 1}},
             {{x0, y1, z}, {}, {0, 0}},
             {{x1, y0, z}, {}, {1, 1}},
             {{x1, y1, z}, {}, {1, 0}}}};
}

// A device with the renderer's fixed pipeline: 64 × 64 back buffer, depth 24 + stencil 8, viewport,
// linear-wrap sampler, the shaders above, the 32-byte vertex layout, triangle strips and one 192-byte
// constant buffer.
class GLHarness : public ::testing::Test {
protected:
    void SetUp() override {
        SwapChainDesc desc{};
        desc.bufferCount = 1;
        desc.bufferDesc = {kSize, kSize, {60, 1}, Format::R8G8B8A8_UNorm, {}, {}};
        desc.bufferUsage = kUsageRenderTargetOutput;
        desc.outputWindow = &glContext;
        desc.sampleDesc.count = 1;
        desc.windowed = true;
        const FeatureLevel levels[] = {FeatureLevel::Level11_0, FeatureLevel::Level10_1,
                                       FeatureLevel::Level10_0};
        HRESULT hr = kE_FAIL;
        for (const DriverType driver : {DriverType::Hardware, DriverType::Warp}) {
            hr = factory.CreateDeviceAndSwapChain(driver, 0, levels, 3, kSdkVersion, &desc, swapChain.Put(),
                                                  device.Put(), nullptr, context.Put());
            if (Succeeded(hr))
                break;
        }
        ASSERT_EQ(hr, kS_OK)
            << "no OpenGL 4.5 device on EGL: the gl tests need Mesa (libegl-mesa0, libgl1-mesa-dri)";

        Ref<ITexture2D> backBuffer;
        ASSERT_EQ(swapChain->GetBuffer(0, backBuffer.Put()), kS_OK);
        ASSERT_EQ(device->CreateRenderTargetView(backBuffer.Get(), nullptr, renderTarget.Put()), kS_OK);
        Texture2DDesc depthDesc{
            kSize, kSize, 1, 1, Format::D24_UNorm_S8_UInt, {1, 0}, Usage::Default, kBindDepthStencil, 0, 0};
        Ref<ITexture2D> depthTexture;
        ASSERT_EQ(device->CreateTexture2D(&depthDesc, nullptr, depthTexture.Put()), kS_OK);
        DepthStencilViewDesc dsvDesc{};
        dsvDesc.format = Format::D24_UNorm_S8_UInt;
        dsvDesc.viewDimension = DsvDimension::Texture2D;
        ASSERT_EQ(device->CreateDepthStencilView(depthTexture.Get(), &dsvDesc, depthView.Put()), kS_OK);
        IRenderTargetView* const targets[] = {renderTarget.Get()};
        context->OMSetRenderTargets(1, targets, depthView.Get());
        const Viewport viewport{0, 0, kSize, kSize, 0, 1};
        context->RSSetViewports(1, &viewport);

        ASSERT_EQ(device->GetShaderLanguage(), ShaderLanguage::Glsl);
        Ref<IVertexShader> vs;
        Ref<IPixelShader> ps;
        ASSERT_EQ(device->CreateVertexShader(kVertexShader.data(), kVertexShader.size(), vs.Put()), kS_OK);
        ASSERT_EQ(device->CreatePixelShader(kPixelShader.data(), kPixelShader.size(), ps.Put()), kS_OK);
        const InputElementDesc elements[] = {
            {"POSITION", 0, Format::R32G32B32_Float, 0, 0, InputClassification::PerVertexData, 0},
            {"NORMAL", 0, Format::R32G32B32_Float, 0, 12, InputClassification::PerVertexData, 0},
            {"TEXCOORD", 0, Format::R32G32_Float, 0, 24, InputClassification::PerVertexData, 0},
        };
        Ref<IInputLayout> layout;
        ASSERT_EQ(
            device->CreateInputLayout(elements, 3, kVertexShader.data(), kVertexShader.size(), layout.Put()),
            kS_OK);
        context->VSSetShader(vs.Get());
        context->PSSetShader(ps.Get());
        context->IASetInputLayout(layout.Get());
        context->IASetPrimitiveTopology(PrimitiveTopology::TriangleStrip);
        UseSampler(Filter::MinMagMipLinear, 0.0f);

        BufferDesc constantDesc{192, Usage::Default, kBindConstantBuffer, 0, 0, 0};
        ASSERT_EQ(device->CreateBuffer(&constantDesc, nullptr, constants.Put()), kS_OK);
        IBuffer* const buffers[] = {constants.Get()};
        context->VSSetConstantBuffers(0, 1, buffers);
        SetWorld(kIdentity);
    }

    void UseSampler(Filter filter, float minLod) {
        const SamplerDesc desc{filter,
                               TextureAddressMode::Wrap,
                               TextureAddressMode::Wrap,
                               TextureAddressMode::Wrap,
                               0.0f,
                               0,
                               ComparisonFunc::Never,
                               {0, 0, 0, 0},
                               minLod,
                               kFloat32Max};
        Ref<ISamplerState> sampler;
        ASSERT_EQ(device->CreateSamplerState(&desc, sampler.Put()), kS_OK);
        ISamplerState* const samplers[] = {sampler.Get()};
        context->PSSetSamplers(0, 1, samplers);
    }

    // World transposed, then identity View and Projection: the constant buffer's 192 bytes.
    void SetWorld(const Matrix& world) {
        std::array<float, 48> bytes{};
        for (int row = 0; row < 4; ++row) {
            for (int column = 0; column < 4; ++column)
                bytes[row * 4 + column] = world[column * 4 + row];
        }
        std::memcpy(&bytes[16], kIdentity.data(), 64);
        std::memcpy(&bytes[32], kIdentity.data(), 64);
        context->UpdateSubresource(constants.Get(), 0, nullptr, bytes.data(), 0, 0);
    }

    void Clear(const float (&color)[4]) {
        context->ClearRenderTargetView(renderTarget.Get(), color);
        context->ClearDepthStencilView(depthView.Get(), kClearDepth | kClearStencil, 1.0f, 0);
    }

    // Uploads the vertices and 16-bit indices and binds them.
    void SetGeometry(const std::vector<Vertex>& vertices, const std::vector<std::uint16_t>& indices) {
        BufferDesc vbDesc{static_cast<std::uint32_t>(vertices.size() * sizeof(Vertex)),
                          Usage::Default,
                          kBindVertexBuffer,
                          0,
                          0,
                          0};
        const SubresourceData vbData{vertices.data(), 0, 0};
        Ref<IBuffer> vb;
        ASSERT_EQ(device->CreateBuffer(&vbDesc, &vbData, vb.Put()), kS_OK);
        BufferDesc ibDesc{
            static_cast<std::uint32_t>(indices.size() * 2), Usage::Default, kBindIndexBuffer, 0, 0, 0};
        const SubresourceData ibData{indices.data(), 0, 0};
        Ref<IBuffer> ib;
        ASSERT_EQ(device->CreateBuffer(&ibDesc, &ibData, ib.Put()), kS_OK);
        IBuffer* const vbs[] = {vb.Get()};
        const std::uint32_t stride = sizeof(Vertex);
        const std::uint32_t offset = 0;
        context->IASetVertexBuffers(0, 1, vbs, &stride, &offset);
        context->IASetIndexBuffer(ib.Get(), Format::R16_UInt, 0);
    }

    // Binds a texture through a view; the texture's own reference is dropped, the view keeps it alive.
    void SetTexture(const Texture2DDesc& desc, const std::vector<SubresourceData>& data,
                    const ShaderResourceViewDesc* viewDesc = nullptr) {
        Ref<ITexture2D> texture;
        ASSERT_EQ(device->CreateTexture2D(&desc, data.data(), texture.Put()), kS_OK);
        Ref<IShaderResourceView> view;
        ASSERT_EQ(device->CreateShaderResourceView(texture.Get(), viewDesc, view.Put()), kS_OK);
        IShaderResourceView* const views[] = {view.Get()};
        context->PSSetShaderResources(0, 1, views);
    }

    void SetSolidTexture(Rgba color) {
        const std::array<std::uint8_t, 4> texel = color;
        SetTexture(
            Texture2DDesc{
                1, 1, 1, 1, Format::R8G8B8A8_UNorm, {1, 0}, Usage::Immutable, kBindShaderResource, 0, 0},
            {{texel.data(), 4, 0}});
    }

    PresentedImage PresentAndRead() {
        EXPECT_EQ(swapChain->Present(0, 0), kS_OK);
        PresentedImage image;
        EXPECT_EQ(swapChain->ReadPresentedImage(&image), kS_OK);
        EXPECT_EQ(image.width, kSize);
        EXPECT_EQ(image.height, kSize);
        return image;
    }

    // The pixel at (x, y), counted from the top left.
    static Rgba Pixel(const PresentedImage& image, std::uint32_t x, std::uint32_t y) {
        const std::uint8_t* p = &image.rgba[(y * image.width + x) * 4];
        return {p[0], p[1], p[2], p[3]};
    }

    EglHeadlessContext glContext;
    OpenGLFactory factory;
    Ref<ISwapChain> swapChain;
    Ref<IDevice> device;
    Ref<IDeviceContext> context;
    Ref<IRenderTargetView> renderTarget;
    Ref<IDepthStencilView> depthView;
    Ref<IBuffer> constants;
};

constexpr float kBlack[4] = {0, 0, 0, 1};
constexpr Rgba kBlackPixel = {0, 0, 0, 255};
constexpr Rgba kRed = {255, 0, 0, 255};
constexpr Rgba kGreen = {0, 255, 0, 255};

using OpenGLDevice = GLHarness;

TEST_F(OpenGLDevice, DriverTypesMapToOpenGLDrivers) {
    EXPECT_EQ(device->GetFeatureLevel(), FeatureLevel::Level11_0);
    SwapChainDesc desc{};
    desc.bufferCount = 1;
    desc.bufferDesc = {8, 8, {60, 1}, Format::R8G8B8A8_UNorm, {}, {}};
    desc.sampleDesc.count = 1;
    EglHeadlessContext other;
    desc.outputWindow = &other;
    IDevice* none = nullptr;
    for (const DriverType driver : {DriverType::Reference, DriverType::Null}) {
        EXPECT_EQ(factory.CreateDeviceAndSwapChain(driver, 0, nullptr, 0, kSdkVersion, &desc, nullptr, &none,
                                                   nullptr, nullptr),
                  kDXGI_ERROR_UNSUPPORTED);
        EXPECT_EQ(none, nullptr);
    }
    const FeatureLevel future[] = {FeatureLevel::Level11_1};
    EXPECT_EQ(factory.CreateDeviceAndSwapChain(DriverType::Warp, 0, future, 1, kSdkVersion, &desc, nullptr,
                                               &none, nullptr, nullptr),
              kDXGI_ERROR_UNSUPPORTED);
    desc.outputWindow = nullptr;
    EXPECT_EQ(factory.CreateDeviceAndSwapChain(DriverType::Warp, 0, nullptr, 0, kSdkVersion, &desc, nullptr,
                                               &none, nullptr, nullptr),
              kE_INVALIDARG);
}

TEST_F(OpenGLDevice, ClearColourIsWhatPresentShows) {
    PresentedImage image;
    EXPECT_EQ(swapChain->ReadPresentedImage(&image), kE_FAIL) << "nothing presented yet";
    const float color[4] = {0.25f, 0.5f, 0.75f, 1.0f};
    Clear(color);
    image = PresentAndRead();
    for (const auto& [x, y] : {std::pair{0u, 0u}, {63u, 0u}, {31u, 40u}, {63u, 63u}})
        EXPECT_EQ(Pixel(image, x, y), (Rgba{64, 128, 191, 255}));
}

TEST_F(OpenGLDevice, StripCutAt0xFFFFLeavesItsGapAndIgnoresTheBaseVertex) {
    // Two quads side by side in one strip, cut between them. The vertices sit after three unused ones,
    // reached through base vertex 3: the cut is recognised before the base vertex is added.
    std::vector<Vertex> vertices(3, Vertex{});
    for (const auto& quad : {Quad(-1.0f, -1.0f, -0.25f, 1.0f, 0.5f), Quad(0.25f, -1.0f, 1.0f, 1.0f, 0.5f)})
        vertices.insert(vertices.end(), quad.begin(), quad.end());
    SetGeometry(vertices, {0, 1, 2, 3, 0xFFFF, 4, 5, 6, 7});
    SetSolidTexture(kRed);
    Clear(kBlack);
    context->DrawIndexed(9, 0, 3);
    const PresentedImage image = PresentAndRead();
    EXPECT_EQ(Pixel(image, 8, 32), kRed);
    EXPECT_EQ(Pixel(image, 32, 32), kBlackPixel) << "the cut leaves a gap between the quads";
    EXPECT_EQ(Pixel(image, 56, 32), kRed);
}

TEST_F(OpenGLDevice, DrawsOnlyIndicesInsideTheIndexBuffer) {
    const auto quad = Quad(-1.0f, -1.0f, 0.0f, 1.0f, 0.5f);
    SetGeometry({quad.begin(), quad.end()}, {0, 1, 2, 3});
    SetSolidTexture(kRed);
    Clear(kBlack);
    context->DrawIndexed(1000000, 0, 0);    // runs past the four indices: cut short at the buffer's end
    context->DrawIndexed(4, 0x7FFFFFFF, 0); // starts past the end: nothing
    const PresentedImage image = PresentAndRead();
    EXPECT_EQ(Pixel(image, 16, 32), kRed);
    EXPECT_EQ(Pixel(image, 48, 32), kBlackPixel);
}

TEST_F(OpenGLDevice, BackFacesAreCulledAndDepthIsZeroToOne) {
    const auto front = Quad(-1.0f, -1.0f, 0.0f, 1.0f, 0.5f);
    const auto back = Quad(0.0f, -1.0f, 1.0f, 1.0f, 0.5f);
    // The right quad is listed top-left, bottom-left, top-right, bottom-right: counter-clockwise on screen.
    std::vector<Vertex> vertices = {front[0], front[1], front[2], front[3],
                                    back[1],  back[0],  back[3],  back[2]};
    const auto behindNear = Quad(-1.0f, -1.0f, 1.0f, 1.0f, -0.1f); // in front of the near plane: clipped
    vertices.insert(vertices.end(), behindNear.begin(), behindNear.end());
    SetGeometry(vertices, {0, 1, 2, 3, 0xFFFF, 4, 5, 6, 7, 0xFFFF, 8, 9, 10, 11});
    SetSolidTexture(kGreen);
    Clear(kBlack);
    context->DrawIndexed(14, 0, 0);
    const PresentedImage image = PresentAndRead();
    EXPECT_EQ(Pixel(image, 16, 32), kGreen);
    EXPECT_EQ(Pixel(image, 48, 32), kBlackPixel) << "counter-clockwise triangles face away and are culled";
}

TEST_F(OpenGLDevice, NearerSurfacesHideFartherOnes) {
    std::vector<Vertex> vertices;
    for (const auto& quad : {Quad(-1.0f, -1.0f, 1.0f, 1.0f, 0.3f), Quad(-1.0f, -1.0f, 0.0f, 1.0f, 0.2f),
                             Quad(0.0f, -1.0f, 1.0f, 1.0f, 0.6f)})
        vertices.insert(vertices.end(), quad.begin(), quad.end());
    SetGeometry(vertices, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11});
    Clear(kBlack);
    SetSolidTexture(kRed);
    context->DrawIndexed(4, 0, 0); // the whole square at depth 0.3
    SetSolidTexture(kGreen);
    context->DrawIndexed(4, 4, 0); // left half nearer, at 0.2: drawn
    context->DrawIndexed(4, 8, 0); // right half farther, at 0.6: hidden
    const PresentedImage image = PresentAndRead();
    EXPECT_EQ(Pixel(image, 16, 32), kGreen);
    EXPECT_EQ(Pixel(image, 48, 32), kRed);
}

TEST_F(OpenGLDevice, WorldMatrixFromTheConstantBufferMovesTheModel) {
    const auto quad = Quad(-0.25f, -0.25f, 0.25f, 0.25f, 0.5f);
    SetGeometry({quad.begin(), quad.end()}, {0, 1, 2, 3});
    SetSolidTexture(kRed);
    // Row-vector convention: the translation sits in the fourth row.
    Matrix world = kIdentity;
    world[12] = 0.5f;
    world[13] = 0.5f;
    SetWorld(world);
    Clear(kBlack);
    context->DrawIndexed(4, 0, 0);
    const PresentedImage image = PresentAndRead();
    EXPECT_EQ(Pixel(image, 32, 32), kBlackPixel);
    EXPECT_EQ(Pixel(image, 48, 16), kRed) << "moved right and up (y grows upward, row 0 is the top)";
}

struct TextureCase {
    const char* name;
    Format format;
    std::vector<std::uint8_t> block; // one 4 × 4 block, or 4 × 4 pixels
    std::uint32_t pitch;
    Rgba expected;
};

// Block-compressed blocks whose texels all have one colour: both endpoints the same, every index 0.
std::vector<std::uint8_t> Bc1Block(std::uint16_t rgb565) {
    return {static_cast<std::uint8_t>(rgb565),
            static_cast<std::uint8_t>(rgb565 >> 8),
            static_cast<std::uint8_t>(rgb565),
            static_cast<std::uint8_t>(rgb565 >> 8),
            0,
            0,
            0,
            0};
}

std::vector<std::uint8_t> Repeat(std::vector<std::uint8_t> pixel, int count) {
    std::vector<std::uint8_t> bytes;
    for (int i = 0; i < count; ++i)
        bytes.insert(bytes.end(), pixel.begin(), pixel.end());
    return bytes;
}

std::vector<TextureCase> TextureCases() {
    std::vector<std::uint8_t> bc2(8, 0x88); // explicit 4-bit alpha 8 → 136
    const auto colour = Bc1Block(0xF81F);   // magenta
    bc2.insert(bc2.end(), colour.begin(), colour.end());
    std::vector<std::uint8_t> bc3 = {200, 0, 0, 0, 0, 0, 0, 0}; // alpha endpoint 0 everywhere
    bc3.insert(bc3.end(), colour.begin(), colour.end());
    return {
        {"BC1", Format::BC1_UNorm, Bc1Block(0x07E0), 8, {0, 255, 0, 255}},
        {"BC2", Format::BC2_UNorm, bc2, 16, {255, 0, 255, 136}},
        {"BC3", Format::BC3_UNorm, bc3, 16, {255, 0, 255, 200}},
        {"RGBA", Format::R8G8B8A8_UNorm, Repeat({10, 20, 30, 255}, 16), 16, {10, 20, 30, 255}},
        {"BGRA", Format::B8G8R8A8_UNorm, Repeat({30, 20, 10, 255}, 16), 16, {10, 20, 30, 255}},
        {"BGRX", Format::B8G8R8X8_UNorm, Repeat({30, 20, 10, 0}, 16), 16, {10, 20, 30, 255}},
        {"BC4", Format::BC4_UNorm, {200, 0, 0, 0, 0, 0, 0, 0}, 8, {200, 0, 0, 255}},
        {"A8", Format::A8_UNorm, Repeat({77}, 16), 4, {0, 0, 0, 77}},
        {"B5G6R5", Format::B5G6R5_UNorm, Repeat({0x00, 0xF8}, 16), 8, {255, 0, 0, 255}},
        {"B5G5R5A1", Format::B5G5R5A1_UNorm, Repeat({0x1F, 0x80}, 16), 8, {0, 0, 255, 255}},
        {"B4G4R4A4", Format::B4G4R4A4_UNorm, Repeat({0xF0, 0xF0}, 16), 8, {0, 255, 0, 255}},
        {"R10G10B10A2",
         Format::R10G10B10A2_UNorm,
         Repeat({0xFF, 0x03, 0x00, 0xC0}, 16),
         16,
         {255, 0, 0, 255}},
    };
}

TEST_F(OpenGLDevice, TexturesSampleToTheirColours) {
    const auto quad = Quad(-1.0f, -1.0f, 1.0f, 1.0f, 0.5f);
    SetGeometry({quad.begin(), quad.end()}, {0, 1, 2, 3});
    for (const TextureCase& c : TextureCases()) {
        SetTexture(Texture2DDesc{4, 4, 1, 1, c.format, {1, 0}, Usage::Immutable, kBindShaderResource, 0, 0},
                   {{c.block.data(), c.pitch, 0}});
        Clear(kBlack);
        context->DrawIndexed(4, 0, 0);
        const PresentedImage image = PresentAndRead();
        EXPECT_EQ(Pixel(image, 20, 30), c.expected) << c.name;
    }
}

TEST_F(OpenGLDevice, ViewportsCountFromTheTopLeft) {
    const auto quad = Quad(-1.0f, -1.0f, 1.0f, 1.0f, 0.5f);
    SetGeometry({quad.begin(), quad.end()}, {0, 1, 2, 3});
    SetSolidTexture(kRed);
    Clear(kBlack);
    const Viewport topRight{32, 0, 32, 16, 0, 1};
    context->RSSetViewports(1, &topRight);
    context->DrawIndexed(4, 0, 0);
    const PresentedImage image = PresentAndRead();
    EXPECT_EQ(Pixel(image, 48, 8), kRed);
    EXPECT_EQ(Pixel(image, 48, 56), kBlackPixel);
    EXPECT_EQ(Pixel(image, 16, 8), kBlackPixel);
}

TEST_F(OpenGLDevice, TheFirstTexelRowIsTheTopOfTheImage) {
    const auto quad = Quad(-1.0f, -1.0f, 1.0f, 1.0f, 0.5f);
    SetGeometry({quad.begin(), quad.end()}, {0, 1, 2, 3});
    // Rows padded to 12 bytes: the pitch is honoured.
    const std::vector<std::uint8_t> texels = {255, 0, 0,   255, 0,   255, 0,   255, 9, 9, 9, 9,
                                              0,   0, 255, 255, 255, 255, 255, 255, 9, 9, 9, 9};
    SetTexture(
        Texture2DDesc{2, 2, 1, 1, Format::R8G8B8A8_UNorm, {1, 0}, Usage::Default, kBindShaderResource, 0, 0},
        {{texels.data(), 12, 0}});
    UseSampler(Filter::MinMagMipPoint, 0.0f);
    Clear(kBlack);
    context->DrawIndexed(4, 0, 0);
    const PresentedImage image = PresentAndRead();
    EXPECT_EQ(Pixel(image, 8, 8), kRed);
    EXPECT_EQ(Pixel(image, 56, 8), kGreen);
    EXPECT_EQ(Pixel(image, 8, 56), (Rgba{0, 0, 255, 255}));
    EXPECT_EQ(Pixel(image, 56, 56), (Rgba{255, 255, 255, 255}));
}

TEST_F(OpenGLDevice, MipLevelsAreChosenByViewAndSampler) {
    const auto quad = Quad(-1.0f, -1.0f, 1.0f, 1.0f, 0.5f);
    SetGeometry({quad.begin(), quad.end()}, {0, 1, 2, 3});
    const auto level0 = Repeat({255, 0, 0, 255}, 16);
    const auto level1 = Repeat({0, 255, 0, 255}, 4);
    const auto level2 = Repeat({0, 0, 255, 255}, 1);
    const std::vector<SubresourceData> data = {
        {level0.data(), 16, 0}, {level1.data(), 8, 0}, {level2.data(), 4, 0}};
    const Texture2DDesc desc{
        4, 4, 3, 1, Format::R8G8B8A8_UNorm, {1, 0}, Usage::Immutable, kBindShaderResource, 0, 0};

    SetTexture(desc, data);
    UseSampler(Filter::MinMagMipPoint, 1.0f); // magnified, but no level above 1 may be used
    Clear(kBlack);
    context->DrawIndexed(4, 0, 0);
    EXPECT_EQ(Pixel(PresentAndRead(), 32, 32), kGreen);

    ShaderResourceViewDesc lastLevel{};
    lastLevel.format = Format::R8G8B8A8_UNorm;
    lastLevel.viewDimension = SrvDimension::Texture2D;
    lastLevel.texture2D = {2, 1};
    SetTexture(desc, data, &lastLevel);
    UseSampler(Filter::MinMagMipLinear, 0.0f);
    Clear(kBlack);
    context->DrawIndexed(4, 0, 0);
    EXPECT_EQ(Pixel(PresentAndRead(), 32, 32), (Rgba{0, 0, 255, 255}));
}

TEST_F(OpenGLDevice, ArrayAndCubeViewsSampleTheirSlicesAndFaces) {
    const auto quad = Quad(-1.0f, -1.0f, 1.0f, 1.0f, 0.5f);
    SetGeometry({quad.begin(), quad.end()}, {0, 1, 2, 3});
    // Six 1 × 1 slices: red, green, blue, white, grey, yellow.
    const std::vector<Rgba> colours = {
        kRed, kGreen, {0, 0, 255, 255}, {255, 255, 255, 255}, {128, 128, 128, 255}, {255, 255, 0, 255}};
    std::vector<SubresourceData> slices;
    for (const Rgba& colour : colours)
        slices.push_back({colour.data(), 4, 0});
    const auto drawWith = [&](std::string_view pixelShader) {
        Ref<IPixelShader> ps;
        EXPECT_EQ(device->CreatePixelShader(pixelShader.data(), pixelShader.size(), ps.Put()), kS_OK);
        context->PSSetShader(ps.Get());
        Clear(kBlack);
        context->DrawIndexed(4, 0, 0);
        return Pixel(PresentAndRead(), 32, 32);
    };

    SetTexture(
        Texture2DDesc{
            1, 1, 1, 6, Format::R8G8B8A8_UNorm, {1, 0}, Usage::Immutable, kBindShaderResource, 0, 0},
        slices);
    EXPECT_EQ(drawWith(R"(#version 420 core
layout(binding = 0) uniform sampler2DArray slices;
layout(location = 0) out vec4 color;
void main() { color = texture(slices, vec3(0.5, 0.5, 2.0)); })"),
              colours[2]);

    SetTexture(Texture2DDesc{1,
                             1,
                             1,
                             6,
                             Format::R8G8B8A8_UNorm,
                             {1, 0},
                             Usage::Immutable,
                             kBindShaderResource,
                             0,
                             kResourceMiscTextureCube},
               slices);
    // Faces in the order +X, -X, +Y, -Y, +Z, -Z.
    EXPECT_EQ(drawWith(R"(#version 420 core
layout(binding = 0) uniform samplerCube faces;
layout(location = 0) out vec4 color;
void main() { color = texture(faces, vec3(-1.0, 0.0, 0.0)); })"),
              colours[1]);
    EXPECT_EQ(drawWith(R"(#version 420 core
layout(binding = 0) uniform samplerCube faces;
layout(location = 0) out vec4 color;
void main() { color = texture(faces, vec3(0.0, 0.0, -1.0)); })"),
              colours[5]);
}

TEST_F(OpenGLDevice, RefusesWhatOpenGLCannotHoldOrWhatOverlaps) {
    const std::vector<std::uint8_t> bytes(64, 0);
    const SubresourceData shortPitch{bytes.data(), 4, 0}; // rows of 4 pixels need 16 bytes
    Texture2DDesc desc{4, 4, 1, 1, Format::R8G8B8A8_UNorm, {1, 0}, Usage::Immutable, kBindShaderResource,
                       0, 0};
    ITexture2D* texture = nullptr;
    EXPECT_EQ(device->CreateTexture2D(&desc, &shortPitch, &texture), kE_INVALIDARG);
    desc.format = Format::R8G8_B8G8_UNorm;
    const SubresourceData packed{bytes.data(), 8, 0};
    EXPECT_EQ(device->CreateTexture2D(&desc, &packed, &texture), kE_INVALIDARG);
    EXPECT_EQ(texture, nullptr);
    const std::string_view broken = "#version 420 core\nvoid main() { nonsense; }";
    IVertexShader* shader = nullptr;
    EXPECT_EQ(device->CreateVertexShader(broken.data(), broken.size(), &shader), kE_INVALIDARG);
    EXPECT_EQ(shader, nullptr);
}

} // namespace
} // namespace tavro::gpu::opengl
