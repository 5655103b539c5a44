// What each failure of a model's build leaves, and loading a model from archive entries.
#include "tests/render/RenderTestData.h"

#include "archive/BinArchive.h"
#include "authoring/ArchiveWriter.h"
#include "authoring/G1MWriter.h"
#include "render/RenderModel.h"
#include "tests/TempDirectory.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace tavro::rendertest {
namespace {

using namespace gpu::recording;

// Every failure returns false before anything is bound; destroying the model then leaves only the
// pipeline alive.
TEST(RenderModel, EachFailureBindsNothingAndLeavesItsObjectsToTheDestructor) {
    struct Case {
        const char* what;
        std::vector<std::uint8_t> g1m, g1t;
        std::string_view failingCall;
        std::uint32_t occurrence; // counted from the start, InitDevice's calls included
        std::size_t deviceCalls;  // made by the build, reference counts aside
        bool modelMade;           // a rejected texture pack comes before the model is made
    };
    const std::vector<std::uint8_t> quad = MakeQuadG1M();
    const std::vector<std::uint8_t> texture = MakeQuadrantG1T(0);
    const std::vector<std::uint8_t> badTexture(texture.begin() + 1, texture.end());
    const std::vector<std::uint8_t> badModel(quad.begin(), quad.end() - 1);
    const Case cases[] = {
        {"texture pack rejected", quad, badTexture, {}, 0, 0, false},
        {"model rejected", badModel, texture, {}, 0, 0, true},
        {"texture creation", quad, texture, "CreateTexture2D", 2, 1, true},
        {"view creation", quad, texture, "CreateShaderResourceView", 1, 2, true},
        {"vertex buffer", quad, texture, "CreateBuffer", 1, 3, true},
        {"index buffer", quad, texture, "CreateBuffer", 2, 4, true},
        {"constant buffer", quad, texture, "CreateBuffer", 3, 5, true},
        {"no vertices: a zero-sized buffer", authoring::WriteG1M({}), texture, {}, 0, 3, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RecordingRenderer renderer;
        ASSERT_TRUE(renderer.Init());
        const std::size_t pipelineObjects = renderer.recorder.LiveObjectCount();
        renderer.recorder.ClearCalls();
        if (!c.failingCall.empty())
            renderer.recorder.FailCall(c.failingCall, c.occurrence, kE_OUTOFMEMORY);
        auto model = std::make_unique<CRenderModel>(*renderer.state);
        EXPECT_FALSE(CreateModel(*model, c.g1m, c.g1t));
        EXPECT_EQ(renderer.recorder.Names(true).size(), c.deviceCalls) << renderer.recorder.Text();
        EXPECT_EQ(model->GetModel() != nullptr, c.modelMade);
        model.reset();
        EXPECT_EQ(renderer.recorder.LiveObjectCount(), pipelineObjects)
            << renderer.recorder.LiveObjectsText();
    }
}

TEST(RenderModel, LoadsFromArchiveEntriesAndFailsOnAnEntryThatWillNotExtract) {
    // 652 entries is a known index size: the model, the texture pack, then empty entries.
    const testing::TempDirectory directory;
    const std::filesystem::path binPath = directory.path / "models.bin";
    authoring::CArchiveWriter writer;
    ASSERT_TRUE(writer.Create(binPath));
    ASSERT_TRUE(writer.AddCompressed(MakeQuadG1M()));
    ASSERT_TRUE(writer.AddStored(MakeQuadrantG1T(6)));
    while (writer.GetEntryCount() < 652)
        ASSERT_TRUE(writer.AddEmpty());
    ASSERT_TRUE(writer.Finish()) << writer.GetError();
    CKOEIFile_BIN_OROCHIZ archive;
    ASSERT_TRUE(archive.Open(binPath.wstring().c_str(), 0));

    struct Case {
        std::uint32_t modelEntry, textureEntry;
        bool loads;
    };
    for (const Case& c : {Case{0, 1, true}, Case{5, 1, false}, Case{0, 5, false}, Case{0, 100000, false}}) {
        SCOPED_TRACE(::testing::Message() << c.modelEntry << ", " << c.textureEntry);
        RecordingRenderer renderer;
        ASSERT_TRUE(renderer.Init());
        CRenderModel model(*renderer.state);
        EXPECT_EQ(model.LoadFromArchive(archive, c.modelEntry, c.textureEntry), c.loads);
        EXPECT_EQ(renderer.recorder.CallsOf<IASetIndexBufferArgs>().size(), c.loads ? 1u : 0u);
    }
    archive.Close();
}

} // namespace
} // namespace tavro::rendertest
