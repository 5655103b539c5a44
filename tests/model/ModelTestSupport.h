#pragma once
// Building and loading G1M files in the model tests.
#include "authoring/G1MWriter.h"
#include "file/MemoryFile.h"

#include "model/G1MModel.h"
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

namespace tavro::testing {

// A file that is not a memory file, so the model reads it through Read alone, chunk by chunk.
class CStreamFile : public CAbstractFile32 {
public:
    CStreamFile(const std::uint8_t* bytes, std::uint32_t size) : inner(bytes, size, false) {}
    std::uint32_t Read(void* destination, std::uint32_t count) override {
        return inner.Read(destination, count);
    }
    std::uint32_t Write(const void*, std::uint32_t) override { return 0; }
    bool Seek(std::int32_t position) override { return inner.Seek(position); }
    bool Skip(std::int32_t offset) override { return inner.Skip(offset); }
    bool SeekFromEnd(std::int32_t distance) override { return inner.SeekFromEnd(distance); }
    std::uint32_t Tell() override { return inner.Tell(); }
    std::uint32_t GetSize() override { return inner.GetSize(); }
    bool SetSize(std::uint32_t) override { return false; }

private:
    CReadOnlyMemoryFile inner;
};

// Loads bytes through a stream file and through a memory file, each over a fresh heap block of
// exactly their size so AddressSanitizer sees any over-read; both ways must agree.
inline bool LoadG1M(CG1MModel& model, const std::vector<std::uint8_t>& bytes) {
    std::unique_ptr<std::uint8_t[]> block(new std::uint8_t[bytes.size()]);
    if (!bytes.empty()) {
        std::memcpy(block.get(), bytes.data(), bytes.size());
    }
    CStreamFile stream(block.get(), static_cast<std::uint32_t>(bytes.size()));
    CG1MModel streamed;
    const bool streamedResult = streamed.Load(stream);
    CReadOnlyMemoryFile file(block.get(), static_cast<std::uint32_t>(bytes.size()), false);
    const bool result = model.Load(file);
    EXPECT_EQ(streamedResult, result);
    if (result) {
        EXPECT_EQ(streamed.GetVertices().size(), model.GetVertices().size());
        EXPECT_EQ(streamed.GetIndices(), model.GetIndices());
        EXPECT_EQ(streamed.BuildDrawItems().size(), model.BuildDrawItems().size());
    }
    return result;
}

inline bool LoadsG1M(const std::vector<std::uint8_t>& bytes) {
    CG1MModel model;
    return LoadG1M(model, bytes);
}

inline void PutU32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value) {
    std::memcpy(bytes.data() + at, &value, 4);
}

inline CG1MVertex Vertex(float x, float y, float z) {
    return {{x, y, z}, {0, 1, 0}, {x, y}};
}

// count vertices along the x axis.
inline std::vector<CG1MVertex> VertexRow(std::uint32_t count) {
    std::vector<CG1MVertex> vertices;
    for (std::uint32_t i = 0; i < count; ++i) {
        vertices.push_back(Vertex(static_cast<float>(i), 0, 0));
    }
    return vertices;
}

// indices 0, 1, ..., count - 1, each taken modulo vertexCount.
inline std::vector<std::uint16_t> IndexRun(std::uint32_t count, std::uint32_t vertexCount) {
    std::vector<std::uint16_t> indices;
    for (std::uint32_t i = 0; i < count; ++i) {
        indices.push_back(static_cast<std::uint16_t>(i % vertexCount));
    }
    return indices;
}

// A small sound model: two bones, two matrices, two vertex buffers (strides 48 and 36), an index
// buffer of odd length before a second one, two joint maps (one empty) and two submeshes.
inline authoring::G1MModelDescription SampleModel() {
    authoring::G1MModelDescription model;
    model.bones = {authoring::MakeG1MBone(-1, {0, 1, 0}), authoring::MakeG1MBone(0, {1, 0, 0})};
    model.matrices = {MatrixIdentity(), MatrixScaling(2, 2, 2)};
    model.boundsMin = {-1, -2, -3};
    model.boundsMax = {4, 5, 6};
    model.vertexBuffers = {authoring::MakeG1MVertexBuffer(48, VertexRow(4)),
                           authoring::MakeG1MVertexBuffer(36, VertexRow(3))};
    model.jointMaps = {{{1, 0, 1}}, {}};
    model.indexBuffers = {{0, 1, 2, 0xFFFF, 3}, {2, 1, 0}};
    model.submeshes = {authoring::MakeG1MSubmesh(0, 0, 0, 5), authoring::MakeG1MSubmesh(1, 1, 1, 2)};
    return model;
}

} // namespace tavro::testing
