#pragma once
// Reading the frame a command drew back into memory, for a picture file. A view whose background has
// alpha 0 (--background transparent) gives a picture whose background pixels are (0, 0, 0, 0) and whose
// model pixels are opaque, whatever alpha the model's texture has.
#include "render/RendererState.h"

namespace tavro::tools {

// Reads the frame last presented by renderer into image (width x height RGBA). For a transparent
// background the current model is drawn a second time, on white, at the same time: the model's
// pixels do not depend on the background (nothing is blended), so exactly the pixels that differ
// between the two frames are background. False when a frame cannot be read back.
bool CaptureFrame(RendererState& renderer, gpu::PresentedImage& image);

} // namespace tavro::tools
