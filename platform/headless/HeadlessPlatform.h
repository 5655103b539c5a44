#pragma once
// A platform without a screen: one main window of a fixed client size, a clock the caller sets, and
// messages the caller queues. It logs every windowing call in order so a test can check what the
// program did, and lets the whole viewer run inside a test.
#include "platform/Platform.h"

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace tavro::platform {

class CHeadlessPlatform final : public IPlatform {
public:
    CHeadlessPlatform(int clientWidth = 1280, int clientHeight = 960);

    // --- Controls for the caller ---
    void SetTick(std::uint32_t tick) { tick_ = tick; }
    void AdvanceTicks(std::uint32_t milliseconds) { tick_ += milliseconds; }
    // Makes the next CreateMainWindow fail.
    void FailWindowCreation() { failWindowCreation_ = true; }
    // Queues a message for PeekMessage (and for a dialog's modal loop). A null window stands for the
    // main window, or the open dialog while one is open.
    void QueueMessage(std::uint32_t id, std::uintptr_t wParam = 0, std::intptr_t lParam = 0);
    // Queues the key-down message of an Alt+character chord as a desktop delivers it.
    void QueueAltCharacter(char character);
    // Queues a drop of one file on the main window.
    void QueueDrop(const std::string& path);
    // Changes the client size, as the user resizing the window does, and queues kMessageSize.
    void ResizeClient(int width, int height);
    // Runs right after a dialog received kMessageInitDialog, inside its modal loop: the place to move
    // the clock on and queue the keys that close it.
    std::function<void(CHeadlessPlatform&)> onDialogOpen;

    // --- What happened ---
    // Every windowing call in order, e.g. "CreateMainWindow", "Dispatch 0x0111", "DialogBox 103".
    const std::vector<std::string>& Log() const { return log_; }
    // Adds an entry, so a caller's own steps interleave with the platform's in Log().
    void Note(const std::string& entry) { log_.push_back(entry); }
    WindowHandle MainWindow() const { return mainWindow_; }
    bool IsDialogOpen() const { return dialogProcedure_ != nullptr; }
    std::size_t QueuedMessageCount() const { return queue_.size(); }
    const std::string& WindowText() const { return windowText_; }
    bool AcceptsDrops() const { return acceptsDrops_; }

    // --- IPlatform ---
    std::uint32_t GetTickCount() override { return tick_; }
    bool GetClientRect(WindowHandle window, Rect& rect) override;
    bool RegisterWindowClass(const WindowClass& windowClass) override;
    WindowHandle CreateMainWindow(const std::string& className, const std::string& title, int width,
                                  int height) override;
    void ShowWindow(WindowHandle window) override;
    void UpdateWindow(WindowHandle window) override;
    bool PeekMessage(Message& message) override;
    bool TranslateAccelerator(WindowHandle window, const AcceleratorTable& table,
                              const Message& message) override;
    void TranslateMessage(const Message& message) override;
    std::intptr_t DispatchMessage(const Message& message) override;
    std::intptr_t DefWindowProc(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                                std::intptr_t lParam) override;
    void BeginPaint(WindowHandle window) override;
    void EndPaint(WindowHandle window) override;
    bool DestroyWindow(WindowHandle window) override;
    void PostQuitMessage(int exitCode) override;
    std::intptr_t DialogBox(const DialogTemplate& dialogTemplate, WindowHandle owner,
                            IDialogProcedure& procedure) override;
    void EndDialog(WindowHandle dialog, std::intptr_t result) override;
    void SetWindowTitle(WindowHandle window, const std::string& text) override;
    void DragAcceptFiles(WindowHandle window) override;
    std::string TakeDroppedFile(std::uintptr_t drop) override;
    void SetCapture(WindowHandle) override {}
    void ReleaseCapture() override {}

private:
    void HandleDialogMessage(const Message& message);

    int clientWidth_;
    int clientHeight_;
    std::uint32_t tick_ = 0;
    bool failWindowCreation_ = false;
    std::map<std::string, WindowClass> classes_;
    WindowHandle mainWindow_ = nullptr;
    IWindowProcedure* mainProcedure_ = nullptr;
    bool paintPending_ = false;
    std::deque<Message> queue_;
    std::vector<std::string> log_;
    IDialogProcedure* dialogProcedure_ = nullptr;
    bool dialogEnded_ = false;
    std::intptr_t dialogResult_ = 0;
    std::string windowText_;
    bool acceptsDrops_ = false;
    std::map<std::uintptr_t, std::string> drops_;
    std::uintptr_t nextDrop_ = 1;
};

} // namespace tavro::platform
