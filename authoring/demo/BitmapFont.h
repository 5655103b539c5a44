#pragma once
// Labels drawn into images with the viewer's 5 x 7 bitmap font (render/BitmapFont.h). Each font pixel
// becomes a scale x scale square, so text stays sharp at any size.
#include "authoring/demo/RgbaImage.h"
#include "render/BitmapFont.h"

#include <cstdint>
#include <string_view>

namespace tavro::authoring {

constexpr std::uint32_t kGlyphWidth = font::kGlyphWidth;
constexpr std::uint32_t kGlyphHeight = font::kGlyphHeight;

// Pixel size of text drawn at scale: glyphs are one font pixel apart.
std::uint32_t TextWidth(std::string_view text, std::uint32_t scale);
constexpr std::uint32_t TextHeight(std::uint32_t scale) {
    return kGlyphHeight * scale;
}

// Draws text with its top-left corner at (x, y). Characters the font lacks draw as blanks.
void DrawText(RgbaImage& image, std::string_view text, std::int64_t x, std::int64_t y, std::uint32_t scale,
              Rgba color);

// Draws text with an outline border pixels wide around every stroke, so it reads over any pattern.
void DrawOutlinedText(RgbaImage& image, std::string_view text, std::int64_t x, std::int64_t y,
                      std::uint32_t scale, Rgba fill, Rgba outline, std::uint32_t border);

// The largest scale at which text fits in maxWidth x maxHeight pixels; at least 1.
std::uint32_t FitTextScale(std::string_view text, std::uint32_t maxWidth, std::uint32_t maxHeight);

} // namespace tavro::authoring
