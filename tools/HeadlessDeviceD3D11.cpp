#include "gpu/d3d11/D3D11Factory.h"
#include "tools/HeadlessDevice.h"

namespace tavro::tools {

struct HeadlessDevice::Backend {
    gpu::d3d11::D3D11Factory factory{gpu::d3d11::PresentTarget::Offscreen};
};

HeadlessDevice::HeadlessDevice() : backend(std::make_unique<Backend>()) {}

HeadlessDevice::~HeadlessDevice() = default;

gpu::IDeviceFactory& HeadlessDevice::Factory() {
    return backend->factory;
}

gpu::WindowHandle HeadlessDevice::Window() {
    return nullptr; // an offscreen target belongs to no window
}

const char* HeadlessDevice::Requirement() {
    return "headless drawing needs a Direct3D 11 device: hardware, WARP or the reference driver";
}

} // namespace tavro::tools
