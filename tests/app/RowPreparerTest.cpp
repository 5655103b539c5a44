// Rows prepared on the worker give exactly what the synchronous load gives, and a preparation made from
// an archive that has changed since is never shown.
#include "app/RowPreparer.h"
#include "app/ModelCycler.h"
#include "app/ModelSchedule.h"
#include "archive/BinArchive.h"
#include "authoring/demo/DemoArchive.h"
#include "gpu/recording/RecordingFactory.h"
#include "render/RenderModel.h"
#include "render/RendererState.h"
#include "tests/TempDirectory.h"
#include "tests/app/ScheduleArchive.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

namespace tavro {
namespace {

namespace fs = std::filesystem;
using gpu::recording::CreateBufferArgs;
using gpu::recording::UpdateSubresourceArgs;

// A renderer on the recording backend with its own cycler over archive.
struct RecordedViewer {
    explicit RecordedViewer(const fs::path& archive) : cycler(state, archive.wstring()) {
        RenderHost host{[] { return 0u; }, [] { return ClientSize{1280, 960}; }};
        initialised = InitDevice(state, factory, &window, host);
    }

    // The calls of one load and one frame, with the bytes of every buffer made and every update.
    std::string LoadAndDraw() {
        recorder.ClearCalls();
        const bool loaded = cycler.LoadNextModel();
        if (state.currentModel != nullptr) {
            RenderCurrentModel(state);
        }
        std::string transcript = (loaded ? "loaded\n" : "refused\n") + recorder.Text();
        for (const CreateBufferArgs* args : recorder.CallsOf<CreateBufferArgs>()) {
            transcript.append(args->initialBytes.begin(), args->initialBytes.end());
        }
        for (const UpdateSubresourceArgs* args : recorder.CallsOf<UpdateSubresourceArgs>()) {
            transcript.append(args->bytes.begin(), args->bytes.end());
        }
        return transcript;
    }

    int CurrentRow() const { return apptest::RowShown(state); }

    gpu::recording::Recorder recorder;
    gpu::recording::RecordingFactory factory{recorder};
    RendererState state;
    CModelCycler cycler;
    int window = 0;
    bool initialised = false;
};

TEST(RowPreparerTest, PreparedLoadsMakeTheSynchronousCallsAndBytesOnEveryDemoRow) {
    testing::TempDirectory folder;
    authoring::DemoOptions options;
    options.scale = 0.01f;
    std::string error;
    ASSERT_TRUE(authoring::WriteDemoArchive(folder.path, options, error)) << error;
    const fs::path archive = folder.path / authoring::kDemoArchiveName;

    RecordedViewer synchronous(archive);
    RecordedViewer prepared(archive);
    ASSERT_TRUE(synchronous.initialised && prepared.initialised);
    prepared.cycler.PrepareRowsAhead();
    CRowPreparer& preparer = *prepared.cycler.GetPreparer();
    // One lap and the first row again: the counter wraps through the preparer too.
    for (std::uint32_t load = 0; load <= kModelScheduleRowCount; ++load) {
        SCOPED_TRACE(load);
        preparer.WaitUntilIdle();
        const std::string expected = synchronous.LoadAndDraw();
        ASSERT_TRUE(prepared.LoadAndDraw() == expected);
        ASSERT_NE(synchronous.state.currentModel, nullptr);
    }
    EXPECT_EQ(prepared.cycler.GetPreparedLoadCount(), kModelScheduleRowCount + 1);
    EXPECT_EQ(prepared.cycler.GetCounter(), synchronous.cycler.GetCounter());
}

// Each change is made after row 1 was prepared and before the switch to it.
TEST(RowPreparerTest, ArchiveChangedAfterPreparationLoadsSynchronously) {
    struct Case {
        const char* what;
        void (*change)(const fs::path& archive);
        bool loaded;
        int row; // shown after the switch
    };
    const Case cases[] = {
        {"data file truncated", [](const fs::path& archive) { fs::resize_file(archive, kEntryAlignment); },
         true, -1},
        {"row's model broken",
         [](const fs::path& archive) {
             apptest::ScheduleArchiveOptions options;
             options.brokenModelEntries = {ModelSchedule()[1].modelEntry};
             ASSERT_EQ(apptest::WriteScheduleArchive(archive, options), "");
         },
         true, -1},
        {"entries moved and compressed",
         [](const fs::path& archive) {
             apptest::ScheduleArchiveOptions options;
             options.compressed = true;
             ASSERT_EQ(apptest::WriteScheduleArchive(archive, options), "");
         },
         true, 1},
        {"652 entries",
         [](const fs::path& archive) {
             apptest::ScheduleArchiveOptions options;
             options.entryCount = 652;
             ASSERT_EQ(apptest::WriteScheduleArchive(archive, options), "");
         },
         false, 0},
        {"index removed",
         [](const fs::path& archive) { fs::remove(fs::path(archive).replace_extension(".idx")); }, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        testing::TempDirectory folder;
        const fs::path archive = folder.path / "LINKDATA1.bin";
        ASSERT_EQ(apptest::WriteScheduleArchive(archive), "");
        RecordedViewer viewer(archive);
        ASSERT_TRUE(viewer.initialised);
        ASSERT_TRUE(viewer.cycler.LoadNextModel());
        viewer.cycler.PrepareRowsAhead();
        viewer.cycler.GetPreparer()->WaitUntilIdle();

        c.change(archive);
        EXPECT_EQ(viewer.cycler.LoadNextModel(), c.loaded);
        EXPECT_EQ(viewer.cycler.GetCounter(), c.loaded ? 2u : 1u);
        EXPECT_EQ(viewer.CurrentRow(), c.row);
        EXPECT_EQ(viewer.cycler.GetPreparedLoadCount(), 0u);
    }
}

TEST(RowPreparerTest, KeepsOnlyWantedRowsAndStopsMidPreparation) {
    testing::TempDirectory folder;
    const fs::path archive = folder.path / "LINKDATA1.bin";
    apptest::ScheduleArchiveOptions options;
    options.modelTriangles = 20000;
    options.textureSize = 256;
    options.rowLimit = 8;
    ASSERT_EQ(apptest::WriteScheduleArchive(archive, options), "");
    CKOEIFile_BIN_OROCHIZ opened;
    ASSERT_TRUE(opened.Open(archive.wstring().c_str(), 0));
    {
        CRowPreparer preparer(archive.wstring());
        preparer.Want({3, 4});
        preparer.Want({4, 5}); // 3 is dropped, prepared or not
        preparer.WaitUntilIdle();
        EXPECT_EQ(preparer.Take(3, opened, archive), nullptr);
        const std::unique_ptr<PreparedRow> row4 = preparer.Take(4, opened, archive);
        ASSERT_NE(row4, nullptr);
        EXPECT_EQ(row4->row, 4u);
        EXPECT_FALSE(row4->model.model->ViewIndices().empty());
        EXPECT_EQ(preparer.Take(4, opened, archive), nullptr); // taken once
        EXPECT_NE(preparer.Take(5, opened, archive), nullptr);
    }
    // Destroyed with rows queued and one in preparation: the worker is joined, nothing is left behind.
    CRowPreparer preparer(archive.wstring());
    preparer.Want({0, 1, 2, 3, 4, 5, 6, 7});
}

} // namespace
} // namespace tavro
