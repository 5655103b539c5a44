#pragma once
// The application icon, drawn in code: an isometric cube on a rounded dark-blue tile.
#include "platform/Platform.h"

namespace tavro {

// The icon at one size: size × size RGBA pixels, rows top to bottom. size must be positive.
platform::IconImage DrawAppIcon(int size);

// The icon resource: the 48, 32 and 16 pixel images.
const platform::IconResource& AppIcon();

} // namespace tavro
