// Frame time of the OpenGL backend on this machine's driver (llvmpipe where there is no GPU): a 1280 × 960
// frame of a 100k-triangle textured strip mesh, cleared, drawn, presented and read back (the read-back
// makes the software rasterizer finish the frame). Argument 1 runs with the allocator tuned as the
// programs tune it at start-up, 0 with glibc's default trim threshold.
#include "gpu/Ref.h"
#include "gpu/opengl/AllocatorTuning.h"
#include "gpu/opengl/EglHeadlessContext.h"
#include "gpu/opengl/OpenGLFactory.h"

#include <benchmark/benchmark.h>

#include <algorithm>

#include <cstdlib>
#include <string_view>
#include <vector>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace {

using namespace tavro::gpu;

constexpr std::string_view kVertexShader = R"(#version 420 core
layout(std140, binding = 0) uniform ConstantBuffer { mat4 World; mat4 View; mat4 Projection; };
layout(location = 0) in vec3 POSITION;
layout(location = 2) in vec2 TEXCOORD;
out vec2 uv;
void main() { gl_Position = vec4(POSITION, 1.0) * World * View * Projection; uv = TEXCOORD; })";

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

constexpr std::uint32_t kWidth = 1280;
constexpr std::uint32_t kHeight = 960;
constexpr std::uint32_t kGrid = 224; // 224 × 224 quads, two triangles each: 100,352 triangles

