#include "app/MainWindow.h"

#include "app/ResourceTables.h"
#include "app/Resources.h"

namespace tavro {

std::intptr_t CMainWindowProcedure::HandleMessage(platform::WindowHandle window, std::uint32_t message,
                                                  std::uintptr_t wParam, std::intptr_t lParam) {
    if (controls_ != nullptr && controls_->HandleMessage(window, message, wParam, lParam)) {
        return 0;
    }
    switch (message) {
    case platform::kMessageDestroy:
        platform_.PostQuitMessage(0);
        return 0;
    case platform::kMessagePaint:
        platform_.BeginPaint(window);
        platform_.EndPaint(window);
        return 0;
    case platform::kMessageCommand:
        switch (platform::CommandId(wParam)) {
        case TAVRO_IDM_ABOUT: {
            CAboutDialogProcedure about(platform_);
            platform_.DialogBox(AboutDialogTemplate(), window, about);
            return 0;
        }
        case TAVRO_IDM_EXIT:
            platform_.DestroyWindow(window);
            return 0;
        default:
            return platform_.DefWindowProc(window, message, wParam, lParam);
        }
    default:
        return platform_.DefWindowProc(window, message, wParam, lParam);
    }
}

bool CAboutDialogProcedure::HandleDialogMessage(platform::WindowHandle dialog, std::uint32_t message,
                                                std::uintptr_t wParam, std::intptr_t) {
    if (message == platform::kMessageInitDialog) {
        return true;
    }
    if (message == platform::kMessageCommand) {
        const std::uint16_t command = platform::CommandId(wParam);
        if (command == platform::kCommandOk || command == platform::kCommandCancel) {
            platform_.EndDialog(dialog, command);
            return true;
        }
    }
    return false;
}

} // namespace tavro
