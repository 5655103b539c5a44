// Loading G1M files: the header, the chunk walk, each chunk and sub-chunk reader's size rules, and
// refusal of every truncated or inconsistent file.
#include "tests/model/ModelTestSupport.h"

#include <gtest/gtest.h>

#include <array>

namespace tavro::testing {
namespace {

using authoring::G1MGeometryWriter;
using authoring::G1MWriter;
using Bytes = std::vector<std::uint8_t>;

Bytes FileWithChunk(std::uint32_t id, const Bytes& body) {
    return G1MWriter().AddRawChunk(id, body).Finish();
}

Bytes GeometryFile(const G1MGeometryWriter& geometry) {
    return G1MWriter().AddChunk(geometry.Finish()).Finish();
}

G1MGeometryWriter EmptyGeometry() {
    return G1MGeometryWriter({0, 0, 0}, {0, 0, 0});
}

// The body of the only sub-chunk of a geometry chunk, after its 12-byte head.
Bytes SubchunkBody(const G1MGeometryWriter& geometry) {
    const Bytes chunk = geometry.Finish();
    return Bytes(chunk.begin() + kG1MGeometryHeadSize + kG1MSubchunkHeadSize, chunk.end());
}

// The offsets at which the file's chunks end.
std::vector<std::size_t> ChunkEnds(const Bytes& file) {
    std::vector<std::size_t> ends;
    for (std::size_t offset = kG1MHeaderSize; offset < file.size();) {
        std::uint32_t size;
        std::memcpy(&size, file.data() + offset + 8, 4);
        offset += size;
        ends.push_back(offset);
    }
    return ends;
}

TEST(G1MLoad, SampleModelLoadsWithEveryTable) {
    CG1MModel model;
    ASSERT_TRUE(LoadG1M(model, authoring::WriteG1M(SampleModel())));
    EXPECT_EQ(model.GetBones().size(), 2u);
    EXPECT_EQ(model.GetMatrices().size(), 2u);
    EXPECT_EQ(model.GetJointMaps().size(), 2u);
    EXPECT_EQ(model.GetSubmeshes().size(), 2u);
    EXPECT_EQ(model.GetVertices().size(), 7u);
    const auto starts = [](std::span<const std::uint32_t> s) {
        return std::vector<std::uint32_t>(s.begin(), s.end());
    };
    EXPECT_EQ(starts(model.GetVertexBufferStarts()), (std::vector<std::uint32_t>{0, 4, 7}));
    EXPECT_EQ(starts(model.GetIndexBufferStarts()), (std::vector<std::uint32_t>{0, 5, 8}));
    // The second index buffer starts at an odd offset after five indices and is still read whole.
    EXPECT_EQ(model.GetIndices(), (std::vector<std::uint16_t>{0, 1, 2, 0xFFFF, 3, 2, 1, 0}));
    EXPECT_EQ(model.GetBoundsMin(), (std::array<float, 3>{-1, -2, -3}));
    EXPECT_EQ(model.GetBoundsMax(), (std::array<float, 3>{4, 5, 6}));
    EXPECT_EQ(model.GetVertices()[6].position[0], 2.0f);
}

TEST(G1MLoad, EachHeaderFieldIsChecked) {
    const Bytes good = authoring::WriteG1M(SampleModel());
    const std::uint32_t size = static_cast<std::uint32_t>(good.size());
    struct Case {
        std::size_t offset;
        std::uint32_t value;
        bool accepted;
    };
    const Case cases[] = {
        {0, 0x47314D5E, false}, {4, 0x30303335, false}, {8, size - 1, false},
        {8, size + 1, false},   {12, 28, false},        {12, 0, false},
        {20, 0, false},         {16, 0xFFFFFFFF, true}, {20, 0xFFFFFFFF, true},
    };
    for (const Case& c : cases) {
        Bytes file = good;
        PutU32(file, c.offset, c.value);
        EXPECT_EQ(LoadsG1M(file), c.accepted) << "offset " << c.offset << " value " << c.value;
    }
}

TEST(G1MLoad, EveryTruncatedPrefixFails) {
    const Bytes good = authoring::WriteG1M(SampleModel());
    const std::vector<std::size_t> ends = ChunkEnds(good);
    for (std::size_t length = 0; length < good.size(); ++length) {
        Bytes prefix(good.begin(), good.begin() + length);
        EXPECT_FALSE(LoadsG1M(prefix)) << length;
        // With the size field made to agree, the walk itself must notice the cut inside a chunk.
        if (length >= kG1MHeaderSize) {
            PutU32(prefix, 8, static_cast<std::uint32_t>(length));
            const bool atChunkEnd =
                length == kG1MHeaderSize || std::find(ends.begin(), ends.end(), length) != ends.end();
            EXPECT_EQ(LoadsG1M(prefix), atChunkEnd) << length;
        }
    }
}

TEST(G1MLoad, ChunkWalkMustTileTheFile) {
    // One to eleven bytes after the last chunk are too few for a chunk header.
    for (std::uint32_t extra = 1; extra < 12; ++extra) {
        Bytes file = G1MWriter().AddMatrices({}).Finish();
        file.resize(file.size() + extra, 0);
        PutU32(file, 8, static_cast<std::uint32_t>(file.size()));
        EXPECT_FALSE(LoadsG1M(file)) << extra;
    }
    // Chunk sizes below 12 or past the end fail even for chunks that would be skipped.
    for (std::uint32_t id : {0x12345678u, kG1MMatrixChunkId}) {
        for (std::uint32_t size : {11u, 17u, 0xFFFFFFFFu}) {
            Bytes file = FileWithChunk(id, Bytes(4, 0));
            PutU32(file, kG1MHeaderSize + 8, size);
            EXPECT_FALSE(LoadsG1M(file)) << id << " " << size;
        }
    }
    // A chunk of 4 bytes would land the walk on a chunk header forged inside it, one that tiles the
    // rest of the file exactly.
    Bytes file = FileWithChunk(0x12345678, Bytes(8, 0));
    PutU32(file, kG1MHeaderSize + 4, 0x12345678); // the forged chunk's id
    PutU32(file, kG1MHeaderSize + 8, 4);
    PutU32(file, kG1MHeaderSize + 12, 16); // the forged chunk's size: to the end of the file
    EXPECT_FALSE(LoadsG1M(file));
}

TEST(G1MLoad, UnknownChunksAreSkippedAndAFailingReaderFailsTheLoad) {
    EXPECT_TRUE(LoadsG1M(FileWithChunk(0x12345678, Bytes(37, 0xAB))));
    EXPECT_TRUE(LoadsG1M(FileWithChunk(0x12345678, {})));
    // A bad G1MM chunk before a sound geometry chunk still fails the file.
    Bytes badMatrices = {1, 0, 0, 0};
    const Bytes file = G1MWriter()
                           .AddRawChunk(kG1MMatrixChunkId, badMatrices)
                           .AddChunk(G1MGeometryWriter({0, 0, 0}, {1, 1, 1}).Finish())
                           .Finish();
    EXPECT_FALSE(LoadsG1M(file));
    // What the chunks before the failing one stored is dropped: the record is an empty model.
    Bytes soundThenBad = authoring::WriteG1M(SampleModel());
    const Bytes badChunk = {0x4D, 0x4D, 0x31, 0x47, 0, 0, 0, 0, 16, 0, 0, 0, 1, 0, 0, 0};
    soundThenBad.insert(soundThenBad.end(), badChunk.begin(), badChunk.end());
    PutU32(soundThenBad, 8, static_cast<std::uint32_t>(soundThenBad.size()));
    CG1MModel model;
    EXPECT_FALSE(LoadG1M(model, soundThenBad));
    EXPECT_TRUE(model.ViewVertices().empty());
    EXPECT_TRUE(model.GetSubmeshes().empty());
    EXPECT_TRUE(model.BuildDrawItems().empty());
}

TEST(G1MLoad, SkeletonBoneOffsetFollowsTheTableLengths) {
    const std::vector<CG1MBone> bones = {authoring::MakeG1MBone(-1)};
    struct Case {
        std::uint16_t a;
        std::uint32_t b;
        std::uint32_t boneDataOffset;
    };
    const Case cases[] = {{0, 0, 28}, {1, 0, 32}, {0, 2, 32}, {2, 1, 36}, {0, 0x10000, 28 + 0x20000}};
    for (const Case& c : cases) {
        Bytes file = G1MWriter().AddSkeleton(bones, c.a, c.b).Finish();
        std::uint32_t offset;
        std::memcpy(&offset, file.data() + kG1MHeaderSize + 12, 4);
        EXPECT_EQ(offset, c.boneDataOffset);
        EXPECT_TRUE(LoadsG1M(file)) << c.a << "+" << c.b;
        // The table cannot be skipped over or into: the bones must follow it directly.
        PutU32(file, kG1MHeaderSize + 12, offset + 4);
        EXPECT_FALSE(LoadsG1M(file));
        PutU32(file, kG1MHeaderSize + 12, offset - 4);
        EXPECT_FALSE(LoadsG1M(file));
        // Nor can a gap be left between them, even in a chunk grown to hold it.
        Bytes body(file.begin() + kG1MHeaderSize + 12, file.end());
        body.insert(body.begin() + (offset - 12), 4, 0);
        PutU32(body, 0, offset + 4);
        EXPECT_FALSE(LoadsG1M(FileWithChunk(kG1MSkeletonChunkId, body))) << c.a << "+" << c.b;
    }
}

TEST(G1MLoad, ChunkSizesMustMatchTheirCountsExactly) {
    const Bytes skeleton =
        G1MWriter().AddSkeleton(std::vector<CG1MBone>{authoring::MakeG1MBone(-1)}).Finish();
    const Bytes skeletonBody(skeleton.begin() + kG1MHeaderSize + 12, skeleton.end());
    const Bytes matrices = G1MWriter().AddMatrices(std::vector<Matrix4>{MatrixIdentity()}).Finish();
    const Bytes matrixBody(matrices.begin() + kG1MHeaderSize + 12, matrices.end());
    for (const auto& [id, body] :
         {std::pair{kG1MSkeletonChunkId, skeletonBody}, std::pair{kG1MMatrixChunkId, matrixBody}}) {
        EXPECT_TRUE(LoadsG1M(FileWithChunk(id, body)));
        Bytes longer = body;
        longer.push_back(0);
        EXPECT_FALSE(LoadsG1M(FileWithChunk(id, longer)));
        EXPECT_FALSE(LoadsG1M(FileWithChunk(id, Bytes(body.begin(), body.end() - 1))));
        // The heads alone: 28 and 16 bytes.
        EXPECT_FALSE(LoadsG1M(
            FileWithChunk(id, Bytes(body.begin(), body.begin() + (id == kG1MSkeletonChunkId ? 15 : 3)))));
    }
    // Empty tables are sound; a matrix count whose bytes are absent is refused without allocating.
    EXPECT_TRUE(LoadsG1M(G1MWriter().AddSkeleton({}).AddMatrices({}).Finish()));
    EXPECT_FALSE(LoadsG1M(FileWithChunk(kG1MMatrixChunkId, {0xFF, 0xFF, 0xFF, 0xFF})));
    EXPECT_FALSE(LoadsG1M(FileWithChunk(kG1MMatrixChunkId, {0x00, 0x00, 0x00, 0x04})));
    Bytes matricesWithSlack = matrixBody;
    matricesWithSlack.resize(matricesWithSlack.size() + 4, 0);
    EXPECT_FALSE(LoadsG1M(FileWithChunk(kG1MMatrixChunkId, matricesWithSlack)));
}

TEST(G1MLoad, GeometryHeadAndSubchunkWalk) {
    // Exactly the 48-byte head with no sub-chunks: only the bounds are set.
    CG1MModel model;
    ASSERT_TRUE(LoadG1M(model, GeometryFile(G1MGeometryWriter({1, 2, 3}, {4, 5, 6}))));
    EXPECT_EQ(model.GetBoundsMax(), (std::array<float, 3>{4, 5, 6}));
    EXPECT_TRUE(model.GetVertexBufferStarts().empty());

    const Bytes head = G1MGeometryWriter({0, 0, 0}, {0, 0, 0}).Finish();
    const Bytes headBody(head.begin() + 12, head.end());
    EXPECT_FALSE(LoadsG1M(FileWithChunk(kG1MGeometryChunkId, Bytes(headBody.begin(), headBody.end() - 1))));
    Bytes slack = headBody;
    slack.resize(slack.size() + 8, 0); // bytes after the head with a sub-chunk count of 0
    EXPECT_FALSE(LoadsG1M(FileWithChunk(kG1MGeometryChunkId, slack)));

    // Sub-chunks the reader does not know, 0x10005 included, are skipped whatever they hold.
    const Bytes garbage(20, 0xFF);
    EXPECT_TRUE(LoadsG1M(GeometryFile(
        EmptyGeometry().AddRawSubchunk(0x10005, 0xFFFFFFFF, garbage).AddRawSubchunk(0x10009, 7, {}))));

    const std::size_t subchunkAt = kG1MHeaderSize + kG1MGeometryHeadSize;
    Bytes file = GeometryFile(EmptyGeometry().AddRawSubchunk(0x10005, 1, garbage));
    PutU32(file, subchunkAt + 4, 0); // a zero size never advances the walk
    EXPECT_FALSE(LoadsG1M(file));
    PutU32(file, subchunkAt + 4, 33); // past the chunk's end
    EXPECT_FALSE(LoadsG1M(file));
    PutU32(file, subchunkAt + 4, 32);
    PutU32(file, kG1MHeaderSize + 44, 2); // more sub-chunks counted than present
    EXPECT_FALSE(LoadsG1M(file));
    PutU32(file, kG1MHeaderSize + 44, 0xFFFFFFFF);
    EXPECT_FALSE(LoadsG1M(file));
}

TEST(G1MLoad, EachStrideTakesItsAttributesFromFixedOffsets) {
    struct Case {
        std::uint32_t stride;
        std::uint32_t normalAt;
        std::uint32_t texCoordAt;
    };
    const Case cases[] = {{36, 12, 28}, {40, 16, 32}, {44, 20, 36},
                          {48, 24, 40}, {52, 28, 44}, {108, 84, 100}};
    for (const Case& c : cases) {
        // Every source word holds its own byte offset, so each output float names where it came from.
        authoring::G1MVertexBuffer buffer{c.stride, 2, Bytes(2 * c.stride)};
        for (std::uint32_t at = 0; at < buffer.bytes.size(); at += 4) {
            const float value = static_cast<float>(at);
            std::memcpy(buffer.bytes.data() + at, &value, 4);
        }
        CG1MModel model;
        ASSERT_TRUE(LoadG1M(model, GeometryFile(EmptyGeometry().AddVertexBuffers(std::vector{buffer}))))
            << c.stride;
        const CG1MVertex second = model.GetVertices()[1];
        const float base = static_cast<float>(c.stride);
        EXPECT_EQ(second.position[0], base) << c.stride;
        EXPECT_EQ(second.position[2], base + 8) << c.stride;
        EXPECT_EQ(second.normal[0], base + c.normalAt) << c.stride;
        EXPECT_EQ(second.normal[2], base + c.normalAt + 8) << c.stride;
        EXPECT_EQ(second.texCoord[0], base + c.texCoordAt) << c.stride;
        EXPECT_EQ(second.texCoord[1], base + c.texCoordAt + 4) << c.stride;
    }
    for (std::uint32_t stride : {0u, 32u, 35u, 56u, 112u}) {
        const authoring::G1MVertexBuffer buffer{stride, 1, Bytes(stride)};
        EXPECT_FALSE(LoadsG1M(GeometryFile(EmptyGeometry().AddVertexBuffers(std::vector{buffer})))) << stride;
    }
}

TEST(G1MLoad, BufferSubchunksMustAddUpExactly) {
    const std::vector<authoring::G1MVertexBuffer> vertexBuffers = {
        authoring::MakeG1MVertexBuffer(40, VertexRow(3))};
    const std::vector<std::vector<std::uint16_t>> indexBuffers = {{0, 1, 2}};
    const std::vector<std::vector<CG1MJointMapEntry>> jointMaps = {{{0, 0, -1}}, {}};
    const std::vector<CG1MSubmesh> submeshes = {authoring::MakeG1MSubmesh(0, 0, 0, 3)};
    const Bytes sound = GeometryFile(EmptyGeometry()
                                         .AddVertexBuffers(vertexBuffers)
                                         .AddJointMaps(jointMaps)
                                         .AddIndexBuffers(indexBuffers)
                                         .AddSubmeshes(submeshes));
    ASSERT_TRUE(LoadsG1M(sound));

    // For each sub-chunk kind: its body with four bytes too many and with its count off by one or huge.
    const std::pair<std::uint32_t, Bytes> bodies[] = {
        {kG1MVertexBuffersId, SubchunkBody(EmptyGeometry().AddVertexBuffers(vertexBuffers))},
        {kG1MJointMapsId, SubchunkBody(EmptyGeometry().AddJointMaps(jointMaps))},
        {kG1MIndexBuffersId, SubchunkBody(EmptyGeometry().AddIndexBuffers(indexBuffers))},
        {kG1MSubmeshesId, SubchunkBody(EmptyGeometry().AddSubmeshes(submeshes))},
    };
    for (const auto& [id, body] : bodies) {
        const std::uint32_t count = id == kG1MJointMapsId ? 2 : 1;
        EXPECT_TRUE(LoadsG1M(GeometryFile(EmptyGeometry().AddRawSubchunk(id, count, body)))) << id;
        Bytes longer = body;
        longer.resize(longer.size() + 4, 0);
        EXPECT_FALSE(LoadsG1M(GeometryFile(EmptyGeometry().AddRawSubchunk(id, count, longer)))) << id;
        EXPECT_FALSE(LoadsG1M(GeometryFile(EmptyGeometry().AddRawSubchunk(id, count + 1, body)))) << id;
        EXPECT_FALSE(LoadsG1M(GeometryFile(EmptyGeometry().AddRawSubchunk(id, 0xFFFFFFFF, body)))) << id;
        EXPECT_FALSE(LoadsG1M(GeometryFile(EmptyGeometry().AddRawSubchunk(id, count, {})))) << id;
    }
    // A vertex count whose bytes would wrap 32 bits is refused, not wrapped.
    Bytes wrapping = bodies[0].second;
    PutU32(wrapping, 8, 0x20000003); // 40 * this count is 120 (three vertices) modulo 2^32
    EXPECT_FALSE(LoadsG1M(GeometryFile(EmptyGeometry().AddRawSubchunk(kG1MVertexBuffersId, 1, wrapping))));
}

TEST(G1MLoad, LaterChunksReplaceEarlierOnes) {
    const std::vector<CG1MBone> first = {authoring::MakeG1MBone(-1), authoring::MakeG1MBone(0)};
    const std::vector<CG1MBone> second = {authoring::MakeG1MBone(-1, {7, 8, 9})};
    const std::vector<authoring::G1MVertexBuffer> fourVertices = {
        authoring::MakeG1MVertexBuffer(48, VertexRow(4)), authoring::MakeG1MVertexBuffer(48, VertexRow(2))};
    const std::vector<authoring::G1MVertexBuffer> oneVertex = {
        authoring::MakeG1MVertexBuffer(52, VertexRow(1))};
    CG1MModel model;
    ASSERT_TRUE(LoadG1M(model, G1MWriter()
                                   .AddSkeleton(first)
                                   .AddChunk(G1MGeometryWriter({0, 0, 0}, {1, 1, 1})
                                                 .AddVertexBuffers(fourVertices)
                                                 .AddVertexBuffers(oneVertex)
                                                 .Finish())
                                   .AddSkeleton(second)
                                   .AddChunk(G1MGeometryWriter({0, 0, 0}, {2, 2, 2}).Finish())
                                   .Finish()));
    ASSERT_EQ(model.GetBones().size(), 1u);
    EXPECT_EQ(model.GetBones()[0].position[2], 9.0f);
    EXPECT_EQ(model.GetVertices().size(), 1u);
    EXPECT_EQ(model.GetVertexBufferStarts().size(), 2u);
    EXPECT_EQ(model.GetBoundsMax()[0], 2.0f);
}

} // namespace
} // namespace tavro::testing
