#pragma once
// The desktop platform on SDL2: one OpenGL window whose menu bar and About box are drawn with Dear
// ImGui. SDL events become the messages of the platform interface; the window keeps the last image
// the renderer presented and draws it with its own chrome whenever the window needs drawing, so the
// menu works whether or not anything is being rendered.
#include "platform/Platform.h"

#include <deque>
#include <map>
#include <memory>
#include <string>

namespace tavro::platform {

class CSdlChrome;

class CSdlPlatform final : public IPlatform {
public:
    CSdlPlatform();
    ~CSdlPlatform() override;
    CSdlPlatform(const CSdlPlatform&) = delete;
    CSdlPlatform& operator=(const CSdlPlatform&) = delete;

    // --- The window's OpenGL surface, for the graphics backend ---
    // Makes the window's context current on this thread.
    void MakeCurrent();
    // The framebuffer a frame is presented into: the 3D view's image, kept between frames. Its size is
    // the client area's.
    unsigned SceneFramebuffer();
    // Shows the scene framebuffer below the menu bar, draws the chrome on top, and swaps.
    void PresentScene();

    // --- IPlatform ---
    std::uint32_t GetTickCount() override;
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

private:
    struct Window;

    // Turns waiting SDL events into queued messages; true when one of them needs the chrome redrawn.
    bool PumpEvents();
    // Redraws the window (scene and chrome) and queues the commands the menu produced.
    void Compose();
    void QueueCommands();
    bool IsMainWindow(WindowHandle window) const;

    std::map<std::string, WindowClass> classes_;
    std::unique_ptr<Window> window_;
    std::deque<Message> queue_;
    std::uint32_t pendingCharacter_ = 0;
    bool pendingCharacterAlt_ = false;
    bool presentedSincePeek_ = false;
    int followUpFrames_ = 0;
    bool dialogEnded_ = false;
    std::intptr_t dialogResult_ = 0;
};

} // namespace tavro::platform
