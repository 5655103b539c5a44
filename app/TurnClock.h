#pragma once
// The clock the model's turn follows: the platform's tick, held while the viewer is paused, so a
// paused model keeps its angle and resumes from it. Never paused, it is the platform's tick itself.
#include <cstdint>

namespace tavro {

class CTurnClock {
public:
    // The turn's tick for the platform's tick now (both wrapping at 2^32).
    std::uint32_t Now(std::uint32_t platformTick) const {
        return paused_ ? heldAt_ : platformTick - pausedTotal_;
    }
    void Pause(std::uint32_t platformTick) {
        if (!paused_) {
            heldAt_ = Now(platformTick);
            paused_ = true;
        }
    }
    void Resume(std::uint32_t platformTick) {
        if (paused_) {
            pausedTotal_ = platformTick - heldAt_;
            paused_ = false;
        }
    }
    bool IsPaused() const { return paused_; }

private:
    bool paused_ = false;
    std::uint32_t heldAt_ = 0;
    std::uint32_t pausedTotal_ = 0;
};

} // namespace tavro
