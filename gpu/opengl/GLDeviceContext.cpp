#include "gpu/opengl/GLObjects.h"

#include <algorithm>
#include <cstdint>

namespace tavro::gpu::opengl {
namespace {

template <typename Concrete, typename Interface>
Concrete* As(Interface* object) {
    return object == nullptr ? nullptr : dynamic_cast<Concrete*>(object);
}

void Attach(GLuint framebuffer, GLenum point, const GLAttachment* attachment) {
    if (attachment == nullptr)
        glNamedFramebufferTexture(framebuffer, point, 0, 0);
    else if (attachment->layer < 0)
        glNamedFramebufferTexture(framebuffer, point, attachment->texture, attachment->level);
    else
        glNamedFramebufferTextureLayer(framebuffer, point, attachment->texture, attachment->level,
                                       attachment->layer);
}

GLenum ModeOf(PrimitiveTopology topology) {
    switch (topology) {
    case PrimitiveTopology::PointList:
        return GL_POINTS;
    case PrimitiveTopology::LineList:
        return GL_LINES;
    case PrimitiveTopology::LineStrip:
        return GL_LINE_STRIP;
    case PrimitiveTopology::TriangleList:
        return GL_TRIANGLES;
    default:
        return GL_TRIANGLE_STRIP;
    }
}

// Whether a range of slots fits and every object in it belongs to this backend.
template <typename Concrete, typename Interface>
bool Acceptable(std::uint32_t startSlot, std::uint32_t count, Interface* const* objects, std::size_t slots) {
    if (startSlot > slots || count > slots - startSlot || (count != 0 && objects == nullptr))
        return false;
    return std::all_of(objects, objects + count, [](Interface* object) {
        return object == nullptr || As<Concrete>(object) != nullptr;
    });
}

} // namespace

GLDeviceContext::GLDeviceContext(SharedState sharedState) : GLObject(std::move(sharedState)) {
    shared->Use();
    glCreateFramebuffers(1, &drawFramebuffer);
    glCreateFramebuffers(1, &clearFramebuffer);
}

GLDeviceContext::~GLDeviceContext() {
    ClearState();
    shared->Use();
    glDeleteFramebuffers(1, &drawFramebuffer);
    glDeleteFramebuffers(1, &clearFramebuffer);
}

void GLDeviceContext::ClearState() {
    for (auto& target : renderTargets)
        target.Reset();
    depthStencil.Reset();
    rasterizerState.Reset();
    inputLayout.Reset();
    for (auto& buffer : vertexBuffers)
        buffer.Reset();
    indexBuffer.Reset();
    vertexShader.Reset();
    pixelShader.Reset();
    for (auto& buffer : constantBuffers)
        buffer.Reset();
    for (auto& view : shaderResources)
        view.Reset();
    for (auto& sampler : samplers)
        sampler.Reset();
    outputDirty = true;
}

void GLDeviceContext::OMSetRenderTargets(std::uint32_t numViews, IRenderTargetView* const* renderTargetViews,
                                         IDepthStencilView* depthStencilView) {
    if (!Acceptable<GLRenderTargetView>(0, numViews, renderTargetViews, renderTargets.size()) ||
        (depthStencilView != nullptr && As<GLDepthStencilView>(depthStencilView) == nullptr))
        return;
    for (std::uint32_t slot = 0; slot < renderTargets.size(); ++slot)
        Hold(renderTargets[slot], slot < numViews ? renderTargetViews[slot] : nullptr);
    Hold(depthStencil, depthStencilView);
    outputDirty = true;
}

void GLDeviceContext::RSSetViewports(std::uint32_t numViewports, const Viewport* viewports_) {
    if (numViewports > 16 || (numViewports != 0 && viewports_ == nullptr))
        return;
    viewports.assign(viewports_, viewports_ + numViewports);
}

void GLDeviceContext::IASetInputLayout(IInputLayout* layout) {
    if (layout == nullptr || As<GLInputLayout>(layout) != nullptr)
        Hold(inputLayout, layout);
}

void GLDeviceContext::IASetPrimitiveTopology(PrimitiveTopology newTopology) {
    if (newTopology <= PrimitiveTopology::TriangleStrip)
        topology = newTopology;
}

void GLDeviceContext::IASetVertexBuffers(std::uint32_t startSlot, std::uint32_t numBuffers,
                                         IBuffer* const* buffers, const std::uint32_t* strides,
                                         const std::uint32_t* offsets) {
    if (!Acceptable<GLBuffer>(startSlot, numBuffers, buffers, vertexBuffers.size()) ||
        (numBuffers != 0 && (strides == nullptr || offsets == nullptr)))
        return;
    for (std::uint32_t i = 0; i < numBuffers; ++i) {
        Hold(vertexBuffers[startSlot + i], buffers[i]);
        vertexStrides[startSlot + i] = strides[i];
        vertexOffsets[startSlot + i] = offsets[i];
    }
}

void GLDeviceContext::IASetIndexBuffer(IBuffer* buffer, Format format, std::uint32_t offset) {
    if (buffer != nullptr &&
        (As<GLBuffer>(buffer) == nullptr || (format != Format::R16_UInt && format != Format::R32_UInt)))
        return;
    Hold(indexBuffer, buffer);
    indexFormat = format;
    indexOffset = offset;
}

void GLDeviceContext::VSSetShader(IVertexShader* shader) {
    if (shader == nullptr || As<GLVertexShader>(shader) != nullptr)
        Hold(vertexShader, shader);
}

void GLDeviceContext::PSSetShader(IPixelShader* shader) {
    if (shader == nullptr || As<GLPixelShader>(shader) != nullptr)
        Hold(pixelShader, shader);
}

void GLDeviceContext::VSSetConstantBuffers(std::uint32_t startSlot, std::uint32_t numBuffers,
                                           IBuffer* const* buffers) {
    if (!Acceptable<GLBuffer>(startSlot, numBuffers, buffers, constantBuffers.size()))
        return;
    for (std::uint32_t i = 0; i < numBuffers; ++i)
        Hold(constantBuffers[startSlot + i], buffers[i]);
}

void GLDeviceContext::PSSetShaderResources(std::uint32_t startSlot, std::uint32_t numViews,
                                           IShaderResourceView* const* views) {
    if (!Acceptable<GLShaderResourceView>(startSlot, numViews, views, shaderResources.size()))
        return;
    for (std::uint32_t i = 0; i < numViews; ++i)
        Hold(shaderResources[startSlot + i], views[i]);
}

void GLDeviceContext::RSSetState(IRasterizerState* state) {
    if (state != nullptr && As<GLRasterizerState>(state) == nullptr)
        return;
    Hold(rasterizerState, state);
}

void GLDeviceContext::PSSetSamplers(std::uint32_t startSlot, std::uint32_t numSamplers,
                                    ISamplerState* const* samplerStates) {
    if (!Acceptable<GLSampler>(startSlot, numSamplers, samplerStates, samplers.size()))
        return;
    for (std::uint32_t i = 0; i < numSamplers; ++i)
        Hold(samplers[startSlot + i], samplerStates[i]);
}

void GLDeviceContext::ClearRenderTargetView(IRenderTargetView* view, const float colorRgba[4]) {
    const auto* target = As<GLRenderTargetView>(view);
    if (target == nullptr || colorRgba == nullptr)
        return;
    shared->Use();
    Attach(clearFramebuffer, GL_COLOR_ATTACHMENT0, &target->attachment);
    glNamedFramebufferDrawBuffer(clearFramebuffer, GL_COLOR_ATTACHMENT0);
    glClearNamedFramebufferfv(clearFramebuffer, GL_COLOR, 0, colorRgba);
    Attach(clearFramebuffer, GL_COLOR_ATTACHMENT0, nullptr);
}

void GLDeviceContext::ClearDepthStencilView(IDepthStencilView* view, std::uint32_t clearFlags, float depth,
                                            std::uint8_t stencil) {
    const auto* target = As<GLDepthStencilView>(view);
    if (target == nullptr || (clearFlags & ~(kClearDepth | kClearStencil)) != 0 ||
        !(depth >= 0.0f && depth <= 1.0f))
        return;
    shared->Use();
    const GLenum point = target->hasStencil ? GL_DEPTH_STENCIL_ATTACHMENT : GL_DEPTH_ATTACHMENT;
    Attach(clearFramebuffer, point, &target->attachment);
    glNamedFramebufferDrawBuffer(clearFramebuffer, GL_NONE);
    const bool clearStencil = target->hasStencil && (clearFlags & kClearStencil) != 0;
    if ((clearFlags & kClearDepth) != 0 && clearStencil) {
        glClearNamedFramebufferfi(clearFramebuffer, GL_DEPTH_STENCIL, 0, depth, stencil);
    } else if ((clearFlags & kClearDepth) != 0) {
        glClearNamedFramebufferfv(clearFramebuffer, GL_DEPTH, 0, &depth);
    } else if (clearStencil) {
        const GLint value = stencil;
        glClearNamedFramebufferiv(clearFramebuffer, GL_STENCIL, 0, &value);
    }
    Attach(clearFramebuffer, point, nullptr);
}

void GLDeviceContext::UpdateSubresource(IResource* resource, std::uint32_t subresource, const Box* box,
                                        const void* srcData, std::uint32_t, std::uint32_t) {
    const GLResourceState* state = StateOf(resource);
    std::uint32_t begin = 0;
    std::uint32_t end = 0;
    if (state == nullptr || !ResolveBufferUpdate(state->info, subresource, box, srcData, &begin, &end).Ok())
        return;
    shared->Use();
    glNamedBufferSubData(state->name, begin, end - begin, srcData);
}

bool GLDeviceContext::PrepareDraw() {
    const auto* vs = As<GLVertexShader>(vertexShader.Get());
    const auto* ps = As<GLPixelShader>(pixelShader.Get());
    const auto* layout = As<GLInputLayout>(inputLayout.Get());
    const auto* indices = As<GLBuffer>(indexBuffer.Get());
    if (vs == nullptr || ps == nullptr || layout == nullptr || indices == nullptr ||
        topology == PrimitiveTopology::Undefined)
        return false;
    const GLuint program = shared->ProgramFor(vs->serial, vs->shader, ps->serial, ps->shader);
    if (program == 0)
        return false;

    // Output: the bound views as the draw framebuffer; its height turns top-down viewports bottom-up.
    std::uint32_t targetHeight = 0;
    if (outputDirty) {
        GLenum drawBuffers[kMaxRenderTargets];
        for (std::uint32_t slot = 0; slot < kMaxRenderTargets; ++slot) {
            const auto* target = As<GLRenderTargetView>(renderTargets[slot].Get());
            Attach(drawFramebuffer, GL_COLOR_ATTACHMENT0 + slot,
                   target != nullptr ? &target->attachment : nullptr);
            drawBuffers[slot] = target != nullptr ? GL_COLOR_ATTACHMENT0 + slot : GL_NONE;
        }
        glNamedFramebufferDrawBuffers(drawFramebuffer, kMaxRenderTargets, drawBuffers);
        Attach(drawFramebuffer, GL_DEPTH_STENCIL_ATTACHMENT, nullptr);
        if (const auto* depth = As<GLDepthStencilView>(depthStencil.Get()))
            Attach(drawFramebuffer, depth->hasStencil ? GL_DEPTH_STENCIL_ATTACHMENT : GL_DEPTH_ATTACHMENT,
                   &depth->attachment);
        outputDirty = false;
    }
    for (const auto& view : renderTargets) {
        if (const auto* target = As<GLRenderTargetView>(view.Get()))
            targetHeight = std::max(targetHeight, target->attachment.height);
    }
    if (const auto* depth = As<GLDepthStencilView>(depthStencil.Get()))
        targetHeight = std::max(targetHeight, depth->attachment.height);
    if (glCheckNamedFramebufferStatus(drawFramebuffer, GL_DRAW_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE)
        return false;
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, drawFramebuffer);
    for (std::size_t i = 0; i < viewports.size(); ++i) {
        const Viewport& v = viewports[i];
        const float bottom = static_cast<float>(targetHeight) - (v.topLeftY + v.height);
        glViewportIndexedf(static_cast<GLuint>(i), v.topLeftX, bottom, v.width, v.height);
        glDepthRangeIndexed(static_cast<GLuint>(i), v.minDepth, v.maxDepth);
    }

    // Input: the layout's vertex array with the bound buffers attached.
    glUseProgram(program);
    glBindVertexArray(layout->vao);
    for (std::uint32_t slot = 0; slot < kMaxVertexBufferSlots; ++slot) {
        if ((layout->slots & (1u << slot)) == 0)
            continue;
        const auto* buffer = As<GLBuffer>(vertexBuffers[slot].Get());
        glVertexArrayVertexBuffer(layout->vao, slot, buffer != nullptr ? buffer->name : 0,
                                  vertexOffsets[slot], static_cast<GLsizei>(vertexStrides[slot]));
    }
    glVertexArrayElementBuffer(layout->vao, indices->name);
    for (std::uint32_t slot = 0; slot < kMaxConstantBufferSlots; ++slot) {
        const auto* buffer = As<GLBuffer>(constantBuffers[slot].Get());
        glBindBufferBase(GL_UNIFORM_BUFFER, slot, buffer != nullptr ? buffer->name : 0);
    }
    for (std::uint32_t unit = 0; unit < kMaxSamplerSlots; ++unit) {
        const auto* view = As<GLShaderResourceView>(shaderResources[unit].Get());
        const auto* sampler = As<GLSampler>(samplers[unit].Get());
        glBindTextureUnit(unit, view != nullptr ? view->texture : 0);
        glBindSampler(unit, sampler != nullptr ? sampler->sampler : 0);
    }
    const auto* rasterizer = As<GLRasterizerState>(rasterizerState.Get());
    const RasterizerDesc raster =
        rasterizer != nullptr ? rasterizer->desc : RasterizerDesc{FillMode::Solid, CullMode::Back, false};
    glPolygonMode(GL_FRONT_AND_BACK, raster.fillMode == FillMode::Wireframe ? GL_LINE : GL_FILL);
    if (raster.cullMode == CullMode::None) {
        glDisable(GL_CULL_FACE);
    } else {
        glEnable(GL_CULL_FACE);
        glCullFace(raster.cullMode == CullMode::Front ? GL_FRONT : GL_BACK);
    }
    glFrontFace(raster.frontCounterClockwise ? GL_CCW : GL_CW);
    // Strips are cut at the all-ones index, compared before the base vertex is added; lists have no cut.
    if (topology == PrimitiveTopology::TriangleStrip || topology == PrimitiveTopology::LineStrip)
        glEnable(GL_PRIMITIVE_RESTART_FIXED_INDEX);
    else
        glDisable(GL_PRIMITIVE_RESTART_FIXED_INDEX);
    return true;
}

void GLDeviceContext::DrawIndexed(std::uint32_t indexCount, std::uint32_t startIndex,
                                  std::int32_t baseVertex) {
    if (indexCount == 0)
        return;
    shared->Use();
    if (!PrepareDraw())
        return;
    // Only indices inside the index buffer are drawn: a range running past its end is cut short there.
    const auto* indices = As<GLBuffer>(indexBuffer.Get());
    const std::uint64_t indexBytes = indexFormat == Format::R32_UInt ? 4 : 2;
    const std::uint64_t offset = indexOffset + startIndex * indexBytes;
    const std::uint64_t bufferBytes = indices->info.width;
    if (offset >= bufferBytes)
        return;
    const std::uint64_t count = std::min<std::uint64_t>(indexCount, (bufferBytes - offset) / indexBytes);
    if (count == 0)
        return;
    glDrawElementsBaseVertex(ModeOf(topology), static_cast<GLsizei>(count),
                             indexBytes == 4 ? GL_UNSIGNED_INT : GL_UNSIGNED_SHORT,
                             reinterpret_cast<const void*>(static_cast<std::uintptr_t>(offset)), baseVertex);
}

} // namespace tavro::gpu::opengl
