#pragma once
// The viewer's renderer: the graphics device of render/ on the main window, and the model cycler.
#include "app/ModelCycler.h"
#include "app/Viewer.h"
#include "gpu/Factory.h"

namespace tavro {

class CFrameLog;
class RendererState;

class CRenderingViewer final : public IViewerRenderer {
public:
    // Draws with factory's devices into gpuWindow (what the backend takes as the swap chain's window);
    // every argument must outlive this object.
    CRenderingViewer(RendererState& renderer, gpu::IDeviceFactory& factory, gpu::WindowHandle gpuWindow,
                     CModelCycler& cycler);

    // Sets up the device with the platform's tick counter and the window's client size.
    bool InitDevice(platform::IPlatform& platform, platform::WindowHandle window) override;
    bool LoadNextModel() override { return cycler_.LoadNextModel(); }
    void RenderCurrentModel() override;

    // From the device's set-up on, every presented frame is logged to frameLog (open; it must outlive
    // the renderer's swap chain).
    void LogFrames(CFrameLog* frameLog) { frameLog_ = frameLog; }

private:
    RendererState& renderer_;
    gpu::IDeviceFactory& factory_;
    gpu::WindowHandle gpuWindow_;
    CModelCycler& cycler_;
    CFrameLog* frameLog_ = nullptr;
};

} // namespace tavro
