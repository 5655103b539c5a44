#pragma once
// The viewer in a user's hands: the arguments, the keys, the mouse and dropped archives, over the
// default renderer and cycler. Left alone and started without arguments it passes every load and
// frame on unchanged, so the default run stays the same frame for frame.
#include "app/ModelCycler.h"
#include "app/TurnClock.h"
#include "app/Viewer.h"
#include "app/ViewerArguments.h"
#include "render/TextOverlay.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tavro {

class CModelTimer;
class RendererState;

// Sets the cycler up for a user's run (any argument given): the archive named, and rows prepared ahead
// on a worker so that a switch costs only device objects. The default run (no argument) is left as is.
void StartUserRun(CModelCycler& cycler, const ViewerArguments& arguments);

class CViewerSession final : public IViewerRenderer, public IViewerControls {
public:
    // Every argument must outlive the session.
    CViewerSession(platform::IPlatform& platform, IViewerRenderer& inner, CModelCycler& cycler,
                   RendererState& state, ViewerArguments arguments);
    // Takes the text overlay off the renderer and releases its device objects.
    ~CViewerSession() override;
    CViewerSession(const CViewerSession&) = delete;
    CViewerSession& operator=(const CViewerSession&) = delete;

    // --- IViewerRenderer ---
    bool InitDevice(platform::IPlatform& platform, platform::WindowHandle window) override {
        return inner_.InitDevice(platform, window);
    }
    bool LoadNextModel() override;
    // One frame of the current model; without one, a frame with only the background (and any text) is
    // presented whenever what it shows changed, so a model that went away does not stay on screen.
    void RenderCurrentModel() override;

    // --- IViewerControls ---
    void Start(platform::WindowHandle window, CModelTimer& timer) override;
    bool HandleMessage(platform::WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                       std::intptr_t lParam) override;
    bool IsPaused() const override { return clock_.IsPaused(); }

    // The row of the current or last tried load.
    std::uint32_t CurrentRow() const;

private:
    bool HandleKey(std::uintptr_t key);
    bool HandleMouse(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam);
    void OpenDroppedFile(std::uintptr_t drop);
    void TogglePause();
    void SetPaused(bool paused);
    void ShowRow(std::uint32_t row);
    void ResetView();
    // F12: the frame beside the archive; the outcome shows for a few seconds.
    void SaveFrame();
    // The user did something: from now on the caption names the row.
    void NoteUse();
    void UpdateCaption();
    // Chooses the text over the next frames: help, information, the row being typed, why nothing is
    // shown. True when it differs from the text shown so far.
    bool UpdateText();
    void TimeFrame();

    platform::IPlatform& platform_;
    IViewerRenderer& inner_;
    CModelCycler& cycler_;
    RendererState& state_;
    ViewerArguments arguments_;
    platform::WindowHandle window_ = nullptr;
    CModelTimer* timer_ = nullptr;
    CTurnClock clock_;

    bool used_ = false;
    bool showInfo_ = false;
    bool showHelp_ = false;
    std::string typedRow_;
    std::string caption_;
    bool dragging_ = false;
    int dragX_ = 0;
    int dragY_ = 0;

    std::uint32_t loadMs_ = 0;
    std::uint32_t frameWindowStart_ = 0;
    std::uint32_t framesInWindow_ = 0;
    float frameMs_ = 0.0f;
    bool modelFrameShown_ = false;
    bool frameWithoutModelDue_ = true;
    CTextOverlay text_;
    std::vector<TextBlock> textBlocks_;
    const CRenderModel* describedModel_ = nullptr;
    std::vector<std::string> modelLines_;
    std::string notice_;
    std::uint32_t noticeUntil_ = 0;
};

} // namespace tavro
