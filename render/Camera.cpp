#include "render/Camera.h"

#include <cmath>
#include <cstring>

namespace tavro {

float TurnAngle(std::uint32_t elapsedMs) {
    return static_cast<float>(elapsedMs) / 1000.0f * kTurnRadiansPerSecond;
}

Matrix4 FitMatrix(const std::array<float, 3>& boundsMin, const std::array<float, 3>& boundsMax) {
    const float dx = boundsMax[0] - boundsMin[0];
    const float dy = boundsMax[1] - boundsMin[1];
    const float dz = boundsMax[2] - boundsMin[2];
    float extent = dy > dx ? dy : dx;
    extent = dz > extent ? dz : extent;
    float scale = 1.0f / (extent / kFittedSize);
    // A side too small to divide by (zero, or so small that the scale overflows) would make the scale
    // infinite, and NaN or infinite bounds poison it the same way; such a box is drawn as 1 unit wide.
    if (!std::isfinite(extent) || !(extent > 0.0f) || !std::isfinite(scale)) {
        scale = 1.0f / (1.0f / kFittedSize);
    }
    float centreY = (boundsMin[1] + boundsMax[1]) * 0.5f;
    if (!std::isfinite(centreY)) {
        centreY = 0.0f;
    }
    return MatrixMultiply(MatrixTranslation(0.0f, -centreY, 0.0f), MatrixScaling(scale, scale, scale));
}

Matrix4 CameraViewMatrix(float zoom) {
    const float distance = 5.0f * zoom;
    return MatrixLookToLH({0.0f, 0.0f, distance}, {0.0f, 0.0f, -distance}, {0.0f, 1.0f, 0.0f});
}

Matrix4 OrbitPitchMatrix(float pitchRadians) {
    const float half = pitchRadians * 0.5f;
    return MatrixRotationQuaternion(std::sin(half), 0.0f, 0.0f, std::cos(half));
}

Matrix4 CameraProjectionMatrix(std::uint32_t width, std::uint32_t height) {
    const float widthOverHeight = static_cast<float>(width) / static_cast<float>(height);
    return MatrixPerspectiveFovLH(kFieldOfViewY, widthOverHeight, kNearPlane, kFarPlane);
}

std::array<std::uint8_t, kConstantBufferBytes> PackConstantBuffer(const Matrix4& world, const Matrix4& view,
                                                                  const Matrix4& projection) {
    std::array<std::uint8_t, kConstantBufferBytes> bytes{};
    const Matrix4 transposed[3] = {MatrixTranspose(world), MatrixTranspose(view),
                                   MatrixTranspose(projection)};
    static_assert(sizeof(transposed) == kConstantBufferBytes);
    std::memcpy(bytes.data(), transposed, kConstantBufferBytes);
    return bytes;
}

} // namespace tavro
