// The viewer's load of one schedule row end to end: an archive pair of the required size whose row-0
// entries the fuzzer writes, put through the model cycler's LoadNextModel and one frame on the
// recording device. Input: a flags byte (bit 0: the model entry is LZP2-compressed, bit 1: the texture
// entry), the model's and the texture's stored lengths and their declared sizes when compressed (four
// little-endian 32-bit words; lengths are cut to what follows), the model's stored bytes, then the
// texture's. The archive pair itself is sound, so the load must report it usable; every draw of the
// frame must stay inside the model's index and vertex arrays.
#include "app/ModelCycler.h"
#include "app/ModelSchedule.h"
#include "archive/BinArchive.h"
#include "file/LittleEndian.h"
#include "fuzz/ArchivePair.h"
#include "fuzz/FuzzTarget.h"
#include "gpu/recording/RecordingFactory.h"
#include "render/RenderModel.h"
#include "render/RendererState.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
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

struct RowEntry {
    std::span<const std::uint8_t> stored;
    bool compressed;
    std::uint32_t declaredSize; // of a compressed entry
};

// Writes the pair directly: every entry but the row's two is empty, so only two index records differ
// from zero. The index is written whole once; later runs rewrite only the row's two adjacent records,
// and a run costs the data file and 24 index bytes instead of a whole archive writer pass. The row's
// texture entry comes before its model entry.
bool WriteRowArchive(const std::filesystem::path& binPath, const RowEntry& model, const RowEntry& texture) {
    const ModelScheduleRow& row = ModelSchedule()[0];
    Require(row.modelEntry == row.textureEntry + 1);
    std::uint32_t records[2 * kIndexRecordSize / 4] = {};
    const auto putRecord = [&records](std::size_t at, const RowEntry& content) {
        const auto storedSize = static_cast<std::uint32_t>(content.stored.size());
        records[at] = content.compressed ? content.declaredSize : storedSize;
        records[at + 1] = content.compressed ? storedSize : 0;
    };
    putRecord(0, texture);
    putRecord(kIndexRecordSize / 4, model);

    const std::filesystem::path indexPath = std::filesystem::path(binPath).replace_extension(".idx");
    static bool indexWritten = false;
    if (!indexWritten) {
        const std::vector<char> zeros(kOrochizIndexSizes[0].indexSize, 0);
        std::ofstream(indexPath, std::ios::binary)
            .write(zeros.data(), static_cast<std::streamsize>(zeros.size()));
        indexWritten = true;
    }
    std::fstream indexFile(indexPath, std::ios::binary | std::ios::in | std::ios::out);
    indexFile.seekp(static_cast<std::streamoff>(row.textureEntry) * kIndexRecordSize);
    indexFile.write(reinterpret_cast<const char*>(records), sizeof(records));

    const std::size_t padding = (kEntryAlignment - texture.stored.size() % kEntryAlignment) % kEntryAlignment;
    static const std::vector<char> zeros(kEntryAlignment, 0);
    std::ofstream data(binPath, std::ios::binary | std::ios::trunc);
    data.write(reinterpret_cast<const char*>(texture.stored.data()),
               static_cast<std::streamsize>(texture.stored.size()));
    data.write(zeros.data(), static_cast<std::streamsize>(padding));
    data.write(reinterpret_cast<const char*>(model.stored.data()),
               static_cast<std::streamsize>(model.stored.size()));
    return data.good() && indexFile.good();
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
    constexpr std::size_t kHeader = 17;
    if (size < kHeader || size > (64u << 20)) {
        return 0;
    }
    static Viewer viewer;
    const std::span<const std::uint8_t> rest(data + kHeader, size - kHeader);
    const std::size_t modelLength = std::min<std::size_t>(LoadU32(data + 1), rest.size());
    const std::size_t textureLength = std::min<std::size_t>(LoadU32(data + 5), rest.size() - modelLength);
    const RowEntry model{rest.first(modelLength), (data[0] & 1) != 0, LoadU32(data + 9)};
    const RowEntry texture{rest.subspan(modelLength, textureLength), (data[0] & 2) != 0, LoadU32(data + 13)};

    const std::filesystem::path binPath = viewer.folder.path / "LINKDATA1.bin";
    Require(WriteRowArchive(binPath, model, texture));
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
