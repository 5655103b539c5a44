#include "tools/ViewArguments.h"

#include <CLI/CLI.hpp>

#include <charconv>
#include <cstdint>

namespace tavro::tools {

void AddViewOptions(CLI::App& command, ViewArguments& arguments) {
    command.add_option("--yaw", arguments.yawDegrees, "degrees about the vertical axis, added to the turn")
        ->check(CLI::Range(-36000.0f, 36000.0f));
    command.add_option("--pitch", arguments.pitchDegrees, "degrees of tilt toward the camera, -89 to 89")
        ->check(CLI::Range(-89.0f, 89.0f));
    command
        .add_option("--zoom", arguments.zoom, "camera distance as a multiple of the default one, 0.2 to 5")
        ->check(CLI::Range(0.2f, 5.0f));
    command.add_flag("--lit", arguments.lit, "shade with a headlight from the vertex normals");
    command.add_flag("--wireframe", arguments.wireframe, "draw the triangles' edges only");
    command.add_option("--background", arguments.background,
                       "background colour RRGGBB, or transparent: a PNG whose background has alpha 0 "
                       "(default black)");
}

bool MakeViewOptions(const ViewArguments& arguments, ViewOptions& view, std::string& error) {
    constexpr float kRadiansPerDegree = 0.017453292f;
    view = ViewOptions{};
    view.yawRadians = arguments.yawDegrees * kRadiansPerDegree;
    view.pitchRadians = arguments.pitchDegrees * kRadiansPerDegree;
    view.zoom = arguments.zoom;
    view.lit = arguments.lit;
    view.wireframe = arguments.wireframe;
    const std::string& text = arguments.background;
    if (text == "transparent") {
        view.background = {0.0f, 0.0f, 0.0f, 0.0f};
    } else if (!text.empty()) {
        std::uint32_t rgb = 0;
        const auto [end, status] = std::from_chars(text.data(), text.data() + text.size(), rgb, 16);
        if (text.size() != 6 || status != std::errc() || end != text.data() + text.size()) {
            error = "--background must be RRGGBB in hexadecimal or transparent, not '" + text + "'";
            return false;
        }
        for (int channel = 0; channel < 3; ++channel) {
            view.background[channel] = static_cast<float>((rgb >> (16 - 8 * channel)) & 0xFF) / 255.0f;
        }
    }
    view = view.Clamped();
    return true;
}

} // namespace tavro::tools
