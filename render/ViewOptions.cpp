#include "render/ViewOptions.h"

#include <algorithm>
#include <cmath>

namespace tavro {

ViewOptions ViewOptions::Clamped() const {
    ViewOptions clamped = *this;
    clamped.yawRadians = std::isfinite(yawRadians) ? std::remainder(yawRadians, 6.2831855f) : 0.0f;
    clamped.pitchRadians =
        std::isfinite(pitchRadians) ? std::clamp(pitchRadians, -kMaxPitchRadians, kMaxPitchRadians) : 0.0f;
    clamped.zoom = std::isfinite(zoom) ? std::clamp(zoom, kMinZoom, kMaxZoom) : 1.0f;
    return clamped;
}

} // namespace tavro
