#pragma once
// A swap chain that tells an observer when each Present starts and ends, forwarding everything else to
// the swap chain it wraps: the way to time frames without touching the frame code.
#include "gpu/Device.h"
#include "render/RendererState.h"

#include <functional>

namespace tavro {

struct PresentHooks {
    std::function<void()> beforePresent;
    std::function<void()> afterPresent;
};

// Replaces state's swap chain (which must exist) by a wrapper calling hooks around each Present. The
// wrapper holds the original, so releasing the state's reference releases both.
void ObservePresents(RendererState& state, PresentHooks hooks);

} // namespace tavro
