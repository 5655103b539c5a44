#pragma once
// A plain RGBA8 image (rows top to bottom, 4 bytes per pixel) with the few drawing operations the demo
// textures and the contact sheet need. Every drawing operation clips to the image.
#include <cstdint>
#include <vector>

namespace tavro::authoring {

struct Rgba {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    std::uint8_t a = 255;
};

class RgbaImage {
public:
    RgbaImage() = default;
    RgbaImage(std::uint32_t width, std::uint32_t height, Rgba fill = {});

    std::uint32_t Width() const { return width; }
    std::uint32_t Height() const { return height; }
    const std::vector<std::uint8_t>& Pixels() const { return pixels; }
    std::vector<std::uint8_t>& Pixels() { return pixels; }

    Rgba Get(std::uint32_t x, std::uint32_t y) const;
    void Set(std::int64_t x, std::int64_t y, Rgba color);
    // Fills the rectangle [x, x + w) x [y, y + h), clipped.
    void FillRect(std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h, Rgba color);
    // Copies source with its top-left corner at (x, y), clipped.
    void Blit(const RgbaImage& source, std::int64_t x, std::int64_t y);

private:
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::vector<std::uint8_t> pixels;
};

// Colour of the hue (0..1, wrapping), saturation and value (0..1).
Rgba ColorFromHsv(float hue, float saturation, float value);

} // namespace tavro::authoring
