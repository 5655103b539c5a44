#pragma once
// An OpenGL context without a window, on EGL: the surfaceless platform for the default driver, the EGL
// device of Mesa's software rasterizer for the software one. Serves the tests and the command-line tool.
#include "gpu/opengl/GLContext.h"

namespace tavro::gpu::opengl {

class EglHeadlessContext : public IGLContext {
public:
    EglHeadlessContext() = default;
    EglHeadlessContext(const EglHeadlessContext&) = delete;
    EglHeadlessContext& operator=(const EglHeadlessContext&) = delete;
    ~EglHeadlessContext() override;

    bool Create(GLDriver driver) override;
    void MakeCurrent() override;
    bool OffersWorkerContexts() const override { return true; }
    std::unique_ptr<IGLWorkerContext> CreateWorkerContext() override;
    void GetDrawableSize(int* width, int* height) override;
    void SwapBuffers() override {}

private:
    void Destroy();

    void* display = nullptr; // EGLDisplay
    void* context = nullptr; // EGLContext
    bool robust = false;     // made with robust buffer access (worker contexts are made alike)
};

} // namespace tavro::gpu::opengl
