#pragma once
// The model timer of the idle work: once more than 4000 ms have passed since its mark, the next model
// is loaded, unless loading has stopped for good.
#include "platform/Platform.h"

#include <cstdint>
#include <functional>

namespace tavro {

class CModelTimer {
public:
    static constexpr std::uint32_t kIntervalMs = 4000;

    // The timer work of one idle pass. The mark is set at the first pass; when now − mark (unsigned
    // 32-bit, so a wrap of the tick counter is harmless) exceeds 4000, loadNextModel runs unless the
    // stop flag is set, a false result sets the flag, and the mark moves to now either way. Returns
    // true when loadNextModel ran.
    bool OnIdle(platform::IPlatform& platform, const std::function<bool()>& loadNextModel);

    bool IsStopped() const { return stopped_; }

    // A user's step: the interval counts afresh from now, and loading goes on even after a failure.
    void Restart(std::uint32_t now) {
        mark_ = now;
        markSet_ = true;
        stopped_ = false;
    }

private:
    bool markSet_ = false;
    std::uint32_t mark_ = 0;
    bool stopped_ = false;
};

} // namespace tavro
