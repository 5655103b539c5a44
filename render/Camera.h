#pragma once
// The fixed view every model is shown in: fitted to a 6-unit box by its bounding box, seen from
// (0, 0, 5) toward the origin through a 90-degree lens, turning about the vertical axis a quarter turn
// per second. Every function here is pure, so a frame depends only on the elapsed time, the client
// size and the model.
#include "model/Matrix.h"

#include <array>
#include <cstdint>

namespace tavro {

constexpr float kTurnRadiansPerSecond = 1.5707964f; // pi / 2: one full turn every 4 s
constexpr float kFittedSize = 6.0f;
constexpr float kFieldOfViewY = 1.5707964f; // pi / 2
constexpr float kNearPlane = 0.01f;
constexpr float kFarPlane = 100.0f;
constexpr float kClearDepthValue = 1.0f;
constexpr std::uint32_t kConstantBufferBytes = 192;

// The turning angle elapsedMs after the build. It is not reduced: the sine and cosine reduce it.
float TurnAngle(std::uint32_t elapsedMs);

// The fit N = T * S: moves the box's vertical centre to y = 0 and scales its largest side to 6 units.
// A box whose largest side is zero, negative or not finite (a flat point, or hostile bounds) is taken
// as 1 unit wide, and a vertical centre that is not finite as 0, so N never holds an infinity or NaN.
Matrix4 FitMatrix(const std::array<float, 3>& boundsMin, const std::array<float, 3>& boundsMax);

// The camera at (0, 0, 5) looking toward the origin, y up; zoom moves it to (0, 0, 5 × zoom).
Matrix4 CameraViewMatrix(float zoom = 1.0f);

// The tilt of an orbit: a rotation by pitchRadians about the x axis, positive tipping the model's top
// toward the camera.
Matrix4 OrbitPitchMatrix(float pitchRadians);

// The projection for a client area of width x height. Only defined for a nonzero area: the caller
// skips frames of an empty client area (a minimised window) instead of dividing by zero.
Matrix4 CameraProjectionMatrix(std::uint32_t width, std::uint32_t height);

// The 192 constant-buffer bytes: World, View and Projection, each transposed and written row by row,
// so the shaders' column-major reading sees the row-vector matrices.
std::array<std::uint8_t, kConstantBufferBytes> PackConstantBuffer(const Matrix4& world, const Matrix4& view,
                                                                  const Matrix4& projection);

} // namespace tavro
