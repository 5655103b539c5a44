#include "authoring/demo/RgbaImage.h"

#include <algorithm>
#include <cmath>

namespace tavro::authoring {

RgbaImage::RgbaImage(std::uint32_t imageWidth, std::uint32_t imageHeight, Rgba fill)
    : width(imageWidth), height(imageHeight), pixels(std::size_t{imageWidth} * imageHeight * 4) {
    FillRect(0, 0, width, height, fill);
}

Rgba RgbaImage::Get(std::uint32_t x, std::uint32_t y) const {
    const std::uint8_t* p = &pixels[(std::size_t{y} * width + x) * 4];
    return {p[0], p[1], p[2], p[3]};
}

void RgbaImage::Set(std::int64_t x, std::int64_t y, Rgba color) {
    FillRect(x, y, 1, 1, color);
}

void RgbaImage::FillRect(std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h, Rgba color) {
    const std::int64_t left = std::max<std::int64_t>(x, 0);
    const std::int64_t top = std::max<std::int64_t>(y, 0);
    const std::int64_t right = std::min<std::int64_t>(x + w, width);
    const std::int64_t bottom = std::min<std::int64_t>(y + h, height);
    for (std::int64_t row = top; row < bottom; ++row) {
        std::uint8_t* p =
            &pixels[(static_cast<std::size_t>(row) * width + static_cast<std::size_t>(left)) * 4];
        for (std::int64_t column = left; column < right; ++column, p += 4) {
            p[0] = color.r;
            p[1] = color.g;
            p[2] = color.b;
            p[3] = color.a;
        }
    }
}

void RgbaImage::Blit(const RgbaImage& source, std::int64_t x, std::int64_t y) {
    const std::int64_t left = std::max<std::int64_t>(x, 0);
    const std::int64_t right = std::min<std::int64_t>(x + source.width, width);
    if (left >= right) {
        return;
    }
    for (std::uint32_t row = 0; row < source.height; ++row) {
        const std::int64_t targetRow = y + row;
        if (targetRow < 0 || targetRow >= height) {
            continue;
        }
        const std::uint8_t* from = &source.pixels[(std::size_t{row} * source.width + (left - x)) * 4];
        std::uint8_t* to = &pixels[(static_cast<std::size_t>(targetRow) * width + left) * 4];
        std::copy(from, from + (right - left) * 4, to);
    }
}

Rgba ColorFromHsv(float hue, float saturation, float value) {
    const float h = (hue - std::floor(hue)) * 6.0f;
    const int sector = std::min(static_cast<int>(h), 5);
    const float f = h - static_cast<float>(sector);
    const float p = value * (1 - saturation);
    const float q = value * (1 - saturation * f);
    const float t = value * (1 - saturation * (1 - f));
    float r = value, g = t, b = p;
    switch (sector) {
    case 1:
        r = q, g = value, b = p;
        break;
    case 2:
        r = p, g = value, b = t;
        break;
    case 3:
        r = p, g = q, b = value;
        break;
    case 4:
        r = t, g = p, b = value;
        break;
    case 5:
        r = value, g = p, b = q;
        break;
    default:
        break;
    }
    const auto channel = [](float c) {
        return static_cast<std::uint8_t>(std::clamp(c, 0.0f, 1.0f) * 255.0f + 0.5f);
    };
    return {channel(r), channel(g), channel(b), 255};
}

} // namespace tavro::authoring
