#include "app/ViewerSession.h"

#include "app/ArchivePath.h"
#include "app/ModelTimer.h"
#include "app/Screenshot.h"
#include "app/ViewerTexts.h"
#include "render/RendererState.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <new>
#include <system_error>

namespace tavro {
namespace {

constexpr float kOrbitRadiansPerPixel = 0.01f;
constexpr float kZoomPerWheelStep = 1.1f;
constexpr std::size_t kMaxTypedDigits = 3;
constexpr std::uint32_t kFrameTimingWindowMs = 500;
constexpr std::uint32_t kNoticeMs = 4000;
constexpr std::array<float, 4> kInfoColour = {0.95f, 0.95f, 0.85f, 1.0f};
constexpr std::array<float, 4> kNoticeColour = {1.0f, 0.8f, 0.3f, 1.0f};

} // namespace

CViewerSession::CViewerSession(platform::IPlatform& platform, IViewerRenderer& inner, CModelCycler& cycler,
                               RendererState& state, ViewerArguments arguments)
    : platform_(platform), inner_(inner), cycler_(cycler), state_(state), arguments_(std::move(arguments)) {}

CViewerSession::~CViewerSession() {
    if (state_.overlay == &text_) {
        state_.overlay = nullptr;
    }
    text_.Release();
}

void CViewerSession::Start(platform::WindowHandle window, CModelTimer& timer) {
    window_ = window;
    timer_ = &timer;
    // The turn follows the session's clock, which is the platform's own until the user pauses.
    auto platformTick = state_.host.tickCount;
    if (platformTick) {
        state_.host.tickCount = [this, platformTick] { return clock_.Now(platformTick()); };
    }
    platform_.DragAcceptFiles(window);
    if (arguments_.archivePath) {
        cycler_.SetArchivePath(*arguments_.archivePath);
    }
    if (arguments_.paused) {
        clock_.Pause(platform_.GetTickCount());
    }
    if (arguments_.row) {
        const std::uint32_t start = platform_.GetTickCount();
        cycler_.LoadRow(*arguments_.row);
        loadMs_ = platform_.GetTickCount() - start;
    } else {
        LoadNextModel();
    }
    if (arguments_.Any()) {
        NoteUse();
    }
}

bool CViewerSession::LoadNextModel() {
    const std::uint32_t start = platform_.GetTickCount();
    const bool loaded = inner_.LoadNextModel();
    loadMs_ = platform_.GetTickCount() - start;
    frameWithoutModelDue_ = true;
    UpdateCaption();
    return loaded;
}

void CViewerSession::RenderCurrentModel() {
    // A resized window is drawn at its own size; at the size it was made with this changes nothing.
    if (state_.host.clientSize) {
        ResizeRenderTargets(state_, state_.host.clientSize());
    }
    const bool textChanged = UpdateText();
    if (state_.currentModel != nullptr) {
        inner_.RenderCurrentModel();
        modelFrameShown_ = true;
        TimeFrame();
        return;
    }
    if (modelFrameShown_ || frameWithoutModelDue_ || textChanged) {
        RenderFrameWithoutModel(state_);
        modelFrameShown_ = false;
        frameWithoutModelDue_ = false;
    }
}

void CViewerSession::TimeFrame() {
    const std::uint32_t now = platform_.GetTickCount();
    if (framesInWindow_ == 0) {
        frameWindowStart_ = now;
    }
    ++framesInWindow_;
    const std::uint32_t elapsed = now - frameWindowStart_;
    if (elapsed >= kFrameTimingWindowMs) {
        frameMs_ = static_cast<float>(elapsed) / static_cast<float>(framesInWindow_ - 1);
        framesInWindow_ = 0;
    }
}

bool CViewerSession::UpdateText() {
    const LoadStatus& status = cycler_.GetStatus();
    std::vector<TextBlock> blocks;
    if (showInfo_) {
        if (describedModel_ != state_.currentModel.get()) {
            describedModel_ = state_.currentModel.get();
            modelLines_.clear();
            if (describedModel_ != nullptr) {
                try {
                    modelLines_ = ModelLines(*describedModel_);
                } catch (const std::bad_alloc&) {
                    modelLines_.clear();
                }
            }
        }
        ViewerFacts facts;
        facts.status = &status;
        facts.modelLines = describedModel_ != nullptr ? &modelLines_ : nullptr;
        facts.view = state_.view;
        facts.paused = clock_.IsPaused();
        facts.loadMs = loadMs_;
        facts.frameMs = frameMs_;
        blocks.push_back(TextBlock{InfoLines(facts), TextPlacement::TopLeft, kInfoColour});
    }
    if (state_.currentModel == nullptr) {
        std::vector<std::string> noArchive = NoArchiveLines(status, cycler_.GetArchivePath());
        if (!noArchive.empty()) {
            blocks.push_back(TextBlock{std::move(noArchive), TextPlacement::Centre, kNoticeColour});
        }
    }
    if (showHelp_) {
        blocks.push_back(TextBlock{HelpLines(), TextPlacement::Centre, kInfoColour});
    }
    if (!notice_.empty() && static_cast<std::int32_t>(noticeUntil_ - platform_.GetTickCount()) > 0) {
        blocks.push_back(TextBlock{{notice_}, TextPlacement::BottomLeft, kInfoColour});
    }
    if (!typedRow_.empty()) {
        blocks.push_back(
            TextBlock{{"go to row " + typedRow_ + "_  (Enter)"}, TextPlacement::BottomLeft, kInfoColour});
    }
    const bool changed =
        blocks.size() != textBlocks_.size() ||
        !std::equal(blocks.begin(), blocks.end(), textBlocks_.begin(),
                    [](const TextBlock& a, const TextBlock& b) { return a.lines == b.lines; });
    if (changed) {
        textBlocks_ = blocks;
        text_.SetBlocks(std::move(blocks));
    }
    state_.overlay = text_.IsEmpty() ? nullptr : &text_;
    return changed;
}

std::uint32_t CViewerSession::CurrentRow() const {
    const LoadStatus& status = cycler_.GetStatus();
    if (status.outcome == LoadOutcome::Shown || status.outcome == LoadOutcome::RowNotShown) {
        return status.row;
    }
    return cycler_.GetCounter() % kModelScheduleRowCount;
}

bool CViewerSession::HandleMessage(platform::WindowHandle, std::uint32_t message, std::uintptr_t wParam,
                                   std::intptr_t lParam) {
    switch (message) {
    case platform::kMessageKeyDown:
        return HandleKey(wParam);
    case platform::kMessageMouseMove:
    case platform::kMessageLeftButtonDown:
    case platform::kMessageLeftButtonUp:
    case platform::kMessageLeftButtonDoubleClick:
    case platform::kMessageMouseWheel:
        return HandleMouse(message, wParam, lParam);
    case platform::kMessageDropFiles:
        OpenDroppedFile(wParam);
        return true;
    case platform::kMessageSize:
        frameWithoutModelDue_ = true;
        return false;
    default:
        return false;
    }
}

bool CViewerSession::HandleKey(std::uintptr_t key) {
    constexpr std::uint32_t kLastRow = kModelScheduleRowCount - 1;
    if (key >= '0' && key <= '9') {
        if (typedRow_.size() < kMaxTypedDigits) {
            typedRow_.push_back(static_cast<char>(key));
        }
        NoteUse();
        return true;
    }
    switch (key) {
    case platform::kKeyReturn:
        if (!typedRow_.empty()) {
            std::uint32_t row = 0;
            std::from_chars(typedRow_.data(), typedRow_.data() + typedRow_.size(), row);
            typedRow_.clear();
            if (row <= kLastRow) {
                ShowRow(row);
            }
        }
        return true;
    case platform::kKeyBack:
        if (!typedRow_.empty()) {
            typedRow_.pop_back();
        }
        return true;
    case platform::kKeyEscape:
        typedRow_.clear();
        return true;
    case platform::kKeySpace:
        TogglePause();
        return true;
    case platform::kKeyRight:
    case platform::kKeyPageDown:
        ShowRow((CurrentRow() + 1) % kModelScheduleRowCount);
        return true;
    case platform::kKeyLeft:
    case platform::kKeyPageUp:
        ShowRow((CurrentRow() + kLastRow) % kModelScheduleRowCount);
        return true;
    case platform::kKeyHome:
        ShowRow(0);
        return true;
    case platform::kKeyEnd:
        ShowRow(kLastRow);
        return true;
    case 'R':
        ResetView();
        return true;
    case 'W':
        state_.view.wireframe = !state_.view.wireframe;
        NoteUse();
        return true;
    case 'L':
        state_.view.lit = !state_.view.lit;
        NoteUse();
        return true;
    case 'I':
        showInfo_ = !showInfo_;
        NoteUse();
        return true;
    case platform::kKeyF12:
        SaveFrame();
        return true;
    case platform::kKeyF1:
        showHelp_ = !showHelp_;
        NoteUse();
        return true;
    default:
        return false;
    }
}

bool CViewerSession::HandleMouse(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
    const int x = platform::PointerX(lParam);
    const int y = platform::PointerY(lParam);
    switch (message) {
    case platform::kMessageLeftButtonDown:
        dragging_ = true;
        dragX_ = x;
        dragY_ = y;
        platform_.SetCapture(window_);
        return true;
    case platform::kMessageMouseMove:
        if (dragging_ && (wParam & platform::kLeftButtonHeld) != 0 && (x != dragX_ || y != dragY_)) {
            ViewOptions view = state_.view;
            view.yawRadians += static_cast<float>(x - dragX_) * kOrbitRadiansPerPixel;
            view.pitchRadians += static_cast<float>(y - dragY_) * kOrbitRadiansPerPixel;
            state_.view = view.Clamped();
            dragX_ = x;
            dragY_ = y;
            SetPaused(true);
            NoteUse();
        }
        return true;
    case platform::kMessageLeftButtonUp:
        if (dragging_) {
            dragging_ = false;
            platform_.ReleaseCapture();
        }
        return true;
    case platform::kMessageLeftButtonDoubleClick:
        ResetView();
        return true;
    case platform::kMessageMouseWheel: {
        const float steps = static_cast<float>(platform::WheelTurn(wParam)) / platform::kWheelDelta;
        ViewOptions view = state_.view;
        view.zoom /= std::pow(kZoomPerWheelStep, steps);
        state_.view = view.Clamped();
        NoteUse();
        return true;
    }
    default:
        return false;
    }
}

void CViewerSession::OpenDroppedFile(std::uintptr_t drop) {
    const std::string path = platform_.TakeDroppedFile(drop);
    const std::optional<std::wstring> archive = ArchivePathFromUserPath(path);
    if (!archive) {
        return; // not an archive: the model shown stays
    }
    // An archive that cannot be used is not taken: the one shown so far stays, and the caption says
    // why the drop was refused.
    const std::wstring previous = cycler_.GetArchivePath();
    cycler_.SetArchivePath(*archive);
    ShowRow(0);
    const LoadOutcome outcome = cycler_.GetStatus().outcome;
    if (outcome != LoadOutcome::Shown && outcome != LoadOutcome::RowNotShown) {
        cycler_.SetArchivePath(previous);
    }
}

void CViewerSession::TogglePause() {
    SetPaused(!clock_.IsPaused());
    NoteUse();
}

void CViewerSession::SetPaused(bool paused) {
    const std::uint32_t now = platform_.GetTickCount();
    if (paused) {
        clock_.Pause(now);
    } else if (clock_.IsPaused()) {
        clock_.Resume(now);
        timer_->Restart(now); // a resumed row is shown for a whole interval
    }
}

void CViewerSession::ShowRow(std::uint32_t row) {
    const std::uint32_t start = platform_.GetTickCount();
    cycler_.LoadRow(row);
    const std::uint32_t now = platform_.GetTickCount();
    loadMs_ = now - start;
    timer_->Restart(now);
    frameWithoutModelDue_ = true;
    NoteUse();
}

void CViewerSession::SaveFrame() {
    std::error_code error;
    const std::filesystem::path archive = ToFileSystemPath(cycler_.GetArchivePath());
    const std::filesystem::path absolute = std::filesystem::absolute(archive, error);
    std::string failure;
    const std::filesystem::path saved =
        SaveScreenshot(state_, (error ? archive : absolute).parent_path(), CurrentRow(), failure);
    notice_ = saved.empty() ? "not saved: " + failure : "saved " + ToUtf8(saved);
    noticeUntil_ = platform_.GetTickCount() + kNoticeMs;
    NoteUse();
}

void CViewerSession::ResetView() {
    ViewOptions view = state_.view;
    view.yawRadians = 0.0f;
    view.pitchRadians = 0.0f;
    view.zoom = 1.0f;
    state_.view = view;
    NoteUse();
}

void CViewerSession::NoteUse() {
    used_ = true;
    frameWithoutModelDue_ = true;
    UpdateCaption();
}

void CViewerSession::UpdateCaption() {
    if (!used_) {
        return;
    }
    const std::string caption = CaptionText(cycler_.GetStatus(), cycler_.GetArchivePath());
    if (caption != caption_) {
        caption_ = caption;
        platform_.SetWindowTitle(window_, caption_);
    }
}

void StartUserRun(CModelCycler& cycler, const ViewerArguments& arguments) {
    if (!arguments.Any()) {
        return;
    }
    if (arguments.archivePath) {
        cycler.SetArchivePath(*arguments.archivePath);
    }
    cycler.PrepareRowsAhead();
}

} // namespace tavro
