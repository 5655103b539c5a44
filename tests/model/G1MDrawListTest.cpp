// The per-frame draw list: draw ranges, submesh transforms from joint maps, G1MM matrices and bone
// chains, and leaving out submeshes whose references are broken.
#include "tests/model/ModelTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace tavro::testing {
namespace {

using authoring::MakeG1MBone;
using authoring::MakeG1MSubmesh;

std::vector<CG1MDrawItem> DrawItemsOf(const authoring::G1MModelDescription& description) {
    CG1MModel model;
    EXPECT_TRUE(LoadG1M(model, authoring::WriteG1M(description)));
    return model.BuildDrawItems();
}

Vector3 Transform(Vector3 p, const Matrix4& m) {
    return {p.x * m.At(0, 0) + p.y * m.At(1, 0) + p.z * m.At(2, 0) + m.At(3, 0),
            p.x * m.At(0, 1) + p.y * m.At(1, 1) + p.z * m.At(2, 1) + m.At(3, 1),
            p.x * m.At(0, 2) + p.y * m.At(1, 2) + p.z * m.At(2, 2) + m.At(3, 2)};
}

void ExpectNear(Vector3 actual, Vector3 expected) {
    EXPECT_NEAR(actual.x, expected.x, 1e-6);
    EXPECT_NEAR(actual.y, expected.y, 1e-6);
    EXPECT_NEAR(actual.z, expected.z, 1e-6);
}

void ExpectSameItem(const CG1MDrawItem& a, const CG1MDrawItem& b) {
    EXPECT_EQ(0, std::memcmp(a.matrix.m, b.matrix.m, sizeof a.matrix.m));
    EXPECT_EQ(a.indexCount, b.indexCount);
    EXPECT_EQ(a.startIndex, b.startIndex);
    EXPECT_EQ(a.baseVertex, b.baseVertex);
}

// One buffer of eight vertices and eight indices, the given skeleton and matrices, and one submesh
// per joint map.
authoring::G1MModelDescription PosedModel(std::vector<CG1MBone> bones, std::vector<Matrix4> matrices,
                                          std::vector<std::vector<CG1MJointMapEntry>> jointMaps) {
    authoring::G1MModelDescription model;
    model.bones = std::move(bones);
    model.matrices = std::move(matrices);
    model.vertexBuffers = {authoring::MakeG1MVertexBuffer(48, VertexRow(8))};
    model.indexBuffers = {IndexRun(8, 8)};
    for (std::uint32_t i = 0; i < jointMaps.size(); ++i) {
        model.submeshes.push_back(MakeG1MSubmesh(0, i, 0, 8));
    }
    model.jointMaps = std::move(jointMaps);
    return model;
}

TEST(G1MDrawList, BufferIndexChoosesStartIndexAndBaseVertex) {
    authoring::G1MModelDescription model;
    model.vertexBuffers = {authoring::MakeG1MVertexBuffer(48, VertexRow(150)),
                           authoring::MakeG1MVertexBuffer(36, VertexRow(60))};
    model.indexBuffers = {IndexRun(300, 150), IndexRun(120, 60)};
    model.jointMaps = {{}};
    // The last submesh runs one index past its buffer into the next one's sound indices: left out.
    model.submeshes = {MakeG1MSubmesh(1, 0, 12, 100), MakeG1MSubmesh(0, 0, 0, 300),
                       MakeG1MSubmesh(0, 0, 1, 300)};
    const std::vector<CG1MDrawItem> items = DrawItemsOf(model);
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].startIndex, 312u);
    EXPECT_EQ(items[0].baseVertex, 150);
    EXPECT_EQ(items[0].indexCount, 100u);
    EXPECT_EQ(items[1].startIndex, 0u);
    EXPECT_EQ(items[1].baseVertex, 0);
}

