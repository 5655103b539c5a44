#pragma once
// A model and a texture named on the command line, each a file or an archive entry, read and prepared
// for drawing: what `tavro render MODEL [--texture TEX]` shows.
#include "render/PreparedModel.h"

#include <string>

namespace tavro::tools {

// Reads model (a G1M model) and texture (a G1T pack, whose first texture is used, or a DDS image) and
// prepares them as the viewer prepares a row. An empty texture gives the model a single white texel, so
// it is drawn in plain white (its shape shows with --lit or --wireframe). False with a one-line error
// naming the input that is wrong and why.
bool PrepareModelInput(const std::string& model, const std::string& texture, PreparedModel& prepared,
                       std::string& error);

} // namespace tavro::tools
