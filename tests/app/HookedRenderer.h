#pragma once
// A viewer renderer that passes every call on and runs a hook after each idle pass's frame, so a test
// can move the clock, post messages or look at what was drawn between passes.
#include "app/Viewer.h"

#include <functional>
#include <utility>

namespace tavro::apptest {

class HookedRenderer final : public IViewerRenderer {
public:
    HookedRenderer(IViewerRenderer& inner, std::function<void(int pass)> onIdle)
        : inner_(inner), onIdle_(std::move(onIdle)) {}
    bool InitDevice(platform::IPlatform& platform, platform::WindowHandle window) override {
        return inner_.InitDevice(platform, window);
    }
    bool LoadNextModel() override {
        ++loads;
        return inner_.LoadNextModel();
    }
    void RenderCurrentModel() override {
        inner_.RenderCurrentModel();
        onIdle_(++passes_);
    }

    int loads = 0;

private:
    IViewerRenderer& inner_;
    std::function<void(int)> onIdle_;
    int passes_ = 0;
};

} // namespace tavro::apptest
