#include "gpu/opengl/GLObjects.h"
#include "gpu/opengl/GlslConventions.h"

#include <algorithm>
#include <atomic>
#include <climits>
#include <cstring>
#include <new>

namespace tavro::gpu::opengl {
namespace {

std::atomic<std::uint64_t> lastDeviceSerial{0};
// The device (by serial) whose context was made current last on this thread; 0 for none.
thread_local std::uint64_t currentDevice = 0;
// The worker contexts made on this thread, by device serial. They go when the thread ends, on it.
thread_local std::vector<std::pair<std::uint64_t, std::unique_ptr<IGLWorkerContext>>> workerContexts;

// The shape of a texture, whatever its dimension.
struct TextureShape {
    ResourceDimension dimension;
    std::uint32_t width, height, depth, mipLevels, arraySize;
    bool cube;
    Format format;
};

GLenum TargetOf(const TextureShape& shape) {
    switch (shape.dimension) {
    case ResourceDimension::Texture1D:
        return shape.arraySize > 1 ? GL_TEXTURE_1D_ARRAY : GL_TEXTURE_1D;
    case ResourceDimension::Texture2D:
        if (shape.cube)
            return shape.arraySize > 6 ? GL_TEXTURE_CUBE_MAP_ARRAY : GL_TEXTURE_CUBE_MAP;
        return shape.arraySize > 1 ? GL_TEXTURE_2D_ARRAY : GL_TEXTURE_2D;
    default:
        return GL_TEXTURE_3D;
    }
}

// Drops any error left by earlier calls, so the next check sees only its own.
void ClearGLErrors() {
    for (int i = 0; i < 16 && glGetError() != GL_NO_ERROR; ++i) {
    }
}

HRESULT TakeGLError() {
    const GLenum error = glGetError();
    ClearGLErrors();
    if (error == GL_NO_ERROR)
        return kS_OK;
    return error == GL_OUT_OF_MEMORY ? kE_OUTOFMEMORY : kE_INVALIDARG;
}

void SetAlphaOnlySwizzle(GLuint texture) {
    const GLint swizzle[] = {GL_ZERO, GL_ZERO, GL_ZERO, GL_RED};
    glTextureParameteriv(texture, GL_TEXTURE_SWIZZLE_RGBA, swizzle);
}

// Copies one subresource into the texture. Rows are read at the caller's pitch; a pitch smaller than a
// row (or a slice pitch smaller than a slice) is refused, since the data would overlap.
HRESULT UploadSubresource(GLuint texture, GLenum target, const GLTextureFormat& format,
                          const TextureShape& shape, std::uint32_t level, std::uint32_t layer,
                          const SubresourceData& data) {
    const std::uint32_t width = std::max(1u, shape.width >> level);
    const std::uint32_t height = std::max(1u, shape.height >> level);
    const std::uint32_t depth =
        shape.dimension == ResourceDimension::Texture3D ? std::max(1u, shape.depth >> level) : 1;
    const SliceLayout slice = SliceLayoutOf(format, width, height);
    const std::uint64_t tightSlice = slice.rowBytes * slice.rows;
    const std::uint64_t rowPitch =
        shape.dimension == ResourceDimension::Texture1D ? slice.rowBytes : data.sysMemPitch;
    const std::uint64_t slicePitch = depth > 1 ? data.sysMemSlicePitch : rowPitch * slice.rows;
    if (rowPitch < slice.rowBytes || slicePitch < rowPitch * slice.rows)
        return kE_INVALIDARG;

    // One upload takes at most 2 GiB (the most a size argument can say).
    const std::uint64_t total = tightSlice * depth;
    if (total > static_cast<std::uint64_t>(INT_MAX))
        return kE_OUTOFMEMORY;
    std::vector<std::uint8_t> packed;
    const void* pixels = data.sysMem;
    if (rowPitch != slice.rowBytes || slicePitch != tightSlice) {
        try {
            packed.resize(static_cast<std::size_t>(total));
        } catch (const std::bad_alloc&) {
            return kE_OUTOFMEMORY;
        }
        const auto* source = static_cast<const std::uint8_t*>(data.sysMem);
        for (std::uint32_t slice3D = 0; slice3D < depth; ++slice3D) {
            for (std::uint32_t row = 0; row < slice.rows; ++row)
                std::memcpy(packed.data() + slice3D * tightSlice + row * slice.rowBytes,
                            source + slice3D * slicePitch + row * rowPitch,
                            static_cast<std::size_t>(slice.rowBytes));
        }
        pixels = packed.data();
    }
    const auto size = static_cast<GLsizei>(total);
    const auto w = static_cast<GLsizei>(width);
    const auto h = static_cast<GLsizei>(height);
    const auto z = static_cast<GLint>(layer);
    switch (target) {
    case GL_TEXTURE_1D:
        glTextureSubImage1D(texture, level, 0, w, format.format, format.type, pixels);
        break;
    case GL_TEXTURE_1D_ARRAY:
        glTextureSubImage2D(texture, level, 0, z, w, 1, format.format, format.type, pixels);
        break;
    case GL_TEXTURE_2D:
        if (format.compressed)
            glCompressedTextureSubImage2D(texture, level, 0, 0, w, h, format.internalFormat, size, pixels);
        else
            glTextureSubImage2D(texture, level, 0, 0, w, h, format.format, format.type, pixels);
        break;
    case GL_TEXTURE_3D:
        glTextureSubImage3D(texture, level, 0, 0, 0, w, h, static_cast<GLsizei>(depth), format.format,
                            format.type, pixels);
        break;
    default: // 2D arrays and cubes: one layer (face) at a time
        if (format.compressed)
            glCompressedTextureSubImage3D(texture, level, 0, 0, z, w, h, 1, format.internalFormat, size,
                                          pixels);
        else
            glTextureSubImage3D(texture, level, 0, 0, z, w, h, 1, format.format, format.type, pixels);
        break;
    }
    return TakeGLError();
}

// Creates the texture's storage and copies in its initial data; the texture name, or 0 with *result set.
GLuint MakeTexture(const TextureShape& shape, const SubresourceData* initialData, GLenum* targetOut,
                   HRESULT* result) {
    const GLTextureFormat format = TextureFormatOf(shape.format);
    if (format.internalFormat == 0 ||
        (format.compressed && shape.dimension != ResourceDimension::Texture2D)) {
        *result = kE_INVALIDARG; // OpenGL cannot hold this format (compressed formats: 2D textures only)
        return 0;
    }
    const GLenum target = TargetOf(shape);
    ClearGLErrors();
    GLuint texture = 0;
    glCreateTextures(target, 1, &texture);
    const auto levels = static_cast<GLsizei>(shape.mipLevels);
    const auto w = static_cast<GLsizei>(shape.width);
    const auto h = static_cast<GLsizei>(shape.height);
    switch (target) {
    case GL_TEXTURE_1D:
        glTextureStorage1D(texture, levels, format.internalFormat, w);
        break;
    case GL_TEXTURE_1D_ARRAY:
        glTextureStorage2D(texture, levels, format.internalFormat, w, static_cast<GLsizei>(shape.arraySize));
        break;
    case GL_TEXTURE_2D:
    case GL_TEXTURE_CUBE_MAP:
        glTextureStorage2D(texture, levels, format.internalFormat, w, h);
        break;
    case GL_TEXTURE_3D:
        glTextureStorage3D(texture, levels, format.internalFormat, w, h, static_cast<GLsizei>(shape.depth));
        break;
    default:
        glTextureStorage3D(texture, levels, format.internalFormat, w, h,
                           static_cast<GLsizei>(shape.arraySize));
        break;
    }
    // Sampling reads exactly the levels the texture has, with or without a mip filter.
    glTextureParameteri(texture, GL_TEXTURE_MAX_LEVEL, static_cast<GLint>(shape.mipLevels - 1));
    if (format.alphaOnly)
        SetAlphaOnlySwizzle(texture);
    HRESULT hr = TakeGLError();
    if (Succeeded(hr) && initialData != nullptr) {
        for (std::uint32_t layer = 0; layer < shape.arraySize && Succeeded(hr); ++layer) {
            for (std::uint32_t level = 0; level < shape.mipLevels && Succeeded(hr); ++level)
                hr = UploadSubresource(texture, target, format, shape, level, layer,
                                       initialData[layer * shape.mipLevels + level]);
        }
    }
    if (Failed(hr)) {
        glDeleteTextures(1, &texture);
        *result = hr;
        return 0;
    }
    *targetOut = target;
    *result = kS_OK;
    return texture;
}

GLenum ComparisonOf(ComparisonFunc func) {
    switch (func) {
    case ComparisonFunc::Less:
        return GL_LESS;
    case ComparisonFunc::Equal:
        return GL_EQUAL;
    case ComparisonFunc::LessEqual:
        return GL_LEQUAL;
    case ComparisonFunc::Greater:
        return GL_GREATER;
    case ComparisonFunc::NotEqual:
        return GL_NOTEQUAL;
    case ComparisonFunc::GreaterEqual:
        return GL_GEQUAL;
    case ComparisonFunc::Always:
        return GL_ALWAYS;
    default:
        return GL_NEVER;
    }
}

GLenum AddressOf(TextureAddressMode mode) {
    switch (mode) {
    case TextureAddressMode::Mirror:
        return GL_MIRRORED_REPEAT;
    case TextureAddressMode::Clamp:
        return GL_CLAMP_TO_EDGE;
    case TextureAddressMode::Border:
        return GL_CLAMP_TO_BORDER;
    case TextureAddressMode::MirrorOnce:
        return GL_MIRROR_CLAMP_TO_EDGE;
    default:
        return GL_REPEAT;
    }
}

GLuint CompileShader(GLenum stage, const void* bytecode, std::size_t length) {
    if (length > static_cast<std::size_t>(INT_MAX))
        return 0;
    const GLuint shader = glCreateShader(stage);
    const auto* source = static_cast<const GLchar*>(bytecode);
    const auto sourceLength = static_cast<GLint>(length);
    glShaderSource(shader, 1, &source, &sourceLength);
    glCompileShader(shader);
    GLint compiled = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
    if (compiled != GL_TRUE) {
        glDeleteShader(shader);
        return 0;
    }
    return shader;
}

// The attachment a render-target or depth-stencil view names, checked to be renderable.
bool MakeAttachment(const GLResourceState& texture, std::uint32_t mipSlice, bool isArray,
                    std::uint32_t firstSlice, std::uint32_t sliceCount, GLenum attachmentPoint,
                    GLAttachment* attachment) {
    if (isArray && sliceCount != 1)
        return false; // one slice at a time: layered rendering is not used
    attachment->texture = texture.name;
    attachment->level = static_cast<GLint>(mipSlice);
    attachment->layer = texture.target == GL_TEXTURE_2D ? -1 : static_cast<GLint>(isArray ? firstSlice : 0);
    attachment->width = std::max(1u, texture.info.width >> mipSlice);
    attachment->height = std::max(1u, texture.info.height >> mipSlice);

    GLuint framebuffer = 0;
    glCreateFramebuffers(1, &framebuffer);
    if (attachment->layer < 0)
        glNamedFramebufferTexture(framebuffer, attachmentPoint, attachment->texture, attachment->level);
    else
        glNamedFramebufferTextureLayer(framebuffer, attachmentPoint, attachment->texture, attachment->level,
                                       attachment->layer);
    if (attachmentPoint == GL_COLOR_ATTACHMENT0)
        glNamedFramebufferDrawBuffer(framebuffer, GL_COLOR_ATTACHMENT0);
    else
        glNamedFramebufferDrawBuffer(framebuffer, GL_NONE);
    const bool complete =
        glCheckNamedFramebufferStatus(framebuffer, GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    glDeleteFramebuffers(1, &framebuffer);
    return complete;
}

} // namespace

// ---- Shared state
// -------------------------------------------------------------------------------------------

GLShared::GLShared(IGLContext& glContext)
    : context(glContext), deviceSerial(++lastDeviceSerial), ownerThread(std::this_thread::get_id()) {}

GLShared::~GLShared() {
    Use();
    for (const auto& [pair, program] : programs)
        glDeleteProgram(program);
}

bool GLShared::Use() {
    if (currentDevice == deviceSerial)
        return true;
    if (std::this_thread::get_id() == ownerThread) {
        context.MakeCurrent();
    } else {
        const auto found = std::find_if(workerContexts.begin(), workerContexts.end(),
                                        [this](const auto& worker) { return worker.first == deviceSerial; });
        if (found != workerContexts.end()) {
            found->second->MakeCurrent();
        } else {
            std::unique_ptr<IGLWorkerContext> made = context.CreateWorkerContext();
            if (made == nullptr) {
                currentDevice = 0; // whatever was current may have been released
                return false;
            }
            workerContexts.emplace_back(deviceSerial, std::move(made));
            SetUploadState();
        }
    }
    currentDevice = deviceSerial;
    return true;
}

void GLShared::NoteCurrent() {
    currentDevice = deviceSerial;
}

bool GLShared::CreatesOnAnyThread() const {
    return context.OffersWorkerContexts();
}

void GLShared::FinishOffOwnerThread() const {
    // Another context sees an object's new contents once they are complete: waiting here lets the
    // owner's context use what this thread made as soon as it is handed over.
    if (std::this_thread::get_id() != ownerThread)
        glFinish();
}

GLuint GLShared::ProgramFor(std::uint64_t vertexSerial, GLuint vertexShader, std::uint64_t pixelSerial,
                            GLuint pixelShader) {
    const auto key = std::make_pair(vertexSerial, pixelSerial);
    if (const auto found = programs.find(key); found != programs.end())
        return found->second;
    GLuint program = glCreateProgram();
    glAttachShader(program, vertexShader);
    glAttachShader(program, pixelShader);
    glLinkProgram(program);
    GLint linked = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &linked);
    if (linked != GL_TRUE) {
        glDeleteProgram(program);
        program = 0; // remembered, so a pair that does not link is not relinked at every draw
    }
    programs.emplace(key, program);
    return program;
}

void GLShared::ForgetShader(std::uint64_t serial) {
    for (auto it = programs.begin(); it != programs.end();) {
        if (it->first.first == serial || it->first.second == serial) {
            glDeleteProgram(it->second);
            it = programs.erase(it);
        } else {
            ++it;
        }
    }
}

// ---- Objects
// ------------------------------------------------------------------------------------------------

GLBuffer::~GLBuffer() {
    shared->Use();
    glDeleteBuffers(1, &name);
}

GLShaderResourceView::~GLShaderResourceView() {
    shared->Use();
    glDeleteTextures(1, &texture);
}

GLSampler::~GLSampler() {
    shared->Use();
    glDeleteSamplers(1, &sampler);
}

GLInputLayout::~GLInputLayout() {
    shared->Use();
    glDeleteVertexArrays(1, &vao);
}

void SetDefaultPipelineState() {
    glClipControl(GL_LOWER_LEFT, GL_ZERO_TO_ONE);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    glFrontFace(GL_CW);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    glDepthMask(GL_TRUE);
    glDisable(GL_DEPTH_CLAMP);
    glDisable(GL_STENCIL_TEST);
    glDisable(GL_BLEND);
    glDisable(GL_SCISSOR_TEST);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glEnable(GL_TEXTURE_CUBE_MAP_SEAMLESS);
    glEnable(GL_FRAMEBUFFER_SRGB);
    SetUploadState();
}

void SetUploadState() {
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
}

HRESULT MakeTexture2D(const SharedState& shared, const Texture2DDesc* desc,
                      const SubresourceData* initialData, ITexture2D** texture) {
    Texture2DDesc resolved{};
    if (const Validation check = ValidateTexture2DDesc(desc, initialData, &resolved); !check.Ok())
        return check.result;
    if (texture == nullptr)
        return kS_FALSE;
    if (!shared->Use())
        return kE_FAIL;
    const TextureShape shape{ResourceDimension::Texture2D,
                             resolved.width,
                             resolved.height,
                             1,
                             resolved.mipLevels,
                             resolved.arraySize,
                             (resolved.miscFlags & kResourceMiscTextureCube) != 0,
                             resolved.format};
    GLenum target = 0;
    HRESULT hr = kS_OK;
    const GLuint name = MakeTexture(shape, initialData, &target, &hr);
    shared->FinishOffOwnerThread();
    if (name != 0)
        *texture = new GLTexture2D(shared, resolved, name, target);
    return hr;
}

// ---- Device
// -------------------------------------------------------------------------------------------------

GLDevice::~GLDevice() {
    context->Release();
}

HRESULT GLDevice::CreateBuffer(const BufferDesc* desc, const SubresourceData* initialData,
                               IBuffer** buffer) try {
    if (const Validation check = ValidateBufferDesc(desc, initialData); !check.Ok())
        return check.result;
    if (buffer == nullptr)
        return kS_FALSE;
    if (!shared->Use())
        return kE_FAIL;
    ClearGLErrors();
    GLuint name = 0;
    glCreateBuffers(1, &name);
    // Default-usage buffers are written by UpdateSubresource; immutable ones never change again.
    const GLbitfield flags = desc->usage == Usage::Immutable ? 0 : GL_DYNAMIC_STORAGE_BIT;
    glNamedBufferStorage(name, desc->byteWidth, initialData != nullptr ? initialData->sysMem : nullptr,
                         flags);
    if (const HRESULT hr = TakeGLError(); Failed(hr)) {
        glDeleteBuffers(1, &name);
        return hr;
    }
    shared->FinishOffOwnerThread();
    *buffer = new GLBuffer(shared, *desc, name);
    return kS_OK;
} catch (const std::bad_alloc&) {
    return kE_OUTOFMEMORY;
}

HRESULT GLDevice::CreateTexture1D(const Texture1DDesc* desc, const SubresourceData* initialData,
                                  ITexture1D** texture) try {
    Texture1DDesc resolved{};
    if (const Validation check = ValidateTexture1DDesc(desc, initialData, &resolved); !check.Ok())
        return check.result;
    if (texture == nullptr)
        return kS_FALSE;
    if (!shared->Use())
        return kE_FAIL;
    const TextureShape shape{ResourceDimension::Texture1D, resolved.width,     1,     1,
                             resolved.mipLevels,           resolved.arraySize, false, resolved.format};
    GLenum target = 0;
    HRESULT hr = kS_OK;
    const GLuint name = MakeTexture(shape, initialData, &target, &hr);
    shared->FinishOffOwnerThread();
    if (name != 0)
        *texture = new GLTexture1D(shared, resolved, name, target);
    return hr;
} catch (const std::bad_alloc&) {
    return kE_OUTOFMEMORY;
}

HRESULT GLDevice::CreateTexture2D(const Texture2DDesc* desc, const SubresourceData* initialData,
                                  ITexture2D** texture) try {
    return MakeTexture2D(shared, desc, initialData, texture);
} catch (const std::bad_alloc&) {
    return kE_OUTOFMEMORY;
}

HRESULT GLDevice::CreateTexture3D(const Texture3DDesc* desc, const SubresourceData* initialData,
                                  ITexture3D** texture) try {
    Texture3DDesc resolved{};
    if (const Validation check = ValidateTexture3DDesc(desc, initialData, &resolved); !check.Ok())
        return check.result;
    if (texture == nullptr)
        return kS_FALSE;
    if (!shared->Use())
        return kE_FAIL;
    const TextureShape shape{ResourceDimension::Texture3D,
                             resolved.width,
                             resolved.height,
                             resolved.depth,
                             resolved.mipLevels,
                             1,
                             false,
                             resolved.format};
    GLenum target = 0;
    HRESULT hr = kS_OK;
    const GLuint name = MakeTexture(shape, initialData, &target, &hr);
    shared->FinishOffOwnerThread();
    if (name != 0)
        *texture = new GLTexture3D(shared, resolved, name, target);
    return hr;
} catch (const std::bad_alloc&) {
    return kE_OUTOFMEMORY;
}

HRESULT GLDevice::CreateShaderResourceView(IResource* resource, const ShaderResourceViewDesc* desc,
                                           IShaderResourceView** view) try {
    const GLResourceState* state = StateOf(resource);
    if (state == nullptr)
        return kE_INVALIDARG;
    ShaderResourceViewDesc resolved{};
    if (const Validation check = ResolveShaderResourceView(state->info, desc, &resolved); !check.Ok())
        return check.result;
    if (view == nullptr)
        return kS_FALSE;

    // The view's target and its level and layer ranges.
    GLenum target = GL_TEXTURE_2D;
    TexArraySrv range{};
    switch (resolved.viewDimension) {
    case SrvDimension::Texture1D:
        target = GL_TEXTURE_1D;
        range = {resolved.texture1D.mostDetailedMip, resolved.texture1D.mipLevels, 0, 1};
        break;
    case SrvDimension::Texture1DArray:
        target = GL_TEXTURE_1D_ARRAY;
        range = resolved.texture1DArray;
        break;
    case SrvDimension::Texture2D:
        range = {resolved.texture2D.mostDetailedMip, resolved.texture2D.mipLevels, 0, 1};
        break;
    case SrvDimension::Texture2DArray:
        target = GL_TEXTURE_2D_ARRAY;
        range = resolved.texture2DArray;
        break;
    case SrvDimension::TextureCube:
        target = GL_TEXTURE_CUBE_MAP;
        range = {resolved.textureCube.mostDetailedMip, resolved.textureCube.mipLevels, 0, 6};
        break;
    case SrvDimension::TextureCubeArray:
        target = GL_TEXTURE_CUBE_MAP_ARRAY;
        range = {resolved.textureCubeArray.mostDetailedMip, resolved.textureCubeArray.mipLevels,
                 resolved.textureCubeArray.first2DArrayFace, resolved.textureCubeArray.numCubes * 6};
        break;
    default:
        target = GL_TEXTURE_3D;
        range = {resolved.texture3D.mostDetailedMip, resolved.texture3D.mipLevels, 0, 1};
        break;
    }
    if (!shared->Use())
        return kE_FAIL;
    ClearGLErrors();
    const GLTextureFormat format = TextureFormatOf(resolved.format);
    GLuint texture = 0;
    glGenTextures(1, &texture); // a view needs a name never bound before
    glTextureView(texture, target, state->name, format.internalFormat, range.mostDetailedMip, range.mipLevels,
                  range.firstArraySlice, range.arraySize);
    glTextureParameteri(texture, GL_TEXTURE_MAX_LEVEL, static_cast<GLint>(range.mipLevels - 1));
    if (format.alphaOnly)
        SetAlphaOnlySwizzle(texture);
    if (const HRESULT hr = TakeGLError(); Failed(hr)) {
        glDeleteTextures(1, &texture);
        return hr;
    }
    shared->FinishOffOwnerThread();
    *view = new GLShaderResourceView(shared, resource, resolved, texture);
    return kS_OK;
} catch (const std::bad_alloc&) {
    return kE_OUTOFMEMORY;
}

HRESULT GLDevice::CreateRenderTargetView(IResource* resource, const RenderTargetViewDesc* desc,
                                         IRenderTargetView** view) try {
    const GLResourceState* state = StateOf(resource);
    if (state == nullptr)
        return kE_INVALIDARG;
    RenderTargetViewDesc resolved{};
    if (const Validation check = ResolveRenderTargetView(state->info, desc, &resolved); !check.Ok())
        return check.result;
    if (view == nullptr)
        return kS_FALSE;
    shared->Use();
    const bool isArray = resolved.viewDimension == RtvDimension::Texture2DArray;
    GLAttachment attachment;
    if (!MakeAttachment(*state, isArray ? resolved.texture2DArray.mipSlice : resolved.texture2D.mipSlice,
                        isArray, resolved.texture2DArray.firstArraySlice, resolved.texture2DArray.arraySize,
                        GL_COLOR_ATTACHMENT0, &attachment))
        return kE_INVALIDARG;
    *view = new GLRenderTargetView(shared, resource, resolved, attachment);
    return kS_OK;
} catch (const std::bad_alloc&) {
    return kE_OUTOFMEMORY;
}

HRESULT GLDevice::CreateDepthStencilView(IResource* resource, const DepthStencilViewDesc* desc,
                                         IDepthStencilView** view) try {
    const GLResourceState* state = StateOf(resource);
    if (state == nullptr)
        return kE_INVALIDARG;
    DepthStencilViewDesc resolved{};
    if (const Validation check = ResolveDepthStencilView(state->info, desc, &resolved); !check.Ok())
        return check.result;
    if (view == nullptr)
        return kS_FALSE;
    shared->Use();
    const bool withStencil =
        resolved.format == Format::D24_UNorm_S8_UInt || resolved.format == Format::D32_Float_S8X24_UInt;
    const bool isArray = resolved.viewDimension == DsvDimension::Texture2DArray;
    GLAttachment attachment;
    if (!MakeAttachment(*state, isArray ? resolved.texture2DArray.mipSlice : resolved.texture2D.mipSlice,
                        isArray, resolved.texture2DArray.firstArraySlice, resolved.texture2DArray.arraySize,
                        withStencil ? GL_DEPTH_STENCIL_ATTACHMENT : GL_DEPTH_ATTACHMENT, &attachment))
        return kE_INVALIDARG;
    *view = new GLDepthStencilView(shared, resource, resolved, attachment, withStencil);
    return kS_OK;
} catch (const std::bad_alloc&) {
    return kE_OUTOFMEMORY;
}

HRESULT GLDevice::CreateRasterizerState(const RasterizerDesc* desc, IRasterizerState** state) try {
    if (const Validation check = ValidateRasterizerDesc(desc); !check.Ok())
        return check.result;
    if (state != nullptr)
        *state = new GLRasterizerState(shared, *desc);
    return kS_OK;
} catch (const std::bad_alloc&) {
    return kE_OUTOFMEMORY;
}

HRESULT GLDevice::CreateSamplerState(const SamplerDesc* desc, ISamplerState** sampler) try {
    if (const Validation check = ValidateSamplerDesc(desc); !check.Ok())
        return check.result;
    if (sampler == nullptr)
        return kS_FALSE;
    shared->Use();
    GLuint name = 0;
    glCreateSamplers(1, &name);
    const auto filter = static_cast<std::uint32_t>(desc->filter);
    const bool anisotropic = (filter & 0x7Fu) == static_cast<std::uint32_t>(Filter::Anisotropic);
    const bool minLinear = anisotropic || (filter & 0x10u) != 0;
    const bool magLinear = anisotropic || (filter & 0x4u) != 0;
    const bool mipLinear = anisotropic || (filter & 0x1u) != 0;
    const GLenum minFilter = minLinear ? (mipLinear ? GL_LINEAR_MIPMAP_LINEAR : GL_LINEAR_MIPMAP_NEAREST)
                                       : (mipLinear ? GL_NEAREST_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_NEAREST);
    glSamplerParameteri(name, GL_TEXTURE_MIN_FILTER, static_cast<GLint>(minFilter));
    glSamplerParameteri(name, GL_TEXTURE_MAG_FILTER, magLinear ? GL_LINEAR : GL_NEAREST);
    glSamplerParameteri(name, GL_TEXTURE_WRAP_S, static_cast<GLint>(AddressOf(desc->addressU)));
    glSamplerParameteri(name, GL_TEXTURE_WRAP_T, static_cast<GLint>(AddressOf(desc->addressV)));
    glSamplerParameteri(name, GL_TEXTURE_WRAP_R, static_cast<GLint>(AddressOf(desc->addressW)));
    glSamplerParameterf(name, GL_TEXTURE_LOD_BIAS, desc->mipLodBias);
    glSamplerParameterf(name, GL_TEXTURE_MIN_LOD, desc->minLod);
    glSamplerParameterf(name, GL_TEXTURE_MAX_LOD, desc->maxLod);
    glSamplerParameterfv(name, GL_TEXTURE_BORDER_COLOR, desc->borderColor);
    if (anisotropic && epoxy_has_gl_extension("GL_EXT_texture_filter_anisotropic"))
        glSamplerParameterf(name, GL_TEXTURE_MAX_ANISOTROPY_EXT,
                            static_cast<float>(std::max<std::uint32_t>(1, desc->maxAnisotropy)));
    if ((filter & 0x80u) != 0) {
        glSamplerParameteri(name, GL_TEXTURE_COMPARE_MODE, GL_COMPARE_REF_TO_TEXTURE);
        glSamplerParameteri(name, GL_TEXTURE_COMPARE_FUNC,
                            static_cast<GLint>(ComparisonOf(desc->comparisonFunc)));
    }
    *sampler = new GLSampler(shared, *desc, name);
    return kS_OK;
} catch (const std::bad_alloc&) {
    return kE_OUTOFMEMORY;
}

HRESULT GLDevice::CreateVertexShader(const void* bytecode, std::size_t length, IVertexShader** shader) try {
    if (const Validation check = ValidateShaderBytecode(bytecode, length); !check.Ok())
        return check.result;
    if (shader == nullptr)
        return kS_FALSE;
    shared->Use();
    const GLuint name = CompileShader(GL_VERTEX_SHADER, bytecode, length);
    if (name == 0)
        return kE_INVALIDARG;
    *shader = new GLVertexShader(shared, name);
    return kS_OK;
} catch (const std::bad_alloc&) {
    return kE_OUTOFMEMORY;
}

HRESULT GLDevice::CreatePixelShader(const void* bytecode, std::size_t length, IPixelShader** shader) try {
    if (const Validation check = ValidateShaderBytecode(bytecode, length); !check.Ok())
        return check.result;
    if (shader == nullptr)
        return kS_FALSE;
    shared->Use();
    const GLuint name = CompileShader(GL_FRAGMENT_SHADER, bytecode, length);
    if (name == 0)
        return kE_INVALIDARG;
    *shader = new GLPixelShader(shared, name);
    return kS_OK;
} catch (const std::bad_alloc&) {
    return kE_OUTOFMEMORY;
}

HRESULT GLDevice::CreateInputLayout(const InputElementDesc* elements, std::uint32_t numElements,
                                    const void* vertexShaderBytecode, std::size_t length,
                                    IInputLayout** layout) try {
    if (const Validation check = ValidateInputLayout(elements, numElements, vertexShaderBytecode, length);
        !check.Ok())
        return check.result;
    shared->Use();
    GLint maxRelativeOffset = 2047;
    glGetIntegerv(GL_MAX_VERTEX_ATTRIB_RELATIVE_OFFSET, &maxRelativeOffset);

    // Check every element before making anything.
    struct Attribute {
        GLuint location;
        GLVertexFormat format;
        std::uint32_t offset;
        std::uint32_t slot;
        std::uint32_t divisor;
    };
    std::vector<Attribute> attributes;
    std::array<std::uint32_t, kMaxVertexBufferSlots> slotEnds{};
    std::uint32_t usedLocations = 0;
    std::uint32_t slotMask = 0;
    for (std::uint32_t i = 0; i < numElements; ++i) {
        const InputElementDesc& element = elements[i];
        const int location = AttributeLocationOf(element.semanticName, element.semanticIndex);
        const GLVertexFormat format = VertexFormatOf(element.format);
        if (location < 0 || format.components == 0 || (usedLocations & (1u << location)) != 0)
            return kE_INVALIDARG;
        const std::uint32_t offset = element.alignedByteOffset == kAppendAlignedElement
                                         ? slotEnds[element.inputSlot]
                                         : element.alignedByteOffset;
        if (offset > static_cast<std::uint32_t>(maxRelativeOffset))
            return kE_INVALIDARG;
        usedLocations |= 1u << location;
        slotMask |= 1u << element.inputSlot;
        slotEnds[element.inputSlot] = offset + format.bytes;
        const std::uint32_t divisor =
            element.inputSlotClass == InputClassification::PerInstanceData ? element.instanceDataStepRate : 0;
        attributes.push_back({static_cast<GLuint>(location), format, offset, element.inputSlot, divisor});
    }
    if (layout == nullptr)
        return kS_FALSE;

    GLuint vao = 0;
    glCreateVertexArrays(1, &vao);
    for (const Attribute& attribute : attributes) {
        glEnableVertexArrayAttrib(vao, attribute.location);
        glVertexArrayAttribFormat(vao, attribute.location, attribute.format.components, attribute.format.type,
                                  attribute.format.normalized, attribute.offset);
        glVertexArrayAttribBinding(vao, attribute.location, attribute.slot);
        glVertexArrayBindingDivisor(vao, attribute.slot, attribute.divisor);
    }
    *layout = new GLInputLayout(shared, vao, slotMask);
    return kS_OK;
} catch (const std::bad_alloc&) {
    return kE_OUTOFMEMORY;
}

} // namespace tavro::gpu::opengl
