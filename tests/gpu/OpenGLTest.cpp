// Pixels drawn through the OpenGL backend on a headless EGL context, checked for what a person would see.
#include "gpu/Ref.h"
#include "gpu/opengl/EglHeadlessContext.h"
#include "gpu/opengl/OpenGLFactory.h"
#include "render/RendererState.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace tavro::gpu::opengl {
namespace {

constexpr std::uint32_t kSize = 64;

struct Vertex {
    float position[3];
    float normal[3];
    float uv[2];
};

using Rgba = std::array<std::uint8_t, 4>;
// A quad over [x0, x1] × [y0, y1] at depth z as a four-vertex strip, clockwise on screen (front facing):
// bottom-left, top-left, bottom-right, top-right; texture (0, 0) at the top left.
std::array<Vertex, 4> Quad(float x0, float y0, float x1, float y1, float z) {
    return {{{{x0, y0, z}, {}, {0, 1}},
             {{x0, y1, z}, {}, {0, 0}},
             {{x1, y0, z}, {}, {1, 1}},
             {{x1, y1, z}, {}, {1, 0}}}};
}

// The quads' vertices one after another, after `padding` unused ones.
std::vector<Vertex> Quads(std::initializer_list<std::array<Vertex, 4>> quads, std::size_t padding = 0) {
    std::vector<Vertex> vertices(padding, Vertex{});
    for (const auto& quad : quads)
        vertices.insert(vertices.end(), quad.begin(), quad.end());
    return vertices;
}

// A sampled 2D texture of one subresource per level and slice.
Texture2DDesc SampledDesc(std::uint32_t width, std::uint32_t height, Format format = Format::R8G8B8A8_UNorm,
                          std::uint32_t mips = 1, std::uint32_t arraySize = 1, std::uint32_t miscFlags = 0) {
    return {width, height,   mips, arraySize, format, {1, 0}, Usage::Immutable, kBindShaderResource,
            0,     miscFlags};
}

// The renderer's own fixed pipeline on a 64 × 64 target (depth 24 + stencil 8, viewport, linear-wrap
// sampler, its shaders, the 32-byte vertex layout, triangle strips), plus one 192-byte constant buffer.
// Where the world matrix moves a model shows in the renderer's frames (tests/render/RenderGlTest.cpp).
class GLHarness : public ::testing::Test {
protected:
    void SetUp() override {
        const RenderHost host{[] { return 0u; }, [] { return ClientSize{kSize, kSize}; }};
        ASSERT_TRUE(InitDevice(state, factory, static_cast<IGLContext*>(&glContext), host))
            << "no OpenGL 4.5 device on EGL: the gl tests need Mesa (libegl-mesa0, libgl1-mesa-dri)";
        device = state.device.Get();
        context = state.context.Get();
        swapChain = state.swapChain.Get();
        BufferDesc constantDesc{192, Usage::Default, kBindConstantBuffer, 0, 0, 0};
        ASSERT_EQ(device->CreateBuffer(&constantDesc, nullptr, constants.Put()), kS_OK);
        IBuffer* const buffers[] = {constants.Get()};
        context->VSSetConstantBuffers(0, 1, buffers);
        // World, view and projection all the identity: positions reach the target as given.
        std::array<float, 48> matrices{};
        for (int i = 0; i < 48; i += 16)
            matrices[i] = matrices[i + 5] = matrices[i + 10] = matrices[i + 15] = 1;
        context->UpdateSubresource(constants.Get(), 0, nullptr, matrices.data(), 0, 0);
    }

    void UsePixelShader(std::string_view source) {
        Ref<IPixelShader> ps;
        ASSERT_EQ(device->CreatePixelShader(source.data(), source.size(), ps.Put()), kS_OK);
        context->PSSetShader(ps.Get());
    }