void BM_OpenGLFrame100kTriangles(benchmark::State& state) {
#if defined(__GLIBC__)
    if (state.range(0) == 0)
        mallopt(M_TRIM_THRESHOLD, 128 * 1024);
    else
#endif
        opengl::TuneAllocatorForSoftwareRendering();

    opengl::EglHeadlessContext glContext;
    opengl::OpenGLFactory factory;
    SwapChainDesc desc{};
    desc.bufferCount = 1;
    desc.bufferDesc = {kWidth, kHeight, {60, 1}, Format::R8G8B8A8_UNorm, {}, {}};
    desc.sampleDesc.count = 1;
    desc.outputWindow = &glContext;
    Ref<ISwapChain> swapChain;
    Ref<IDevice> device;
    Ref<IDeviceContext> context;
    if (tavro::Failed(factory.CreateDeviceAndSwapChain(DriverType::Warp, 0, nullptr, 0, kSdkVersion, &desc,
                                                       swapChain.Put(), device.Put(), nullptr,
                                                       context.Put()))) {
        state.SkipWithError("no OpenGL device");
        return;
    }
    Ref<ITexture2D> backBuffer;
    swapChain->GetBuffer(0, backBuffer.Put());
    Ref<IRenderTargetView> target;
    device->CreateRenderTargetView(backBuffer.Get(), nullptr, target.Put());
    const Texture2DDesc depthDesc{kWidth,         kHeight,           1, 1, Format::D24_UNorm_S8_UInt, {1, 0},
                                  Usage::Default, kBindDepthStencil, 0, 0};
    Ref<ITexture2D> depthTexture;
    device->CreateTexture2D(&depthDesc, nullptr, depthTexture.Put());
    Ref<IDepthStencilView> depthView;
    device->CreateDepthStencilView(depthTexture.Get(), nullptr, depthView.Put());
    IRenderTargetView* const targets[] = {target.Get()};
    context->OMSetRenderTargets(1, targets, depthView.Get());
    const Viewport viewport{0, 0, kWidth, kHeight, 0, 1};
    context->RSSetViewports(1, &viewport);

    Ref<IVertexShader> vs;
    Ref<IPixelShader> ps;
    device->CreateVertexShader(kVertexShader.data(), kVertexShader.size(), vs.Put());
    device->CreatePixelShader(kPixelShader.data(), kPixelShader.size(), ps.Put());
    const InputElementDesc elements[] = {
        {"POSITION", 0, Format::R32G32B32_Float, 0, 0, InputClassification::PerVertexData, 0},
        {"NORMAL", 0, Format::R32G32B32_Float, 0, 12, InputClassification::PerVertexData, 0},
        {"TEXCOORD", 0, Format::R32G32_Float, 0, 24, InputClassification::PerVertexData, 0},
    };
    Ref<IInputLayout> layout;
    device->CreateInputLayout(elements, 3, kVertexShader.data(), kVertexShader.size(), layout.Put());
    context->VSSetShader(vs.Get());
    context->PSSetShader(ps.Get());
    context->IASetInputLayout(layout.Get());
    context->IASetPrimitiveTopology(PrimitiveTopology::TriangleStrip);

    // A grid over most of the view: one strip per row, the rows cut apart, all in one draw.
    std::vector<Vertex> vertices;
    for (std::uint32_t y = 0; y <= kGrid; ++y) {
        for (std::uint32_t x = 0; x <= kGrid; ++x) {
            const float u = static_cast<float>(x) / kGrid;
            const float v = static_cast<float>(y) / kGrid;
            vertices.push_back({{u * 1.8f - 0.9f, 0.9f - v * 1.8f, 0.5f}, {}, {u * 4, v * 4}});
        }
    }
    std::vector<std::uint16_t> indices;
    for (std::uint32_t y = 0; y < kGrid; ++y) {
        for (std::uint32_t x = 0; x <= kGrid; ++x) {
            indices.push_back(static_cast<std::uint16_t>((y + 1) * (kGrid + 1) + x));
            indices.push_back(static_cast<std::uint16_t>(y * (kGrid + 1) + x));
        }
        indices.push_back(0xFFFF);
    }
    const BufferDesc vbDesc{static_cast<std::uint32_t>(vertices.size() * sizeof(Vertex)),
                            Usage::Immutable,
                            kBindVertexBuffer,
                            0,
                            0,
                            0};
    const SubresourceData vbData{vertices.data(), 0, 0};
    Ref<IBuffer> vb;
    device->CreateBuffer(&vbDesc, &vbData, vb.Put());
    const BufferDesc ibDesc{
        static_cast<std::uint32_t>(indices.size() * 2), Usage::Immutable, kBindIndexBuffer, 0, 0, 0};
    const SubresourceData ibData{indices.data(), 0, 0};
    Ref<IBuffer> ib;
    device->CreateBuffer(&ibDesc, &ibData, ib.Put());
    IBuffer* const vbs[] = {vb.Get()};
    const std::uint32_t stride = sizeof(Vertex);
    const std::uint32_t offset = 0;
    context->IASetVertexBuffers(0, 1, vbs, &stride, &offset);
    context->IASetIndexBuffer(ib.Get(), Format::R16_UInt, 0);

    std::vector<std::uint8_t> texels(256 * 256 * 4);
    for (std::size_t i = 0; i < texels.size(); ++i)
        texels[i] = static_cast<std::uint8_t>(i * 7);
    const Texture2DDesc textureDesc{
        256, 256, 1, 1, Format::R8G8B8A8_UNorm, {1, 0}, Usage::Immutable, kBindShaderResource, 0, 0};
    const SubresourceData textureData{texels.data(), 256 * 4, 0};
    Ref<ITexture2D> texture;
    device->CreateTexture2D(&textureDesc, &textureData, texture.Put());
    Ref<IShaderResourceView> view;
    device->CreateShaderResourceView(texture.Get(), nullptr, view.Put());
    IShaderResourceView* const views[] = {view.Get()};
    context->PSSetShaderResources(0, 1, views);
    const SamplerDesc samplerDesc{Filter::MinMagMipLinear,
                                  TextureAddressMode::Wrap,
                                  TextureAddressMode::Wrap,
                                  TextureAddressMode::Wrap,
                                  0,
                                  0,
                                  ComparisonFunc::Never,
                                  {0, 0, 0, 0},
                                  0,
                                  kFloat32Max};
    Ref<ISamplerState> sampler;
    device->CreateSamplerState(&samplerDesc, sampler.Put());
    ISamplerState* const samplers[] = {sampler.Get()};
    context->PSSetSamplers(0, 1, samplers);

    const BufferDesc constantDesc{192, Usage::Default, kBindConstantBuffer, 0, 0, 0};
    Ref<IBuffer> constants;
    device->CreateBuffer(&constantDesc, nullptr, constants.Put());
    IBuffer* const constantBuffers[] = {constants.Get()};
    context->VSSetConstantBuffers(0, 1, constantBuffers);
    float matrices[48] = {};
    for (int m = 0; m < 3; ++m) {
        for (int i = 0; i < 4; ++i)
            matrices[m * 16 + i * 5] = 1.0f;
    }

    const float black[4] = {0, 0, 0, 1};
    PresentedImage image;
    for (auto _ : state) {
        context->ClearRenderTargetView(target.Get(), black);
        context->ClearDepthStencilView(depthView.Get(), kClearDepth, 1.0f, 0);
        context->UpdateSubresource(constants.Get(), 0, nullptr, matrices, 0, 0);
        context->DrawIndexed(static_cast<std::uint32_t>(indices.size()), 0, 0);
        swapChain->Present(0, 0);
        swapChain->ReadPresentedImage(&image);
        benchmark::DoNotOptimize(image.rgba.data());
    }
    state.counters["triangles"] = static_cast<double>(kGrid) * kGrid * 2;
}
// Five repetitions; the "best" row is the fastest of them.
BENCHMARK(BM_OpenGLFrame100kTriangles)
    ->ArgName("tunedAllocator")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(5)
    ->ReportAggregatesOnly(true)
    ->ComputeStatistics("best",
                        [](const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); });

} // namespace
