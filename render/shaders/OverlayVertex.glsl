#version 420 core
// Vertex shader of the text overlay, the OpenGL twin of OverlayVertex.hlsl: positions arrive in clip
// space already; the glyph texture coordinate and the colour pass unchanged.
layout(location = 0) in vec3 POSITION;
layout(location = 2) in vec2 TEXCOORD;
layout(location = 10) in vec4 COLOR;

out vec2 vTexCoord;
out vec4 vColor;

void main() {
    gl_Position = vec4(POSITION, 1.0);
    vTexCoord = TEXCOORD;
    vColor = COLOR;
}
