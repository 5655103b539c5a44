// CRenderModel's build through the recording backend: the calls in order, what each failure leaves,
// and loading from an archive.
#include "tests/render/RenderTestData.h"

#include "archive/BinArchive.h"
#include "authoring/ArchiveWriter.h"
#include "authoring/G1MWriter.h"
#include "file/MemoryFile.h"
#include "render/RenderModel.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string_view>
#include <vector>

namespace tavro::rendertest {
namespace {

using namespace gpu;
using namespace gpu::recording;

// A set-up renderer whose log starts after InitDevice.
struct ModelBuild {
    ModelBuild() {
        EXPECT_TRUE(renderer.Init());
        pipelineObjects = renderer.recorder.LiveObjectCount();
        renderer.recorder.ClearCalls();
    }

    // Builds a model from the bytes; the object is kept in `model` whatever the result.
    bool Build(const std::vector<std::uint8_t>& g1m, const std::vector<std::uint8_t>& g1t) {
        CReadOnlyMemoryFile modelFile(g1m.data(), static_cast<std::uint32_t>(g1m.size()), false);
        CReadOnlyMemoryFile textureFile(g1t.data(), static_cast<std::uint32_t>(g1t.size()), false);
        model = std::make_unique<CRenderModel>(*renderer.state);
        return model->Create(modelFile, textureFile);
    }

