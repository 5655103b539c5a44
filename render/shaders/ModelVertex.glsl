#version 420 core
// Vertex shader of every model, the OpenGL twin of ModelVertex.hlsl: positions through World, View
// and Projection as row vectors; the texture coordinate passes unchanged. The uniform block holds
// the 192 constant-buffer bytes as they are (each matrix transposed, read column-major), so
// vec4 * World multiplies a row vector by the row-vector matrix.
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
    vNormal = vec3(0.0);
    vTexCoord = TEXCOORD;
}
