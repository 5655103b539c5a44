#pragma once
// The desktop platform on SDL2: one OpenGL window whose menu bar and About box are drawn with Dear
// ImGui. SDL events become the messages of the platform interface. The window redraws itself (the last
// presented image and its chrome) whenever it needs drawing, so the menu works whether or not anything
// is being rendered.
#include "platform/Platform.h"

#include <atomic>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>

union SDL_Event;

namespace tavro::platform {

class CSdlChrome;

class CSdlPlatform final : public IPlatform {
public:
    CSdlPlatform();
    ~CSdlPlatform() override;
    CSdlPlatform(const CSdlPlatform&) = delete;
    CSdlPlatform& operator=(const CSdlPlatform&) = delete;

    // --- The main window's OpenGL context, for the graphics backend (see SdlGLContext.h) ---
    // Creates an OpenGL 4.5 core context on the main window and makes it current, replacing the one
    // made before; software asks for Mesa's software rasterizer. False without a window or a context.
    bool CreateGLContext(bool software);
    void MakeCurrent();
    // A second context sharing the main one's objects, made with it, that one other thread at a time may
    // hold to create objects (see CSdlGLContext::CreateWorkerContext). TakeWorkerContext marks it held,
    // false when there is none or it is held already; MakeWorkerContextCurrent makes it current on the
    // calling thread, on the main window, which it never draws to; ReleaseWorkerContext unbinds it from
    // the calling thread and lets it go.
    bool HasWorkerContext() const;
    bool TakeWorkerContext();
    void MakeWorkerContextCurrent();
    void ReleaseWorkerContext();
    // The client area's size: the drawable below the menu bar. 0 x 0 without a window.
    void GetClientSize(int& width, int& height);
    // Draws the chrome over the frame drawn into the default framebuffer.
    void DrawChrome();
    void SwapBuffers();
    // How to show the last presented image again; empty when there is none to show.
    void SetRepaint(std::function<void()> repaint) {
        repaint_ = std::move(repaint);
        framePresented_ = false;
    }

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
    void SetWindowTitle(WindowHandle window, const std::string& text) override;
    void DragAcceptFiles(WindowHandle window) override;
    std::string TakeDroppedFile(std::uintptr_t drop) override;
    void SetCapture(WindowHandle window) override;
    void ReleaseCapture() override;

private:
    struct Window;

    std::atomic<bool> workerContextHeld_{false};

    // Turns waiting SDL events into queued messages; true when one of them needs the chrome redrawn.
    bool PumpEvents();
    // Redraws the window (scene and chrome) and queues the commands the menu produced.
    void Compose();
    void QueueCommands();
    // Shrinks the shown window by its frame, so that its outer size is the one it was created with.
    void FitOuterSize();
    // Queues the mouse message of a pointer event over the client area.
    void QueueMouseMessage(const SDL_Event& event);
    bool IsMainWindow(WindowHandle window) const;

    std::map<std::string, WindowClass> classes_;
    std::unique_ptr<Window> window_;
    std::function<void()> repaint_;
    bool framePresented_ = false; // since the repaint function was handed over
    std::deque<Message> queue_;
    std::map<std::uintptr_t, std::string> drops_;
    std::uintptr_t nextDrop_ = 1;
    std::uint32_t pendingCharacter_ = 0;
    bool pendingCharacterAlt_ = false;
    bool presentedSincePeek_ = false;
    bool idleSincePeek_ = false; // the last peek found no message, so the idle pass ran after it
    int followUpFrames_ = 0;
    bool dialogEnded_ = false;
    std::intptr_t dialogResult_ = 0;
};

} // namespace tavro::platform
