#include "app/RenderingViewer.h"

#include "app/FrameLog.h"
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
    if (!tavro::InitDevice(renderer_, factory_, gpuWindow_, std::move(host))) {
        return false;
    }
    if (frameLog_ != nullptr) {
        frameLog_->Attach(renderer_, cycler_);
    }
    return true;
}

void CRenderingViewer::RenderCurrentModel() {
    if (renderer_.currentModel != nullptr) {
        tavro::RenderCurrentModel(renderer_);
    }
}

} // namespace tavro
