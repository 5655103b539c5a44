#include "gpu/opengl/GLFormats.h"

namespace tavro::gpu::opengl {
namespace {

GLTextureFormat Plain(GLenum internalFormat, GLenum format, GLenum type, std::uint32_t bytesPerPixel) {
    return {internalFormat, format, type, bytesPerPixel, false, false};
}

GLTextureFormat Blocks(GLenum internalFormat, std::uint32_t bytesPerBlock) {
    return {internalFormat, 0, 0, bytesPerBlock, true, false};
}

} // namespace

GLTextureFormat TextureFormatOf(Format format) {
    switch (format) {
    case Format::R32G32B32A32_Float:
        return Plain(GL_RGBA32F, GL_RGBA, GL_FLOAT, 16);
    case Format::R16G16B16A16_Float:
        return Plain(GL_RGBA16F, GL_RGBA, GL_HALF_FLOAT, 8);
    case Format::R16G16B16A16_UNorm:
        return Plain(GL_RGBA16, GL_RGBA, GL_UNSIGNED_SHORT, 8);
    case Format::R16G16B16A16_SNorm:
        return Plain(GL_RGBA16_SNORM, GL_RGBA, GL_SHORT, 8);
    case Format::R32G32_Float:
        return Plain(GL_RG32F, GL_RG, GL_FLOAT, 8);
    case Format::R10G10B10A2_UNorm:
        return Plain(GL_RGB10_A2, GL_RGBA, GL_UNSIGNED_INT_2_10_10_10_REV, 4);
    case Format::R8G8B8A8_UNorm:
        return Plain(GL_RGBA8, GL_RGBA, GL_UNSIGNED_BYTE, 4);
    case Format::R8G8B8A8_UNorm_SRGB:
        return Plain(GL_SRGB8_ALPHA8, GL_RGBA, GL_UNSIGNED_BYTE, 4);
    case Format::R16G16_Float:
        return Plain(GL_RG16F, GL_RG, GL_HALF_FLOAT, 4);
    case Format::R16G16_UNorm:
        return Plain(GL_RG16, GL_RG, GL_UNSIGNED_SHORT, 4);
    case Format::R32_Float:
        return Plain(GL_R32F, GL_RED, GL_FLOAT, 4);
    case Format::R8G8_UNorm:
        return Plain(GL_RG8, GL_RG, GL_UNSIGNED_BYTE, 2);
    case Format::R16_Float:
        return Plain(GL_R16F, GL_RED, GL_HALF_FLOAT, 2);
    case Format::R16_UNorm:
        return Plain(GL_R16, GL_RED, GL_UNSIGNED_SHORT, 2);
    case Format::R8_UNorm:
        return Plain(GL_R8, GL_RED, GL_UNSIGNED_BYTE, 1);
    case Format::A8_UNorm: {
        GLTextureFormat alpha = Plain(GL_R8, GL_RED, GL_UNSIGNED_BYTE, 1);
        alpha.alphaOnly = true;
        return alpha;
    }
    case Format::B5G6R5_UNorm:
        return Plain(GL_RGB565, GL_RGB, GL_UNSIGNED_SHORT_5_6_5, 2);
    case Format::B5G5R5A1_UNorm:
        return Plain(GL_RGB5_A1, GL_BGRA, GL_UNSIGNED_SHORT_1_5_5_5_REV, 2);
    case Format::B4G4R4A4_UNorm:
        return Plain(GL_RGBA4, GL_BGRA, GL_UNSIGNED_SHORT_4_4_4_4_REV, 2);
    case Format::B8G8R8A8_UNorm:
        return Plain(GL_RGBA8, GL_BGRA, GL_UNSIGNED_BYTE, 4);
    case Format::B8G8R8A8_UNorm_SRGB:
        return Plain(GL_SRGB8_ALPHA8, GL_BGRA, GL_UNSIGNED_BYTE, 4);
    case Format::B8G8R8X8_UNorm:
        // The X byte is uploaded and ignored: an RGB texture samples with alpha 1, as X formats do.
        return Plain(GL_RGB8, GL_BGRA, GL_UNSIGNED_BYTE, 4);
    case Format::D32_Float_S8X24_UInt:
        return Plain(GL_DEPTH32F_STENCIL8, GL_DEPTH_STENCIL, GL_FLOAT_32_UNSIGNED_INT_24_8_REV, 8);
    case Format::D32_Float:
        return Plain(GL_DEPTH_COMPONENT32F, GL_DEPTH_COMPONENT, GL_FLOAT, 4);
    case Format::D24_UNorm_S8_UInt:
        return Plain(GL_DEPTH24_STENCIL8, GL_DEPTH_STENCIL, GL_UNSIGNED_INT_24_8, 4);
    case Format::D16_UNorm:
        return Plain(GL_DEPTH_COMPONENT16, GL_DEPTH_COMPONENT, GL_UNSIGNED_SHORT, 2);
    case Format::BC1_UNorm:
        return Blocks(GL_COMPRESSED_RGBA_S3TC_DXT1_EXT, 8);
    case Format::BC1_UNorm_SRGB:
        return Blocks(GL_COMPRESSED_SRGB_ALPHA_S3TC_DXT1_EXT, 8);
    case Format::BC2_UNorm:
        return Blocks(GL_COMPRESSED_RGBA_S3TC_DXT3_EXT, 16);
    case Format::BC2_UNorm_SRGB:
        return Blocks(GL_COMPRESSED_SRGB_ALPHA_S3TC_DXT3_EXT, 16);
    case Format::BC3_UNorm:
        return Blocks(GL_COMPRESSED_RGBA_S3TC_DXT5_EXT, 16);
    case Format::BC3_UNorm_SRGB:
        return Blocks(GL_COMPRESSED_SRGB_ALPHA_S3TC_DXT5_EXT, 16);
    case Format::BC4_UNorm:
        return Blocks(GL_COMPRESSED_RED_RGTC1, 8);
    case Format::BC4_SNorm:
        return Blocks(GL_COMPRESSED_SIGNED_RED_RGTC1, 8);
    case Format::BC5_UNorm:
        return Blocks(GL_COMPRESSED_RG_RGTC2, 16);
    case Format::BC5_SNorm:
        return Blocks(GL_COMPRESSED_SIGNED_RG_RGTC2, 16);
    case Format::BC6H_UF16:
        return Blocks(GL_COMPRESSED_RGB_BPTC_UNSIGNED_FLOAT, 16);
    case Format::BC6H_SF16:
        return Blocks(GL_COMPRESSED_RGB_BPTC_SIGNED_FLOAT, 16);
    case Format::BC7_UNorm:
        return Blocks(GL_COMPRESSED_RGBA_BPTC_UNORM, 16);
    case Format::BC7_UNorm_SRGB:
        return Blocks(GL_COMPRESSED_SRGB_ALPHA_BPTC_UNORM, 16);
    default:
        return {};
    }
}

SliceLayout SliceLayoutOf(const GLTextureFormat& format, std::uint32_t width, std::uint32_t height) {
    if (format.compressed)
        return {std::uint64_t{(width + 3) / 4} * format.blockBytes, (height + 3) / 4};
    return {std::uint64_t{width} * format.blockBytes, height};
}

GLVertexFormat VertexFormatOf(Format format) {
    switch (format) {
    case Format::R32G32B32A32_Float:
        return {4, GL_FLOAT, GL_FALSE, 16};
    case Format::R32G32B32_Float:
        return {3, GL_FLOAT, GL_FALSE, 12};
    case Format::R32G32_Float:
        return {2, GL_FLOAT, GL_FALSE, 8};
    case Format::R32_Float:
        return {1, GL_FLOAT, GL_FALSE, 4};
    case Format::R16G16B16A16_Float:
        return {4, GL_HALF_FLOAT, GL_FALSE, 8};
    case Format::R16G16_Float:
        return {2, GL_HALF_FLOAT, GL_FALSE, 4};
    case Format::R8G8B8A8_UNorm:
        return {4, GL_UNSIGNED_BYTE, GL_TRUE, 4};
    default:
        return {};
    }
}

} // namespace tavro::gpu::opengl
