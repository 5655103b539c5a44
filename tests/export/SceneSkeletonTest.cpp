// The skeleton's nodes: parents that cannot form a tree, and transforms glTF can or cannot hold.
#include "export/SceneSkeleton.h"

#include "authoring/G1MWriter.h"
#include "model/Matrix.h"

#include <gtest/gtest.h>

#include <limits>

namespace tavro {
namespace {

using authoring::MakeG1MBone;

// The bone's local matrix (rotation, scale, translation) with x mirrored on both sides.
Matrix4 MirroredLocal(const CG1MBone& bone) {
    Matrix4 local =
        MatrixMultiply(MatrixMultiply(MatrixRotationQuaternion(bone.rotation[0], bone.rotation[1],
                                                               bone.rotation[2], bone.rotation[3]),
                                      MatrixScaling(bone.scale[0], bone.scale[1], bone.scale[2])),
                       MatrixTranslation(bone.position[0], bone.position[1], bone.position[2]));
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            local.At(r, c) *= (r == 0 ? -1.0f : 1.0f) * (c == 0 ? -1.0f : 1.0f);
        }
    }
    return local;
}

// glTF's translation, rotation and scale as one matrix in the row-vector form: scale, rotate, move.
Matrix4 Recomposed(const SceneBone& node) {
    const auto f = [](double value) { return static_cast<float>(value); };
    return MatrixMultiply(
        MatrixMultiply(MatrixScaling(f(node.scale[0]), f(node.scale[1]), f(node.scale[2])),
                       MatrixRotationQuaternion(f(node.rotation[0]), f(node.rotation[1]), f(node.rotation[2]),
                                                f(node.rotation[3]))),
        MatrixTranslation(f(node.translation[0]), f(node.translation[1]), f(node.translation[2])));
}

TEST(SceneSkeleton, ParentsThatCannotFormATreeHangUnderTheSkeleton) {
    // 0 and 1 name each other, 2 names a bone that does not exist, 3 names itself; 5 is a sound child.
    const std::vector<CG1MBone> bones = {MakeG1MBone(1), MakeG1MBone(0),  MakeG1MBone(7),
                                         MakeG1MBone(3), MakeG1MBone(-1), MakeG1MBone(4)};
    std::vector<std::string> warnings;
    const std::vector<SceneBone> nodes = BuildSceneBones(bones, warnings);
    const std::int32_t expected[] = {1, -1, -1, -1, -1, 4};
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        EXPECT_EQ(nodes[i].parent, expected[i]) << "bone " << i;
    }
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_EQ(warnings[0].rfind("3 bones placed right under the skeleton", 0), 0u) << warnings[0];
}

TEST(SceneSkeleton, ExactTransformsRecomposeToTheMirroredBoneMatrix) {
    const std::vector<CG1MBone> bones = {
        MakeG1MBone(-1, {1, -2, 3}, {0.18257419f, 0.36514837f, 0.54772256f, 0.73029674f}, {0.5f, 0.5f, 0.5f}),
        MakeG1MBone(0, {0, 4, 0}, {0, 0, 0, 1}, {1, 2, 3}),    // uneven scale, no turn: exact
        MakeG1MBone(1, {2, 0, 0}, {0, 1, 0, 0}, {-1, -1, -1}), // a mirror through the origin
        MakeG1MBone(2, {0, 0, 0}, {0, 0, 0.38268343f, 0.92387953f}, {-2, 1, 1}), // mirrors x after a turn
    };
    std::vector<std::string> warnings;
    const std::vector<SceneBone> nodes = BuildSceneBones(bones, warnings);
    for (std::size_t b = 0; b < 3; ++b) {
        const Matrix4 expected = MirroredLocal(bones[b]);
        const Matrix4 actual = Recomposed(nodes[b]);
        for (int i = 0; i < 16; ++i) {
            EXPECT_NEAR(actual.m[i], expected.m[i], 1e-5) << "bone " << b << " element " << i;
        }
    }
    // The last bone scales x unevenly after a turn: the nearest form is written, and said so.
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_EQ(warnings[0].rfind("1 bones' transforms written as the nearest", 0), 0u) << warnings[0];
}

TEST(SceneSkeleton, ValuesThatAreNotFiniteGiveTheIdentity) {
    std::vector<CG1MBone> bones = {MakeG1MBone(-1, {1, 2, 3}), MakeG1MBone(0, {1, 2, 3})};
    bones[1].rotation[2] = std::numeric_limits<float>::quiet_NaN();
    std::vector<std::string> warnings;
    const std::vector<SceneBone> nodes = BuildSceneBones(bones, warnings);
    EXPECT_EQ(nodes[0].translation, (std::array<double, 3>{-1, 2, 3}));
    EXPECT_EQ(nodes[1].parent, 0);
    EXPECT_EQ(nodes[1].translation, (std::array<double, 3>{0, 0, 0}));
    EXPECT_EQ(nodes[1].rotation, (std::array<double, 4>{0, 0, 0, 1}));
    EXPECT_EQ(nodes[1].scale, (std::array<double, 3>{1, 1, 1}));
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_EQ(warnings[0].rfind("1 bones written with the identity transform", 0), 0u) << warnings[0];
}

} // namespace
} // namespace tavro
