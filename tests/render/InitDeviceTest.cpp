// Device set-up and a model's build through the recording backend: every call with its arguments, the
// driver fallback, each failure and what it leaves, and the destructors' release order.
#include "tests/render/RenderTestData.h"

#include "render/RenderModel.h"

#include <gtest/gtest.h>

#include <cstring>
#include <regex>

namespace tavro::rendertest {
namespace {

using namespace gpu;
using namespace gpu::recording;

// The log as text, without the shader sizes, which follow the shader sources.
std::string Transcript(const Recorder& recorder) {
    return std::regex_replace(recorder.Text(), std::regex("length=[0-9]+"), "length=*");
}

TEST(InitDevice, SetsUpThePipelineAndAModelBuildBindsItsResourcesOnce) {
    RecordingRenderer renderer;
    renderer.clientSize = {640, 480};
    ASSERT_TRUE(renderer.Init());
    renderer.tick = 777;
    ASSERT_TRUE(renderer.LoadModel(MakeQuadG1M(), MakeQuadrantG1T(0)));
    EXPECT_EQ(renderer.state->currentModel->GetStartTick(), 777u);
    EXPECT_EQ(
        Transcript(renderer.recorder),
        "null CreateDeviceAndSwapChain(driverType=1 flags=0x0 featureLevels=[45056,41216,40960] sdk=7 "
        "width=640 height=480 format=28 bufferCount=1 bufferUsage=0x20 samples=1 windowed=1 swapChain=#4 "
        "device=#2 context=#1)\n"
        "#4 GetBuffer(index=0 buffer=#3)\n"
        "#2 CreateRenderTargetView(resource=#3 view=#5)\n"
        "#3 Release(count=2)\n"
        "#1 RSSetViewports(viewports=[0,0,640x480,0..1])\n"
        "#2 CreateTexture2D(width=640 height=480 mips=1 array=1 format=45 usage=0 bind=0x40 misc=0x0 "
        "subresources=0 texture=#6)\n"
        "#2 CreateDepthStencilView(resource=#6 format=45 dimension=3 flags=0x0 mipSlice=0 view=#7)\n"
        "#1 OMSetRenderTargets(renderTargets=[#5] depthStencil=#7)\n"
        "#2 CreateSamplerState(filter=0x15 addressU=1 addressV=1 addressW=1 mipLodBias=0 maxAnisotropy=0 "
        "comparison=1 border=[0,0,0,0] minLod=0 maxLod=3.40282347e+38 sampler=#8)\n"
        "#1 PSSetSamplers(startSlot=0 samplers=[#8])\n"
        "#2 CreateVertexShader(length=* shader=#9)\n"
        "#1 VSSetShader(shader=#9)\n"
        "#2 CreateInputLayout(elements=[POSITION0:6@0+0,NORMAL0:6@0+12,TEXCOORD0:16@0+24] length=* "
        "layout=#10)\n"
        "#1 IASetInputLayout(layout=#10)\n"
        "#2 CreatePixelShader(length=* shader=#11)\n"
        "#1 PSSetShader(shader=#11)\n"
        "#1 IASetPrimitiveTopology(topology=5)\n"
        "#2 CreateTexture2D(width=16 height=16 mips=1 array=1 format=28 usage=0 bind=0x8 misc=0x0 "
        "subresources=1 texture=#12)\n"
        "#2 CreateShaderResourceView(resource=#12 format=28 dimension=4 mostDetailedMip=0 mipLevels=1 "
        "first=0 count=0 view=#13)\n"
        "#12 Release(count=1)\n"
        "#2 CreateBuffer(byteWidth=128 usage=0 bind=0x1 cpu=0x0 misc=0x0 stride=0 initialData=1 buffer=#14)\n"
        "#2 CreateBuffer(byteWidth=18 usage=0 bind=0x2 cpu=0x0 misc=0x0 stride=0 initialData=1 buffer=#15)\n"
        "#2 CreateBuffer(byteWidth=192 usage=0 bind=0x4 cpu=0x0 misc=0x0 stride=0 initialData=0 "
        "buffer=#16)\n"
        "#1 IASetVertexBuffers(startSlot=0 buffers=[#14] strides=[32] offsets=[0])\n"
        "#1 IASetIndexBuffer(buffer=#15 format=57 offset=0)\n"
        "#1 PSSetShaderResources(startSlot=0 views=[#13])\n");
    // The draw arrays are uploaded as the model holds them.
    const auto buffers = renderer.recorder.CallsOf<CreateBufferArgs>();
    EXPECT_EQ(std::memcmp(buffers[0]->initialBytes.data(),
                          renderer.state->currentModel->GetModel()->ViewVertices().data(), 128),
              0);
    const std::vector<std::uint8_t> indexBytes = {0, 0, 1, 0, 2, 0, 3, 0, 0xFF, 0xFF, 1, 0, 0, 0, 3, 0, 2, 0};
    EXPECT_EQ(buffers[1]->initialBytes, indexBytes);

    // Destroying the state releases the model's objects, then the pipeline's in reverse order of creation.
    renderer.recorder.ClearCalls();
    renderer.DestroyState();
    std::vector<ObjectId> released;
    for (const CallRecord& call : renderer.recorder.Calls())
        released.push_back(call.As<ReleaseArgs>() != nullptr ? call.target : 0);
    EXPECT_EQ(released, (std::vector<ObjectId>{16, 15, 14, 13, 11, 10, 9, 8, 7, 6, 5, 4, 1, 2}));
    EXPECT_EQ(renderer.recorder.LiveObjectCount(), 0u) << renderer.recorder.LiveObjectsText();
}

TEST(InitDevice, FallsBackFromHardwareToWarpToReference) {
    const std::vector<DriverType> order = {DriverType::Hardware, DriverType::Warp, DriverType::Reference};
    for (std::uint32_t failing = 0; failing <= 3; ++failing) {
        SCOPED_TRACE(failing);
        RecordingRenderer renderer;
        for (std::uint32_t occurrence = 1; occurrence <= failing; ++occurrence) {
            renderer.recorder.FailCall("CreateDeviceAndSwapChain", occurrence, kE_FAIL);
        }
        EXPECT_EQ(renderer.Init(), failing < 3);
        std::vector<DriverType> tried;
        for (const auto* create : renderer.recorder.CallsOf<CreateDeviceAndSwapChainArgs>()) {
            tried.push_back(create->driverType);
        }
        EXPECT_EQ(tried, std::vector(order.begin(), order.begin() + std::min(failing + 1, 3u)));
        EXPECT_EQ(renderer.recorder.Names(true).size(), failing < 3 ? 16u + failing : 3u);
    }
}

// A failing step ends set-up right there, keeping what was made for the destructor, which leaves
// nothing alive. A refused render-target view still gives the back buffer reference back.
TEST(InitDevice, StopsAtEachFailingStepAndTheDestructorReleasesTheRest) {
    const std::string_view steps[] = {
        "GetBuffer",          "CreateRenderTargetView", "CreateTexture2D",   "CreateDepthStencilView",
        "CreateSamplerState", "CreateVertexShader",     "CreateInputLayout", "CreatePixelShader"};
    for (std::size_t step = 0; step < std::size(steps); ++step) {
        SCOPED_TRACE(steps[step]);
        RecordingRenderer renderer;
        renderer.recorder.FailCall(steps[step], 1, kE_OUTOFMEMORY);
        EXPECT_FALSE(renderer.Init());
        EXPECT_EQ(renderer.recorder.Names(true).back(), steps[step]);
        EXPECT_TRUE(renderer.state->device);
        EXPECT_EQ(bool(renderer.state->samplerState), step > 4);
        EXPECT_EQ(bool(renderer.state->vertexShader), step > 5);
        EXPECT_FALSE(renderer.state->pixelShader);
        if (step == 1) {
            EXPECT_NE(renderer.recorder.Calls().back().As<ReleaseArgs>(), nullptr);
        }
        renderer.DestroyState();
        EXPECT_EQ(renderer.recorder.LiveObjectCount(), 0u) << renderer.recorder.LiveObjectsText();
    }
}

} // namespace
} // namespace tavro::rendertest
