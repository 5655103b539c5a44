#include "tests/app/ScheduleArchive.h"

#include "app/ModelSchedule.h"
#include "authoring/ArchiveWriter.h"
#include "authoring/G1MWriter.h"
#include "authoring/G1TWriter.h"
#include "render/RenderModel.h"
#include "render/RendererState.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <vector>

namespace tavro::apptest {
namespace {

constexpr float kRowMarkStep = 1.0f / 1000;

// Two strips over the same square, one per winding, cut by 0xFFFF: visible from both sides.
std::vector<std::uint8_t> MakeSquareModel(std::uint32_t row) {
    const float top = 1 + static_cast<float>(row) * kRowMarkStep;
    const std::vector<CG1MVertex> vertices = {
        {{-0.5f, top, 0}, {0, 0, 1}, {0, 0}},
        {{0.5f, top, 0}, {0, 0, 1}, {1, 0}},
        {{-0.5f, 0, 0}, {0, 0, 1}, {0, 1}},
        {{0.5f, 0, 0}, {0, 0, 1}, {1, 1}},
    };
    authoring::G1MModelDescription description;
    authoring::ComputeG1MBounds(vertices, description.boundsMin, description.boundsMax);
    description.vertexBuffers.push_back(authoring::MakeG1MVertexBuffer(48, vertices));
    description.indexBuffers.push_back({0, 1, 2, 3, 0xFFFF, 1, 0, 3, 2});
    description.matrices.push_back(MatrixIdentity());
    description.jointMaps.push_back({});
    description.submeshes.push_back(authoring::MakeG1MSubmesh(0, 0, 0, 9));
    return authoring::WriteG1M(description);
}

// About triangles triangles in strips of 250 columns, one buffer and submesh per strip so the 16-bit
// indices never run out; the marker row sets the height as for the square.
std::vector<std::uint8_t> MakeGridModel(std::uint32_t row, std::uint32_t triangles) {
    constexpr std::uint32_t kColumns = 250;
    const std::uint32_t rows = std::max<std::uint32_t>(1, triangles / (2 * kColumns));
    const float top = 1 + static_cast<float>(row) * kRowMarkStep;
    authoring::G1MModelDescription description;
    description.boundsMin = {-0.5f, 0, -0.25f};
    description.boundsMax = {0.5f, top, 0.25f};
    description.matrices.push_back(MatrixIdentity());
    description.jointMaps.push_back({});
    for (std::uint32_t strip = 0; strip < rows; ++strip) {
        const float y0 = top * static_cast<float>(strip) / static_cast<float>(rows);
        const float y1 = top * static_cast<float>(strip + 1) / static_cast<float>(rows);
        std::vector<CG1MVertex> vertices;
        std::vector<std::uint16_t> indices;
        for (std::uint32_t column = 0; column <= kColumns; ++column) {
            const float x = -0.5f + static_cast<float>(column) / kColumns;
            const float z = 0.25f * std::sin(6.2831853f * x) * std::cos(3.14159265f * y0);
            const float u = static_cast<float>(column) / kColumns;
            vertices.push_back({{x, y1, z}, {0, 0, 1}, {u, 1 - y1 / top}});
            vertices.push_back({{x, y0, z}, {0, 0, 1}, {u, 1 - y0 / top}});
            indices.push_back(static_cast<std::uint16_t>(2 * column));
            indices.push_back(static_cast<std::uint16_t>(2 * column + 1));
        }
        description.vertexBuffers.push_back(authoring::MakeG1MVertexBuffer(48, vertices));
        description.indexBuffers.push_back(std::move(indices));
        description.submeshes.push_back(authoring::MakeG1MSubmesh(strip, 0, 0, 2 * (kColumns + 1)));
    }
    return authoring::WriteG1M(description);
}

// A saturated colour per row (the hue steps round the colour wheel), with a darker checker, so the
// turning is easy to see.
std::vector<std::uint8_t> MakeTexturePack(std::uint32_t row, std::uint32_t size) {
    const float hue = static_cast<float>((row * 47) % 360) / 60;
    const float fall = 1 - std::fabs(std::fmod(hue, 2.0f) - 1);
    const int sector = static_cast<int>(hue);
    const float channels[6][3] = {{1, fall, 0}, {fall, 1, 0}, {0, 1, fall},
                                  {0, fall, 1}, {fall, 0, 1}, {1, 0, fall}};
    const std::uint8_t r = static_cast<std::uint8_t>(60 + 195 * channels[sector][0]);
    const std::uint8_t g = static_cast<std::uint8_t>(60 + 195 * channels[sector][1]);
    const std::uint8_t b = static_cast<std::uint8_t>(60 + 195 * channels[sector][2]);
    std::vector<std::uint8_t> rgba(std::size_t{size} * size * 4);
    for (std::uint32_t y = 0; y < size; ++y) {
        for (std::uint32_t x = 0; x < size; ++x) {
            const bool dark = ((x * 4 / size) + (y * 4 / size)) % 2 == 1;
            std::uint8_t* pixel = &rgba[(std::size_t{y} * size + x) * 4];
            pixel[0] = dark ? r / 2 : r;
            pixel[1] = dark ? g / 2 : g;
            pixel[2] = dark ? b / 2 : b;
            pixel[3] = 255;
        }
    }
    authoring::G1TTexture texture;
    authoring::MakeG1TTexture(g1t::kFormatRGBA8, rgba, size, size, texture);
    return authoring::WriteG1T(std::span(&texture, 1));
}

} // namespace

std::string WriteScheduleArchive(const std::filesystem::path& binPath,
                                 const ScheduleArchiveOptions& options) {
    // Which row first names each entry.
    std::map<std::uint32_t, std::uint32_t> textureRows;
    std::map<std::uint32_t, std::uint32_t> modelRows;
    for (std::uint32_t row = 0; row < std::min(options.rowLimit, kModelScheduleRowCount); ++row) {
        textureRows.emplace(ModelSchedule()[row].textureEntry, row);
        modelRows.emplace(ModelSchedule()[row].modelEntry, row);
    }
    authoring::CArchiveWriter writer;
    if (!writer.Create(binPath)) {
        return writer.GetError();
    }
    for (std::uint32_t entry = 0; entry < options.entryCount; ++entry) {
        std::vector<std::uint8_t> bytes;
        if (const auto texture = textureRows.find(entry); texture != textureRows.end()) {
            bytes = MakeTexturePack(texture->second, options.textureSize);
        } else if (const auto model = modelRows.find(entry); model != modelRows.end()) {
            if (options.brokenModelEntries.count(entry) != 0) {
                bytes.assign(64, 0x5A);
            } else if (options.modelTriangles != 0) {
                bytes = MakeGridModel(model->second, options.modelTriangles);
            } else {
                bytes = MakeSquareModel(model->second);
            }
        }
        const bool added = bytes.empty()        ? writer.AddEmpty()
                           : options.compressed ? writer.AddCompressed(bytes)
                                                : writer.AddStored(bytes);
        if (!added) {
            return writer.GetError();
        }
    }
    if (!writer.Finish()) {
        return writer.GetError();
    }
    return {};
}

int RowShown(const RendererState& state) {
    if (state.currentModel == nullptr) {
        return -1;
    }
    return static_cast<int>(
        std::lround((state.currentModel->GetModel()->GetBoundsMax()[1] - 1) / kRowMarkStep));
}

} // namespace tavro::apptest
