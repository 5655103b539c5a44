#version 420 core
// Vertex shader of the lit look, the OpenGL twin of ModelVertexLit.hlsl: positions as ModelVertex.glsl
// places them, and the normal carried into view space through World and View.
layout(std140, binding = 0) uniform ConstantBuffer {
    mat4 World;
    mat4 View;
    mat4 Projection;
};

layout(location = 0) in vec3 POSITION;
layout(location = 1) in vec3 NORMAL;
layout(location = 2) in vec2 TEXCOORD;

out vec3 vNormal;
out vec2 vTexCoord;

void main() {
    gl_Position = vec4(POSITION, 1.0) * World * View * Projection;
    vNormal = (vec4(NORMAL, 0.0) * World * View).xyz;
    vTexCoord = TEXCOORD;
}
