#include "model/G1MBoneChains.h"

namespace tavro {

G1MBoneChains::G1MBoneChains(std::span<const CG1MBone> skeleton, std::span<const std::int32_t> startBones)
    : bones(skeleton), state(skeleton.size(), State::Unknown), depth(skeleton.size(), 0),
      ready(skeleton.size(), false), chain(skeleton.size()) {
    std::uint64_t walkSteps = 0;
    std::vector<bool> counted(bones.size(), false);
    for (const std::int32_t bone : startBones) {
        if (bone < 0 || static_cast<std::size_t>(bone) >= bones.size()) {
            continue;
        }
        Resolve(bone);
        if (state[bone] == State::Valid && !counted[bone]) {
            counted[bone] = true;
            walkSteps += depth[bone];
        }
    }
    const bool walk = walkSteps <= kWalkStepBudget;
    for (const std::int32_t bone : startBones) {
        if (bone >= 0 && static_cast<std::size_t>(bone) < bones.size() && state[bone] == State::Valid &&
            !ready[bone]) {
            if (walk) {
                WalkChain(bone);
            } else {
                ComposeFromRoot(bone);
            }
        }
    }
}

bool G1MBoneChains::Get(std::int32_t bone, Matrix4& matrix) const {
    if (bone == -1) {
        matrix = MatrixIdentity();
        return true;
    }
    if (bone < 0 || static_cast<std::size_t>(bone) >= bones.size() || !ready[bone]) {
        return false;
    }
    matrix = chain[bone];
    return true;
}

void G1MBoneChains::Resolve(std::int32_t bone) {
    // Up the parents until a bone whose chain is known, the root's -1, or a fault; then back down.
    std::vector<std::int32_t> path;
    State end = State::Valid;
    std::uint32_t endDepth = 0;
    for (std::int32_t at = bone; at != -1; at = bones[at].parent) {
        if (at < 0 || static_cast<std::size_t>(at) >= bones.size() || state[at] == State::OnPath) {
            end = State::Broken; // outside the bones, or a loop
            break;
        }
        if (state[at] != State::Unknown) {
            end = state[at];
            endDepth = depth[at];
            break;
        }
        state[at] = State::OnPath;
        path.push_back(at);
    }
    for (auto at = path.rbegin(); at != path.rend(); ++at) {
        state[*at] = end;
        depth[*at] = end == State::Valid ? ++endDepth : 0;
    }
}

Matrix4 G1MBoneChains::LocalMatrix(std::int32_t bone) const {
    const CG1MBone& b = bones[bone];
    Matrix4 local = MatrixMultiply(MatrixIdentity(), MatrixRotationQuaternion(b.rotation[0], b.rotation[1],
                                                                              b.rotation[2], b.rotation[3]));
    local = MatrixMultiply(local, MatrixScaling(b.scale[0], b.scale[1], b.scale[2]));
    return MatrixMultiply(local, MatrixTranslation(b.position[0], b.position[1], b.position[2]));
}

void G1MBoneChains::WalkChain(std::int32_t bone) {
    Matrix4 matrix = MatrixIdentity();
    for (std::int32_t at = bone; at != -1; at = bones[at].parent) {
        const CG1MBone& b = bones[at];
        matrix = MatrixMultiply(
            matrix, MatrixRotationQuaternion(b.rotation[0], b.rotation[1], b.rotation[2], b.rotation[3]));
        matrix = MatrixMultiply(matrix, MatrixScaling(b.scale[0], b.scale[1], b.scale[2]));
        matrix = MatrixMultiply(matrix, MatrixTranslation(b.position[0], b.position[1], b.position[2]));
    }
    chain[bone] = matrix;
    ready[bone] = true;
}

void G1MBoneChains::ComposeFromRoot(std::int32_t bone) {
    std::vector<std::int32_t> path; // bone and its ancestors whose chains are not ready, nearest first
    for (std::int32_t at = bone; at != -1 && !ready[at]; at = bones[at].parent) {
        path.push_back(at);
    }
    for (auto at = path.rbegin(); at != path.rend(); ++at) {
        const std::int32_t parent = bones[*at].parent;
        chain[*at] = parent == -1 ? LocalMatrix(*at) : MatrixMultiply(LocalMatrix(*at), chain[parent]);
        ready[*at] = true;
    }
}

} // namespace tavro
