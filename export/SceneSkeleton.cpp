#include "export/SceneSkeleton.h"

#include "model/Matrix.h"

#include <algorithm>
#include <cmath>

namespace tavro {
namespace {

using Matrix3 = std::array<std::array<double, 3>, 3>;

// Rows of an orthonormal matrix may differ from exact by float rounding; beyond this they are taken
// as not orthogonal.
constexpr double kOrthogonalTolerance = 1e-5;

double Determinant(const Matrix3& m) {
    return m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) -
           m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
           m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
}

// The inverse transpose, for a matrix whose determinant is not 0.
Matrix3 InverseTranspose(const Matrix3& m) {
    const double determinant = Determinant(m);
    Matrix3 result;
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) {
            const int r1 = (r + 1) % 3, r2 = (r + 2) % 3, c1 = (c + 1) % 3, c2 = (c + 2) % 3;
            result[r][c] = (m[r1][c1] * m[r2][c2] - m[r1][c2] * m[r2][c1]) / determinant;
        }
    }
    return result;
}

// The rotation nearest to m (its polar factor), for m with a positive determinant: averaging a matrix
// with its inverse transpose converges to it quadratically.
Matrix3 NearestRotation(Matrix3 m) {
    for (int iteration = 0; iteration < 50; ++iteration) {
        const Matrix3 inverseTranspose = InverseTranspose(m);
        double change = 0;
        for (int r = 0; r < 3; ++r) {
            for (int c = 0; c < 3; ++c) {
                const double next = 0.5 * (m[r][c] + inverseTranspose[r][c]);
                change = std::max(change, std::abs(next - m[r][c]));
                m[r][c] = next;
            }
        }
        if (change < 1e-15) {
            break;
        }
    }
    return m;
}

// The unit quaternion of a rotation given in the row-vector convention (p' = p * rows).
std::array<double, 4> QuaternionOfRows(const Matrix3& rows) {
    // In the column-vector convention glTF uses, element (i, j) is rows[j][i].
    auto r = [&rows](int i, int j) { return rows[j][i]; };
    std::array<double, 4> q; // x, y, z, w
    const double trace = r(0, 0) + r(1, 1) + r(2, 2);
    if (trace > 0) {
        const double s = std::sqrt(trace + 1) * 2;
        q = {(r(2, 1) - r(1, 2)) / s, (r(0, 2) - r(2, 0)) / s, (r(1, 0) - r(0, 1)) / s, s / 4};
    } else if (r(0, 0) > r(1, 1) && r(0, 0) > r(2, 2)) {
        const double s = std::sqrt(1 + r(0, 0) - r(1, 1) - r(2, 2)) * 2;
        q = {s / 4, (r(0, 1) + r(1, 0)) / s, (r(0, 2) + r(2, 0)) / s, (r(2, 1) - r(1, 2)) / s};
    } else if (r(1, 1) > r(2, 2)) {
        const double s = std::sqrt(1 + r(1, 1) - r(0, 0) - r(2, 2)) * 2;
        q = {(r(0, 1) + r(1, 0)) / s, s / 4, (r(1, 2) + r(2, 1)) / s, (r(0, 2) - r(2, 0)) / s};
    } else {
        const double s = std::sqrt(1 + r(2, 2) - r(0, 0) - r(1, 1)) * 2;
        q = {(r(0, 2) + r(2, 0)) / s, (r(1, 2) + r(2, 1)) / s, s / 4, (r(1, 0) - r(0, 1)) / s};
    }
    const double length = std::sqrt(q[0] * q[0] + q[1] * q[1] + q[2] * q[2] + q[3] * q[3]);
    for (double& value : q) {
        value /= length;
    }
    return q;
}

enum class Decomposition { Exact, Nearest, NotFinite };

