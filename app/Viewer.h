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

class CModelTimer;

// What a user adds to the default viewer: arguments, keys, the mouse, drops.
class IViewerControls {
public:
    virtual ~IViewerControls() = default;
    // Runs once the device is set up, in place of the default start load (which it makes itself);
    // timer is the loop's model timer.
    virtual void Start(platform::WindowHandle window, CModelTimer& timer) = 0;
    // A message for the main window, before the window's own handling; true when it was the user's
    // and is handled.
    virtual bool HandleMessage(platform::WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                               std::intptr_t lParam) = 0;
    // While paused the model timer loads nothing.
    virtual bool IsPaused() const = 0;
};

// Starts the viewer in this order: title and class name strings, window class, 1280 × 960 window, show
// and update, InitDevice, one LoadNextModel (its result ignored), accelerators; then runs the message
// loop whose idle work is the model timer and one frame. Returns the quit message's exit code, or 0
// at once when the window or the device cannot be made. With controls, their Start makes the start
// load and they see the main window's messages first.
int RunViewer(platform::IPlatform& platform, IViewerRenderer& renderer, IViewerControls* controls = nullptr);

} // namespace tavro
