#pragma once
// Single-precision sine and cosine that give the same bits on every platform, because they use
// only IEEE-exact operations (no library sine, no fused multiply-add).
namespace tavro {

// Sine and cosine of angle (radians), accurate to single precision for any finite angle up to
// about 1e5 radians; the angle is reduced by whole turns first. A NaN or infinite angle gives NaN.
void ScalarSinCos(float angle, float& sine, float& cosine);

} // namespace tavro
