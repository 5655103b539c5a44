#pragma once
// What the OpenGL backend expects of the GLSL it is given as shader "bytecode" (GLSL 4.20 or later, the
// source text without a terminating null):
//
// - Vertex inputs take their location from the input layout's semantic: POSITION at 0, NORMAL at 1,
//   TEXCOORD n at 2 + n (n up to 7), COLOR n at 10 + n (n up to 1). Declare them as
//   `layout(location = 0) in vec3 POSITION;` and so on. A three-component input read as vec4 gets w = 1.
// - Constant-buffer slot n is uniform-buffer binding n and shader-resource/sampler slot n is texture
//   unit n: declare `layout(std140, binding = 0) uniform ConstantBuffer { ... };` and
//   `layout(binding = 0) uniform sampler2D txDiffuse;`. The block holds the constant buffer's bytes as
//   they are, so a matrix stored transposed row by row reads back as the row-vector matrix and
//   `vec4(p, 1.0) * World` multiplies as the HLSL twin does.
// - Clip space is Direct3D's: depth 0 at the near plane and 1 at the far one, y up, no flip needed;
//   clockwise triangles face the viewer and back faces are culled.
#include <cstdint>
#include <string_view>

namespace tavro::gpu::opengl {

// The attribute location of a semantic with its index, or -1 when the backend has none for it.
constexpr int AttributeLocationOf(std::string_view semantic, std::uint32_t index) {
    if (semantic == "POSITION" && index == 0)
        return 0;
    if (semantic == "NORMAL" && index == 0)
        return 1;
    if (semantic == "TEXCOORD" && index < 8)
        return 2 + static_cast<int>(index);
    if (semantic == "COLOR" && index < 2)
        return 10 + static_cast<int>(index);
    return -1;
}

} // namespace tavro::gpu::opengl
