// TavroModelViewer.exe: the viewer on the Win32 window and the Direct3D 11 device. It takes nothing from
// its command line; its exit code is the quit message's, or 0 when the window or the device cannot be
// made.
#include "app/ModelCycler.h"
#include "app/RenderingViewer.h"
#include "app/Viewer.h"
#include "gpu/d3d11/D3D11Factory.h"
#include "platform/win32/Win32Platform.h"
#include "render/RendererState.h"

#include <optional>
#include <windows.h>

namespace tavro {
namespace {

// Direct3D presents to the window itself, which exists only once start-up has created it: the
// renderer is bound to the window's HWND when the device is set up.
class CWin32Viewer final : public IViewerRenderer {
public:
    CWin32Viewer(RendererState& renderer, gpu::IDeviceFactory& factory, CModelCycler& cycler)
        : renderer_(renderer), factory_(factory), cycler_(cycler) {}

    bool InitDevice(platform::IPlatform& platform, platform::WindowHandle window) override {
        viewer_.emplace(renderer_, factory_, static_cast<gpu::WindowHandle>(window), cycler_);
        return viewer_->InitDevice(platform, window);
    }
    bool LoadNextModel() override { return cycler_.LoadNextModel(); }
    void RenderCurrentModel() override {
        if (viewer_) {
            viewer_->RenderCurrentModel();
        }
    }

private:
    RendererState& renderer_;
    gpu::IDeviceFactory& factory_;
    CModelCycler& cycler_;
    std::optional<CRenderingViewer> viewer_;
};

} // namespace
} // namespace tavro

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    // Destroyed in reverse order: the device's objects go before the platform that owns the window.
    tavro::platform::CWin32Platform platform(instance, showCommand);
    tavro::gpu::d3d11::D3D11Factory factory;
    tavro::RendererState renderer;
    tavro::CModelCycler cycler(renderer);
    tavro::CWin32Viewer viewer(renderer, factory, cycler);
    return tavro::RunViewer(platform, viewer);
}
