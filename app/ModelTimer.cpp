#include "app/ModelTimer.h"

namespace tavro {

bool CModelTimer::OnIdle(platform::IPlatform& platform, const std::function<bool()>& loadNextModel) {
    if (!markSet_) {
        mark_ = platform.GetTickCount();
        markSet_ = true;
    }
    const std::uint32_t now = platform.GetTickCount();
    if (static_cast<std::uint32_t>(now - mark_) <= kIntervalMs) {
        return false;
    }
    bool loaded = false;
    if (!stopped_) {
        loaded = true;
        if (!loadNextModel()) {
            stopped_ = true;
        }
    }
    mark_ = now;
    return loaded;
}

} // namespace tavro
