#include "platform/TickCount.h"

#include <chrono>

namespace tavro::platform {

std::uint32_t MonotonicTickCount() {
    // steady_clock is CLOCK_MONOTONIC on Linux; truncating to 32 bits gives the wrapping counter.
    const auto elapsed = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
}

} // namespace tavro::platform
