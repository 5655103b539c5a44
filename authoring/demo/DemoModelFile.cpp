#include "authoring/demo/DemoModelFile.h"

#include "authoring/G1MWriter.h"
#include "file/MemoryFile.h"
#include "model/G1MModel.h"

#include <algorithm>
#include <limits>

namespace tavro::authoring {
namespace {

// Ids the reader does not know; it must step over them.
constexpr std::uint32_t kUnknownChunkId = 0x47314D46;
constexpr std::uint32_t kUnknownSubchunkIds[] = {0x10005, 0x10009};
// Models this large keep to the narrow strides so the archive stays small.
constexpr std::uint64_t kLargeModelVertices = 100000;

struct Buffer {
    std::vector<CG1MVertex> vertices;
    std::vector<std::uint16_t> indices;
};

struct Layout {
    std::vector<G1MVertexBuffer> vertexBuffers;
    std::vector<std::vector<std::uint16_t>> indexBuffers;
    std::vector<CG1MSubmesh> submeshes;
};

// Spreads the parts over buffers (round robin over the row's buffer count, a new buffer when none has
// room), one submesh per placement of each part.
Layout LayOut(const DemoModel& model, std::uint32_t row) {
    const std::size_t wanted = 1 + row % 3;
    std::vector<Buffer> buffers;
    std::vector<CG1MSubmesh> ordered;
    for (std::size_t p = 0; p < model.parts.size(); ++p) {
        const DemoPart& part = model.parts[p];
        std::size_t chosen = p % wanted;
        const auto fits = [&](std::size_t b) {
            return b >= buffers.size() ||
                   buffers[b].vertices.size() + part.vertices.size() <= kMaxPartVertices;
        };
        if (!fits(chosen)) {
            chosen = 0;
            while (!fits(chosen)) {
                ++chosen;
            }
        }
        if (chosen >= buffers.size()) {
            chosen = buffers.size();
            buffers.emplace_back();
        }
        Buffer& buffer = buffers[chosen];
        const auto base = static_cast<std::uint16_t>(buffer.vertices.size());
        const auto firstIndex = static_cast<std::uint32_t>(buffer.indices.size());
        buffer.vertices.insert(buffer.vertices.end(), part.vertices.begin(), part.vertices.end());
        for (std::uint16_t index : part.strips) {
            buffer.indices.push_back(index == kStripCutIndex ? index
                                                             : static_cast<std::uint16_t>(index + base));
        }
        for (std::uint32_t placement : part.placements) {
            ordered.push_back(MakeG1MSubmesh(static_cast<std::uint32_t>(chosen), placement, firstIndex,
                                             static_cast<std::uint32_t>(part.strips.size())));
        }
    }
    const bool large = model.VertexCount() > kLargeModelVertices;
    Layout layout;
    for (std::size_t b = 0; b < buffers.size(); ++b) {
        const std::size_t strideChoice = (row + b) % (large ? 3 : std::size(kG1MVertexStrides));
        layout.vertexBuffers.push_back(
            MakeG1MVertexBuffer(kG1MVertexStrides[strideChoice], buffers[b].vertices));
        layout.indexBuffers.push_back(std::move(buffers[b].indices));
    }
    layout.submeshes = std::move(ordered);
    return layout;
}

std::vector<std::vector<CG1MJointMapEntry>> JointMaps(const DemoModel& model, std::uint32_t row) {
    std::vector<std::vector<CG1MJointMapEntry>> maps = model.jointMaps;
    if (row % 2 == 1) {
        // Only a map's first entry places its submesh; later entries are carried along unread.
        for (auto& map : maps) {
            if (!map.empty()) {
                map.push_back({0, 0, -1});
            }
        }
    }
    if (row % 5 == 0) {
        maps.emplace_back(); // an empty map no submesh names
    }
    return maps;
}

std::vector<std::uint8_t> Assemble(const DemoModel& model, const Layout& layout,
                                   const std::vector<std::vector<CG1MJointMapEntry>>& jointMaps,
                                   std::uint32_t row, Vector3 boundsMin, Vector3 boundsMax) {
    G1MGeometryWriter geometry(boundsMin, boundsMax);
    const std::uint8_t unknownBody[] = {'d', 'e', 'm', 'o', static_cast<std::uint8_t>(row), 0, 0, 0};
    if (row % 3 == 0) {
        geometry.AddRawSubchunk(kUnknownSubchunkIds[0], 1, unknownBody);
    }
    geometry.AddVertexBuffers(layout.vertexBuffers).AddJointMaps(jointMaps);
    if (row % 3 == 1) {
        geometry.AddRawSubchunk(kUnknownSubchunkIds[1], 0, {});
    }
    geometry.AddIndexBuffers(layout.indexBuffers).AddSubmeshes(layout.submeshes);

    G1MWriter writer;
    const auto tableA = static_cast<std::uint16_t>(row % 4);
    const std::uint32_t tableB = (row / 4) % 3;
    if (row % 4 == 1) {
        writer.AddChunk(geometry.Finish())
            .AddMatrices(model.matrices)
            .AddSkeleton(model.bones, tableA, tableB);
    } else {
        writer.AddSkeleton(model.bones, tableA, tableB).AddMatrices(model.matrices);
        if (row % 2 == 0) {
            writer.AddRawChunk(kUnknownChunkId, unknownBody);
        }
        writer.AddChunk(geometry.Finish());
    }
    return writer.Finish();
}

// The box around every vertex each draw item reaches, taken through the item's matrix.
void DrawnBounds(const std::vector<std::uint8_t>& file, Vector3& low, Vector3& high) {
    CReadOnlyMemoryFile stream(file.data(), static_cast<std::uint32_t>(file.size()), false);
    CG1MModel parsed;
    low = {0, 0, 0};
    high = {0, 0, 0};
    if (!parsed.Load(stream)) {
        return;
    }
    constexpr float kHuge = std::numeric_limits<float>::max();
    Vector3 lowest{kHuge, kHuge, kHuge};
    Vector3 highest{-kHuge, -kHuge, -kHuge};
    const auto vertices = parsed.ViewVertices();
    const auto indices = parsed.ViewIndices();
    for (const CG1MDrawItem& item : parsed.BuildDrawItems()) {
        const Matrix4& m = item.matrix;
        for (std::uint32_t i = item.startIndex; i < item.startIndex + item.indexCount; ++i) {
            if (indices[i] == kStripCutIndex) {
                continue;
            }
            const float* p = vertices[static_cast<std::size_t>(item.baseVertex) + indices[i]].position;
            const Vector3 q{p[0] * m.At(0, 0) + p[1] * m.At(1, 0) + p[2] * m.At(2, 0) + m.At(3, 0),
                            p[0] * m.At(0, 1) + p[1] * m.At(1, 1) + p[2] * m.At(2, 1) + m.At(3, 1),
                            p[0] * m.At(0, 2) + p[1] * m.At(1, 2) + p[2] * m.At(2, 2) + m.At(3, 2)};
            lowest = {std::min(lowest.x, q.x), std::min(lowest.y, q.y), std::min(lowest.z, q.z)};
            highest = {std::max(highest.x, q.x), std::max(highest.y, q.y), std::max(highest.z, q.z)};
        }
    }
    if (lowest.x <= highest.x) {
        low = lowest;
        high = highest;
    }
}

} // namespace

std::vector<std::uint8_t> WriteDemoModelFile(const DemoModel& model, std::uint32_t row) {
    const Layout layout = LayOut(model, row);
    const auto jointMaps = JointMaps(model, row);
    Vector3 low{0, 0, 0};
    Vector3 high{0, 0, 0};
    DrawnBounds(Assemble(model, layout, jointMaps, row, low, high), low, high);
    return Assemble(model, layout, jointMaps, row, low, high);
}

} // namespace tavro::authoring
