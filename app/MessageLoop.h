#pragma once
// The viewer's message loop, which never waits for a message.
#include "platform/Platform.h"

#include <functional>

namespace tavro {

// Runs until the quit message has been taken. Each pass either takes one waiting message (offered to
// the accelerators, otherwise translated and dispatched; the quit message too) or, when none is
// waiting, runs idleWork once. Returns the quit message's exit code.
int RunMessageLoop(platform::IPlatform& platform, const platform::AcceleratorTable& accelerators,
                   const std::function<void()>& idleWork);

} // namespace tavro