    RecordingRenderer renderer;
    std::unique_ptr<CRenderModel> model;
    std::size_t pipelineObjects = 0;
};

class RenderModelTest : public ::testing::Test, protected ModelBuild {};

TEST_F(RenderModelTest, CreatesTextureAndBuffersThenBindsThemOnce) {
    renderer.tick = 12345;
    ASSERT_TRUE(Build(MakeQuadG1M(), MakeQuadrantG1T(0)));
    const Recorder& log = renderer.recorder;
    const std::vector<std::string_view> expected = {
        "CreateTexture2D", "CreateShaderResourceView", "CreateBuffer",     "CreateBuffer",
        "CreateBuffer",    "IASetVertexBuffers",       "IASetIndexBuffer", "PSSetShaderResources"};
    EXPECT_EQ(log.Names(true), expected);
    EXPECT_EQ(model->GetStartTick(), 12345u);

    const Texture2DDesc& texture = log.CallsOf<CreateTexture2DArgs>().at(0)->desc;
    EXPECT_EQ(texture.width, 16u);
    EXPECT_EQ(texture.format, Format::R8G8B8A8_UNorm);
    EXPECT_EQ(texture.bindFlags, kBindShaderResource);

    const auto buffers = log.CallsOf<CreateBufferArgs>();
    const std::span<const CG1MVertex> vertices = model->GetModel()->ViewVertices();
    EXPECT_EQ(buffers[0]->desc.byteWidth, 4u * 32u);
    EXPECT_EQ(buffers[0]->desc.bindFlags, kBindVertexBuffer);
    ASSERT_EQ(buffers[0]->initialBytes.size(), 128u);
    EXPECT_EQ(std::memcmp(buffers[0]->initialBytes.data(), vertices.data(), 128), 0);
    EXPECT_EQ(buffers[1]->desc.byteWidth, 9u * 2u);
    EXPECT_EQ(buffers[1]->desc.bindFlags, kBindIndexBuffer);
    const std::uint8_t cutBytes[2] = {0xFF, 0xFF};
    EXPECT_EQ(std::memcmp(buffers[1]->initialBytes.data() + 8, cutBytes, 2), 0);
    EXPECT_EQ(buffers[2]->desc.byteWidth, 192u);
    EXPECT_EQ(buffers[2]->desc.bindFlags, kBindConstantBuffer);
    EXPECT_EQ(buffers[2]->desc.usage, Usage::Default);
    EXPECT_FALSE(buffers[2]->hasInitialData);

    const IASetVertexBuffersArgs* vertexBinding = log.CallsOf<IASetVertexBuffersArgs>().at(0);
    EXPECT_EQ(vertexBinding->buffers, std::vector{buffers[0]->buffer});
    EXPECT_EQ(vertexBinding->strides, std::vector{32u});
    EXPECT_EQ(vertexBinding->offsets, std::vector{0u});
    EXPECT_EQ(log.CallsOf<IASetIndexBufferArgs>().at(0)->buffer, buffers[1]->buffer);
    EXPECT_EQ(log.CallsOf<IASetIndexBufferArgs>().at(0)->format, Format::R16_UInt);
    EXPECT_EQ(log.CallsOf<PSSetShaderResourcesArgs>().at(0)->views,
              std::vector{log.CallsOf<CreateShaderResourceViewArgs>().at(0)->view});

    // Frames use these bindings as they are.
    renderer.recorder.ClearCalls();
    model->Render();
    model->Render();
    EXPECT_TRUE(log.CallsOf<IASetVertexBuffersArgs>().empty());
    EXPECT_TRUE(log.CallsOf<IASetIndexBufferArgs>().empty());
    EXPECT_TRUE(log.CallsOf<PSSetShaderResourcesArgs>().empty());
}

// Every failure returns false before anything is bound; destroying the model then leaves only the
// pipeline alive.
TEST(RenderModel, EachFailureBindsNothingAndLeavesItsObjectsToTheDestructor) {
    struct Case {
        const char* what;
        std::vector<std::uint8_t> g1m;
        std::vector<std::uint8_t> g1t;
        std::string_view failingCall;
        std::uint32_t occurrence;
        std::size_t callsMade; // device calls, reference counts aside
        bool modelMade;        // a rejected texture pack comes before the model is even made
    };
    const std::vector<std::uint8_t> quad = MakeQuadG1M();
    const std::vector<std::uint8_t> texture = MakeQuadrantG1T(0);
    std::vector<std::uint8_t> badTexture = texture;
    badTexture[0] ^= 0xFF;
    std::vector<std::uint8_t> badModel = quad;
    badModel.pop_back();
    const Case cases[] = {
        {"texture pack rejected", quad, badTexture, {}, 0, 0, false},
        {"model rejected", badModel, texture, {}, 0, 0, true},
        {"texture creation", quad, texture, "CreateTexture2D", 2, 1, true}, // the first made the depth buffer
        {"view creation", quad, texture, "CreateShaderResourceView", 1, 2, true},
        {"vertex buffer", quad, texture, "CreateBuffer", 1, 3, true},
        {"index buffer", quad, texture, "CreateBuffer", 2, 4, true},
        {"constant buffer", quad, texture, "CreateBuffer", 3, 5, true},
        {"no vertices", authoring::WriteG1M({}), texture, {}, 0, 3, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ModelBuild build;
        RecordingRenderer& renderer = build.renderer;
        if (!c.failingCall.empty()) {
            renderer.recorder.FailCall(c.failingCall, c.occurrence, kE_OUTOFMEMORY);
        }
        EXPECT_FALSE(build.Build(c.g1m, c.g1t));
        EXPECT_EQ(renderer.recorder.Names(true).size(), c.callsMade) << renderer.recorder.Text();
        EXPECT_TRUE(renderer.recorder.CallsOf<IASetVertexBuffersArgs>().empty());
        EXPECT_TRUE(renderer.recorder.CallsOf<PSSetShaderResourcesArgs>().empty());
        EXPECT_EQ(build.model->GetModel() != nullptr, c.modelMade);
        build.model.reset();
        EXPECT_EQ(renderer.recorder.LiveObjectCount(), build.pipelineObjects)
            << renderer.recorder.LiveObjectsText();
    }
}

TEST(RenderModel, LoadsFromArchiveEntriesAndFailsOnAnEntryThatWillNotExtract) {
    // 652 entries is a known index size: the model, the texture pack, then empty entries.
    const std::filesystem::path binPath =
        std::filesystem::path(::testing::TempDir()) / "render-model-test.bin";
    authoring::CArchiveWriter writer;
    ASSERT_TRUE(writer.Create(binPath));
    ASSERT_TRUE(writer.AddCompressed(MakeQuadG1M()));
    ASSERT_TRUE(writer.AddStored(MakeQuadrantG1T(6)));
    while (writer.GetEntryCount() < 652) {
        ASSERT_TRUE(writer.AddEmpty());
    }
    ASSERT_TRUE(writer.Finish()) << writer.GetError();
    CKOEIFile_BIN_OROCHIZ archive;
    ASSERT_TRUE(archive.Open(binPath.wstring().c_str(), 0));

    struct Case {
        std::uint32_t modelEntry, textureEntry;
        bool loads;
    };
    for (const Case& c : {Case{0, 1, true}, Case{5, 1, false}, Case{0, 5, false}, Case{0, 100000, false}}) {
        SCOPED_TRACE(testing::Message() << c.modelEntry << ", " << c.textureEntry);
        ModelBuild build;
        build.model = std::make_unique<CRenderModel>(*build.renderer.state);
        EXPECT_EQ(build.model->LoadFromArchive(archive, c.modelEntry, c.textureEntry), c.loads);
        EXPECT_EQ(build.renderer.recorder.CallsOf<IASetIndexBufferArgs>().size(), c.loads ? 1u : 0u);
        if (c.loads) {
            EXPECT_EQ(build.renderer.recorder.CallsOf<CreateTexture2DArgs>().at(0)->desc.format,
                      Format::BC1_UNorm);
        }
    }
    archive.Close();
    std::filesystem::remove(binPath);
    std::filesystem::remove(std::filesystem::path(binPath).replace_extension(".idx"));
}

} // namespace
} // namespace tavro::rendertest
