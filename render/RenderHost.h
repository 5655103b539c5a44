#pragma once
// What the renderer needs from the windowing platform: the millisecond tick counter and the current
// client size of the main window. The shell wires both to platform/; tools and tests pass fixed or
// scripted values, so render/ never depends on a windowing backend.
#include <cstdint>
#include <functional>

namespace tavro {

struct ClientSize {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
};

struct RenderHost {
    // The tick counter in milliseconds, wrapping at 2^32.
    std::function<std::uint32_t()> tickCount;
    // The main window's client size now; read at set-up and again at every frame.
    std::function<ClientSize()> clientSize;
};

} // namespace tavro
