#pragma once
// The procedures of the main window and of the About box.
#include "app/Viewer.h"
#include "platform/Platform.h"

namespace tavro {

// The main window: destroying it posts the quit message with code 0; paint requests are answered
// without drawing (frames come from the idle work); command 104 opens the About box modally and 105
// destroys the window; everything else gets the default handling. The user's controls, when given,
// see every message first.
class CMainWindowProcedure final : public platform::IWindowProcedure {
public:
    explicit CMainWindowProcedure(platform::IPlatform& platform, IViewerControls* controls = nullptr)
        : platform_(platform), controls_(controls) {}
    std::intptr_t HandleMessage(platform::WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                                std::intptr_t lParam) override;

private:
    platform::IPlatform& platform_;
    IViewerControls* controls_;
};

// The About box: OK and Cancel (Enter and Esc) end it with their command id.
class CAboutDialogProcedure final : public platform::IDialogProcedure {
public:
    explicit CAboutDialogProcedure(platform::IPlatform& platform) : platform_(platform) {}
    bool HandleDialogMessage(platform::WindowHandle dialog, std::uint32_t message, std::uintptr_t wParam,
                             std::intptr_t lParam) override;

private:
    platform::IPlatform& platform_;
};

} // namespace tavro
