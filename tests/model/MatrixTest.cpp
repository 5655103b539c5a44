// Matrix products, the rotation builders and the portable sine and cosine (the viewer camera's view and
// projection are checked in the frames of tests/render/FrameRenderTest.cpp).
#include "model/Matrix.h"
#include "model/ScalarTrig.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tavro {
namespace {

void ExpectRowsNear(const Matrix4& actual, const Matrix4& expected, float tolerance) {
    for (int i = 0; i < 16; ++i) {
        EXPECT_NEAR(actual.m[i], expected.m[i], tolerance) << "element " << i / 4 << "," << i % 4;
    }
}

TEST(Matrix, MultiplyRoundsInItsFixedGrouping) {
    // (1*1 + 1*1) + (1e8*1 + -1e8*1) is 2; summing left to right would lose both ones to rounding.
    Matrix4 a = MatrixIdentity();
    a.At(0, 0) = 1;
    a.At(0, 1) = 1e8f;
    a.At(0, 2) = 1;
    a.At(0, 3) = -1e8f;
    Matrix4 ones{};
    for (int k = 0; k < 4; ++k) {
        ones.At(k, 0) = 1;
    }
    EXPECT_EQ(MatrixMultiply(a, ones).At(0, 0), 2.0f);
}

TEST(Matrix, QuarterTurnQuaternionMatchesRotationY) {
    const float h = 0.70710677f;
    const Matrix4 expected = {{0, 0, -1, 0, 0, 1, 0, 0, 1, 0, 0, 0, 0, 0, 0, 1}};
    // Within single-precision rounding of values near 1 (1.2e-7 is two units in the last place below 1).
    ExpectRowsNear(MatrixRotationQuaternion(0, h, 0, h), expected, 1.2e-7f);
    ExpectRowsNear(MatrixRotationY(1.5707964f), expected, 1.2e-7f);
    // A quaternion of length 2 is used as given, so the result is not a rotation.
    EXPECT_EQ(MatrixRotationQuaternion(0, 2 * h, 0, 2 * h).At(0, 0), (1 - 2 * (2 * h) * (2 * h)));
}

TEST(ScalarTrig, AccurateAcrossManyTurns) {
    // Within half a turn the error is that of single precision near 1. Further out, the float
    // multiple of 2 pi taken away carries an error that grows by about 1e-7 per radian.
    for (int step = -200000; step <= 200000; ++step) {
        const float angle = static_cast<float>(step) * 0.001f;
        float s;
        float c;
        ScalarSinCos(angle, s, c);
        const double tolerance = 1.5e-7 + 1e-7 * std::fabs(angle);
        ASSERT_NEAR(s, std::sin(static_cast<double>(angle)), tolerance) << angle;
        ASSERT_NEAR(c, std::cos(static_cast<double>(angle)), tolerance) << angle;
        // The reduction and both polynomials are symmetric, so sine is exactly odd, cosine exactly even.
        float sn;
        float cn;
        ScalarSinCos(-angle, sn, cn);
        ASSERT_EQ(sn, -s) << angle;
        ASSERT_EQ(cn, c) << angle;
    }
    float s;
    float c;
    ScalarSinCos(INFINITY, s, c);
    EXPECT_TRUE(std::isnan(s) && std::isnan(c));
}

} // namespace
} // namespace tavro
