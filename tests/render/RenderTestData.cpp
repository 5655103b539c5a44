#include "tests/render/RenderTestData.h"

#include "authoring/G1MWriter.h"
#include "authoring/G1TWriter.h"
#include "file/MemoryFile.h"
#include "render/RenderModel.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace tavro::rendertest {
namespace {

std::vector<std::uint8_t> WriteSingleBufferModel(const std::vector<CG1MVertex>& vertices,
                                                 std::vector<std::uint16_t> indices,
                                                 std::vector<CG1MSubmesh> submeshes) {
    authoring::G1MModelDescription description;
    authoring::ComputeG1MBounds(vertices, description.boundsMin, description.boundsMax);
    description.vertexBuffers.push_back(authoring::MakeG1MVertexBuffer(48, vertices));
    description.indexBuffers.push_back(std::move(indices));
    description.jointMaps.push_back({});
    description.submeshes = std::move(submeshes);
    return authoring::WriteG1M(description);
}

} // namespace

std::vector<std::uint8_t> MakeQuadrantG1T(std::uint8_t format, std::uint32_t size) {
    std::vector<std::uint8_t> rgba(std::size_t{size} * size * 4);
    for (std::uint32_t y = 0; y < size; ++y) {
        for (std::uint32_t x = 0; x < size; ++x) {
            const bool right = x >= size / 2;
            const bool bottom = y >= size / 2;
            const std::uint8_t* colour =
                bottom ? (right ? kBottomRight : kBottomLeft) : (right ? kTopRight : kTopLeft);
            std::memcpy(&rgba[(std::size_t{y} * size + x) * 4], colour, 4);
        }
    }
    authoring::G1TTexture texture;
    authoring::MakeG1TTexture(format, rgba, size, size, texture);
    return authoring::WriteG1T(std::span(&texture, 1));
}

std::vector<std::uint8_t> MakeQuadG1M(std::uint32_t submeshCount) {
    const std::vector<CG1MVertex> vertices = {
        {{-1, 2, 0}, {0, 0, 1}, {0, 0}},
        {{1, 2, 0}, {0, 0, 1}, {1, 0}},
        {{-1, 0, 0}, {0, 0, 1}, {0, 1}},
        {{1, 0, 0}, {0, 0, 1}, {1, 1}},
    };
    authoring::G1MModelDescription description;
    authoring::ComputeG1MBounds(vertices, description.boundsMin, description.boundsMax);
    description.vertexBuffers.push_back(authoring::MakeG1MVertexBuffer(48, vertices));
    // One strip per winding, so the square shows from both sides whichever way it faces.
    description.indexBuffers.push_back({0, 1, 2, 3, 0xFFFF, 1, 0, 3, 2});
    description.matrices.push_back(MatrixIdentity());
    description.jointMaps.push_back({});
    for (std::uint32_t k = 0; k < submeshCount; ++k) {
        std::uint32_t jointMap = 0;
        if (k > 0) {
            const float step = static_cast<float>(k);
            description.bones.push_back(authoring::MakeG1MBone(-1, {step, 2 * step, 3 * step}));
            description.jointMaps.push_back({{0, 0, static_cast<std::int32_t>(k - 1)}});
            jointMap = k;
        }
        description.submeshes.push_back(authoring::MakeG1MSubmesh(0, jointMap, 0, 9));
    }
    return authoring::WriteG1M(description);
}

std::vector<std::uint8_t> MakeGridG1M(std::uint32_t triangleCount) {
    // Rows of one strip each across a gently curved sheet; every row has its own vertex and index
    // buffer and submesh, so the 16-bit indices never run out however many rows there are.
    constexpr std::uint32_t kColumns = 250;
    const std::uint32_t rows = std::max<std::uint32_t>(1, triangleCount / (2 * kColumns));
    authoring::G1MModelDescription description;
    description.boundsMin = {-1, -1, -1};
    description.boundsMax = {1, 1, 1};
    description.jointMaps.push_back({});
    for (std::uint32_t row = 0; row < rows; ++row) {
        const float y0 = -1.0f + 2.0f * static_cast<float>(row) / static_cast<float>(rows);
        const float y1 = -1.0f + 2.0f * static_cast<float>(row + 1) / static_cast<float>(rows);
        std::vector<CG1MVertex> vertices;
        std::vector<std::uint16_t> indices;
        for (std::uint32_t column = 0; column <= kColumns; ++column) {
            const float x = -1.0f + 2.0f * static_cast<float>(column) / kColumns;
            const float u = static_cast<float>(column) / kColumns;
            vertices.push_back({{x, y1, 0.5f * x * y1}, {0, 0, 1}, {u, (1.0f - y1) / 2}});
            vertices.push_back({{x, y0, 0.5f * x * y0}, {0, 0, 1}, {u, (1.0f - y0) / 2}});
            indices.push_back(static_cast<std::uint16_t>(2 * column));
            indices.push_back(static_cast<std::uint16_t>(2 * column + 1));
        }
        description.vertexBuffers.push_back(authoring::MakeG1MVertexBuffer(48, vertices));
        description.indexBuffers.push_back(std::move(indices));
        description.submeshes.push_back(authoring::MakeG1MSubmesh(row, 0, 0, 2 * (kColumns + 1)));
    }
    return authoring::WriteG1M(description);
}

std::vector<std::uint8_t> MakePointG1M() {
    const std::vector<CG1MVertex> vertices(3, CG1MVertex{{0.5f, 0.5f, 0.5f}, {0, 0, 1}, {0, 0}});
    return WriteSingleBufferModel(vertices, {0, 1, 2}, {authoring::MakeG1MSubmesh(0, 0, 0, 3)});
}

gpu::WindowHandle FakeWindow() {
    static int window;
    return &window;
}

RenderHost RecordingRenderer::Host() {
    return {[this] { return tick; }, [this] { return clientSize; }};
}

bool RecordingRenderer::LoadModel(const std::vector<std::uint8_t>& g1m,
                                  const std::vector<std::uint8_t>& g1t) {
    CReadOnlyMemoryFile modelFile(g1m.data(), static_cast<std::uint32_t>(g1m.size()), false);
    CReadOnlyMemoryFile textureFile(g1t.data(), static_cast<std::uint32_t>(g1t.size()), false);
    auto model = std::make_unique<CRenderModel>(*state);
    if (!model->Create(modelFile, textureFile)) {
        return false;
    }
    state->currentModel = std::move(model);
    return true;
}

} // namespace tavro::rendertest
