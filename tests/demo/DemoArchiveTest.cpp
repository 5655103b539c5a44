#include "authoring/demo/DemoArchive.h"
#include "app/ModelCycler.h"
#include "app/ModelSchedule.h"
#include "authoring/demo/DemoTextures.h"
#include "gpu/recording/RecordingFactory.h"
#include "render/RenderModel.h"
#include "render/RendererState.h"
#include "tests/demo/StripVolume.h"
#include "texture/G1TFormat.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <unistd.h>

namespace tavro::authoring {
namespace {

namespace fs = std::filesystem;

// Small enough to build quickly in a debug build, large enough to keep every kind of object.
constexpr float kTestScale = 0.01f;

std::vector<char> ReadWholeFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

Vector3 Transform(const float* p, const Matrix4& m) {
    return {p[0] * m.At(0, 0) + p[1] * m.At(1, 0) + p[2] * m.At(2, 0) + m.At(3, 0),
            p[0] * m.At(0, 1) + p[1] * m.At(1, 1) + p[2] * m.At(2, 1) + m.At(3, 1),
            p[0] * m.At(0, 2) + p[1] * m.At(1, 2) + p[2] * m.At(2, 2) + m.At(3, 2)};
}

// The volume a draw item encloses once its matrix has placed it.
double SignedVolume(const CG1MModel& model, const CG1MDrawItem& item) {
    const auto vertices = model.ViewVertices();
    const auto strips = model.ViewIndices().subspan(item.startIndex, item.indexCount);
    return demotest::StripVolume(strips, [&](std::uint16_t index) {
        return Transform(vertices[static_cast<std::size_t>(item.baseVertex) + index].position, item.matrix);
    });
}

class DemoArchiveTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        folder = new fs::path(fs::temp_directory_path() / ("tavro-demo-test-" + std::to_string(::getpid())));
        fs::remove_all(*folder);
        std::string error;
        DemoOptions options;
        options.scale = kTestScale;
        options.threads = 2;
        built = WriteDemoArchive(*folder / "two-threads", options, error);
        ASSERT_TRUE(built) << error;
    }
    static void TearDownTestSuite() {
        fs::remove_all(*folder);
        delete folder;
        folder = nullptr;
    }
    void SetUp() override { ASSERT_TRUE(built); }

    static fs::path* folder;
    static bool built;
};

fs::path* DemoArchiveTest::folder = nullptr;
bool DemoArchiveTest::built = false;

TEST_F(DemoArchiveTest, ViewerLoadsEveryRowAsAClosedOutwardFacingModel) {
    const fs::path archive = *folder / "two-threads" / kDemoArchiveName;
    EXPECT_EQ(fs::file_size(archive.parent_path() / "LINKDATA1.idx"), 76080u);
    EXPECT_FALSE(fs::exists(archive.parent_path() / "LINKDATA1.partial.bin"));

    gpu::recording::Recorder recorder;
    gpu::recording::RecordingFactory factory{recorder};
    RendererState state;
    int window = 0;
    ASSERT_TRUE(InitDevice(state, factory, &window,
                           {[] { return 0u; },
                            [] {
                                return ClientSize{1280, 960};
                            }}));
    CModelCycler cycler(state, archive.wstring());
    for (std::uint32_t row = 0; row < kModelScheduleRowCount; ++row) {
        SCOPED_TRACE("row " + std::to_string(row));
        ASSERT_TRUE(cycler.LoadNextModel()) << "the archive does not open with 4251 entries";
        ASSERT_NE(state.currentModel, nullptr) << "the row's model or texture cannot be built";
        const CG1MModel& model = *state.currentModel->GetModel();
        const std::vector<CG1MDrawItem> items = model.BuildDrawItems();
        // A submesh left out of the draw list has a broken buffer, joint map, matrix or bone reference.
        EXPECT_EQ(items.size(), model.GetSubmeshes().size());
        const auto& low = model.GetBoundsMin();
        const auto& high = model.GetBoundsMax();
        EXPECT_GT(std::max({high[0] - low[0], high[1] - low[1], high[2] - low[2]}), 0.0f);
        for (std::size_t k = 0; k < items.size(); ++k) {
            EXPECT_GT(SignedVolume(model, items[k]), 0.0) << "submesh " << k << " is drawn inside out";
        }
    }
}

TEST_F(DemoArchiveTest, SameBytesOnEveryRunWhateverTheThreadCount) {
    DemoOptions options;
    options.scale = kTestScale;
    options.threads = 1;
    std::string error;
    ASSERT_TRUE(WriteDemoArchive(*folder / "one-thread", options, error)) << error;
    for (const char* name : {"LINKDATA1.bin", "LINKDATA1.idx"}) {
        SCOPED_TRACE(name);
        const std::vector<char> first = ReadWholeFile(*folder / "two-threads" / name);
        EXPECT_FALSE(first.empty());
        EXPECT_TRUE(first == ReadWholeFile(*folder / "one-thread" / name));
    }
}

TEST(DemoTextureChoice, RowsUseEveryFormatAndSizesFrom64To2048) {
    std::set<std::uint8_t> formats;
    std::set<std::uint32_t> sizes;
    for (std::uint32_t row = 0; row < kModelScheduleRowCount; ++row) {
        const DemoTextureChoice choice = ChooseDemoTexture(row, 1);
        formats.insert(choice.format);
        sizes.insert(choice.width);
        sizes.insert(choice.height);
    }
    EXPECT_EQ(formats, (std::set<std::uint8_t>{g1t::kFormatRGBA8, g1t::kFormatBGRA8, g1t::kFormatDXT1,
                                               g1t::kFormatDXT3, g1t::kFormatDXT5}));
    EXPECT_EQ(*sizes.begin(), 64u);
    EXPECT_EQ(*sizes.rbegin(), 2048u);
}

} // namespace
} // namespace tavro::authoring
