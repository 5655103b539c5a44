#pragma once
// How the user has asked to see the model, beyond the default view: an orbit on top of the turn, the
// camera's distance, the background, and the lit and wireframe looks. Value-initialised it is the default
// view, and a frame drawn with it is the default frame, byte for byte.
#include <array>

namespace tavro {

constexpr float kMaxPitchRadians = 1.5533430f; // 89 degrees
constexpr float kMinZoom = 0.2f;
constexpr float kMaxZoom = 5.0f;

struct ViewOptions {
    float yawRadians = 0.0f;   // about the vertical axis, added to the turn
    float pitchRadians = 0.0f; // about the camera's horizontal axis, within ±kMaxPitchRadians
    float zoom = 1.0f;         // camera distance as a multiple of the default one, within the limits
    std::array<float, 4> background = {0.0f, 0.0f, 0.0f, 1.0f};
    bool lit = false;       // a headlight from the vertex normals over the texture
    bool wireframe = false; // the triangles' edges only

    // The same options with pitch and zoom brought within their limits (NaN taken as the default).
    ViewOptions Clamped() const;
};

} // namespace tavro
