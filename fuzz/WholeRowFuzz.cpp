// The viewer's load of one schedule row end to end: an archive pair of the required size whose row-0
// entries the fuzzer writes, put through the model cycler's LoadNextModel and one frame on the
// recording device. Input: a flags byte (bit 0: the model entry is kept compressed, bit 1: the texture
// entry), the model entry's length (little-endian 32 bits, cut to what follows), the model entry's
// bytes, then the texture entry's bytes. The archive itself is sound, so the load must report it
// usable; every draw of the frame must stay inside the model's index and vertex arrays.
#include "app/ModelCycler.h"
#include "app/ModelSchedule.h"
#include "authoring/ArchiveWriter.h"
#include "fuzz/ArchivePair.h"
#include "fuzz/FuzzTarget.h"
#include "gpu/recording/RecordingFactory.h"
#include "render/RenderModel.h"
#include "render/RendererState.h"

#include <algorithm>
#include <cstdlib>
#include <span>

namespace {

using namespace tavro;

void Require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

// The graphics objects live for the whole run, as in the viewer; only the model changes.
struct Viewer {
    Viewer() {
        RenderHost host{[] { return 0u; }, [] { return ClientSize{320, 240}; }};
        Require(InitDevice(state, factory, &gpuWindow, std::move(host)));
    }

    fuzzing::ProcessFolder folder;
    gpu::recording::Recorder recorder;
    gpu::recording::RecordingFactory factory{recorder};
    RendererState state;
    int gpuWindow = 0;
};

bool WriteRowArchive(const std::filesystem::path& binPath, std::uint8_t flags,
                     std::span<const std::uint8_t> model, std::span<const std::uint8_t> texture) {
    const ModelScheduleRow& row = ModelSchedule()[0];
    authoring::CArchiveWriter writer;
    if (!writer.Create(binPath)) {
        return false;
    }
    const auto add = [&writer](std::span<const std::uint8_t> bytes, bool compressed) {
        return bytes.empty() ? writer.AddEmpty()
               : compressed  ? writer.AddCompressed(bytes)
                             : writer.AddStored(bytes);
    };
    for (std::uint32_t entry = 0; entry < CModelCycler::kRequiredEntryCount; ++entry) {
        const bool added = entry == row.modelEntry     ? add(model, (flags & 1) != 0)
                           : entry == row.textureEntry ? add(texture, (flags & 2) != 0)
                                                       : writer.AddEmpty();
        if (!added) {
            return false;
        }
    }
    return writer.Finish();
}

void CheckDraws(const gpu::recording::Recorder& recorder, const CG1MModel& model) {
    const auto indices = model.ViewIndices();
    const auto vertices = model.ViewVertices();
    for (const auto* draw : recorder.CallsOf<gpu::recording::DrawIndexedArgs>()) {
        Require(std::uint64_t{draw->startIndex} + draw->indexCount <= indices.size() &&
                draw->baseVertex >= 0);
        for (std::uint32_t i = draw->startIndex; i < draw->startIndex + draw->indexCount; ++i) {
            Require(indices[i] == kStripCutIndex ||
                    std::uint64_t{indices[i]} + static_cast<std::uint32_t>(draw->baseVertex) <
                        vertices.size());
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    constexpr std::size_t kHeader = 5;
    if (size < kHeader || size > (64u << 20)) {
        return 0;
    }
    static Viewer viewer;
    std::uint32_t modelLength = 0;
    for (int i = 4; i >= 1; --i) {
        modelLength = modelLength << 8 | data[i];
    }
    const std::span<const std::uint8_t> rest(data + kHeader, size - kHeader);
    const std::span<const std::uint8_t> model = rest.first(std::min<std::size_t>(modelLength, rest.size()));
    const std::span<const std::uint8_t> texture = rest.subspan(model.size());

    const std::filesystem::path binPath = viewer.folder.path / "LINKDATA1.bin";
    Require(WriteRowArchive(binPath, data[0], model, texture));
    CModelCycler cycler(viewer.state, binPath.wstring());
    Require(cycler.LoadNextModel());
    viewer.recorder.ClearCalls();
    RenderCurrentModel(viewer.state);
    if (viewer.state.currentModel != nullptr) {
        CheckDraws(viewer.recorder, *viewer.state.currentModel->GetModel());
    }
    viewer.state.currentModel.reset();
    viewer.recorder.ClearCalls();
    return 0;
}
