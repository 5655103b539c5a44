#pragma once
// How each texture format is held in OpenGL, and the byte sizes of its subresources.
#include "gpu/Format.h"

#include <cstdint>
#include <epoxy/gl.h>

namespace tavro::gpu::opengl {

struct GLTextureFormat {
    GLenum internalFormat = 0; // 0: OpenGL cannot hold the format
    GLenum format = 0;         // upload format and type, for uncompressed formats
    GLenum type = 0;
    std::uint32_t blockBytes = 0; // bytes per 4 × 4 block (compressed) or per pixel (uncompressed)
    bool compressed = false;
    bool alphaOnly = false; // A8: held as one red channel, sampled as (0, 0, 0, r)
};

GLTextureFormat TextureFormatOf(Format format);

// The tight size of one 2D slice of a level: bytes per row (of blocks) and rows (of blocks).
struct SliceLayout {
    std::uint64_t rowBytes = 0;
    std::uint32_t rows = 0;
};
SliceLayout SliceLayoutOf(const GLTextureFormat& format, std::uint32_t width, std::uint32_t height);

// A vertex attribute format: component count, component type, normalised.
struct GLVertexFormat {
    GLint components = 0; // 0: not a vertex format here
    GLenum type = 0;
    GLboolean normalized = GL_FALSE;
    std::uint32_t bytes = 0;
};
GLVertexFormat VertexFormatOf(Format format);

} // namespace tavro::gpu::opengl
