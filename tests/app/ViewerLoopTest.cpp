#include "app/Viewer.h"

#include "app/Resources.h"
#include "platform/headless/HeadlessPlatform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>

namespace tavro {
namespace {

using platform::CHeadlessPlatform;

// A renderer that notes each call in the platform's log, so start-up order and loop passes can be
// read from one sequence. onIdle runs at each frame, i.e. at each idle pass.
class FakeRenderer final : public IViewerRenderer {
public:
    explicit FakeRenderer(CHeadlessPlatform& platform) : platform_(platform) {}

    bool InitDevice(platform::IPlatform&, platform::WindowHandle window) override {
        platform_.Note("InitDevice");
        EXPECT_EQ(window, platform_.MainWindow());
        return initSucceeds;
    }
    bool LoadNextModel() override {
        platform_.Note("LoadNextModel");
        ++loads;
        return loadSucceeds;
    }
    void RenderCurrentModel() override {
        platform_.Note("Idle");
        ++idlePasses;
        if (onIdle) {
            onIdle(idlePasses);
        }
    }

    bool initSucceeds = true;
    bool loadSucceeds = true;
    int loads = 0;
    int idlePasses = 0;
    std::function<void(int pass)> onIdle;

private:
    CHeadlessPlatform& platform_;
};

class ViewerLoopTest : public ::testing::Test {
protected:
    int Run() { return RunViewer(platform, renderer); }
    long Count(const std::string& entry) const {
        return std::count(platform.Log().begin(), platform.Log().end(), entry);
    }

    CHeadlessPlatform platform;
    FakeRenderer renderer{platform};
};

TEST_F(ViewerLoopTest, StartsUpInOrderAndExitsWithTheQuitCode) {
    renderer.onIdle = [this](int pass) {
        if (pass == 1) {
            platform.QueueMessage(platform::kMessageCommand, TAVRO_IDM_EXIT);
        }
    };
    EXPECT_EQ(Run(), 0);
    const std::vector<std::string> expected = {
        "RegisterWindowClass",
        "CreateMainWindow Tavro Model Viewer",
        "ShowWindow",
        "UpdateWindow",
        "BeginPaint",
        "EndPaint",
        "InitDevice",
        "LoadNextModel",
        "Idle",
        "Dispatch 0x0111",
        "DestroyWindow",
        "PostQuitMessage 0",
        "Dispatch 0x0012",
    };
    EXPECT_EQ(platform.Log(), expected);
}

TEST_F(ViewerLoopTest, FailedWindowOrDeviceEndsAtOnceWithZero) {
    platform.FailWindowCreation();
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(Count("InitDevice"), 0);

    CHeadlessPlatform other;
    FakeRenderer failing(other);
    failing.initSucceeds = false;
    EXPECT_EQ(RunViewer(other, failing), 0);
    EXPECT_EQ(failing.loads, 0);
    EXPECT_EQ(failing.idlePasses, 0);
}

TEST_F(ViewerLoopTest, EachPassHandlesOneMessageOrRunsOneIdlePass) {
    // Three passes with nothing waiting, then two messages at once, then a quit with its own code.
    renderer.onIdle = [this](int pass) {
        if (pass == 3) {
            platform.QueueMessage(platform::kMessagePaint);
            platform.QueueMessage(platform::kMessageCommand, 999); // unknown command: default handling
        }
        if (pass == 4) {
            platform.PostQuitMessage(7);
        }
    };
    EXPECT_EQ(Run(), 7);
    const auto& log = platform.Log();
    const auto firstIdle = std::find(log.begin(), log.end(), "Idle");
    const std::vector<std::string> loop(firstIdle, log.end());
    const std::vector<std::string> expected = {
        "Idle",
        "Idle",
        "Idle",
        "Dispatch 0x000F",
        "BeginPaint",
        "EndPaint",
        "Dispatch 0x0111",
        "Idle",
        "PostQuitMessage 7",
        "Dispatch 0x0012",
    };
    EXPECT_EQ(loop, expected);
}

TEST_F(ViewerLoopTest, AcceleratorsOpenTheAboutBoxAndItsKeysCloseIt) {
    // Alt+? then Alt+/; the first box is closed with Enter, the second with Esc.
    int opened = 0;
    platform.onDialogOpen = [&](CHeadlessPlatform& p) {
        ++opened;
        p.QueueMessage(platform::kMessageKeyDown, opened == 1 ? platform::kKeyReturn : platform::kKeyEscape);
    };
    renderer.onIdle = [this](int pass) {
        if (pass == 1) {
            platform.QueueAltCharacter('?');
        } else if (pass == 2) {
            platform.QueueAltCharacter('/');
        } else if (pass == 3) {
            platform.QueueMessage(platform::kMessageCommand, TAVRO_IDM_EXIT);
        }
    };
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(opened, 2);
    EXPECT_EQ(Count("Accelerator 104"), 2);
    EXPECT_EQ(Count("DialogBox closed 1"), 1);
    EXPECT_EQ(Count("DialogBox closed 2"), 1);
    // A character without Alt is no accelerator.
    CHeadlessPlatform other;
    FakeRenderer plain(other);
    plain.onIdle = [&other](int pass) {
        other.QueueMessage(pass == 1 ? platform::kMessageChar : platform::kMessageClose, '?');
    };
    EXPECT_EQ(RunViewer(other, plain), 0);
    EXPECT_EQ(std::count(other.Log().begin(), other.Log().end(), "DialogBox 103"), 0);
}

TEST_F(ViewerLoopTest, AboutBoxOpenLongerThanTheIntervalGivesOneLoad) {
    platform.SetTick(1000);
    platform.onDialogOpen = [](CHeadlessPlatform& p) {
        p.AdvanceTicks(9000); // more than two intervals pass while the box is open
        p.QueueMessage(platform::kMessageCommand, platform::kCommandOk);
    };
    renderer.onIdle = [this](int pass) {
        if (pass == 1) {
            platform.QueueAltCharacter('/');
        } else if (pass == 2) {
            EXPECT_EQ(renderer.loads, 2); // the start load and one for the whole wait
        } else if (pass == 3) {
            platform.AdvanceTicks(4000);
        } else if (pass == 4) {
            EXPECT_EQ(renderer.loads, 2); // the timer restarted at the load
            platform.AdvanceTicks(1);
        } else if (pass == 5) {
            EXPECT_EQ(renderer.loads, 3);
            platform.QueueMessage(platform::kMessageClose);
        }
    };
    EXPECT_EQ(Run(), 0);
}

} // namespace
} // namespace tavro
