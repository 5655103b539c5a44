#version 420 core
// Pixel shader of the text overlay, the OpenGL twin of OverlayPixel.hlsl: the colour where the glyph
// texture is lit (alpha of one half or more), nothing elsewhere, so no blending is needed.
layout(binding = 0) uniform sampler2D txDiffuse;

in vec2 vTexCoord;
in vec4 vColor;

layout(location = 0) out vec4 fragColor;

void main() {
    if (texture(txDiffuse, vTexCoord).a < 0.5)
        discard;
    fragColor = vColor;
}
