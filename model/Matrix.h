#pragma once
// 4x4 single-precision matrices in the row-vector convention: a point p becomes p * M, translation
// sits in row 3, coordinates are left-handed. Every operation rounds in a fixed order so that all
// platforms and compilers produce the same bits.
namespace tavro {

// Element (r, c) is m[4 * r + c].
struct Matrix4 {
    float m[16];

    float& At(int row, int column) { return m[4 * row + column]; }
    float At(int row, int column) const { return m[4 * row + column]; }
};

static_assert(sizeof(Matrix4) == 64, "Matrix4 must be 16 packed floats, as in files and constant buffers");

struct Vector3 {
    float x;
    float y;
    float z;
};

Matrix4 MatrixIdentity();

// a * b: applies a first, then b. Row r is (a(r,0)*b.row0 + a(r,2)*b.row2) + (a(r,1)*b.row1 +
// a(r,3)*b.row3), a grouping that fixes the rounding.
Matrix4 MatrixMultiply(const Matrix4& a, const Matrix4& b);

Matrix4 MatrixTranspose(const Matrix4& matrix);

// Rotation by the quaternion (x, y, z, w), w the scalar part, used as given without normalising.
Matrix4 MatrixRotationQuaternion(float x, float y, float z, float w);

Matrix4 MatrixScaling(float x, float y, float z);
Matrix4 MatrixTranslation(float x, float y, float z);

// Rotation about the y axis; rows (c, 0, -s, 0), (0, 1, 0, 0), (s, 0, c, 0), (0, 0, 0, 1).
Matrix4 MatrixRotationY(float angle);

// View matrix of a camera at eye looking along direction with the given up vector.
Matrix4 MatrixLookToLH(Vector3 eye, Vector3 direction, Vector3 up);

// Projection to depth 0..1 with the vertical field of view fovY (radians) and aspect = width / height.
Matrix4 MatrixPerspectiveFovLH(float fovY, float aspect, float nearZ, float farZ);

} // namespace tavro
