#pragma once
// The OpenGL context a device draws with: a headless EGL context (EglHeadlessContext) or a window's
// context (the SDL window). The OpenGL backend takes one as the swap chain's output window
// (SwapChainDesc::outputWindow = the IGLContext*), creates its context through it, and presents to it.
// The context object must outlive every graphics object of the device made on it; one device at a time.
#include <functional>
#include <memory>

namespace tavro::gpu::opengl {

// A context sharing another context's objects, made for one other thread (IGLContext::CreateWorkerContext).
// It must be destroyed on that thread, which it is released from first.
class IGLWorkerContext {
public:
    virtual ~IGLWorkerContext() = default;
    // Makes the context current on its thread again (after another context was).
    virtual void MakeCurrent() = 0;
};

// Which OpenGL implementation a context is created on.
enum class GLDriver {
    Default,  // the system's default driver (the device refuses it when it turns out to be a software one)
    Software, // Mesa's software rasterizer
};

class IGLContext {
public:
    virtual ~IGLContext() = default;

    // Creates an OpenGL 4.5 core-profile context on `driver` and makes it current, replacing any context
    // this object made before. False when the driver cannot give one; nothing is left current then.
    // Where the driver offers robust buffer access the context should have it, so that indices past the
    // end of a vertex buffer read zeros (as under Direct3D) rather than other memory.
    virtual bool Create(GLDriver driver) = 0;

    // Makes the context current on the calling thread.
    virtual void MakeCurrent() = 0;

    // Whether CreateWorkerContext can give contexts. Stays the same once Create succeeded.
    virtual bool OffersWorkerContexts() const { return false; }
    // Makes a context that shares this one's objects and leaves it current on the calling thread (not the
    // one this context is current on), so that thread can create objects this context draws with. May be
    // called while this context is in use on its own thread. Null when no such context can be made.
    virtual std::unique_ptr<IGLWorkerContext> CreateWorkerContext() { return nullptr; }

    // The window's drawable size in pixels; 0 × 0 for a context without a window, to which Present then
    // shows nothing (the image stays readable through ReadPresentedImage).
    virtual void GetDrawableSize(int* width, int* height) = 0;

    // Shows what was drawn into the window's default framebuffer.
    virtual void SwapBuffers() = 0;

    // Called by Present after the frame is drawn into the window and before SwapBuffers: the window draws
    // its own chrome (a menu bar) on top here.
    virtual void DrawOnTop() {}

    // The swap chain hands over a function that shows its last presented image again (scaled, with
    // DrawOnTop, swapped), for a window that must repaint while no new frame comes; an empty function
    // when the swap chain goes away. A context without a window ignores it.
    virtual void SetRepaint(std::function<void()> repaint) { static_cast<void>(repaint); }
};

} // namespace tavro::gpu::opengl
