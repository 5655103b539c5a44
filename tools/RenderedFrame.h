#pragma once
// What `tavro render` and `tavro frame-info` share: their options, and drawing the frame the viewer
// shows a given time after building a schedule row's model, on whichever graphics backend is given.
#include "render/RendererState.h"
#include "tools/ViewArguments.h"

#include <cstdint>
#include <memory>
#include <string>

namespace CLI {
class App;
class Option;
} // namespace CLI

namespace tavro {
class CRenderModel;
struct PreparedModel;
} // namespace tavro

namespace tavro::tools {

struct FrameOptions {
    std::string archive;
    std::uint32_t row = 0;
    std::uint32_t timeMs = 0;
    std::string size = "1280x960";
    ViewArguments view;
};

// Parses --size, "WxH" with both sides from 1 to 16384.
bool ParseClientSize(const std::string& text, ClientSize& size);

// Adds the archive argument and --row, --time-ms, --size and the view's options to command; --row is required
// unless rowOptional (a command that also draws ranges of rows) says otherwise.
CLI::Option* AddFrameOptions(CLI::App& command, FrameOptions& options, bool rowOptional = false);

// A renderer driven by a clock that stands still, so a frame is drawn at an exact time after the build.
class ScheduledFrame {
public:
    // Sets the renderer up on factory with window as the swap chain's window and the client size of
    // --size, builds the row's model and draws (and presents) the frame --time-ms after the build. False
    // with a one-line error naming what is wrong when any step fails.
    bool Draw(const FrameOptions& options, gpu::IDeviceFactory& factory, gpu::WindowHandle window,
              std::string& error);
    // The same for any model with any texture, prepared by the caller: options.archive names the model
    // in errors, options.row is not used.
    bool DrawModel(const FrameOptions& options, PreparedModel prepared, gpu::IDeviceFactory& factory,
                   gpu::WindowHandle window, std::string& error);

    // For many rows in turn: sets the renderer up once (Draw does it for its one row).
    bool SetUp(ClientSize size, gpu::IDeviceFactory& factory, gpu::WindowHandle window, std::string& error);
    // Replaces the current model by one built from a preparation of schedule row `row` and draws the
    // frame timeMs after the build. False with a one-line error when the device refuses the model.
    bool DrawPrepared(PreparedModel prepared, std::uint32_t row, std::uint32_t timeMs, std::string& error);

    RendererState& Renderer() { return renderer; }

private:
    // Makes model the current one and draws the frame timeMs after its build in view.
    void Show(std::unique_ptr<CRenderModel> model, const ViewOptions& view, std::uint32_t timeMs);

    std::uint32_t tick = 0;
    RendererState renderer; // after tick: its host reads the tick until it is gone
};

} // namespace tavro::tools
