#version 420 core
// Pixel shader of every model, the OpenGL twin of ModelPixel.hlsl: the diffuse texture's colour and
// alpha as sampled, without lighting.
layout(binding = 0) uniform sampler2D txDiffuse;

in vec3 vNormal;
in vec2 vTexCoord;

layout(location = 0) out vec4 fragColor;

void main() {
    fragColor = texture(txDiffuse, vTexCoord);
}
