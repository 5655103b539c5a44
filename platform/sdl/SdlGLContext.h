#pragma once
// The SDL window as the OpenGL backend's context: the device draws into the main window's context,
// presents into its client area below the menu bar, and lets the window draw its chrome on top.
#include "gpu/opengl/GLContext.h"
#include "platform/sdl/SdlPlatform.h"

namespace tavro::platform {

// The platform's worker context, held by one thread until this goes (on that thread).
class CSdlWorkerContext final : public gpu::opengl::IGLWorkerContext {
public:
    explicit CSdlWorkerContext(CSdlPlatform& platform) : platform_(platform) {}
    ~CSdlWorkerContext() override { platform_.ReleaseWorkerContext(); }
    CSdlWorkerContext(const CSdlWorkerContext&) = delete;
    CSdlWorkerContext& operator=(const CSdlWorkerContext&) = delete;
    void MakeCurrent() override { platform_.MakeWorkerContextCurrent(); }

private:
    CSdlPlatform& platform_;
};

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
    bool OffersWorkerContexts() const override { return platform_.HasWorkerContext(); }
    std::unique_ptr<gpu::opengl::IGLWorkerContext> CreateWorkerContext() override {
        if (!platform_.TakeWorkerContext()) {
            return nullptr;
        }
        auto worker = std::make_unique<CSdlWorkerContext>(platform_);
        worker->MakeCurrent();
        return worker;
    }
    void GetDrawableSize(int* width, int* height) override { platform_.GetClientSize(*width, *height); }
    void SwapBuffers() override { platform_.SwapBuffers(); }
    void DrawOnTop() override { platform_.DrawChrome(); }
    void SetRepaint(std::function<void()> repaint) override { platform_.SetRepaint(std::move(repaint)); }

private:
    CSdlPlatform& platform_;
};

} // namespace tavro::platform
