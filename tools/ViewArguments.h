#pragma once
// The options that say how a drawn frame sees its model (--yaw, --pitch, --zoom, --lit, --wireframe,
// --background), shared by every command that draws: one parser, one meaning.
#include "render/ViewOptions.h"

#include <string>

namespace CLI {
class App;
}

namespace tavro::tools {

struct ViewArguments {
    // The defaults give the frame of a left-alone run.
    float yawDegrees = 0.0f;
    float pitchDegrees = 0.0f;
    float zoom = 1.0f;
    bool lit = false;
    bool wireframe = false;
    std::string background; // RRGGBB or "transparent"; empty for the default black
};

// Adds --yaw, --pitch, --zoom, --lit, --wireframe and --background to command.
void AddViewOptions(CLI::App& command, ViewArguments& arguments);

// The view the arguments ask for; a transparent background is one of alpha 0 (see CaptureFrame). False
// with a one-line error for a background that is neither RRGGBB nor transparent.
bool MakeViewOptions(const ViewArguments& arguments, ViewOptions& view, std::string& error);

} // namespace tavro::tools
