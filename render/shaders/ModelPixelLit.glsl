#version 420 core
// Pixel shader of the lit look, the OpenGL twin of ModelPixelLit.hlsl: the diffuse texture darkened
// where the surface turns away from a light at the camera; either side lit alike, a zero normal as
// facing the light.
layout(binding = 0) uniform sampler2D txDiffuse;

in vec3 vNormal;
in vec2 vTexCoord;

layout(location = 0) out vec4 fragColor;

void main() {
    vec4 colour = texture(txDiffuse, vTexCoord);
    float size = length(vNormal);
    float missing = 1.0 - clamp(size * 1000000.0, 0.0, 1.0); // 1 for a zero normal
    float facing = clamp(abs(vNormal.z) / max(size, 0.000001) + missing, 0.0, 1.0);
    float shade = 0.25 + 0.75 * facing;
    fragColor = vec4(colour.rgb * shade, colour.a);
}
