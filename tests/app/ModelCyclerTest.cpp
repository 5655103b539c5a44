#include "app/Viewer.h"
#include "tests/app/HookedRenderer.h"
#include "tests/app/RecordedCyclerTest.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>

namespace tavro {
namespace {

namespace fs = std::filesystem;

class ModelCyclerTest : public apptest::RecordedCyclerTest {
protected:
    // For the tests that drive the cycler directly; the viewer sets the device up itself.
    void InitDevice() {
        RenderHost host{[] { return 0u; }, [] { return ClientSize{1280, 960}; }};
        ASSERT_TRUE(tavro::InitDevice(state, factory, &gpuWindow, host));
    }
};

TEST_F(ModelCyclerTest, WalksEveryRowThenStartsAgain) {
    InitDevice();
    WriteArchive();
    for (std::uint32_t load = 0; load <= kModelScheduleRowCount; ++load) {
        const std::uint32_t row = load % kModelScheduleRowCount;
        SCOPED_TRACE(row);
        ASSERT_TRUE(cycler.LoadNextModel());
        EXPECT_EQ(cycler.GetCounter(), load + 1);
        // Rows 202 and 296 show model 326, first named by row 57, with their own textures (929, 1305):
        // the build fails if the texture entry read is not a texture pack.
        const int expected = (row == 202 || row == 296) ? 57 : static_cast<int>(row);
        ASSERT_EQ(CurrentRow(), expected);
    }
}

TEST_F(ModelCyclerTest, ChosenRowIsTakenModuloTheScheduleAndTheCycleGoesOnFromIt) {
    InitDevice();
    WriteArchive();
    // 0xFFFFFFFF is row 159; the row after it is 160, not row 0 of a counter that wrapped.
    ASSERT_TRUE(cycler.LoadRow(0xFFFFFFFF));
    EXPECT_EQ(CurrentRow(), 159);
    ASSERT_TRUE(cycler.LoadNextModel());
    EXPECT_EQ(CurrentRow(), 160);
    EXPECT_EQ(cycler.GetCounter(), 161u);
}

TEST_F(ModelCyclerTest, RowThatFailsToBuildIsSkipped) {
    apptest::ScheduleArchiveOptions options;
    options.brokenModelEntries = {ModelSchedule()[1].modelEntry};
    InitDevice();
    WriteArchive(options);
    ASSERT_TRUE(cycler.LoadNextModel());
    EXPECT_EQ(CurrentRow(), 0);
    EXPECT_TRUE(cycler.LoadNextModel()); // the archive was fine: true, and the counter moves on
    EXPECT_EQ(cycler.GetCounter(), 2u);
    EXPECT_EQ(CurrentRow(), -1); // the old model is gone and the new one failed
    EXPECT_TRUE(cycler.LoadNextModel());
    EXPECT_EQ(CurrentRow(), 2);
}

TEST_F(ModelCyclerTest, ArchiveThatCannotBeUsedChangesNothing) {
    InitDevice();
    WriteArchive();
    ASSERT_TRUE(cycler.LoadNextModel());
    struct Case {
        const char* what;
        std::function<void()> prepare;
    };
    const auto withEntries = [](std::uint32_t count) {
        apptest::ScheduleArchiveOptions options;
        options.entryCount = count;
        return options;
    };
    const Case cases[] = {
        {"652 entries", [&] { WriteArchive(withEntries(652)); }},
        {"757 entries", [&] { WriteArchive(withEntries(757)); }},
        {"no index", [&] { fs::remove(folder.path / "LINKDATA1.idx"); }},
        {"no archive", [&] { fs::remove_all(folder.path / "LINKDATA1.bin"); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.prepare();
        EXPECT_FALSE(cycler.LoadNextModel());
        EXPECT_EQ(cycler.GetCounter(), 1u);
        EXPECT_EQ(CurrentRow(), 0); // the model shown stays
    }
}

// The whole viewer on the headless platform around the same cycler.
using ViewerCyclingTest = ModelCyclerTest;
using apptest::HookedRenderer;

TEST_F(ViewerCyclingTest, MissingArchiveIsTriedOnceMoreThenNever) {
    HookedRenderer hooked(renderer, [&](int pass) {
        platform.AdvanceTicks(4001);
        if (pass == 2) {
            WriteArchive(); // appears after the retry has failed: too late
        } else if (pass == 10) {
            platform.QueueMessage(platform::kMessageClose);
        }
    });
    EXPECT_EQ(RunViewer(platform, hooked), 0);
    EXPECT_EQ(hooked.loads, 2);
    EXPECT_EQ(CurrentRow(), -1);
    EXPECT_EQ(recorder.CallsOf<gpu::recording::PresentArgs>().size(), 0u); // no model, no frame
}

TEST_F(ViewerCyclingTest, ArchiveAppearingBeforeTheRetryIsShown) {
    HookedRenderer hooked(renderer, [&](int pass) {
        if (pass == 1) {
            EXPECT_EQ(CurrentRow(), -1);
            WriteArchive();
            platform.AdvanceTicks(4001);
        } else if (pass == 2) {
            EXPECT_EQ(CurrentRow(), 0);
            platform.QueueMessage(platform::kMessageClose);
        }
    });
    EXPECT_EQ(RunViewer(platform, hooked), 0);
    EXPECT_EQ(cycler.GetCounter(), 1u);
}

} // namespace
} // namespace tavro