// Splits the bone's local matrix, mirrored in x, into glTF's translation, rotation and scale.
Decomposition DecomposeBone(const CG1MBone& bone, SceneBone& node) {
    const Matrix4 local =
        MatrixMultiply(MatrixMultiply(MatrixRotationQuaternion(bone.rotation[0], bone.rotation[1],
                                                               bone.rotation[2], bone.rotation[3]),
                                      MatrixScaling(bone.scale[0], bone.scale[1], bone.scale[2])),
                       MatrixTranslation(bone.position[0], bone.position[1], bone.position[2]));
    // Mirroring x on both sides (F * local * F, F = diag(-1, 1, 1, 1)) negates the elements that mix x
    // with y or z, and the x of the translation.
    constexpr double kMirror[3] = {-1, 1, 1};
    Matrix3 linear;
    double scale[3];
    bool finite = true;
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) {
            linear[r][c] = local.At(r, c) * kMirror[r] * kMirror[c];
        }
        node.translation[r] = local.At(3, r) * kMirror[r];
        scale[r] = std::sqrt(linear[r][0] * linear[r][0] + linear[r][1] * linear[r][1] +
                             linear[r][2] * linear[r][2]);
        finite = finite && std::isfinite(scale[r]) && std::isfinite(node.translation[r]);
    }
    if (!finite) {
        node = SceneBone{node.parent};
        return Decomposition::NotFinite;
    }
    // Row r of the linear part is scale r times row r of a rotation (scale first, then rotation, as
    // glTF has it) exactly when the rows are orthogonal.
    Matrix3 rows = linear;
    if (scale[0] == 0 || scale[1] == 0 || scale[2] == 0) {
        // A flattened bone has no rotation to recover.
        node.rotation = {0, 0, 0, 1};
        node.scale = {scale[0], scale[1], scale[2]};
        return Decomposition::Nearest;
    }
    for (int r = 0; r < 3; ++r) {
        for (double& value : rows[r]) {
            value /= scale[r];
        }
    }
    if (Determinant(rows) < 0) { // a mirroring bone: the mirror goes into the scale
        scale[0] = -scale[0];
        for (double& value : rows[0]) {
            value = -value;
        }
    }
    const Matrix3 rotation = NearestRotation(rows);
    double deviation = 0;
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) {
            deviation = std::max(deviation, std::abs(rotation[r][c] - rows[r][c]));
        }
    }
    node.rotation = QuaternionOfRows(rotation);
    node.scale = {scale[0], scale[1], scale[2]};
    return deviation <= kOrthogonalTolerance ? Decomposition::Exact : Decomposition::Nearest;
}

// Parents that name a bone and lead to a root; -1 where the model's parent is out of range or where
// following parents would come back to the same bone (the link that closes the loop is cut).
std::vector<std::int32_t> ValidParents(std::span<const CG1MBone> bones, std::size_t& rerooted) {
    const auto count = static_cast<std::int64_t>(bones.size());
    std::vector<std::int32_t> parents(bones.size());
    rerooted = 0;
    for (std::size_t i = 0; i < bones.size(); ++i) {
        const std::int32_t parent = bones[i].parent;
        const bool valid = parent == -1 || (parent >= 0 && parent < count);
        parents[i] = valid ? parent : -1;
        rerooted += valid ? 0 : 1;
    }
    enum : std::uint8_t { kUnvisited, kOnPath, kDone };
    std::vector<std::uint8_t> state(bones.size(), kUnvisited);
    std::vector<std::int32_t> path;
    for (std::size_t start = 0; start < bones.size(); ++start) {
        std::int32_t bone = static_cast<std::int32_t>(start);
        while (bone != -1 && state[bone] == kUnvisited) {
            state[bone] = kOnPath;
            path.push_back(bone);
            if (parents[bone] != -1 && state[parents[bone]] == kOnPath) {
                parents[bone] = -1;
                ++rerooted;
            }
            bone = parents[bone];
        }
        for (const std::int32_t visited : path) {
            state[visited] = kDone;
        }
        path.clear();
    }
    return parents;
}

} // namespace

std::vector<SceneBone> BuildSceneBones(std::span<const CG1MBone> bones, std::vector<std::string>& warnings) {
    std::size_t rerooted = 0;
    const std::vector<std::int32_t> parents = ValidParents(bones, rerooted);
    std::vector<SceneBone> nodes(bones.size());
    std::size_t nearest = 0, notFinite = 0;
    for (std::size_t i = 0; i < bones.size(); ++i) {
        nodes[i].parent = parents[i];
        switch (DecomposeBone(bones[i], nodes[i])) {
        case Decomposition::Nearest:
            ++nearest;
            break;
        case Decomposition::NotFinite:
            ++notFinite;
            break;
        case Decomposition::Exact:
            break;
        }
    }
    if (rerooted != 0) {
        warnings.push_back(
            std::to_string(rerooted) +
            " bones placed right under the skeleton: their parent is not a bone or closes a loop");
    }
    if (nearest != 0) {
        warnings.push_back(std::to_string(nearest) +
                           " bones' transforms written as the nearest translation, rotation and scale: a "
                           "non-uniform scale after a rotation has no exact form in glTF");
    }
    if (notFinite != 0) {
        warnings.push_back(std::to_string(notFinite) +
                           " bones written with the identity transform: their values are not finite numbers");
    }
    return nodes;
}

} // namespace tavro
