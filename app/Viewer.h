#pragma once
// The viewer program as a whole, over any platform backend and any renderer.
#include "platform/Platform.h"

namespace tavro {

// What the start-up and the idle work need from the renderer and the model cycler.
class IViewerRenderer {
public:
    virtual ~IViewerRenderer() = default;
    // Sets up the graphics device on the main window; false ends the program.
    virtual bool InitDevice(platform::IPlatform& platform, platform::WindowHandle window) = 0;
    // Loads the schedule's next model; false when the archive could not be used.
    virtual bool LoadNextModel() = 0;
    // Draws and presents one frame of the current model; does nothing while no model is current.
    virtual void RenderCurrentModel() = 0;
};

// Starts the viewer in this order: title and class name strings, window class, 1280 × 960 window, show
// and update, InitDevice, one LoadNextModel (its result ignored), accelerators; then runs the message
// loop whose idle work is the model timer and one frame. Returns the quit message's exit code, or 0
// at once when the window or the device cannot be made.
int RunViewer(platform::IPlatform& platform, IViewerRenderer& renderer);

} // namespace tavro
