#pragma once
// The bone-chain matrices a draw list needs, each computed once per list. A submesh's matrix takes its
// start bone's chain: the bone's rotation, scale and translation, then each ancestor's up to the root,
// every product rounded on its own in that order. Submeshes that share a start bone share one walk.
#include "model/G1MRecords.h"
#include "model/Matrix.h"

#include <cstdint>
#include <span>
#include <vector>

namespace tavro {

class G1MBoneChains {
public:
    // Works out the chains of startBones (bone indices, repeats allowed; -1 and broken indices are
    // allowed and simply have no chain).
    G1MBoneChains(std::span<const CG1MBone> bones, std::span<const std::int32_t> startBones);

    // The chain matrix of bone, the identity for -1; false when the chain leaves the bones or loops.
    bool Get(std::int32_t bone, Matrix4& matrix) const;

    // Walking every start bone's chain to the root on its own costs the sum of their depths. Up to this
    // many bone steps the chains are walked exactly as the per-submesh rule says. Beyond it (only a
    // hostile skeleton gets there: thousands of submeshes on distinct bones of a chain thousands deep)
    // each bone's chain is its own product times its parent's chain, computed once per bone, which is
    // the same product grouped from the root, and may differ from the walk in the last bits.
    static constexpr std::uint64_t kWalkStepBudget = 1u << 20;

private:
    enum class State : std::uint8_t { Unknown, OnPath, Valid, Broken };

    // Fills state and depth for bone and every ancestor not yet known; a loop or a parent outside the
    // bones makes the chain Broken.
    void Resolve(std::int32_t bone);
    Matrix4 LocalMatrix(std::int32_t bone) const;
    void WalkChain(std::int32_t bone);
    void ComposeFromRoot(std::int32_t bone);

    std::span<const CG1MBone> bones;
    std::vector<State> state;
    std::vector<std::uint32_t> depth; // bones on the chain, the bone itself included
    std::vector<bool> ready;          // chain[bone] holds its matrix
    std::vector<Matrix4> chain;
};

} // namespace tavro
