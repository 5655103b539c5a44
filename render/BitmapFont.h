#pragma once
// Our own 5 × 7 bitmap font: printable ASCII, the middle dot, the degree sign and the em dash. Each
// glyph is seven rows of five bits, bit 4 the leftmost column; text advances six columns a character.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace tavro::font {

constexpr std::uint32_t kGlyphWidth = 5;
constexpr std::uint32_t kGlyphHeight = 7;
constexpr std::uint32_t kAdvance = kGlyphWidth + 1;

using GlyphRows = std::array<std::uint8_t, kGlyphHeight>;

// The glyph of a character, or null when the font lacks it (it is then drawn as a blank).
const GlyphRows* FindGlyph(char32_t character);

// The characters of UTF-8 text; a byte that starts no valid sequence stands for itself.
std::u32string DecodeUtf8(std::string_view text);

} // namespace tavro::font
