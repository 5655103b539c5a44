#include "tests/render/RenderTestData.h"

#include "authoring/G1MWriter.h"
#include "authoring/G1TWriter.h"
#include "file/MemoryFile.h"
#include "render/RenderModel.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace tavro::rendertest {
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

bool CreateModel(CRenderModel& model, const std::vector<std::uint8_t>& g1m,
                 const std::vector<std::uint8_t>& g1t) {
    CReadOnlyMemoryFile modelFile(g1m.data(), static_cast<std::uint32_t>(g1m.size()), false);
    CReadOnlyMemoryFile textureFile(g1t.data(), static_cast<std::uint32_t>(g1t.size()), false);
    return model.Create(modelFile, textureFile);
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
    auto model = std::make_unique<CRenderModel>(*state);
    if (!CreateModel(*model, g1m, g1t)) {
        return false;
    }
    state->currentModel = std::move(model);
    return true;
}

} // namespace tavro::rendertest
