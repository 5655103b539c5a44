#pragma once
// `tavro render ARCHIVE --rows A-B -o DIR`: many rows drawn in one process, on one device, written as
// DIR/row-NNN.png. Each row is prepared (extracted, decoded, parsed, laid out) on a worker while the row
// before it is drawn, and each image is encoded and written on another while the next is drawn.
#include "tools/RenderedFrame.h"

#include <string>

namespace tavro::tools {

// Draws rows first to last of options.archive at options.size, options.timeMs after each build, into
// the folder outputDirectory (made if missing). All or nothing: on any failure the files are not put in
// place, folders made are removed, and the exit code is 1 after one line on stderr. Returns the exit code.
int RenderRowRange(const FrameOptions& options, std::uint32_t first, std::uint32_t last,
                   const std::string& outputDirectory);

} // namespace tavro::tools
