#include "app/ViewerSession.h"

#include "app/ViewerArguments.h"
#include "app/ViewerTexts.h"
#include "render/Camera.h"
#include "tests/app/HookedRenderer.h"
#include "tests/app/RecordedCyclerTest.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>

namespace tavro {
namespace {

namespace fs = std::filesystem;
using gpu::recording::PresentArgs;
using gpu::recording::UpdateSubresourceArgs;

// FNV-1a over every constant-buffer update of a run, in order.
std::uint64_t DigestOfConstantBytes(const gpu::recording::Recorder& recorder) {
    std::uint64_t digest = 0xCBF29CE484222325ull;
    for (const auto* update : recorder.CallsOf<UpdateSubresourceArgs>()) {
        for (std::uint8_t byte : update->bytes) {
            digest = (digest ^ byte) * 0x100000001B3ull;
        }
    }
    return digest;
}

// The viewer with its user session on the headless platform and the recording backend, over a
// generated archive whose first rows hold models.
class ViewerSessionTest : public apptest::RecordedCyclerTest {
protected:
    void SetUp() override {
        apptest::ScheduleArchiveOptions options;
        options.rowLimit = 40;
        options.brokenModelEntries = brokenModels;
        ASSERT_NO_FATAL_FAILURE(WriteArchive(options));
        platform.SetTick(123456);
    }

    // Runs the viewer; hook runs after each idle pass's frame and must end the run.
    int Run(const std::function<void(int pass)>& hook, ViewerArguments arguments = {}) {
        CViewerSession session(platform, renderer, cycler, state, std::move(arguments));
        apptest::HookedRenderer hooked(session, hook);
        sessionForHook = &session;
        hookedForHook = &hooked;
        const int code = RunViewer(platform, hooked, &session);
        sessionForHook = nullptr;
        hookedForHook = nullptr;
        return code;
    }
    void Key(std::uintptr_t key) { platform.QueueMessage(platform::kMessageKeyDown, key); }
    void Mouse(std::uint32_t message, int x, int y, std::uintptr_t buttons = 0) {
        platform.QueueMessage(message, buttons, platform::MakePointerParam(x, y));
    }
    // The constant-buffer bytes of the last model frame.
    std::vector<std::uint8_t> LastConstants() const {
        std::vector<std::uint8_t> last;
        for (const auto* update : recorder.CallsOf<UpdateSubresourceArgs>()) {
            if (update->bytes.size() == kConstantBufferBytes) {
                last = update->bytes;
            }
        }
        return last;
    }

