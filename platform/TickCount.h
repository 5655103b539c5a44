#pragma once
// The system tick counter.
#include <cstdint>

namespace tavro::platform {

// Milliseconds of the monotonic clock (CLOCK_MONOTONIC on Linux), as an unsigned 32-bit value that
// wraps about every 49.7 days. Unaffected by changes of the wall-clock time.
std::uint32_t MonotonicTickCount();

} // namespace tavro::platform
