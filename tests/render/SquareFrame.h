#pragma once
// What a person sees of the fitted quad model (tests/render/RenderTestData.h) in a 320 x 240 frame, for
// the renderer's picture tests on each graphics backend.
#include "gpu/Device.h"
#include "tests/render/RenderTestData.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace tavro::rendertest {

constexpr std::uint32_t kFrameWidth = 320;
constexpr std::uint32_t kFrameHeight = 240;

// The square spans x and y in [-3, 3] at z = 0, 5 units in front of the camera: on a 4:3 client area
// it covers x in 160 +- 72 and y in 120 +- 72 pixels. The camera looks along -z, so the model's +x is
// on the left of the picture.
struct ScreenPoint {
    std::uint32_t x, y;
};
constexpr ScreenPoint kUpperLeft{124, 84}, kUpperRight{196, 84}, kLowerLeft{124, 156}, kLowerRight{196, 156};
constexpr ScreenPoint kOutside[] = {{4, 4}, {315, 235}, {80, 120}, {240, 120}, {160, 40}, {160, 200}};
constexpr std::uint8_t kBlack[4] = {0, 0, 0, 255};

// Software rasterizers may round a channel differently; the colours compared are far apart.
inline void ExpectColour(const gpu::PresentedImage& image, ScreenPoint point, const std::uint8_t (&rgba)[4]) {
    const std::uint8_t* pixel = &image.rgba[(std::size_t{point.y} * image.width + point.x) * 4];
    for (int channel = 0; channel < 3; ++channel) {
        EXPECT_NEAR(pixel[channel], rgba[channel], 8)
            << "at (" << point.x << ", " << point.y << ") channel " << channel;
    }
}

// Facing the camera the quadrants are mirrored left to right, on black.
inline void ExpectSquareFromTheFront(const gpu::PresentedImage& image) {
    ExpectColour(image, kUpperLeft, kTopRight);
    ExpectColour(image, kUpperRight, kTopLeft);
    ExpectColour(image, kLowerLeft, kBottomRight);
    ExpectColour(image, kLowerRight, kBottomLeft);
    for (ScreenPoint point : kOutside) {
        ExpectColour(image, point, kBlack);
    }
}

// One second in the square is edge-on (nothing where its quadrants were), two seconds in its back shows
// the quadrants as stored.
inline void ExpectSquareEdgeOn(const gpu::PresentedImage& image) {
    for (ScreenPoint point : {kUpperLeft, kUpperRight, kLowerLeft, kLowerRight}) {
        ExpectColour(image, point, kBlack);
    }
}
inline void ExpectSquareFromTheBack(const gpu::PresentedImage& image) {
    ExpectColour(image, kUpperLeft, kTopLeft);
    ExpectColour(image, kUpperRight, kTopRight);
    ExpectColour(image, kLowerLeft, kBottomLeft);
    ExpectColour(image, kLowerRight, kBottomRight);
}

} // namespace tavro::rendertest
