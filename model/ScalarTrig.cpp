#include "model/ScalarTrig.h"

#include <cmath>

namespace tavro {

namespace {

constexpr float kPi = 3.141592654f;
constexpr float kHalfPi = 1.570796327f;
constexpr float kTwoPi = 6.283185307f;
constexpr float kOneOverTwoPi = 0.159154943f;

// Minimax polynomials in t = y * y on [-pi/2, pi/2]: sine to degree 11, cosine to degree 10.
constexpr float kSin1 = -0.16666666631f;
constexpr float kSin2 = 0.0083333312846f;
constexpr float kSin3 = -0.00019840889487f;
constexpr float kSin4 = 2.7526401331e-06f;
constexpr float kSin5 = -2.3905697286e-08f;
constexpr float kCos1 = -0.49999999550f;
constexpr float kCos2 = 0.041666640730f;
constexpr float kCos3 = -0.0013888403540f;
constexpr float kCos4 = 2.4761887968e-05f;
constexpr float kCos5 = -2.6077136720e-07f;

} // namespace

void ScalarSinCos(float angle, float& sine, float& cosine) {
    // Whole turns away, rounding halves away from zero (std::round), leaves y in [-pi, pi].
    const float turns = std::round(angle * kOneOverTwoPi);
    float y = angle - kTwoPi * turns;

    // Fold into [-pi/2, pi/2], where the polynomials hold; the fold flips the cosine's sign.
    float cosineSign = 1.0f;
    if (y > kHalfPi) {
        y = kPi - y;
        cosineSign = -1.0f;
    } else if (y < -kHalfPi) {
        y = -kPi - y;
        cosineSign = -1.0f;
    }

    const float t = y * y;
    sine = y + y * (t * (kSin1 + t * (kSin2 + t * (kSin3 + t * (kSin4 + t * kSin5)))));
    cosine = cosineSign * (1.0f + t * (kCos1 + t * (kCos2 + t * (kCos3 + t * (kCos4 + t * kCos5)))));
}

} // namespace tavro