TEST(G1MDrawList, JointMapsPlaceTheirSubmeshes) {
    const Matrix4 shift = MatrixTranslation(0, 0, 7);
    const std::vector<CG1MDrawItem> items = DrawItemsOf(
        PosedModel({MakeG1MBone(-1, {1, 2, 3}), MakeG1MBone(-1, {1, 0, 0}, {0, 0, 0, 1}, {2, 2, 2})},
                   {MatrixIdentity(), shift}, {{}, {{1, 0, -1}}, {{0, 0, 0}}, {{0, 0, 1}, {1, 0, 0}}}));
    ASSERT_EQ(items.size(), 4u);
    // An empty joint map gives the identity; bone -1 gives exactly the named G1MM matrix.
    EXPECT_EQ(0, std::memcmp(items[0].matrix.m, MatrixIdentity().m, sizeof(Matrix4)));
    EXPECT_EQ(0, std::memcmp(items[1].matrix.m, shift.m, sizeof(Matrix4)));
    // A root bone at (1, 2, 3): the identity with row 3 = (1, 2, 3, 1).
    EXPECT_EQ(0, std::memcmp(items[2].matrix.m, MatrixTranslation(1, 2, 3).m, sizeof(Matrix4)));
    // Scale before translation: the translation is not scaled. Only the first entry counts.
    const Matrix4 expected = {{2, 0, 0, 0, 0, 2, 0, 0, 0, 0, 2, 0, 1, 0, 0, 1}};
    EXPECT_EQ(0, std::memcmp(items[3].matrix.m, expected.m, sizeof(Matrix4)));
}

TEST(G1MDrawList, BoneChainsApplyMatrixThenBoneThenAncestors) {
    const float h = 0.70710677f;
    // Bone 0 sits at (1, 0, 0) under bone 1, which turns a quarter about y and sits at (0, 0, 5).
    const std::vector<CG1MDrawItem> items =
        DrawItemsOf(PosedModel({MakeG1MBone(1, {1, 0, 0}), MakeG1MBone(-1, {0, 0, 5}, {0, h, 0, h})},
                               {MatrixScaling(2, 2, 2)}, {{{0, 0, 0}}}));
    ASSERT_EQ(items.size(), 1u);
    // (1,0,0) -> G: (2,0,0) -> bone 0: (3,0,0) -> quarter turn: (0,0,-3) -> bone 1's place: (0,0,2).
    ExpectNear(Transform({1, 0, 0}, items[0].matrix), {0, 0, 2});
    ExpectNear(Transform({0, 0, 0}, items[0].matrix), {0, 0, 4});
}

TEST(G1MDrawList, ALongChainThatUsesEveryBoneIsNotALoop) {
    std::vector<CG1MBone> bones;
    for (std::int32_t i = 0; i < 8; ++i) {
        bones.push_back(MakeG1MBone(i == 7 ? -1 : i + 1, {1, 0, 0}));
    }
    const std::vector<CG1MDrawItem> items = DrawItemsOf(PosedModel(bones, {MatrixIdentity()}, {{{0, 0, 0}}}));
    ASSERT_EQ(items.size(), 1u);
    ExpectNear(Transform({0, 0, 0}, items[0].matrix), {8, 0, 0});
}

TEST(G1MDrawList, ABoneTurnsBeforeItsNonUniformScale) {
    const float h = 0.70710677f;
    // A quarter turn about z, then twice as wide in x: the turn carries x onto y, which the scale
    // leaves alone, and y onto -x, which it doubles. (Scaling first would do the opposite.)
    const std::vector<CG1MDrawItem> items = DrawItemsOf(
        PosedModel({MakeG1MBone(-1, {0, 0, 0}, {0, 0, h, h}, {2, 1, 1})}, {MatrixIdentity()}, {{{0, 0, 0}}}));
    ASSERT_EQ(items.size(), 1u);
    ExpectNear(Transform({1, 0, 0}, items[0].matrix), {0, 1, 0});
    ExpectNear(Transform({0, 1, 0}, items[0].matrix), {-2, 0, 0});
}

// The chain rule as one walk per submesh, every product rounded on its own: what the draw list must
// reproduce bit for bit, however it shares work between submeshes.
Matrix4 WalkChain(const std::vector<CG1MBone>& bones, const Matrix4& g, std::int32_t bone) {
    Matrix4 m = MatrixIdentity();
    for (; bone != -1; bone = bones[bone].parent) {
        const CG1MBone& b = bones[bone];
        m = MatrixMultiply(
            m, MatrixRotationQuaternion(b.rotation[0], b.rotation[1], b.rotation[2], b.rotation[3]));
        m = MatrixMultiply(m, MatrixScaling(b.scale[0], b.scale[1], b.scale[2]));
        m = MatrixMultiply(m, MatrixTranslation(b.position[0], b.position[1], b.position[2]));
    }
    return MatrixMultiply(g, m);
}

