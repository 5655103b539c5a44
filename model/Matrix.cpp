#include "model/Matrix.h"

#include "model/ScalarTrig.h"

#include <cmath>

namespace tavro {

namespace {

Vector3 Cross(Vector3 a, Vector3 b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

float Dot(Vector3 a, Vector3 b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

Vector3 Normalize(Vector3 v) {
    const float length = std::sqrt(Dot(v, v));
    return {v.x / length, v.y / length, v.z / length};
}

} // namespace

Matrix4 MatrixIdentity() {
    return {{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}};
}

Matrix4 MatrixMultiply(const Matrix4& a, const Matrix4& b) {
    Matrix4 result;
    for (int r = 0; r < 4; ++r) {
        const float a0 = a.At(r, 0);
        const float a1 = a.At(r, 1);
        const float a2 = a.At(r, 2);
        const float a3 = a.At(r, 3);
        for (int c = 0; c < 4; ++c) {
            result.At(r, c) = (a0 * b.At(0, c) + a2 * b.At(2, c)) + (a1 * b.At(1, c) + a3 * b.At(3, c));
        }
    }
    return result;
}

Matrix4 MatrixTranspose(const Matrix4& matrix) {
    Matrix4 result;
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            result.At(c, r) = matrix.At(r, c);
        }
    }
    return result;
}

Matrix4 MatrixRotationQuaternion(float x, float y, float z, float w) {
    // Each diagonal term is (1 - 2a^2) - 2b^2 in the order written, which fixes its rounding.
    const float xx = 2 * x * x;
    const float yy = 2 * y * y;
    const float zz = 2 * z * z;
    const float xy = 2 * x * y;
    const float xz = 2 * x * z;
    const float yz = 2 * y * z;
    const float xw = 2 * x * w;
    const float yw = 2 * y * w;
    const float zw = 2 * z * w;
    return {{(1 - yy) - zz, xy + zw, xz - yw, 0, //
             xy - zw, (1 - xx) - zz, yz + xw, 0, //
             xz + yw, yz - xw, (1 - xx) - yy, 0, //
             0, 0, 0, 1}};
}

Matrix4 MatrixScaling(float x, float y, float z) {
    return {{x, 0, 0, 0, 0, y, 0, 0, 0, 0, z, 0, 0, 0, 0, 1}};
}

Matrix4 MatrixTranslation(float x, float y, float z) {
    return {{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, x, y, z, 1}};
}

Matrix4 MatrixRotationY(float angle) {
    float s;
    float c;
    ScalarSinCos(angle, s, c);
    return {{c, 0, -s, 0, 0, 1, 0, 0, s, 0, c, 0, 0, 0, 0, 1}};
}

Matrix4 MatrixLookToLH(Vector3 eye, Vector3 direction, Vector3 up) {
    const Vector3 r2 = Normalize(direction);
    const Vector3 r0 = Normalize(Cross(up, r2));
    const Vector3 r1 = Cross(r2, r0);
    const float d0 = -Dot(r0, eye);
    const float d1 = -Dot(r1, eye);
    const float d2 = -Dot(r2, eye);
    return {{r0.x, r1.x, r2.x, 0, r0.y, r1.y, r2.y, 0, r0.z, r1.z, r2.z, 0, d0, d1, d2, 1}};
}

Matrix4 MatrixPerspectiveFovLH(float fovY, float aspect, float nearZ, float farZ) {
    float s;
    float c;
    ScalarSinCos(fovY / 2, s, c);
    const float h = c / s;
    const float w = h / aspect;
    const float r = farZ / (farZ - nearZ);
    return {{w, 0, 0, 0, 0, h, 0, 0, 0, 0, r, 1, 0, 0, -r * nearZ, 0}};
}

} // namespace tavro
