#pragma once
// The model's skeleton as an exported scene holds it: one node per bone with its local transform as
// translation, rotation and scale in glTF's right-handed frame (x mirrored), parented as in the model.
#include "model/G1MRecords.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tavro {

struct SceneBone {
    std::int32_t parent = -1; // index of the parent bone; -1 for a bone right under the skeleton node
    std::array<double, 3> translation{};
    std::array<double, 4> rotation{0, 0, 0, 1}; // unit quaternion x, y, z, w
    std::array<double, 3> scale{1, 1, 1};
};

// One SceneBone per bone, in the same order. A bone's local transform is its rotation, then its scale,
// then its translation, as the draw list applies them. glTF applies scale before rotation, so a
// non-uniform scale after a rotation (or a quaternion that is not of unit length) has no exact form; the
// nearest rotation and the scale along its axes are written instead, and warnings gets one line with
// the count of such bones. A parent index that names no bone, or that closes a loop, puts the bone
// right under the skeleton node, and a bone whose transform holds a value that is not a finite number
// gets the identity; each kind is counted in one line of warnings.
std::vector<SceneBone> BuildSceneBones(std::span<const CG1MBone> bones, std::vector<std::string>& warnings);

} // namespace tavro
