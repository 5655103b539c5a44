#pragma once
// One picture of a texture as 8-bit RGBA: any level of any element of a DDS image, or the texture the
// viewer makes of a G1T pack (its first texture, converted to DDS).
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tavro {

// width x height pixels of 4 bytes (R, G, B, A), rows top to bottom as the viewer samples them.
struct TextureImage {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::vector<std::uint8_t> rgba;
};

// Which picture to take: the element of an array (for a cube, 6 * cube + face) or the depth slice of a
// volume, and the mip level counted from the largest.
struct TextureImageChoice {
    std::uint32_t slice = 0;
    std::uint32_t mip = 0;
};

// Decodes the chosen picture of bytes, a G1T pack (told by its magic) or a DDS image. On failure returns
// false and sets error to one line saying what is wrong (without naming the input): not a texture,
// a refused header, a slice or level out of range, or a format an 8-bit RGBA image cannot hold, by name.
bool DecodeTextureImage(std::span<const std::uint8_t> bytes, const TextureImageChoice& choice,
                        TextureImage& image, std::string& error);

} // namespace tavro
