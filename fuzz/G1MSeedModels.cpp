#include "fuzz/G1MSeedModels.h"

#include "authoring/G1MWriter.h"

namespace tavro::fuzzing {

using namespace tavro::authoring;

namespace {

std::vector<CG1MVertex> Vertices(std::uint32_t count) {
    std::vector<CG1MVertex> vertices;
    for (std::uint32_t i = 0; i < count; ++i) {
        const float x = static_cast<float>(i);
        vertices.push_back({{x, x * 0.5f, -x}, {0, 1, 0}, {x, 1 - x}});
    }
    return vertices;
}

} // namespace

std::vector<std::uint8_t> FullSeedModel() {
    G1MModelDescription model;
    model.bones = {MakeG1MBone(-1, {0, 1, 0}, {0, 0.70710677f, 0, 0.70710677f}), MakeG1MBone(0, {1, 0, 0}),
                   MakeG1MBone(1, {0, 0, 1}, {0, 0, 0, 1}, {2, 2, 2})};
    model.matrices = {MatrixIdentity(), MatrixTranslation(0, 3, 0)};
    model.boundsMin = {-1, -1, -1};
    model.boundsMax = {3, 3, 3};
    model.vertexBuffers = {MakeG1MVertexBuffer(40, Vertices(4)), MakeG1MVertexBuffer(108, Vertices(3))};
    model.jointMaps = {{{1, 0, 2}, {0, 0, 1}}, {}, {{0, 0, -1}}};
    model.indexBuffers = {{0, 1, 2, 0xFFFF, 1, 2, 3}, {0, 1, 2}};
    model.submeshes = {MakeG1MSubmesh(0, 0, 0, 7), MakeG1MSubmesh(1, 1, 0, 3), MakeG1MSubmesh(0, 2, 4, 3)};
    return WriteG1M(model);
}

std::vector<std::uint8_t> UnusualSeedModel() {
    const std::vector<std::uint8_t> filler(6, 0x5A);
    const std::vector<CG1MBone> bones = {MakeG1MBone(-1, {1, 2, 3})};
    const std::vector<G1MVertexBuffer> buffers = {MakeG1MVertexBuffer(36, Vertices(3)),
                                                  MakeG1MVertexBuffer(52, Vertices(2))};
    const std::vector<std::vector<std::uint16_t>> indices = {{0, 1, 2}, {1, 0, 1}};
    const std::vector<std::vector<CG1MJointMapEntry>> jointMaps = {{{0, 0, 0}}};
    const std::vector<CG1MSubmesh> submeshes = {MakeG1MSubmesh(1, 0, 0, 3), MakeG1MSubmesh(0, 0, 1, 2)};
    return G1MWriter()
        .AddRawChunk(0x12345678, filler)
        .AddChunk(G1MGeometryWriter({0, 0, 0}, {1, 1, 1})
                      .AddSubmeshes(submeshes)
                      .AddRawSubchunk(0x10005, 2, filler)
                      .AddIndexBuffers(indices)
                      .AddJointMaps(jointMaps)
                      .AddVertexBuffers(buffers)
                      .Finish())
        .AddSkeleton(bones, 3, 1)
        .AddMatrices(std::vector<Matrix4>{MatrixScaling(2, 2, 2)})
        .Finish();
}

} // namespace tavro::fuzzing
