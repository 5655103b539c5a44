#include "platform/Accelerators.h"

namespace tavro::platform {

int FindAcceleratorCommand(const AcceleratorTable& table, const Message& message) {
    if (message.id != kMessageChar && message.id != kMessageSysChar) {
        return -1;
    }
    const bool altHeld = message.id == kMessageSysChar || (message.lParam & kAltHeldBit) != 0;
    for (const Accelerator& entry : table.entries) {
        const bool wantsAlt = (entry.flags & kAcceleratorAlt) != 0;
        if (entry.key == message.wParam && wantsAlt == altHeld) {
            return entry.command;
        }
    }
    return -1;
}

} // namespace tavro::platform