// A branching skeleton of turned, unevenly scaled bones (each bone's parent is an earlier bone), with
// the given start bones for its submeshes.
authoring::G1MModelDescription Tree(std::size_t boneCount, std::uint32_t branching,
                                    const std::vector<std::int32_t>& startBones,
                                    std::vector<CG1MBone>& bones) {
    bones.clear();
    for (std::size_t i = 0; i < boneCount; ++i) {
        const float t = static_cast<float>(i % 7) * 0.01f;
        const auto parent = static_cast<std::int32_t>(i == 0 ? -1 : (i - 1) / branching);
        bones.push_back(
            MakeG1MBone(parent, {0.01f + t, 0.02f, -t}, {t, 0.003f, -t, 1.0f}, {1.0f + t, 1.0f, 1.0f - t}));
    }
    std::vector<std::vector<CG1MJointMapEntry>> maps;
    for (std::size_t i = 0; i < startBones.size(); ++i) {
        maps.push_back({{static_cast<std::uint32_t>(i % 2), 0, startBones[i]}});
    }
    return PosedModel(bones, {MatrixIdentity(), MatrixScaling(1.5f, 0.5f, 2.0f)}, maps);
}

TEST(G1MDrawList, SharedChainsGiveTheSameBitsAsOneWalkPerSubmesh) {
    std::vector<std::int32_t> starts;
    for (std::int32_t i = 0; i < 300; ++i) {
        starts.push_back((i * 37) % 200); // most bones named by several submeshes
    }
    std::vector<CG1MBone> bones;
    const std::vector<CG1MDrawItem> items = DrawItemsOf(Tree(200, 1 + 2, starts, bones));
    ASSERT_EQ(items.size(), starts.size());
    for (std::size_t i = 0; i < starts.size(); ++i) {
        const Matrix4 g = i % 2 == 0 ? MatrixIdentity() : MatrixScaling(1.5f, 0.5f, 2.0f);
        const Matrix4 expected = WalkChain(bones, g, starts[i]);
        ASSERT_EQ(0, std::memcmp(items[i].matrix.m, expected.m, sizeof(Matrix4))) << "submesh " << i;
    }
}

// The same chain grouped from the root: a bone's own rotation, scale and translation, times its
// parent's chain. What the draw list gives, bit for bit, once walking every chain on its own would
// cost more than its budget of bone steps.
Matrix4 ComposeFromRoot(const std::vector<CG1MBone>& bones, const Matrix4& g, std::int32_t bone) {
    std::vector<std::int32_t> path;
    for (; bone != -1; bone = bones[bone].parent) {
        path.push_back(bone);
    }
    Matrix4 chain = MatrixIdentity();
    for (auto at = path.rbegin(); at != path.rend(); ++at) {
        const CG1MBone& b = bones[*at];
        Matrix4 local =
            MatrixMultiply(MatrixIdentity(), MatrixRotationQuaternion(b.rotation[0], b.rotation[1],
                                                                      b.rotation[2], b.rotation[3]));
        local = MatrixMultiply(local, MatrixScaling(b.scale[0], b.scale[1], b.scale[2]));
        local = MatrixMultiply(local, MatrixTranslation(b.position[0], b.position[1], b.position[2]));
        chain = b.parent == -1 ? local : MatrixMultiply(local, chain);
    }
    return MatrixMultiply(g, chain);
}

TEST(G1MDrawList, ManySubmeshesOnDistinctBonesOfADeepChainShareChainsFromTheRoot) {
    // A single chain 2,000 bones deep with a submesh on each of its first 1,000 bones: walking every
    // chain on its own would take 1.5 million bone steps, so chains are shared from the root instead.
    // The two groupings round differently, which shows the walk was not taken.
    std::vector<std::int32_t> starts;
    for (std::int32_t i = 0; i < 1000; ++i) {
        starts.push_back(i);
    }
    std::vector<CG1MBone> bones;
    authoring::G1MModelDescription model = Tree(2000, 1, starts, bones);
    std::reverse(bones.begin(), bones.end()); // bone i's parent is i + 1, so bone 0 is the deepest
    for (std::size_t i = 0; i < bones.size(); ++i) {
        bones[i].parent = i + 1 == bones.size() ? -1 : static_cast<std::int32_t>(i + 1);
    }
    model.bones = bones;
    const std::vector<CG1MDrawItem> items = DrawItemsOf(model);
    ASSERT_EQ(items.size(), starts.size());
    std::size_t walkDiffers = 0;
    for (std::size_t i = 0; i < starts.size(); i += 97) {
        const Matrix4 g = i % 2 == 0 ? MatrixIdentity() : MatrixScaling(1.5f, 0.5f, 2.0f);
        const Matrix4 expected = ComposeFromRoot(bones, g, starts[i]);
        EXPECT_EQ(0, std::memcmp(items[i].matrix.m, expected.m, sizeof(Matrix4))) << "submesh " << i;
        const Matrix4 walked = WalkChain(bones, g, starts[i]);
        walkDiffers += std::memcmp(walked.m, expected.m, sizeof(Matrix4)) != 0 ? 1 : 0;
    }
    EXPECT_GT(walkDiffers, 0u);
}

