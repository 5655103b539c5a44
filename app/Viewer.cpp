#include "app/Viewer.h"

#include "app/AppIcon.h"
#include "app/MainWindow.h"
#include "app/MessageLoop.h"
#include "app/ModelTimer.h"
#include "app/ResourceTables.h"
#include "app/Resources.h"

namespace tavro {
namespace {

constexpr int kWindowWidth = 1280;
constexpr int kWindowHeight = 960;

} // namespace

int RunViewer(platform::IPlatform& platform, IViewerRenderer& renderer, IViewerControls* controls) {
    const std::string title = LoadResourceString(TAVRO_IDS_APP_TITLE);
    const std::string className = LoadResourceString(TAVRO_IDC_APP);

    CMainWindowProcedure procedure(platform, controls);
    platform.RegisterWindowClass(platform::WindowClass{className, &procedure, &AppIcon(), &AppMenu()});

    const platform::WindowHandle window =
        platform.CreateMainWindow(className, title, kWindowWidth, kWindowHeight);
    if (window == nullptr) {
        return 0;
    }
    platform.ShowWindow(window);
    platform.UpdateWindow(window);

    if (!renderer.InitDevice(platform, window)) {
        return 0;
    }

    CModelTimer timer;
    if (controls != nullptr) {
        controls->Start(window, timer);
    } else {
        renderer.LoadNextModel();
    }

    const platform::AcceleratorTable& accelerators = AppAccelerators();
    return RunMessageLoop(platform, accelerators, [&] {
        if (controls == nullptr || !controls->IsPaused()) {
            timer.OnIdle(platform, [&] { return renderer.LoadNextModel(); });
        }
        renderer.RenderCurrentModel();
    });
}

} // namespace tavro