    std::set<std::uint32_t> brokenModels;
    CViewerSession* sessionForHook = nullptr;
    apptest::HookedRenderer* hookedForHook = nullptr;
    // Loads the model timer made (the start load and the user's steps are not counted).
    int TimerLoads() const { return hookedForHook->loads; }
};

TEST_F(ViewerSessionTest, RunLeftAloneKeepsItsConstantBytes) {
    // The digest of 400 frames over four loads, taken from the viewer before any user control existed.
    constexpr std::uint64_t kLeftAloneDigest = 0xEE5D0AE54906FBCBull;
    EXPECT_EQ(Run([&](int pass) {
                  platform.AdvanceTicks(37);
                  if (pass == 400) {
                      platform.QueueMessage(platform::kMessageClose);
                  }
              }),
              0);
    EXPECT_EQ(recorder.CallsOf<UpdateSubresourceArgs>().size(), 400u);
    EXPECT_EQ(DigestOfConstantBytes(recorder), kLeftAloneDigest);
    EXPECT_EQ(platform.WindowText(), "Tavro Model Viewer"); // nobody used it: the default caption
    EXPECT_TRUE(recorder.CallsOf<gpu::recording::RSSetStateArgs>().empty());
    EXPECT_EQ(recorder.CallsOf<gpu::recording::CreateVertexShaderArgs>().size(), 1u);
}

TEST_F(ViewerSessionTest, WireframeAndLitLooksAreToggledAroundTheSameModelFrames) {
    std::vector<std::uint8_t> plain;
    Run([&](int pass) {
        switch (pass) {
        case 1:
            Key(platform::kKeySpace); // hold the angle so every frame has the same bytes
            break;
        case 2:
            plain = LastConstants();
            Key('W');
            Key('L');
            break;
        case 3:
            EXPECT_TRUE(state.view.wireframe && state.view.lit);
            EXPECT_EQ(LastConstants(), plain);
            Key('W');
            Key('L');
            break;
        default:
            EXPECT_FALSE(state.view.wireframe || state.view.lit);
            platform.QueueMessage(platform::kMessageClose);
        }
    });
    // Made once, bound for the looked-at frame only, and the fixed look bound again after it.
    const auto created = recorder.CallsOf<gpu::recording::CreateRasterizerStateArgs>();
    ASSERT_EQ(created.size(), 1u);
    EXPECT_EQ(created[0]->desc.fillMode, gpu::FillMode::Wireframe);
    EXPECT_EQ(recorder.CallsOf<gpu::recording::CreateVertexShaderArgs>().size(), 2u);
    const auto states = recorder.CallsOf<gpu::recording::RSSetStateArgs>();
    ASSERT_GE(states.size(), 2u);
    EXPECT_EQ(states[0]->state, created[0]->state);
    EXPECT_EQ(states.back()->state, 0u);
}

TEST_F(ViewerSessionTest, StepKeysAndTypedRowsChooseTheRowAndRestartTheInterval) {
    struct Step {
        std::vector<std::uintptr_t> keys;
        int row;
    };
    const std::vector<Step> steps = {
        {{platform::kKeyRight}, 1},
        {{platform::kKeyPageDown}, 2},
        {{platform::kKeyLeft}, 1},
        {{platform::kKeyPageUp}, 0},
        {{platform::kKeyLeft}, -1},
        {{platform::kKeyHome}, 0},
        {{'1', '7', platform::kKeyReturn}, 17},
        {{'9', '9', '9', platform::kKeyReturn}, 17}, // no such row: nothing changes
        {{'3', platform::kKeyBack, '5', platform::kKeyReturn}, 5},
    };
    std::size_t next = 0;
    Run([&](int pass) {
        if (pass > 1 && pass <= static_cast<int>(steps.size()) + 1) {
            // Row 331 lies beyond the generated rows, so its model is refused: no model, row 331.
            const Step& done = steps[next - 1];
            EXPECT_EQ(CurrentRow(), done.row) << "step " << next;
            if (done.row < 0) {
                EXPECT_EQ(sessionForHook->CurrentRow(), 331u);
            }
        }
        if (next == steps.size()) {
            // The interval counts from the last step: 4000 ms later nothing has moved, 1 ms more has.
            if (pass == static_cast<int>(next) + 1) {
                platform.AdvanceTicks(4000);
            } else if (pass == static_cast<int>(next) + 2) {
                EXPECT_EQ(TimerLoads(), 0);
                platform.AdvanceTicks(1);
            } else {
                EXPECT_EQ(TimerLoads(), 1);
                EXPECT_EQ(CurrentRow(), 6);
                platform.QueueMessage(platform::kMessageClose);
            }
            return;
        }
        for (std::uintptr_t key : steps[next].keys) {
            Key(key);
        }
        ++next;
    });
    EXPECT_EQ(platform.WindowText(), "Tavro Model Viewer \xE2\x80\x94 row 6 \xC2\xB7 model " +
                                         std::to_string(ModelSchedule()[6].modelEntry) +
                                         " \xC2\xB7 texture " +
                                         std::to_string(ModelSchedule()[6].textureEntry));
}

TEST_F(ViewerSessionTest, SpaceHoldsTheTurnAndTheRowUntilPressedAgain) {
    std::vector<std::uint8_t> held;
    Run([&](int pass) {
        platform.AdvanceTicks(3000);
        if (pass == 1) {
            Key(platform::kKeySpace);
        } else if (pass == 2) {
            held = LastConstants();
        } else if (pass < 6) {
            EXPECT_EQ(LastConstants(), held); // 9 s paused: same angle, same row
            EXPECT_EQ(CurrentRow(), 0);
            if (pass == 5) {
                Key(platform::kKeySpace);
            }
        } else if (pass == 6) {
            EXPECT_EQ(LastConstants(), held); // the turn goes on from the angle it held
        } else if (pass == 7) {
            EXPECT_NE(LastConstants(), held);
            EXPECT_EQ(CurrentRow(), 0); // a resumed row gets a whole interval
        } else {
            EXPECT_EQ(CurrentRow(), 1);
            EXPECT_EQ(TimerLoads(), 1);
            platform.QueueMessage(platform::kMessageClose);
        }
    });
}

TEST_F(ViewerSessionTest, DragOrbitsAndPausesWheelZoomsDoubleClickResets) {
    Run([&](int pass) {
        switch (pass) {
        case 1:
            Mouse(platform::kMessageLeftButtonDown, 100, 100);
            Mouse(platform::kMessageMouseMove, 150, 80, platform::kLeftButtonHeld);
            Mouse(platform::kMessageLeftButtonUp, 150, 80);
            Mouse(platform::kMessageMouseMove, 400, 400); // no button held: no orbit
            break;
        case 2:
            EXPECT_FLOAT_EQ(state.view.yawRadians, 0.5f);
            EXPECT_FLOAT_EQ(state.view.pitchRadians, -0.2f);
            EXPECT_TRUE(sessionForHook->IsPaused());
            Mouse(platform::kMessageLeftButtonDown, 0, 0);
            Mouse(platform::kMessageMouseMove, 0, 30000, platform::kLeftButtonHeld);
            for (int i = 0; i < 40; ++i) {
                platform.QueueMessage(platform::kMessageMouseWheel, std::uintptr_t{120} << 16);
            }
            break;
        case 3:
            EXPECT_FLOAT_EQ(state.view.pitchRadians, kMaxPitchRadians);
            EXPECT_FLOAT_EQ(state.view.zoom, kMinZoom);
            platform.QueueMessage(platform::kMessageMouseWheel, std::uintptr_t(-120 * 60 & 0xFFFF) << 16);
            break;
        case 4:
            EXPECT_FLOAT_EQ(state.view.zoom, kMaxZoom);
            Mouse(platform::kMessageLeftButtonDoubleClick, 5, 5);
            break;
        default:
            EXPECT_EQ(state.view.yawRadians, 0.0f);
            EXPECT_EQ(state.view.pitchRadians, 0.0f);
            EXPECT_EQ(state.view.zoom, 1.0f);
            platform.QueueMessage(platform::kMessageClose);
        }
    });
}

// The projection's horizontal and vertical scales, from the last model frame's constant bytes.
std::pair<float, float> ProjectionScales(const std::vector<std::uint8_t>& constants) {
    float scales[6] = {};
    std::memcpy(scales, constants.data() + 128, sizeof scales);
    return {scales[0], scales[5]};
}

TEST_F(ViewerSessionTest, ResizedWindowIsDrawnAtItsOwnSizeWithTrueProportions) {
    Run([&](int pass) {
        platform.AdvanceTicks(20);
        if (pass == 1) {
            EXPECT_TRUE(recorder.CallsOf<gpu::recording::ResizeBuffersArgs>().empty());
            platform.ResizeClient(1600, 800);
        } else if (pass == 2) {
            platform.ResizeClient(0, 0); // minimised: nothing is made or drawn
        } else if (pass == 3) {
            platform.ResizeClient(1600, 800);
        } else {
            platform.QueueMessage(platform::kMessageClose);
        }
    });
    const auto resizes = recorder.CallsOf<gpu::recording::ResizeBuffersArgs>();
    ASSERT_EQ(resizes.size(), 1u);
    EXPECT_EQ(resizes[0]->width, 1600u);
    EXPECT_EQ(resizes[0]->height, 800u);
    EXPECT_NE(resizes[0]->buffer, 0u) << recorder.Text();
    const auto viewports = recorder.CallsOf<gpu::recording::RSSetViewportsArgs>();
    ASSERT_EQ(viewports.size(), 2u);
    EXPECT_EQ(viewports[1]->viewports[0].width, 1600.0f);
    EXPECT_EQ(viewports[1]->viewports[0].height, 800.0f);
    std::vector<const gpu::recording::CreateTexture2DArgs*> depthBuffers;
    for (const auto* texture : recorder.CallsOf<gpu::recording::CreateTexture2DArgs>()) {
        if (texture->desc.bindFlags == gpu::kBindDepthStencil) {
            depthBuffers.push_back(texture);
        }
    }
    ASSERT_EQ(depthBuffers.size(), 2u);
    EXPECT_EQ(depthBuffers[1]->desc.width, 1600u);
    EXPECT_EQ(depthBuffers[1]->desc.height, 800u);
    // A unit square covers as many pixels across as down: the scales are in the ratio of the sides.
    const auto [scaleX, scaleY] = ProjectionScales(LastConstants());
    EXPECT_FLOAT_EQ(scaleX * 1600.0f, scaleY * 800.0f);
}

TEST_F(ViewerSessionTest, ArgumentsChooseArchiveRowAndPause) {
    const fs::path other = folder.path / "other" / "Pair.bin";
    fs::create_directories(other.parent_path());
    ASSERT_EQ(apptest::WriteScheduleArchive(other, {}), "");
    fs::remove(archive);
    ViewerArguments arguments;
    arguments.archivePath = other.wstring();
    arguments.row = 12;
    arguments.paused = true;
    Run(
        [&](int pass) {
            platform.AdvanceTicks(5000);
            EXPECT_EQ(CurrentRow(), 12);
            if (pass == 3) {
                EXPECT_EQ(TimerLoads(), 0); // paused from the start
                platform.QueueMessage(platform::kMessageClose);
            }
        },
        arguments);
    EXPECT_NE(platform.WindowText().find("row 12"), std::string::npos);
}

TEST_F(ViewerSessionTest, DroppedArchiveOpensAtRowZeroAndOtherFilesChangeNothing) {
    const fs::path other = folder.path / "dropped" / "Other.bin";
    fs::create_directories(other.parent_path());
    ASSERT_EQ(apptest::WriteScheduleArchive(other, {}), "");
    Run([&](int pass) {
        if (pass == 1) {
            Key(platform::kKeyRight);
        } else if (pass == 2) {
            platform.QueueDrop((folder.path / "notes.txt").string());
            platform.QueueDrop((folder.path / "missing.idx").string()); // no pair: refused
        } else if (pass == 3) {
            EXPECT_EQ(CurrentRow(), 1);
            EXPECT_EQ(cycler.GetArchivePath(), archive.wstring());
            platform.QueueDrop((other.parent_path() / "Other.idx").string());
        } else {
            EXPECT_EQ(CurrentRow(), 0);
            EXPECT_EQ(cycler.GetArchivePath(), other.wstring());
            platform.QueueMessage(platform::kMessageClose);
        }
    });
    EXPECT_TRUE(platform.AcceptsDrops());
}

class ViewerSessionBrokenRowTest : public ViewerSessionTest {
protected:
    ViewerSessionBrokenRowTest() { brokenModels = {ModelSchedule()[1].modelEntry}; }
};

TEST_F(ViewerSessionBrokenRowTest, ModelThatGoesAwayLeavesOneClearedFrame) {
    std::size_t presentsAtLoss = 0;
    Run([&](int pass) {
        if (pass == 1) {
            platform.AdvanceTicks(4001);
        } else if (pass == 2) {
            EXPECT_EQ(CurrentRow(), -1);
            presentsAtLoss = recorder.CallsOf<PresentArgs>().size();
        } else if (pass == 5) {
            platform.QueueMessage(platform::kMessageClose);
        }
    });
    // The pass that lost the model presented the cleared frame; the passes after it present nothing.
    EXPECT_EQ(recorder.CallsOf<PresentArgs>().size(), presentsAtLoss);
    const auto& calls = recorder.Calls();
    std::size_t lastPresent = calls.size();
    for (std::size_t i = 0; i < calls.size(); ++i) {
        if (calls[i].As<PresentArgs>() != nullptr) {
            lastPresent = i;
        }
    }
    ASSERT_LT(lastPresent, calls.size());
    EXPECT_NE(calls[lastPresent - 2].As<gpu::recording::ClearRenderTargetViewArgs>(), nullptr);
}

// The overlay's draws: those made with a vertex shader other than the model's (bound when the
// recorded calls begin).
std::size_t OverlayDraws(const gpu::recording::Recorder& recorder, gpu::recording::ObjectId modelShader) {
    std::size_t draws = 0;
    gpu::recording::ObjectId bound = modelShader;
    for (const auto& call : recorder.Calls()) {
        if (const auto* shader = call.As<gpu::recording::VSSetShaderArgs>()) {
            bound = shader->shader;
        } else if (call.As<gpu::recording::DrawIndexedArgs>() != nullptr && bound != modelShader) {
            ++draws;
        }
    }
    return draws;
}

TEST_F(ViewerSessionTest, InformationAndHelpAreDrawnOverTheModelWhichIsDrawnAsBefore) {
    gpu::recording::ObjectId modelShader = 0;
    std::vector<std::uint8_t> plain;
    Run([&](int pass) {
        if (pass == 1) {
            modelShader = recorder.CallsOf<gpu::recording::VSSetShaderArgs>().front()->shader;
            plain = LastConstants();
            Key('I');
            Key(platform::kKeyF1);
        } else if (pass == 2) {
            EXPECT_EQ(OverlayDraws(recorder, modelShader), 1u); // one draw for all the text
            recorder.ClearCalls();
        } else if (pass == 3) {
            // The next frame draws the model with its own pipeline again, then the text.
            const auto shaders = recorder.CallsOf<gpu::recording::VSSetShaderArgs>();
            ASSERT_EQ(shaders.size(), 2u);
            EXPECT_EQ(shaders.back()->shader, modelShader);
            EXPECT_EQ(OverlayDraws(recorder, modelShader), 1u);
            EXPECT_EQ(LastConstants(), plain); // time stands still here: the same model frame
            Key('I');
            Key(platform::kKeyF1);
        } else if (pass == 4) {
            recorder.ClearCalls();
        } else {
            EXPECT_EQ(OverlayDraws(recorder, modelShader), 0u);
            platform.QueueMessage(platform::kMessageClose);
        }
    });
}

TEST_F(ViewerSessionTest, NoArchiveIsSaidInTheWindowOnce) {
    fs::remove(archive);
    Run([&](int pass) {
        if (pass == 3) {
            platform.QueueMessage(platform::kMessageClose);
        }
    });
    // One frame, with the notice drawn over the background; nothing more while nothing changes.
    EXPECT_EQ(recorder.CallsOf<PresentArgs>().size(), 1u);
    EXPECT_EQ(recorder.CallsOf<gpu::recording::DrawIndexedArgs>().size(), 1u);
    const std::vector<std::string> lines = NoArchiveLines(cycler.GetStatus(), cycler.GetArchivePath());
    ASSERT_GE(lines.size(), 3u);
    EXPECT_NE(lines[1].find("LINKDATA1.bin or its index LINKDATA1.idx is missing"), std::string::npos);
    EXPECT_NE(lines[2].find(fs::absolute(folder.path).string()), std::string::npos);

    apptest::ScheduleArchiveOptions options;
    options.entryCount = 652;
    ASSERT_EQ(apptest::WriteScheduleArchive(archive, options), "");
    EXPECT_FALSE(cycler.LoadNextModel());
    EXPECT_NE(
        NoArchiveLines(cycler.GetStatus(), cycler.GetArchivePath())[1].find("holds 652 entries, not 4251"),
        std::string::npos);
}

TEST(ViewerArgumentsTest, ParsesTheCommandLineAndRefusesWrongOnes) {
    std::string error;
    const auto parsed = ParseViewerArguments({"dir/Data.IDX", "--row", "331", "--paused"}, error);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(*parsed->archivePath, L"dir/Data.bin");
    EXPECT_EQ(*parsed->row, 331u);
    EXPECT_TRUE(parsed->paused);
    EXPECT_FALSE(ParseViewerArguments({}, error)->Any());

    const std::vector<std::vector<std::string>> wrong = {
        {"--row"},  {"--row", "332"},   {"--row", "-1"}, {"--row", "1x"},
        {"--fast"}, {"a.bin", "b.bin"}, {"notes.txt"},
    };
    for (const auto& arguments : wrong) {
        error.clear();
        EXPECT_FALSE(ParseViewerArguments(arguments, error)) << arguments.front();
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(error.find('\n'), std::string::npos);
    }
}

} // namespace
} // namespace tavro