TEST(G1MDrawList, SubmeshesWithBrokenReferencesAreLeftOutAlone) {
    // Bones: 0 is a root, 1 names a parent out of range, 2 and 3 form a loop, 4 is its own parent.
    const std::vector<CG1MBone> bones = {MakeG1MBone(-1, {1, 0, 0}),
                                         MakeG1MBone(9),
                                         MakeG1MBone(3),
                                         MakeG1MBone(2),
                                         MakeG1MBone(4),
                                         MakeG1MBone(-2)};
    struct Case {
        const char* what;
        CG1MSubmesh submesh;
        std::vector<CG1MJointMapEntry> jointMap;
    };
    const Case cases[] = {
        {"buffer index past both buffers", MakeG1MSubmesh(2, 1, 0, 3), {{0, 0, 0}}},
        {"buffer index with no vertex buffer", MakeG1MSubmesh(1, 1, 0, 3), {{0, 0, 0}}},
        {"joint map index", MakeG1MSubmesh(0, 7, 0, 3), {{0, 0, 0}}},
        {"matrix index", MakeG1MSubmesh(0, 1, 0, 3), {{1, 0, 0}}},
        {"bone index", MakeG1MSubmesh(0, 1, 0, 3), {{0, 0, 6}}},
        {"negative bone index", MakeG1MSubmesh(0, 1, 0, 3), {{0, 0, -2}}},
        {"parent out of range", MakeG1MSubmesh(0, 1, 0, 3), {{0, 0, 1}}},
        {"negative parent", MakeG1MSubmesh(0, 1, 0, 3), {{0, 0, 5}}},
        {"parent loop", MakeG1MSubmesh(0, 1, 0, 3), {{0, 0, 2}}},
        {"bone its own parent", MakeG1MSubmesh(0, 1, 0, 3), {{0, 0, 4}}},
        {"index range past its buffer", MakeG1MSubmesh(0, 1, 6, 3), {{0, 0, 0}}},
        {"index count wrapping", MakeG1MSubmesh(0, 1, 2, 0xFFFFFFFF), {{0, 0, 0}}},
        {"index naming a vertex past its buffer", MakeG1MSubmesh(0, 1, 5, 3), {{0, 0, 0}}},
    };
    for (const Case& c : cases) {
        authoring::G1MModelDescription model;
        model.bones = bones;
        model.matrices = {MatrixIdentity()};
        model.vertexBuffers = {authoring::MakeG1MVertexBuffer(48, VertexRow(4))};
        // The 0xFFFF strip cut names no vertex and is allowed; index 4 is past the four vertices.
        model.indexBuffers = {{0, 1, 0xFFFF, 2, 3, 1, 4, 0}, {0, 1, 2}};
        model.jointMaps = {{{0, 0, 0}}, c.jointMap};
        model.submeshes = {MakeG1MSubmesh(0, 0, 0, 5), c.submesh, MakeG1MSubmesh(0, 0, 3, 3)};
        const std::vector<CG1MDrawItem> withBad = DrawItemsOf(model);
        model.submeshes.erase(model.submeshes.begin() + 1);
        const std::vector<CG1MDrawItem> withoutBad = DrawItemsOf(model);
        ASSERT_EQ(withBad.size(), 2u) << c.what;
        ASSERT_EQ(withoutBad.size(), 2u) << c.what;
        for (std::size_t i = 0; i < 2; ++i) {
            ExpectSameItem(withBad[i], withoutBad[i]);
        }
        EXPECT_EQ(withBad[1].startIndex, 3u) << c.what;
    }
}

} // namespace
} // namespace tavro::testing