    void UseSampler(Filter filter, float minLod) {
        constexpr auto kWrap = TextureAddressMode::Wrap;
        const SamplerDesc desc{filter, kWrap,  kWrap,      kWrap, 0.0f, 0, ComparisonFunc::Never,
                               {},     minLod, kFloat32Max};
        Ref<ISamplerState> sampler;
        ASSERT_EQ(device->CreateSamplerState(&desc, sampler.Put()), kS_OK);
        ISamplerState* const samplers[] = {sampler.Get()};
        context->PSSetSamplers(0, 1, samplers);
    }

    void Clear(const float (&color)[4]) {
        context->ClearRenderTargetView(state.renderTargetView.Get(), color);
        context->ClearDepthStencilView(state.depthStencilView.Get(), kClearDepth | kClearStencil, 1.0f, 0);
    }

    Ref<IBuffer> MakeBuffer(const void* bytes, std::size_t size, std::uint32_t bindFlags) {
        const BufferDesc desc{static_cast<std::uint32_t>(size), Usage::Default, bindFlags, 0, 0, 0};
        const SubresourceData data{bytes, 0, 0};
        Ref<IBuffer> buffer;
        EXPECT_EQ(device->CreateBuffer(&desc, &data, buffer.Put()), kS_OK);
        return buffer;
    }

