#include "authoring/demo/BitmapFont.h"

#include "render/BitmapFont.h"

#include <algorithm>

namespace tavro::authoring {
namespace {

// Calls paint(x, y, w, h) for every lit font pixel of text placed at (x, y).
template <typename Paint>
void ForEachLitPixel(std::string_view text, std::int64_t x, std::int64_t y, std::uint32_t scale,
                     Paint paint) {
    const std::int64_t advance = std::int64_t{kGlyphWidth + 1} * scale;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const font::GlyphRows* glyph = font::FindGlyph(static_cast<unsigned char>(text[i]));
        if (glyph == nullptr) {
            continue;
        }
        const std::int64_t left = x + static_cast<std::int64_t>(i) * advance;
        for (std::uint32_t row = 0; row < kGlyphHeight; ++row) {
            for (std::uint32_t column = 0; column < kGlyphWidth; ++column) {
                if (((*glyph)[row] >> (kGlyphWidth - 1 - column)) & 1) {
                    paint(left + std::int64_t{column} * scale, y + std::int64_t{row} * scale);
                }
            }
        }
    }
}

} // namespace

std::uint32_t TextWidth(std::string_view text, std::uint32_t scale) {
    if (text.empty()) {
        return 0;
    }
    return static_cast<std::uint32_t>(text.size() * (kGlyphWidth + 1) - 1) * scale;
}

void DrawText(RgbaImage& image, std::string_view text, std::int64_t x, std::int64_t y, std::uint32_t scale,
              Rgba color) {
    ForEachLitPixel(text, x, y, scale,
                    [&](std::int64_t px, std::int64_t py) { image.FillRect(px, py, scale, scale, color); });
}

void DrawOutlinedText(RgbaImage& image, std::string_view text, std::int64_t x, std::int64_t y,
                      std::uint32_t scale, Rgba fill, Rgba outline, std::uint32_t border) {
    const std::int64_t grow = border;
    ForEachLitPixel(text, x, y, scale, [&](std::int64_t px, std::int64_t py) {
        image.FillRect(px - grow, py - grow, scale + 2 * grow, scale + 2 * grow, outline);
    });
    DrawText(image, text, x, y, scale, fill);
}

std::uint32_t FitTextScale(std::string_view text, std::uint32_t maxWidth, std::uint32_t maxHeight) {
    const std::uint32_t unitWidth = std::max<std::uint32_t>(TextWidth(text, 1), 1);
    return std::max<std::uint32_t>(1, std::min(maxWidth / unitWidth, maxHeight / kGlyphHeight));
}

} // namespace tavro::authoring
