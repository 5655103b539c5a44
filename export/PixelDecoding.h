#pragma once
// Turning one surface of a texture into 8-bit RGBA as the viewer's sampler reads it: BC1 to BC3 blocks
// decoded, the 8-bit uncompressed formats expanded to four channels (missing colour channels 0, missing
// alpha 255), blue and red swapped back where the format stores them the other way round.
#include "gpu/Format.h"

#include <cstdint>
#include <vector>

namespace tavro {

// Whether DecodeSurfaceToRgba8 takes the format: R8G8B8A8, B8G8R8A8, B8G8R8X8 (each also as sRGB), R8,
// A8, R8G8, R8G8_B8G8, G8R8_G8B8 and BC1, BC2, BC3 (unsigned normalised and sRGB).
bool CanDecodeToRgba8(gpu::Format format);

// The format's name as the graphics interface spells it, such as "R16G16B16A16_FLOAT", or "an unknown
// format" for a value outside the list.
const char* FormatName(gpu::Format format);

// Decodes a width x height surface starting at data, whose rows (of blocks, for BC formats) are rowPitch
// bytes apart, into rgba (width * height * 4 bytes, rows top to bottom). The caller guarantees that data
// holds ComputeSurfaceSize(width, height, format).sliceSize bytes and that rowPitch is that size's row
// pitch. False, leaving rgba empty, for a format CanDecodeToRgba8 refuses or when memory runs out.
bool DecodeSurfaceToRgba8(gpu::Format format, const std::uint8_t* data, std::uint32_t rowPitch,
                          std::uint32_t width, std::uint32_t height, std::vector<std::uint8_t>& rgba);

} // namespace tavro