    // Uploads the vertices and 16-bit indices and binds them; by default one quad over the whole target.
    void SetGeometry(const std::vector<Vertex>& vertices = Quads({Quad(-1.0f, -1.0f, 1.0f, 1.0f, 0.5f)}),
                     const std::vector<std::uint16_t>& indices = {0, 1, 2, 3}) {
        const Ref<IBuffer> vb =
            MakeBuffer(vertices.data(), vertices.size() * sizeof(Vertex), kBindVertexBuffer);
        const Ref<IBuffer> ib = MakeBuffer(indices.data(), indices.size() * 2, kBindIndexBuffer);
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

    void SetSolidTexture(Rgba color) { SetTexture(SampledDesc(1, 1), {{color.data(), 4, 0}}); }

    PresentedImage PresentAndRead() {
        EXPECT_EQ(swapChain->Present(0, 0), kS_OK);
        PresentedImage image;
        EXPECT_EQ(swapChain->ReadPresentedImage(&image), kS_OK);
        EXPECT_EQ(image.width, kSize);
        EXPECT_EQ(image.height, kSize);
        return image;
    }

    // One frame on black of the first indexCount indices.
    PresentedImage DrawOnBlack(std::uint32_t indexCount = 4) {
        Clear(kBlack);
        context->DrawIndexed(indexCount, 0, 0);
        return PresentAndRead();
    }

    // The pixel at (x, y), counted from the top left.
    static Rgba Pixel(const PresentedImage& image, std::uint32_t x, std::uint32_t y) {
        const std::uint8_t* p = &image.rgba[(y * image.width + x) * 4];
        return {p[0], p[1], p[2], p[3]};
    }

    static constexpr float kBlack[4] = {0, 0, 0, 1};
    EglHeadlessContext glContext; // outlives every object made on it
    OpenGLFactory factory;
    RendererState state;
    IDevice* device = nullptr;
    IDeviceContext* context = nullptr;
    ISwapChain* swapChain = nullptr;
    Ref<IBuffer> constants;
};

constexpr Rgba kBlackPixel = {0, 0, 0, 255};
constexpr Rgba kRed = {255, 0, 0, 255};
constexpr Rgba kGreen = {0, 255, 0, 255};
constexpr Rgba kBlue = {0, 0, 255, 255};
constexpr Rgba kWhite = {255, 255, 255, 255};

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

TEST_F(OpenGLDevice, ResizedTargetsAreDrawnWholeAtTheirNewSize) {
    const float color[4] = {0.0f, 1.0f, 0.0f, 1.0f};
    Clear(color);
    PresentAndRead();
    {
        // Someone still holds the back buffer: the swap chain refuses, the old targets are made again.
        Ref<ITexture2D> held;
        ASSERT_EQ(swapChain->GetBuffer(0, held.Put()), kS_OK);
        EXPECT_FALSE(ResizeRenderTargets(state, ClientSize{96, 32}));
        EXPECT_EQ(state.targetSize.width, kSize);
        ASSERT_TRUE(state.renderTargetView);
    }
    ASSERT_TRUE(ResizeRenderTargets(state, ClientSize{96, 32}));
    PresentedImage image;
    EXPECT_EQ(swapChain->ReadPresentedImage(&image), kE_FAIL) << "the old frame went with its buffer";
    SetSolidTexture(kRed);
    SetGeometry();
    Clear(kBlack);
    context->DrawIndexed(4, 0, 0);
    ASSERT_EQ(swapChain->Present(0, 0), kS_OK);
    ASSERT_EQ(swapChain->ReadPresentedImage(&image), kS_OK);
    ASSERT_EQ(image.width, 96u);
    ASSERT_EQ(image.height, 32u);
    // The viewport followed: the full-target quad reaches every corner.
    for (const auto& [x, y] : {std::pair{0u, 0u}, {95u, 0u}, {0u, 31u}, {95u, 31u}})
        EXPECT_EQ(Pixel(image, x, y), kRed) << x << "," << y;
}

TEST_F(OpenGLDevice, LooksDrawEdgesOnlyOrShadeByTheNormalAndTheFixedLookReturns) {
    SetSolidTexture(kWhite);
    // A quad over the whole target whose normal lies across the view: the headlight grazes it.
    std::vector<Vertex> vertices = Quads({Quad(-1.0f, -1.0f, 1.0f, 1.0f, 0.5f)});
    for (Vertex& vertex : vertices)
        vertex.normal[0] = 1.0f;
    SetGeometry(vertices);
    ViewOptions look;
    look.lit = true;
    ASSERT_TRUE(BindModelLook(state, look));
    PresentedImage image = DrawOnBlack();
    EXPECT_EQ(Pixel(image, 32, 32), (Rgba{64, 64, 64, 255})) << "a quarter of the light";

    look = {};
    look.wireframe = true;
    BindModelPipeline(state);
    ASSERT_TRUE(BindModelLook(state, look));
    SetGeometry(Quads({Quad(-0.7f, -0.7f, 0.7f, 0.7f, 0.5f)}));
    image = DrawOnBlack();
    EXPECT_EQ(Pixel(image, 32, 20), kBlackPixel) << "inside the quad: no fill";
    // Row 20 crosses the left and right edges and the diagonal: a few lit pixels, not a filled span.
    int edgePixels = 0;
    for (std::uint32_t x = 0; x < kSize; ++x)
        edgePixels += Pixel(image, x, 20) == kWhite ? 1 : 0;
    EXPECT_GE(edgePixels, 3);
    EXPECT_LE(edgePixels, 8);

    BindModelPipeline(state);
    image = DrawOnBlack();
    EXPECT_EQ(Pixel(image, 32, 20), kWhite) << "filled again";
}

TEST_F(OpenGLDevice, StripCutAt0xFFFFLeavesItsGapAndIgnoresTheBaseVertex) {
    // Two quads side by side in one strip, cut between them. The vertices sit after three unused ones,
    // reached through base vertex 3: the cut is recognised before the base vertex is added.
    SetGeometry(Quads({Quad(-1.0f, -1.0f, -0.25f, 1.0f, 0.5f), Quad(0.25f, -1.0f, 1.0f, 1.0f, 0.5f)}, 3),
                {0, 1, 2, 3, 0xFFFF, 4, 5, 6, 7});
    SetSolidTexture(kRed);
    Clear(kBlack);
    context->DrawIndexed(9, 0, 3);
    const PresentedImage image = PresentAndRead();
    EXPECT_EQ(Pixel(image, 8, 32), kRed);
    EXPECT_EQ(Pixel(image, 32, 32), kBlackPixel) << "the cut leaves a gap between the quads";
    EXPECT_EQ(Pixel(image, 56, 32), kRed);
}

TEST_F(OpenGLDevice, DrawsOnlyIndicesInsideTheIndexBuffer) {
    SetGeometry(Quads({Quad(-1.0f, -1.0f, 0.0f, 1.0f, 0.5f)}));
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
    const PresentedImage image = DrawOnBlack(14);
    EXPECT_EQ(Pixel(image, 16, 32), kGreen);
    EXPECT_EQ(Pixel(image, 48, 32), kBlackPixel) << "counter-clockwise triangles face away and are culled";
}

TEST_F(OpenGLDevice, NearerSurfacesHideFartherOnes) {
    SetGeometry(Quads({Quad(-1.0f, -1.0f, 1.0f, 1.0f, 0.3f), Quad(-1.0f, -1.0f, 0.0f, 1.0f, 0.2f),
                       Quad(0.0f, -1.0f, 1.0f, 1.0f, 0.6f)}),
                {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11});
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

// Block-compressed blocks whose texels all have one colour: both endpoints the same, every index 0.
std::vector<std::uint8_t> Bc1Block(std::uint16_t rgb565) {
    const auto low = static_cast<std::uint8_t>(rgb565), high = static_cast<std::uint8_t>(rgb565 >> 8);
    return {low, high, low, high, 0, 0, 0, 0};
}

std::vector<std::uint8_t> Repeat(std::vector<std::uint8_t> pixel, int count) {
    std::vector<std::uint8_t> bytes;
    for (int i = 0; i < count; ++i)
        bytes.insert(bytes.end(), pixel.begin(), pixel.end());
    return bytes;
}

TEST_F(OpenGLDevice, TexturesSampleToTheirColours) {
    struct Case {
        const char* name;
        Format format;
        std::vector<std::uint8_t> block; // one 4 × 4 block, or 4 × 4 pixels
        std::uint32_t pitch;
        Rgba expected;
    };
    std::vector<std::uint8_t> bc2(8, 0x88); // explicit 4-bit alpha 8 → 136
    const auto magenta = Bc1Block(0xF81F);
    bc2.insert(bc2.end(), magenta.begin(), magenta.end());
    std::vector<std::uint8_t> bc3 = {200, 0, 0, 0, 0, 0, 0, 0}; // alpha endpoint 0 everywhere
    bc3.insert(bc3.end(), magenta.begin(), magenta.end());
    const Case cases[] = {
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
        {"R10G10B10A2", Format::R10G10B10A2_UNorm, Repeat({0xFF, 0x03, 0, 0xC0}, 16), 16, {255, 0, 0, 255}},
    };
    SetGeometry();
    for (const Case& c : cases) {
        SetTexture(SampledDesc(4, 4, c.format), {{c.block.data(), c.pitch, 0}});
        EXPECT_EQ(Pixel(DrawOnBlack(), 20, 30), c.expected) << c.name;
    }
}

TEST_F(OpenGLDevice, ViewportsCountFromTheTopLeft) {
    SetGeometry();
    SetSolidTexture(kRed);
    const Viewport topRight{32, 0, 32, 16, 0, 1};
    context->RSSetViewports(1, &topRight);
    const PresentedImage image = DrawOnBlack();
    EXPECT_EQ(Pixel(image, 48, 8), kRed);
    EXPECT_EQ(Pixel(image, 48, 56), kBlackPixel);
    EXPECT_EQ(Pixel(image, 16, 8), kBlackPixel);
}

TEST_F(OpenGLDevice, TheFirstTexelRowIsTheTopOfTheImage) {
    SetGeometry();
    // Rows padded to 12 bytes: the pitch is honoured.
    const std::vector<std::uint8_t> texels = {255, 0, 0,   255, 0,   255, 0,   255, 9, 9, 9, 9,
                                              0,   0, 255, 255, 255, 255, 255, 255, 9, 9, 9, 9};
    Texture2DDesc desc = SampledDesc(2, 2);
    desc.usage = Usage::Default;
    SetTexture(desc, {{texels.data(), 12, 0}});
    UseSampler(Filter::MinMagMipPoint, 0.0f);
    const PresentedImage image = DrawOnBlack();
    EXPECT_EQ(Pixel(image, 8, 8), kRed);
    EXPECT_EQ(Pixel(image, 56, 8), kGreen);
    EXPECT_EQ(Pixel(image, 8, 56), kBlue);
    EXPECT_EQ(Pixel(image, 56, 56), kWhite);
}

TEST_F(OpenGLDevice, MipLevelsAreChosenByViewAndSampler) {
    SetGeometry();
    const auto level0 = Repeat({255, 0, 0, 255}, 16);
    const auto level1 = Repeat({0, 255, 0, 255}, 4);
    const std::vector<SubresourceData> data = {
        {level0.data(), 16, 0}, {level1.data(), 8, 0}, {kBlue.data(), 4, 0}};
    const Texture2DDesc desc = SampledDesc(4, 4, Format::R8G8B8A8_UNorm, 3);

    SetTexture(desc, data);
    UseSampler(Filter::MinMagMipPoint, 1.0f); // magnified, but no level above 1 may be used
    EXPECT_EQ(Pixel(DrawOnBlack(), 32, 32), kGreen);

    ShaderResourceViewDesc lastLevel{};
    lastLevel.format = Format::R8G8B8A8_UNorm;
    lastLevel.viewDimension = SrvDimension::Texture2D;
    lastLevel.texture2D = {2, 1};
    SetTexture(desc, data, &lastLevel);
    UseSampler(Filter::MinMagMipLinear, 0.0f);
    EXPECT_EQ(Pixel(DrawOnBlack(), 32, 32), kBlue);
}

TEST_F(OpenGLDevice, ArrayAndCubeViewsSampleTheirSlicesAndFaces) {
    SetGeometry();
    // Shaders that sample one slice or face whatever the vertex shader passes on.
    const std::vector<Rgba> colours = {kRed, kGreen, kBlue, kWhite, {128, 128, 128, 255}, {255, 255, 0, 255}};
    std::vector<SubresourceData> slices;
    for (const Rgba& colour : colours)
        slices.push_back({colour.data(), 4, 0});
    const auto sample = [&](const std::string& sampler, const std::string& coordinates) {
        UsePixelShader("#version 420 core\nlayout(binding = 0) uniform " + sampler +
                       " tx;\nlayout(location = 0) out vec4 color;\nvoid main() { color = texture(tx, " +
                       coordinates + "); }");
        return Pixel(DrawOnBlack(), 32, 32);
    };

    SetTexture(SampledDesc(1, 1, Format::R8G8B8A8_UNorm, 1, 6), slices);
    EXPECT_EQ(sample("sampler2DArray", "vec3(0.5, 0.5, 2.0)"), colours[2]);
    SetTexture(SampledDesc(1, 1, Format::R8G8B8A8_UNorm, 1, 6, kResourceMiscTextureCube), slices);
    // Faces in the order +X, -X, +Y, -Y, +Z, -Z.
    EXPECT_EQ(sample("samplerCube", "vec3(-1.0, 0.0, 0.0)"), colours[1]);
    EXPECT_EQ(sample("samplerCube", "vec3(0.0, 0.0, -1.0)"), colours[5]);
}

TEST_F(OpenGLDevice, RefusesWhatOpenGLCannotHoldOrWhatOverlaps) {
    const std::vector<std::uint8_t> bytes(64, 0);
    const SubresourceData shortPitch{bytes.data(), 4, 0}; // rows of 4 pixels need 16 bytes
    Texture2DDesc desc = SampledDesc(4, 4);
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
