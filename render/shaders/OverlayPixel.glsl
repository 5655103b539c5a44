#version 420 core
// Pixel shader of the text overlay, the OpenGL twin of OverlayPixel.hlsl: the vertex colour where the
// glyph texture is lit (alpha of one half or more), else the texel's own colour, which is the panel's.
layout(binding = 0) uniform sampler2D txDiffuse;

in vec2 vTexCoord;
in vec4 vColor;

layout(location = 0) out vec4 fragColor;

void main() {
    vec4 texel = texture(txDiffuse, vTexCoord);
    float lit = clamp((texel.a - 0.5) * 1024.0, 0.0, 1.0);
    fragColor = vec4(texel.rgb, 1.0) * (1.0 - lit) + vColor * lit;
}
