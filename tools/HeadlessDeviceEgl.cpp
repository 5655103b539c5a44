#include "gpu/opengl/AllocatorTuning.h"
#include "gpu/opengl/EglHeadlessContext.h"
#include "gpu/opengl/OpenGLFactory.h"
#include "tools/HeadlessDevice.h"

namespace tavro::tools {

struct HeadlessDevice::Backend {
    gpu::opengl::EglHeadlessContext context; // outlives every graphics object made on it
    gpu::opengl::OpenGLFactory factory;
};

HeadlessDevice::HeadlessDevice() {
    gpu::opengl::TuneAllocatorForSoftwareRendering();
    backend = std::make_unique<Backend>();
}

HeadlessDevice::~HeadlessDevice() = default;

gpu::IDeviceFactory& HeadlessDevice::Factory() {
    return backend->factory;
}

gpu::WindowHandle HeadlessDevice::Window() {
    return static_cast<gpu::opengl::IGLContext*>(&backend->context);
}

const char* HeadlessDevice::Requirement() {
    return "headless drawing needs OpenGL 4.5 through EGL";
}

} // namespace tavro::tools
