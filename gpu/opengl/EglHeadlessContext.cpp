#include "gpu/opengl/EglHeadlessContext.h"

#include <algorithm>
#include <cstring>
#include <epoxy/egl.h>
#include <vector>

namespace tavro::gpu::opengl {
namespace {

bool HasClientExtension(const char* name) {
    return epoxy_has_egl_extension(EGL_NO_DISPLAY, name);
}

bool IsSoftwareDevice(EGLDeviceEXT device) {
    const char* extensions = eglQueryDeviceStringEXT(device, EGL_EXTENSIONS);
    return extensions != nullptr && std::strstr(extensions, "EGL_MESA_device_software") != nullptr;
}

// The EGL devices, or none when they cannot be listed.
std::vector<EGLDeviceEXT> Devices() {
    if (!HasClientExtension("EGL_EXT_device_enumeration") || !HasClientExtension("EGL_EXT_platform_device"))
        return {};
    EGLDeviceEXT devices[16];
    EGLint count = 0;
    if (!eglQueryDevicesEXT(16, devices, &count))
        return {};
    return std::vector<EGLDeviceEXT>(devices, devices + count);
}

// The display of Mesa's software rasterizer, found among the EGL devices; EGL_NO_DISPLAY when there is none.
EGLDisplay SoftwareDisplay() {
    for (const EGLDeviceEXT device : Devices()) {
        if (IsSoftwareDevice(device))
            return eglGetPlatformDisplayEXT(EGL_PLATFORM_DEVICE_EXT, device, nullptr);
    }
    return EGL_NO_DISPLAY;
}

// EGL_NO_DISPLAY also when the devices listed are all software ones: the default display could then
// only be a software rasterizer, which the default driver refuses, and starting one costs a noticeable
// part of a headless run.
EGLDisplay DefaultDisplay() {
    if (!HasClientExtension("EGL_MESA_platform_surfaceless"))
        return EGL_NO_DISPLAY;
    const std::vector<EGLDeviceEXT> devices = Devices();
    if (!devices.empty() && std::all_of(devices.begin(), devices.end(), IsSoftwareDevice))
        return EGL_NO_DISPLAY;
    return eglGetPlatformDisplayEXT(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
}

// An OpenGL 4.5 core-profile context sharing share's objects (none for EGL_NO_CONTEXT), with or
// without robust buffer access; EGL_NO_CONTEXT when the driver refuses it.
EGLContext CreateCoreContext(EGLDisplay display, EGLContext share, bool robust) {
    const EGLint attributes[] = {EGL_CONTEXT_MAJOR_VERSION,
                                 4,
                                 EGL_CONTEXT_MINOR_VERSION,
                                 5,
                                 EGL_CONTEXT_OPENGL_PROFILE_MASK,
                                 EGL_CONTEXT_OPENGL_CORE_PROFILE_BIT,
                                 EGL_CONTEXT_OPENGL_ROBUST_ACCESS,
                                 robust ? EGL_TRUE : EGL_FALSE,
                                 EGL_NONE};
    return eglCreateContext(display, EGL_NO_CONFIG_KHR, share, attributes);
}

class EglWorkerContext : public IGLWorkerContext {
public:
    EglWorkerContext(EGLDisplay eglDisplay, EGLContext eglContext)
        : display(eglDisplay), context(eglContext) {}
    EglWorkerContext(const EglWorkerContext&) = delete;
    EglWorkerContext& operator=(const EglWorkerContext&) = delete;
    ~EglWorkerContext() override {
        if (eglGetCurrentContext() == context)
            eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        eglDestroyContext(display, context);
    }
    void MakeCurrent() override { eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, context); }

private:
    const EGLDisplay display;
    const EGLContext context;
};

} // namespace

EglHeadlessContext::~EglHeadlessContext() {
    Destroy();
}

void EglHeadlessContext::Destroy() {
    if (context == nullptr)
        return;
    auto* eglDisplay = static_cast<EGLDisplay>(display);
    if (eglGetCurrentContext() == static_cast<EGLContext>(context))
        eglMakeCurrent(eglDisplay, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    eglDestroyContext(eglDisplay, static_cast<EGLContext>(context));
    // The display is left initialised: EGL displays are shared by the whole process, and other contexts
    // may live on it.
    context = nullptr;
    display = nullptr;
}

bool EglHeadlessContext::Create(GLDriver driver) {
    Destroy();
    const EGLDisplay eglDisplay = driver == GLDriver::Software ? SoftwareDisplay() : DefaultDisplay();
    if (eglDisplay == EGL_NO_DISPLAY)
        return false;
    EGLint major = 0;
    EGLint minor = 0;
    if (!eglInitialize(eglDisplay, &major, &minor) || !eglBindAPI(EGL_OPENGL_API))
        return false;
    if (!epoxy_has_egl_extension(eglDisplay, "EGL_KHR_surfaceless_context") ||
        !epoxy_has_egl_extension(eglDisplay, "EGL_KHR_no_config_context"))
        return false;
    // Robust buffer access where the driver offers it: a draw that indexes past a vertex buffer then reads
    // zeros, as Direct3D guarantees, instead of other memory.
    EGLContext made = EGL_NO_CONTEXT;
    for (const bool withRobustAccess : {true, false}) {
        made = CreateCoreContext(eglDisplay, EGL_NO_CONTEXT, withRobustAccess);
        robust = withRobustAccess;
        if (made != EGL_NO_CONTEXT)
            break;
    }
    if (made == EGL_NO_CONTEXT)
        return false;
    if (!eglMakeCurrent(eglDisplay, EGL_NO_SURFACE, EGL_NO_SURFACE, made)) {
        eglDestroyContext(eglDisplay, made);
        return false;
    }
    display = eglDisplay;
    context = made;
    return true;
}

void EglHeadlessContext::MakeCurrent() {
    if (context != nullptr)
        eglMakeCurrent(static_cast<EGLDisplay>(display), EGL_NO_SURFACE, EGL_NO_SURFACE,
                       static_cast<EGLContext>(context));
}

std::unique_ptr<IGLWorkerContext> EglHeadlessContext::CreateWorkerContext() {
    // The client API is the calling thread's own setting.
    if (context == nullptr || !eglBindAPI(EGL_OPENGL_API))
        return nullptr;
    const auto eglDisplay = static_cast<EGLDisplay>(display);
    const EGLContext made = CreateCoreContext(eglDisplay, static_cast<EGLContext>(context), robust);
    if (made == EGL_NO_CONTEXT)
        return nullptr;
    auto worker = std::make_unique<EglWorkerContext>(eglDisplay, made);
    if (!eglMakeCurrent(eglDisplay, EGL_NO_SURFACE, EGL_NO_SURFACE, made))
        return nullptr;
    return worker;
}

void EglHeadlessContext::GetDrawableSize(int* width, int* height) {
    *width = 0;
    *height = 0;
}

} // namespace tavro::gpu::opengl
