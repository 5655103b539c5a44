#pragma once
// The application icon as a Windows icon file (.ico), which the resource compiler turns into the
// program's icon resource.
#include "platform/Platform.h"

#include <cstdint>
#include <vector>

namespace tavro {

// Encodes every image of icon twice, at 8 bits per pixel (a palette of its most frequent colours) and
// at 24 bits per pixel, in that order per size; pixels with alpha below 128 are transparent through the
// mask. Each image must be square, 1 to 256 pixels wide, with size × size × 4 bytes of RGBA. Empty when
// an image does not meet that.
std::vector<std::uint8_t> EncodeIconFile(const platform::IconResource& icon);

} // namespace tavro
