#include "app/RenderingViewer.h"

#include "render/RendererState.h"

namespace tavro {

CRenderingViewer::CRenderingViewer(RendererState& renderer, gpu::IDeviceFactory& factory,
                                   gpu::WindowHandle gpuWindow, CModelCycler& cycler)
    : renderer_(renderer), factory_(factory), gpuWindow_(gpuWindow), cycler_(cycler) {}

bool CRenderingViewer::InitDevice(platform::IPlatform& platform, platform::WindowHandle window) {
    RenderHost host;
    host.tickCount = [&platform] { return platform.GetTickCount(); };
    host.clientSize = [&platform, window] {
        platform::Rect rect;
        if (!platform.GetClientRect(window, rect)) {
            return ClientSize{};
        }
        return ClientSize{static_cast<std::uint32_t>(rect.right - rect.left),
                          static_cast<std::uint32_t>(rect.bottom - rect.top)};
    };
    return tavro::InitDevice(renderer_, factory_, gpuWindow_, std::move(host));
}

void CRenderingViewer::RenderCurrentModel() {
    if (renderer_.currentModel != nullptr) {
        tavro::RenderCurrentModel(renderer_);
    }
}

} // namespace tavro
