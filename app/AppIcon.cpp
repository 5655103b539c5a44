#include "app/AppIcon.h"

#include "app/Resources.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace tavro {
namespace {

struct Colour {
    float r, g, b, a;
};

constexpr Colour kTransparent{0, 0, 0, 0};
constexpr Colour kTile{28, 40, 72, 255};
constexpr Colour kTopFace{255, 206, 92, 255};
constexpr Colour kLeftFace{232, 124, 44, 255};
constexpr Colour kRightFace{150, 66, 30, 255};

// True when p = origin + s·a + t·b for some s and t in [0, 1].
bool InParallelogram(float px, float py, float ax, float ay, float bx, float by) {
    const float det = ax * by - ay * bx;
    const float s = (px * by - py * bx) / det;
    const float t = (ax * py - ay * px) / det;
    return s >= 0 && s <= 1 && t >= 0 && t <= 1;
}

// The colour at (x, y), both in [-1, 1] with y pointing down.
Colour Sample(float x, float y) {
    constexpr float kCorner = 0.35f;
    const float qx = std::max(std::fabs(x) - (1 - kCorner), 0.0f);
    const float qy = std::max(std::fabs(y) - (1 - kCorner), 0.0f);
    if (qx * qx + qy * qy > kCorner * kCorner) {
        return kTransparent;
    }
    // A cube seen from above, its nearest corner at the centre of the tile.
    constexpr float kEdge = 0.72f;
    const float ex = kEdge * 0.8660254f;
    const float ey = kEdge * 0.5f;
    if (InParallelogram(x, y, ex, -ey, -ex, -ey)) {
        return kTopFace;
    }
    if (InParallelogram(x, y, -ex, -ey, 0, kEdge)) {
        return kLeftFace;
    }
    if (InParallelogram(x, y, ex, -ey, 0, kEdge)) {
        return kRightFace;
    }
    return kTile;
}

} // namespace

platform::IconImage DrawAppIcon(int size) {
    // Four by four samples per pixel keep the edges smooth at 16 pixels.
    constexpr int kSamples = 4;
    platform::IconImage image;
    image.size = size;
    image.rgba.resize(static_cast<std::size_t>(size) * static_cast<std::size_t>(size) * 4);
    for (int row = 0; row < size; ++row) {
        for (int column = 0; column < size; ++column) {
            float sum[4] = {0, 0, 0, 0};
            for (int sy = 0; sy < kSamples; ++sy) {
                for (int sx = 0; sx < kSamples; ++sx) {
                    const float x = ((column + (sx + 0.5f) / kSamples) / size) * 2 - 1;
                    const float y = ((row + (sy + 0.5f) / kSamples) / size) * 2 - 1;
                    const Colour c = Sample(x, y);
                    // Premultiplied sums, so transparent samples do not darken the edge colour.
                    sum[0] += c.r * c.a;
                    sum[1] += c.g * c.a;
                    sum[2] += c.b * c.a;
                    sum[3] += c.a;
                }
            }
            std::uint8_t* pixel = &image.rgba[(static_cast<std::size_t>(row) * size + column) * 4];
            for (int channel = 0; channel < 3; ++channel) {
                pixel[channel] =
                    sum[3] > 0 ? static_cast<std::uint8_t>(std::lround(sum[channel] / sum[3])) : 0;
            }
            pixel[3] = static_cast<std::uint8_t>(std::lround(sum[3] / (kSamples * kSamples)));
        }
    }
    return image;
}

const platform::IconResource& AppIcon() {
    static const platform::IconResource icon{TAVRO_IDI_APP_ICON,
                                             {DrawAppIcon(48), DrawAppIcon(32), DrawAppIcon(16)}};
    return icon;
}

} // namespace tavro
