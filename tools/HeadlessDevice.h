#pragma once
// The graphics backend the tool draws with when no window exists: OpenGL through EGL on Linux, Direct3D 11
// into an offscreen render target on Windows. The renderer makes its device on it in the viewer's driver
// order; frames are read back with the swap chain's ReadPresentedImage.
#include "gpu/Factory.h"

#include <memory>

namespace tavro::tools {

class HeadlessDevice {
public:
    HeadlessDevice();
    HeadlessDevice(const HeadlessDevice&) = delete;
    HeadlessDevice& operator=(const HeadlessDevice&) = delete;
    // Every graphics object made on the factory must be gone before this.
    ~HeadlessDevice();

    gpu::IDeviceFactory& Factory();
    // What to give InitDevice as the window.
    gpu::WindowHandle Window();
    // What this backend needs from the machine, for the error when no device can be made.
    static const char* Requirement();

private:
    struct Backend;
    std::unique_ptr<Backend> backend;
};

} // namespace tavro::tools
