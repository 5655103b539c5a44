// InitDevice through the recording backend: the calls and their arguments, the driver fallback, each
// failure and what it leaves, and the release order of RendererState's destructor.
#include "tests/render/RenderTestData.h"

#include <gtest/gtest.h>

#include <string_view>
#include <vector>

namespace tavro::rendertest {
namespace {

using namespace gpu;
using namespace gpu::recording;

const std::vector<std::string_view> kInitCalls = {
    "CreateDeviceAndSwapChain", "GetBuffer",          "CreateRenderTargetView",
    "RSSetViewports",           "CreateTexture2D",    "CreateDepthStencilView",
    "OMSetRenderTargets",       "CreateSamplerState", "PSSetSamplers",
    "CreateVertexShader",       "VSSetShader",        "CreateInputLayout",
    "IASetInputLayout",         "CreatePixelShader",  "PSSetShader",
    "IASetPrimitiveTopology",
};

TEST(InitDevice, MakesAndBindsTheFixedPipelineOnce) {
    RecordingRenderer renderer;
    renderer.clientSize = {640, 480};
    ASSERT_TRUE(renderer.Init());
    const Recorder& log = renderer.recorder;
    EXPECT_EQ(log.Names(true), kInitCalls);

    const CreateDeviceAndSwapChainArgs* create = log.CallsOf<CreateDeviceAndSwapChainArgs>().at(0);
    EXPECT_EQ(create->driverType, DriverType::Hardware);
    EXPECT_EQ(create->flags, 0u);
    EXPECT_EQ(create->featureLevels,
              (std::vector{FeatureLevel::Level11_0, FeatureLevel::Level10_1, FeatureLevel::Level10_0}));
    EXPECT_EQ(create->sdkVersion, 7u);
    const SwapChainDesc& chain = create->desc;
    EXPECT_EQ(chain.bufferCount, 1u);
    EXPECT_EQ(chain.bufferDesc.width, 640u);
    EXPECT_EQ(chain.bufferDesc.height, 480u);
    EXPECT_EQ(chain.bufferDesc.format, Format::R8G8B8A8_UNorm);
    EXPECT_EQ(chain.bufferDesc.refreshRate.numerator, 60u);
    EXPECT_EQ(chain.bufferDesc.refreshRate.denominator, 1u);
    EXPECT_EQ(chain.bufferUsage, kUsageRenderTargetOutput);
    EXPECT_EQ(chain.outputWindow, FakeWindow());
    EXPECT_EQ(chain.sampleDesc.count, 1u);
    EXPECT_TRUE(chain.windowed);
    EXPECT_EQ(chain.swapEffect, SwapEffect::Discard);

    const Viewport& viewport = log.CallsOf<RSSetViewportsArgs>().at(0)->viewports.at(0);
    EXPECT_EQ(viewport.width, 640.0f);
    EXPECT_EQ(viewport.height, 480.0f);
    EXPECT_EQ(viewport.minDepth, 0.0f);
    EXPECT_EQ(viewport.maxDepth, 1.0f);

    const Texture2DDesc& depth = log.CallsOf<CreateTexture2DArgs>().at(0)->desc;
    EXPECT_EQ(depth.width, 640u);
    EXPECT_EQ(depth.height, 480u);
    EXPECT_EQ(depth.format, Format::D24_UNorm_S8_UInt);
    EXPECT_EQ(depth.bindFlags, kBindDepthStencil);
    EXPECT_TRUE(log.CallsOf<CreateTexture2DArgs>().at(0)->initialData.empty());
    const CreateDepthStencilViewArgs* depthView = log.CallsOf<CreateDepthStencilViewArgs>().at(0);
    EXPECT_EQ(depthView->desc.viewDimension, DsvDimension::Texture2D);
    EXPECT_EQ(depthView->desc.format, Format::D24_UNorm_S8_UInt);

    const SamplerDesc& sampler = log.CallsOf<CreateSamplerStateArgs>().at(0)->desc;
    EXPECT_EQ(sampler.filter, Filter::MinMagMipLinear);
    EXPECT_EQ(sampler.addressU, TextureAddressMode::Wrap);
    EXPECT_EQ(sampler.addressV, TextureAddressMode::Wrap);
    EXPECT_EQ(sampler.addressW, TextureAddressMode::Wrap);
    EXPECT_EQ(sampler.comparisonFunc, ComparisonFunc::Never);
    EXPECT_EQ(sampler.maxLod, kFloat32Max);

    const std::vector<InputElement>& elements = log.CallsOf<CreateInputLayoutArgs>().at(0)->elements;
    ASSERT_EQ(elements.size(), 3u);
    EXPECT_EQ(elements[0].semanticName, "POSITION");
    EXPECT_EQ(elements[0].format, Format::R32G32B32_Float);
    EXPECT_EQ(elements[0].alignedByteOffset, 0u);
    EXPECT_EQ(elements[1].semanticName, "NORMAL");
    EXPECT_EQ(elements[1].alignedByteOffset, 12u);
    EXPECT_EQ(elements[2].semanticName, "TEXCOORD");
    EXPECT_EQ(elements[2].format, Format::R32G32_Float);
    EXPECT_EQ(elements[2].alignedByteOffset, 24u);
    // The layout is checked against the vertex shader's own bytes.
    EXPECT_EQ(log.CallsOf<CreateInputLayoutArgs>().at(0)->bytecode,
              log.CallsOf<CreateVertexShaderArgs>().at(0)->bytecode);
    EXPECT_FALSE(log.CallsOf<CreatePixelShaderArgs>().at(0)->bytecode.empty());

    EXPECT_EQ(log.CallsOf<IASetPrimitiveTopologyArgs>().at(0)->topology, PrimitiveTopology::TriangleStrip);
    const OMSetRenderTargetsArgs* targets = log.CallsOf<OMSetRenderTargetsArgs>().at(0);
    EXPECT_EQ(targets->renderTargets, std::vector{log.CallsOf<CreateRenderTargetViewArgs>().at(0)->view});
    EXPECT_EQ(targets->depthStencil, depthView->view);
}

TEST(InitDevice, ReleasesItsBackBufferReferenceOnceTheViewExists) {
    RecordingRenderer renderer;
    ASSERT_TRUE(renderer.Init());
    const ObjectId backBuffer = renderer.recorder.CallsOf<GetBufferArgs>().at(0)->buffer;
    std::vector<std::string_view> releasesOfBackBuffer;
    for (const CallRecord& call : renderer.recorder.Calls()) {
        if (call.target == backBuffer) {
            releasesOfBackBuffer.push_back(call.Name());
        }
    }
    EXPECT_EQ(releasesOfBackBuffer, std::vector<std::string_view>{"Release"});
}

TEST(InitDevice, FallsBackFromHardwareToWarpToReference) {
    for (std::uint32_t failing = 0; failing <= 3; ++failing) {
        SCOPED_TRACE(failing);
        RecordingRenderer renderer;
        for (std::uint32_t occurrence = 1; occurrence <= failing; ++occurrence) {
            renderer.recorder.FailCall("CreateDeviceAndSwapChain", occurrence, kE_FAIL);
        }
        EXPECT_EQ(renderer.Init(), failing < 3);
        std::vector<DriverType> tried;
        for (const CreateDeviceAndSwapChainArgs* create :
             renderer.recorder.CallsOf<CreateDeviceAndSwapChainArgs>()) {
            tried.push_back(create->driverType);
        }
        const std::vector<DriverType> all = {DriverType::Hardware, DriverType::Warp, DriverType::Reference};
        EXPECT_EQ(tried, std::vector(all.begin(), all.begin() + std::min(failing + 1, 3u)));
        if (failing == 3) {
            EXPECT_EQ(renderer.recorder.Names(true).size(), 3u);
            EXPECT_FALSE(renderer.state->device);
        }
    }
}

// Each failing step stops set-up right there and keeps what was made for the destructor, which then
// leaves nothing alive.
TEST(InitDevice, StopsAtEachFailingStepAndTheDestructorReleasesTheRest) {
    struct Case {
        std::string_view failing;
        bool samplerMade;
        bool vertexShaderMade;
    };
    const Case cases[] = {
        {"GetBuffer", false, false},          {"CreateRenderTargetView", false, false},
        {"CreateTexture2D", false, false},    {"CreateDepthStencilView", false, false},
        {"CreateSamplerState", false, false}, {"CreateVertexShader", true, false},
        {"CreateInputLayout", true, true},    {"CreatePixelShader", true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.failing);
        RecordingRenderer renderer;
        renderer.recorder.FailCall(c.failing, 1, kE_OUTOFMEMORY);
        EXPECT_FALSE(renderer.Init());
        const std::vector<std::string_view> names = renderer.recorder.Names(true);
        ASSERT_FALSE(names.empty());
        EXPECT_EQ(names.back(), c.failing);
        EXPECT_TRUE(renderer.state->device);
        EXPECT_TRUE(renderer.state->swapChain);
        EXPECT_EQ(bool(renderer.state->samplerState), c.samplerMade);
        EXPECT_EQ(bool(renderer.state->vertexShader), c.vertexShaderMade);
        EXPECT_FALSE(renderer.state->pixelShader);
        renderer.DestroyState();
        EXPECT_EQ(renderer.recorder.LiveObjectCount(), 0u) << renderer.recorder.LiveObjectsText();
    }
}

TEST(RendererStateDestructor, ReleasesTheModelFirstThenThePipelineInReverse) {
    RecordingRenderer renderer;
    ASSERT_TRUE(renderer.Init());
    ASSERT_TRUE(renderer.LoadModel(MakeQuadG1M(), MakeQuadrantG1T(0)));
    const Recorder& log = renderer.recorder;
    const auto buffers = log.CallsOf<CreateBufferArgs>();
    const auto views = log.CallsOf<CreateShaderResourceViewArgs>();
    const std::vector<ObjectId> expected = {
        buffers.at(2)->buffer, // constant
        buffers.at(1)->buffer, // index
        buffers.at(0)->buffer, // vertex
        views.at(0)->view,
        log.CallsOf<CreatePixelShaderArgs>().at(0)->shader,
        log.CallsOf<CreateInputLayoutArgs>().at(0)->layout,
        log.CallsOf<CreateVertexShaderArgs>().at(0)->shader,
        log.CallsOf<CreateSamplerStateArgs>().at(0)->sampler,
        log.CallsOf<CreateDepthStencilViewArgs>().at(0)->view,
        log.CallsOf<CreateTexture2DArgs>().at(0)->texture, // the depth buffer
        log.CallsOf<CreateRenderTargetViewArgs>().at(0)->view,
        log.CallsOf<CreateDeviceAndSwapChainArgs>().at(0)->swapChain,
        log.CallsOf<CreateDeviceAndSwapChainArgs>().at(0)->context,
        log.CallsOf<CreateDeviceAndSwapChainArgs>().at(0)->device,
    };
    renderer.recorder.ClearCalls();
    renderer.DestroyState();
    std::vector<ObjectId> released;
    for (const CallRecord& call : renderer.recorder.Calls()) {
        if (call.As<ReleaseArgs>() != nullptr) {
            released.push_back(call.target);
        }
    }
    EXPECT_EQ(released, expected);
    EXPECT_EQ(renderer.recorder.LiveObjectCount(), 0u) << renderer.recorder.LiveObjectsText();
}

} // namespace
} // namespace tavro::rendertest
