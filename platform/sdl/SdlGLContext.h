#pragma once
// The SDL window as the OpenGL backend's context: the device draws into the main window's context,
// presents into its client area below the menu bar, and lets the window draw its chrome on top.
#include "gpu/opengl/GLContext.h"
#include "platform/sdl/SdlPlatform.h"

namespace tavro::platform {

class CSdlGLContext final : public gpu::opengl::IGLContext {
public:
    // platform must outlive this object, and hold its main window before Create.
    explicit CSdlGLContext(CSdlPlatform& platform) : platform_(platform) {}
    ~CSdlGLContext() override { platform_.SetRepaint(nullptr); }
    CSdlGLContext(const CSdlGLContext&) = delete;
    CSdlGLContext& operator=(const CSdlGLContext&) = delete;

    bool Create(gpu::opengl::GLDriver driver) override {
        return platform_.CreateGLContext(driver == gpu::opengl::GLDriver::Software);
    }
    void MakeCurrent() override { platform_.MakeCurrent(); }
    void GetDrawableSize(int* width, int* height) override { platform_.GetClientSize(*width, *height); }
    void SwapBuffers() override { platform_.SwapBuffers(); }
    void DrawOnTop() override { platform_.DrawChrome(); }
    void SetRepaint(std::function<void()> repaint) override { platform_.SetRepaint(std::move(repaint)); }

private:
    CSdlPlatform& platform_;
};

} // namespace tavro::platform
