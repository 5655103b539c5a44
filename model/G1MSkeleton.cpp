// The G1MS skeleton and G1MM matrix chunk readers.
#include "model/G1MModel.h"

#include "file/LittleEndian.h"

#include <cstring>

namespace tavro {

bool CG1MModel::ParseG1MS(const std::uint8_t* chunk, std::uint32_t size) {
    if (size < kG1MSkeletonHeadSize) {
        return false;
    }
    const std::uint32_t boneDataOffset = LoadU32(chunk + 12);
    const std::uint32_t boneCount = LoadU16(chunk + 20);
    // The bones follow a table of (A + B) 16-bit entries, padded to a multiple of 4 bytes; B is 32 bits.
    const std::uint64_t tableLength = std::uint64_t{LoadU16(chunk + 22)} + LoadU32(chunk + 24);
    const std::uint64_t expectedOffset = (kG1MSkeletonHeadSize + 2 * tableLength + 3) & ~std::uint64_t{3};
    if (boneDataOffset != expectedOffset) {
        return false;
    }
    if (size != std::uint64_t{boneDataOffset} + std::uint64_t{sizeof(CG1MBone)} * boneCount) {
        return false;
    }
    bones.resize(boneCount);
    if (boneCount != 0) {
        std::memcpy(bones.data(), chunk + boneDataOffset, sizeof(CG1MBone) * boneCount);
    }
    return true;
}

bool CG1MModel::ParseG1MM(const std::uint8_t* chunk, std::uint32_t size) {
    if (size < kG1MMatrixHeadSize) {
        return false;
    }
    const std::uint32_t matrixCount = LoadU32(chunk + 12);
    if (size != kG1MMatrixHeadSize + std::uint64_t{sizeof(Matrix4)} * matrixCount) {
        return false;
    }
    matrices.resize(matrixCount);
    if (matrixCount != 0) {
        std::memcpy(matrices.data(), chunk + kG1MMatrixHeadSize, sizeof(Matrix4) * matrixCount);
    }
    return true;
}

} // namespace tavro
