#pragma once
// Descriptors, flags and enumerations of the graphics layer. Every value is the Direct3D 11 / DXGI number
// for the same thing, so a Direct3D backend forwards them unchanged; every descriptor may be
// zero-initialised and is validated by the backend before use (see gpu/Validation.h).
#include "gpu/Format.h"

#include <cstdint>

namespace tavro::gpu {

// ---- Resource usage, binding and CPU access -------------------------------------------------------------

enum class Usage : std::uint32_t {
    Default = 0,
    Immutable = 1, // initial data required, never written again
    Dynamic = 2,
    Staging = 3,
};

// Bind flags (bit set).
constexpr std::uint32_t kBindVertexBuffer = 0x1;
constexpr std::uint32_t kBindIndexBuffer = 0x2;
constexpr std::uint32_t kBindConstantBuffer = 0x4;
constexpr std::uint32_t kBindShaderResource = 0x8;
constexpr std::uint32_t kBindStreamOutput = 0x10;
constexpr std::uint32_t kBindRenderTarget = 0x20;
constexpr std::uint32_t kBindDepthStencil = 0x40;
constexpr std::uint32_t kBindUnorderedAccess = 0x80;

// CPU access flags (bit set).
constexpr std::uint32_t kCpuAccessWrite = 0x10000;
constexpr std::uint32_t kCpuAccessRead = 0x20000;

// Resource misc flags (bit set).
constexpr std::uint32_t kResourceMiscTextureCube = 0x4;

// Largest constant buffer a shader can see, in bytes (4096 four-float registers).
constexpr std::uint32_t kMaxConstantBufferBytes = 65536;

enum class ResourceDimension : std::uint32_t {
    Unknown = 0,
    Buffer = 1,
    Texture1D = 2,
    Texture2D = 3,
    Texture3D = 4,
};

// ---- Resource descriptors ---------------------------------------------------------------------------------

struct BufferDesc {
    std::uint32_t byteWidth;
    Usage usage;
    std::uint32_t bindFlags;
    std::uint32_t cpuAccessFlags;
    std::uint32_t miscFlags;
    std::uint32_t structureByteStride;
};

struct SampleDesc {
    std::uint32_t count;
    std::uint32_t quality;
};

struct Texture1DDesc {
    std::uint32_t width;
    std::uint32_t mipLevels; // 0 asks for the full chain
    std::uint32_t arraySize;
    Format format;
    Usage usage;
    std::uint32_t bindFlags;
    std::uint32_t cpuAccessFlags;
    std::uint32_t miscFlags;
};

struct Texture2DDesc {
    std::uint32_t width;
    std::uint32_t height;
    std::uint32_t mipLevels; // 0 asks for the full chain
    std::uint32_t arraySize;
    Format format;
    SampleDesc sampleDesc;
    Usage usage;
    std::uint32_t bindFlags;
    std::uint32_t cpuAccessFlags;
    std::uint32_t miscFlags;
};

struct Texture3DDesc {
    std::uint32_t width;
    std::uint32_t height;
    std::uint32_t depth;
    std::uint32_t mipLevels; // 0 asks for the full chain
    Format format;
    Usage usage;
    std::uint32_t bindFlags;
    std::uint32_t cpuAccessFlags;
    std::uint32_t miscFlags;
};

// Initial data of one subresource. Subresources are ordered array element by array element, each with its
// whole mip chain from the most detailed level: index = arraySlice * mipLevels + mipSlice.
struct SubresourceData {
    const void* sysMem;
    std::uint32_t sysMemPitch;      // bytes from one row (of blocks, for compressed formats) to the next
    std::uint32_t sysMemSlicePitch; // bytes from one depth slice to the next (3D textures)
};

// A region of a subresource: [left, right) × [top, bottom) × [front, back).
struct Box {
    std::uint32_t left;
    std::uint32_t top;
    std::uint32_t front;
    std::uint32_t right;
    std::uint32_t bottom;
    std::uint32_t back;
};

// ---- Views
// ---------------------------------------------------------------------------------------------------

enum class SrvDimension : std::uint32_t {
    Unknown = 0,
    Buffer = 1,
    Texture1D = 2,
    Texture1DArray = 3,
    Texture2D = 4,
    Texture2DArray = 5,
    Texture2DMS = 6,
    Texture2DMSArray = 7,
    Texture3D = 8,
    TextureCube = 9,
    TextureCubeArray = 10,
    BufferEx = 11,
};

struct TexSrvMips {
    std::uint32_t mostDetailedMip;
    std::uint32_t mipLevels; // 0xFFFFFFFF: every level from mostDetailedMip down
};

struct TexArraySrv {
    std::uint32_t mostDetailedMip;
    std::uint32_t mipLevels;
    std::uint32_t firstArraySlice;
    std::uint32_t arraySize;
};

struct TexCubeArraySrv {
    std::uint32_t mostDetailedMip;
    std::uint32_t mipLevels;
    std::uint32_t first2DArrayFace;
    std::uint32_t numCubes;
};

struct ShaderResourceViewDesc {
    Format format;
    SrvDimension viewDimension;
    union {
        TexSrvMips texture1D;
        TexArraySrv texture1DArray;
        TexSrvMips texture2D;
        TexArraySrv texture2DArray;
        TexSrvMips texture3D;
        TexSrvMips textureCube;
        TexCubeArraySrv textureCubeArray;
    };
};

enum class RtvDimension : std::uint32_t {
    Unknown = 0,
    Buffer = 1,
    Texture1D = 2,
    Texture1DArray = 3,
    Texture2D = 4,
    Texture2DArray = 5,
    Texture2DMS = 6,
    Texture2DMSArray = 7,
    Texture3D = 8,
};

struct TexMipSlice {
    std::uint32_t mipSlice;
};

struct TexArrayMipSlice {
    std::uint32_t mipSlice;
    std::uint32_t firstArraySlice;
    std::uint32_t arraySize;
};

// Render-target views of 2D textures are what the system uses; other dimensions are refused.
struct RenderTargetViewDesc {
    Format format;
    RtvDimension viewDimension;
    union {
        TexMipSlice texture2D;
        TexArrayMipSlice texture2DArray;
    };
};

enum class DsvDimension : std::uint32_t {
    Unknown = 0,
    Texture1D = 1,
    Texture1DArray = 2,
    Texture2D = 3,
    Texture2DArray = 4,
    Texture2DMS = 5,
    Texture2DMSArray = 6,
};

// Depth-stencil views of 2D textures are what the system uses; other dimensions are refused.
struct DepthStencilViewDesc {
    Format format;
    DsvDimension viewDimension;
    std::uint32_t flags; // read-only depth 0x1, read-only stencil 0x2
    union {
        TexMipSlice texture2D;
        TexArrayMipSlice texture2DArray;
    };
};

// ---- Sampler
// ---------------------------------------------------------------------------------------------------

// Filters: bit 0x1 linear mip, 0x4 linear magnification, 0x10 linear minification, 0x40 anisotropic,
// 0x80 comparison. The named ones are those a caller is expected to use.
enum class Filter : std::uint32_t {
    MinMagMipPoint = 0x0,
    MinMagPointMipLinear = 0x1,
    MinPointMagLinearMipPoint = 0x4,
    MinPointMagMipLinear = 0x5,
    MinLinearMagMipPoint = 0x10,
    MinLinearMagPointMipLinear = 0x11,
    MinMagLinearMipPoint = 0x14,
    MinMagMipLinear = 0x15,
    Anisotropic = 0x55,
};

enum class TextureAddressMode : std::uint32_t {
    Wrap = 1,
    Mirror = 2,
    Clamp = 3,
    Border = 4,
    MirrorOnce = 5,
};

enum class ComparisonFunc : std::uint32_t {
    Never = 1,
    Less = 2,
    Equal = 3,
    LessEqual = 4,
    Greater = 5,
    NotEqual = 6,
    GreaterEqual = 7,
    Always = 8,
};

constexpr float kFloat32Max = 3.402823466e+38f;
constexpr std::uint32_t kMaxAnisotropy = 16;

struct SamplerDesc {
    Filter filter;
    TextureAddressMode addressU;
    TextureAddressMode addressV;
    TextureAddressMode addressW;
    float mipLodBias;
    std::uint32_t maxAnisotropy;
    ComparisonFunc comparisonFunc;
    float borderColor[4];
    float minLod;
    float maxLod;
};

// ---- Rasterizer ------------------------------------------------------------------------------------------

enum class FillMode : std::uint32_t {
    Wireframe = 2,
    Solid = 3,
};

enum class CullMode : std::uint32_t {
    None = 1,
    Front = 2,
    Back = 3,
};

// The part of Direct3D's rasterizer description this system sets; the fields it leaves out keep
// Direct3D's defaults (no depth bias, depth clipping on, no scissor, no multisampling).
struct RasterizerDesc {
    FillMode fillMode;
    CullMode cullMode;
    bool frontCounterClockwise;
};

// ---- Input assembly ---------------------------------------------------------------------------------------

enum class InputClassification : std::uint32_t {
    PerVertexData = 0,
    PerInstanceData = 1,
};

// alignedByteOffset value that places an element right after the previous one.
constexpr std::uint32_t kAppendAlignedElement = 0xFFFFFFFF;
constexpr std::uint32_t kMaxInputElements = 32;
constexpr std::uint32_t kMaxVertexBufferSlots = 32;

struct InputElementDesc {
    const char* semanticName; // "POSITION", "NORMAL", "TEXCOORD", ...
    std::uint32_t semanticIndex;
    Format format;
    std::uint32_t inputSlot;
    std::uint32_t alignedByteOffset;
    InputClassification inputSlotClass;
    std::uint32_t instanceDataStepRate;
};

enum class PrimitiveTopology : std::uint32_t {
    Undefined = 0,
    PointList = 1,
    LineList = 2,
    LineStrip = 3,
    TriangleList = 4,
    TriangleStrip = 5,
};

// ---- Rasterizer and output
// -----------------------------------------------------------------------------------

struct Viewport {
    float topLeftX;
    float topLeftY;
    float width;
    float height;
    float minDepth;
    float maxDepth;
};

// ClearDepthStencilView flags (bit set).
constexpr std::uint32_t kClearDepth = 0x1;
constexpr std::uint32_t kClearStencil = 0x2;

// Binding slots per shader stage that the context accepts.
constexpr std::uint32_t kMaxConstantBufferSlots = 14;
constexpr std::uint32_t kMaxShaderResourceSlots = 128;
constexpr std::uint32_t kMaxSamplerSlots = 16;
constexpr std::uint32_t kMaxRenderTargets = 8;

} // namespace tavro::gpu
