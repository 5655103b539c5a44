#include "tools/RenderedFrame.h"

#include "app/ModelSchedule.h"
#include "file/MemoryFile.h"
#include "render/PreparedModel.h"
#include "render/RenderModel.h"
#include "tools/ArchiveOpening.h"
#include "tools/HeadlessDevice.h"
#include "tools/InputFile.h"

#include <CLI/CLI.hpp>

#include <charconv>
#include <future>
#include <memory>

namespace tavro::tools {
namespace {

// The largest client area a frame is drawn at: the largest 2D texture a device must support.
constexpr std::uint32_t kMaxClientSide = 16384;

bool ParseSide(std::string_view text, std::uint32_t& side) {
    const auto [end, status] = std::from_chars(text.data(), text.data() + text.size(), side);
    return status == std::errc() && end == text.data() + text.size() && side >= 1 && side <= kMaxClientSide;
}

// A schedule row as read from the archive: its model prepared, or why the archive could not give it.
struct ReadRow {
    std::string error; // set when the archive or one of the row's entries cannot be read
    bool prepared = false;
    PreparedModel model;
};

ReadRow ReadScheduleRow(const std::string& archivePath, const ModelScheduleRow& row) {
    ReadRow read;
    std::unique_ptr<CKOEIFile_BIN_SM5> archive = OpenArchive(archivePath, ArchiveReader::Orochiz, read.error);
    if (archive == nullptr) {
        return read;
    }
    // Extracted as the viewer does: the model entry first, then the texture entry.
    std::unique_ptr<std::uint8_t[]> modelBytes, textureBytes;
    std::uint32_t modelSize = 0, textureSize = 0;
    if (!ExtractArchiveEntry(*archive, archivePath, row.modelEntry, modelBytes, modelSize, read.error) ||
        !ExtractArchiveEntry(*archive, archivePath, row.textureEntry, textureBytes, textureSize,
                             read.error)) {
        return read;
    }
    CReadOnlyMemoryFile modelFile(modelBytes.get(), modelSize, false);
    CReadOnlyMemoryFile textureFile(textureBytes.get(), textureSize, false);
    read.prepared = PrepareModel(modelFile, textureFile, read.model);
    return read;
}

// --size and the view options; false with a one-line error when either is wrong.
bool ParseSizeAndView(const FrameOptions& options, ClientSize& size, ViewOptions& view, std::string& error) {
    if (!ParseClientSize(options.size, size)) {
        error = "--size must be WIDTHxHEIGHT with sides from 1 to " + std::to_string(kMaxClientSide) +
                ", not '" + options.size + "'";
        return false;
    }
    return MakeViewOptions(options.view, view, error);
}

} // namespace

bool ParseClientSize(const std::string& text, ClientSize& size) {
    const std::size_t cross = text.find('x');
    return cross != std::string::npos && ParseSide(std::string_view(text).substr(0, cross), size.width) &&
           ParseSide(std::string_view(text).substr(cross + 1), size.height);
}

CLI::Option* AddFrameOptions(CLI::App& command, FrameOptions& options, bool rowOptional) {
    command.add_option("archive", options.archive, "the archive's data file, NAME.bin")->required();
    CLI::Option* row =
        command.add_option("--row", options.row, "schedule row, 0 to 331")->required(!rowOptional);
    command.add_option("--time-ms", options.timeMs, "milliseconds after the model was built (default 0)");
    command.add_option("--size", options.size, "client area WIDTHxHEIGHT (default 1280x960)");
    AddViewOptions(command, options.view);
    return row;
}

bool ScheduledFrame::Draw(const FrameOptions& options, gpu::IDeviceFactory& factory, gpu::WindowHandle window,
                          std::string& error) {
    ClientSize size;
    ViewOptions view;
    if (!ParseSizeAndView(options, size, view, error)) {
        return false;
    }
    if (options.row >= kModelScheduleRowCount) {
        error = "--row must be from 0 to " + std::to_string(kModelScheduleRowCount - 1) + ", not " +
                std::to_string(options.row);
        return false;
    }
    if (NamesArchiveEntry(options.archive)) {
        error = options.archive + ": this command draws a schedule row, a model with its texture pack: give "
                                  "ARCHIVE.bin and --row R "
                                  "(tavro rows shows the entries of each row)";
        return false;
    }
    const ModelScheduleRow& row = ModelSchedule()[options.row];

    // The row is read and prepared on a worker while the device is made: neither needs the other, and
    // making the device is mostly the driver loading. The archive's errors still come first.
    std::future<ReadRow> reading = std::async(std::launch::async, ReadScheduleRow, options.archive, row);
    const bool deviceMade = SetUp(size, factory, window, error);
    ReadRow read = reading.get();
    if (!read.error.empty()) {
        error = std::move(read.error);
        return false;
    }
    if (!deviceMade) {
        return false;
    }
    auto model = std::make_unique<CRenderModel>(renderer);
    if (!read.prepared || !model->CreateFromPrepared(std::move(read.model))) {
        error = options.archive + ": row " + std::to_string(options.row) + ": the model (entry " +
                std::to_string(row.modelEntry) + ") with its texture pack (entry " +
                std::to_string(row.textureEntry) +
                ") cannot be built: one of them is not valid or the device refused it";
        return false;
    }
    Show(std::move(model), view, options.timeMs);
    return true;
}

bool ScheduledFrame::DrawModel(const FrameOptions& options, PreparedModel prepared,
                               gpu::IDeviceFactory& factory, gpu::WindowHandle window, std::string& error) {
    ClientSize size;
    ViewOptions view;
    if (!ParseSizeAndView(options, size, view, error) || !SetUp(size, factory, window, error)) {
        return false;
    }
    auto model = std::make_unique<CRenderModel>(renderer);
    if (!model->CreateFromPrepared(std::move(prepared))) {
        error = options.archive + ": the device refused the model or its texture";
        return false;
    }
    Show(std::move(model), view, options.timeMs);
    return true;
}

void ScheduledFrame::Show(std::unique_ptr<CRenderModel> model, const ViewOptions& view,
                          std::uint32_t timeMs) {
    renderer.currentModel = std::move(model);
    renderer.view = view;
    tick = renderer.currentModel->GetStartTick() + timeMs;
    RenderCurrentModel(renderer);
}

bool ScheduledFrame::SetUp(ClientSize size, gpu::IDeviceFactory& factory, gpu::WindowHandle window,
                           std::string& error) {
    RenderHost host{[this] { return tick; }, [size] { return size; }};
    if (!InitDevice(renderer, factory, window, std::move(host))) {
        error = std::string("the graphics device cannot be set up (") + HeadlessDevice::Requirement() + ")";
        return false;
    }
    return true;
}

bool ScheduledFrame::DrawPrepared(PreparedModel prepared, std::uint32_t row, std::uint32_t timeMs,
                                  std::string& error) {
    renderer.currentModel.reset();
    auto model = std::make_unique<CRenderModel>(renderer);
    if (!model->CreateFromPrepared(std::move(prepared))) {
        error = "row " + std::to_string(row) + ": the device refused the model or its texture";
        return false;
    }
    renderer.currentModel = std::move(model);
    tick = renderer.currentModel->GetStartTick() + timeMs;
    RenderCurrentModel(renderer);
    return true;
}

} // namespace tavro::tools
