#include "app/MessageLoop.h"

namespace tavro {

int RunMessageLoop(platform::IPlatform& platform, const platform::AcceleratorTable& accelerators,
                   const std::function<void()>& idleWork) {
    platform::Message message;
    while (message.id != platform::kMessageQuit) {
        if (platform.PeekMessage(message)) {
            if (!platform.TranslateAccelerator(message.window, accelerators, message)) {
                platform.TranslateMessage(message);
                platform.DispatchMessage(message);
            }
        } else {
            idleWork();
        }
    }
    return static_cast<int>(message.wParam);
}

} // namespace tavro
