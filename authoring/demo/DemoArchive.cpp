#include "authoring/demo/DemoArchive.h"

#include "app/ModelSchedule.h"
#include "authoring/ArchiveWriter.h"
#include "authoring/Lzp2Encoder.h"
#include "authoring/demo/DemoModelFile.h"
#include "authoring/demo/DemoShapes.h"
#include "authoring/demo/DemoTextures.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <new>
#include <system_error>
#include <thread>

namespace tavro::authoring {
namespace {

// Rows built before each write: bounds the memory held at once to a few rows' entries.
constexpr std::uint32_t kRowsPerBatch = 8;

enum class EntryKind { Empty, Texture, Model };

struct PlannedEntry {
    EntryKind kind = EntryKind::Empty;
    std::uint32_t row = 0;
};

// What each entry holds: a row's texture, the model of the first row naming the entry, or nothing.
std::vector<PlannedEntry> PlanEntries() {
    std::vector<PlannedEntry> plan(kDemoEntryCount);
    for (std::uint32_t row = 0; row < kModelScheduleRowCount; ++row) {
        const ModelScheduleRow& entries = ModelSchedule()[row];
        plan[entries.textureEntry] = {EntryKind::Texture, row};
        if (plan[entries.modelEntry].kind == EntryKind::Empty) {
            plan[entries.modelEntry] = {EntryKind::Model, row};
        }
    }
    return plan;
}

// One entry ready to write: its bytes as stored, LZP2-encoded or not.
struct BuiltEntry {
    std::vector<std::uint8_t> stored;
    std::uint32_t size = 0;
    bool compressed = false;
};

BuiltEntry BuildEntry(std::vector<std::uint8_t> bytes, bool compress) {
    BuiltEntry entry;
    entry.size = static_cast<std::uint32_t>(bytes.size());
    entry.compressed = compress && !bytes.empty();
    entry.stored = entry.compressed ? Lzp2Encode(bytes) : std::move(bytes);
    return entry;
}

struct BuiltRow {
    BuiltEntry texture;
    BuiltEntry model;
    bool failed = false;
};

// Entries larger than this are large: models this large are compressed on a few rows only
// (encoding them dominates the demo's build time); textures this large are always compressed (their
// two-colour patterns encode quickly to a fraction, which keeps the archive small).
constexpr std::size_t kLargeEntryBytes = 1 << 20;

// Rows alternate between stored and compressed entries, so both kinds appear among textures and models.
BuiltRow BuildRow(std::uint32_t row, bool withModel, float scale) {
    BuiltRow built;
    try {
        std::vector<std::uint8_t> texture = MakeDemoTextureEntry(row, scale);
        const bool compressTexture = texture.size() > kLargeEntryBytes || row % 3 != 0;
        built.texture = BuildEntry(std::move(texture), compressTexture);
        if (withModel) {
            std::vector<std::uint8_t> model = MakeDemoModelEntry(row, scale);
            const bool compress = model.size() <= kLargeEntryBytes ? row % 3 != 1 : row % 5 == 0;
            built.model = BuildEntry(std::move(model), compress);
        }
        built.failed = built.texture.size == 0 || (withModel && built.model.size == 0);
    } catch (const std::bad_alloc&) {
        built.failed = true;
    }
    return built;
}

bool Add(CArchiveWriter& writer, const BuiltEntry& entry) {
    return entry.compressed ? writer.AddPrecompressed(entry.stored, entry.size)
                            : writer.AddStored(entry.stored);
}

} // namespace

std::vector<std::uint8_t> MakeDemoTextureEntry(std::uint32_t row, float scale) {
    return MakeDemoTexturePack(row, scale);
}

std::vector<std::uint8_t> MakeDemoModelEntry(std::uint32_t row, float scale) {
    // Vertex counts follow the square root of the scale in each of a surface's two directions.
    const float detail = std::sqrt(std::clamp(scale, 0.0f, 1.0f));
    return WriteDemoModelFile(MakeDemoShape(row, detail), row);
}

bool WriteDemoEntries(CArchiveWriter& writer, const DemoOptions& options, std::string& error) {
    const std::vector<PlannedEntry> plan = PlanEntries();
    const unsigned threads = std::max(1u, options.threads);
    std::uint32_t nextEntry = 0;
    for (std::uint32_t first = 0; first < kModelScheduleRowCount; first += kRowsPerBatch) {
        const std::uint32_t end = std::min(first + kRowsPerBatch, kModelScheduleRowCount);
        std::vector<BuiltRow> built(end - first);
        std::atomic<std::uint32_t> nextRow{first};
        const auto work = [&] {
            for (std::uint32_t row = nextRow++; row < end; row = nextRow++) {
                const std::uint32_t modelEntry = ModelSchedule()[row].modelEntry;
                const bool ownsModel =
                    plan[modelEntry].kind == EntryKind::Model && plan[modelEntry].row == row;
                built[row - first] = BuildRow(row, ownsModel, options.scale);
            }
        };
        std::vector<std::thread> workers;
        for (unsigned t = 1; t < threads; ++t) {
            workers.emplace_back(work);
        }
        work();
        for (std::thread& worker : workers) {
            worker.join();
        }
        for (std::uint32_t row = first; row < end; ++row) {
            if (built[row - first].failed) {
                error = "row " + std::to_string(row) + ": could not build its texture or model";
                return false;
            }
        }
        // Every entry up to the batch's last one belongs to a row already built, or to no row.
        for (; nextEntry < kDemoEntryCount; ++nextEntry) {
            const PlannedEntry& entry = plan[nextEntry];
            if (entry.kind != EntryKind::Empty && entry.row >= end) {
                break;
            }
            bool added = true;
            if (entry.kind == EntryKind::Empty) {
                added = writer.AddEmpty();
            } else {
                const BuiltRow& row = built[entry.row - first];
                added = Add(writer, entry.kind == EntryKind::Texture ? row.texture : row.model);
            }
            if (!added) {
                error = writer.GetError();
                return false;
            }
        }
        if (options.progress) {
            options.progress(end, kModelScheduleRowCount);
        }
    }
    if (writer.GetEntryCount() != kDemoEntryCount || !writer.Finish()) {
        error = writer.GetEntryCount() != kDemoEntryCount ? "the archive did not reach 4251 entries"
                                                          : writer.GetError();
        return false;
    }
    return true;
}

bool WriteDemoArchive(const std::filesystem::path& directory, const DemoOptions& options,
                      std::string& error) {
    std::error_code code;
    std::filesystem::create_directories(directory, code);
    if (code) {
        error = directory.string() + ": cannot create the folder (" + code.message() + ")";
        return false;
    }
    const std::filesystem::path partialBin = directory / "LINKDATA1.partial.bin";
    const std::filesystem::path partialIdx = directory / "LINKDATA1.partial.idx";
    CArchiveWriter writer;
    if (!writer.Create(partialBin)) {
        error = writer.GetError();
        return false;
    }
    if (WriteDemoEntries(writer, options, error)) {
        std::filesystem::rename(partialIdx, directory / "LINKDATA1.idx", code);
        if (!code) {
            std::filesystem::rename(partialBin, directory / kDemoArchiveName, code);
        }
        if (!code) {
            return true;
        }
        error = directory.string() + ": cannot move the finished archive into place (" + code.message() + ")";
    }
    std::filesystem::remove(partialBin, code);
    std::filesystem::remove(partialIdx, code);
    return false;
}

} // namespace tavro::authoring
