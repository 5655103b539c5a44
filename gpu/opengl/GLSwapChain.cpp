#include "gpu/opengl/GLObjects.h"

#include <algorithm>
#include <new>

namespace tavro::gpu::opengl {

HRESULT MakeSwapChainBuffers(const SharedState& shared, const Texture2DDesc& desc, ITexture2D** backBuffer,
                             GLuint* presented) {
    Ref<ITexture2D> buffer;
    if (const HRESULT hr = MakeTexture2D(shared, &desc, nullptr, buffer.Put()); Failed(hr))
        return hr;
    GLuint texture = 0;
    glCreateTextures(GL_TEXTURE_2D, 1, &texture);
    glTextureStorage2D(texture, 1, TextureFormatOf(desc.format).internalFormat,
                       static_cast<GLsizei>(desc.width), static_cast<GLsizei>(desc.height));
    if (glGetError() == GL_OUT_OF_MEMORY) {
        glDeleteTextures(1, &texture);
        return kE_OUTOFMEMORY;
    }
    *backBuffer = buffer.Get();
    (*backBuffer)->AddRef();
    *presented = texture;
    return kS_OK;
}

GLSwapChain::GLSwapChain(SharedState sharedState, GLTexture2D* buffer, GLuint presentedTexture)
    : GLObject(std::move(sharedState)), backBuffer(buffer), presented(presentedTexture) {
    shared->Use();
    glCreateFramebuffers(1, &readFramebuffer);
    glCreateFramebuffers(1, &drawFramebuffer);
    AttachBuffers();
    shared->context.SetRepaint([this] {
        if (hasPresented)
            ShowInWindow();
    });
}

void GLSwapChain::AttachBuffers() {
    Texture2DDesc desc{};
    backBuffer->GetDesc(&desc);
    width = desc.width;
    height = desc.height;
    glNamedFramebufferTexture(readFramebuffer, GL_COLOR_ATTACHMENT0, backBuffer->name, 0);
    glNamedFramebufferReadBuffer(readFramebuffer, GL_COLOR_ATTACHMENT0);
    glNamedFramebufferTexture(drawFramebuffer, GL_COLOR_ATTACHMENT0, presented, 0);
    glNamedFramebufferDrawBuffer(drawFramebuffer, GL_COLOR_ATTACHMENT0);
    glNamedFramebufferReadBuffer(drawFramebuffer, GL_COLOR_ATTACHMENT0);
}

GLSwapChain::~GLSwapChain() {
    shared->context.SetRepaint({});
    shared->Use();
    glDeleteFramebuffers(1, &readFramebuffer);
    glDeleteFramebuffers(1, &drawFramebuffer);
    glDeleteTextures(1, &presented);
    backBuffer->Release();
}

HRESULT GLSwapChain::GetBuffer(std::uint32_t index, ITexture2D** buffer) {
    if (index != 0 || buffer == nullptr)
        return kE_INVALIDARG;
    backBuffer->AddRef();
    *buffer = backBuffer;
    return kS_OK;
}

HRESULT GLSwapChain::Present(std::uint32_t, std::uint32_t) {
    shared->Use();
    const auto w = static_cast<GLint>(width);
    const auto h = static_cast<GLint>(height);
    // Keep the frame apart from the back buffer, which the next frame draws into, so that it can be shown
    // again or read back until the next Present.
    glDisable(GL_SCISSOR_TEST);
    glBlitNamedFramebuffer(readFramebuffer, drawFramebuffer, 0, 0, w, h, 0, 0, w, h, GL_COLOR_BUFFER_BIT,
                           GL_NEAREST);
    hasPresented = true;
    ShowInWindow();
    return kS_OK;
}

HRESULT GLSwapChain::ResizeBuffers(std::uint32_t bufferCount, std::uint32_t newWidth, std::uint32_t newHeight,
                                   Format newFormat, std::uint32_t flags) try {
    Texture2DDesc desc{};
    backBuffer->GetDesc(&desc);
    if (const Validation request = ValidateResizeBuffers(bufferCount, newWidth, newHeight, newFormat, flags,
                                                         desc.format, &desc.format);
        !request.Ok())
        return request.result;
    // A view or binding of the old buffer would go on drawing into a texture nobody shows.
    const bool onlyReference = backBuffer->AddRef() == 2;
    backBuffer->Release();
    if (!onlyReference)
        return kDXGI_ERROR_INVALID_CALL;
    desc.width = newWidth;
    desc.height = newHeight;
    shared->Use();
    ITexture2D* madeBuffer = nullptr;
    GLuint madePresented = 0;
    if (const HRESULT hr = MakeSwapChainBuffers(shared, desc, &madeBuffer, &madePresented); Failed(hr))
        return hr;
    backBuffer->Release();
    glDeleteTextures(1, &presented);
    backBuffer = static_cast<GLTexture2D*>(madeBuffer);
    presented = madePresented;
    AttachBuffers();
    hasPresented = false;
    return kS_OK;
} catch (const std::bad_alloc&) {
    return kE_OUTOFMEMORY;
}

void GLSwapChain::ShowInWindow() {
    int windowWidth = 0;
    int windowHeight = 0;
    shared->context.GetDrawableSize(&windowWidth, &windowHeight);
    if (windowWidth <= 0 || windowHeight <= 0)
        return;
    shared->Use();
    glDisable(GL_SCISSOR_TEST);
    glDisable(GL_FRAMEBUFFER_SRGB);
    glBlitNamedFramebuffer(drawFramebuffer, 0, 0, 0, static_cast<GLint>(width), static_cast<GLint>(height), 0,
                           0, windowWidth, windowHeight, GL_COLOR_BUFFER_BIT, GL_LINEAR);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, windowWidth, windowHeight);
    shared->context.DrawOnTop();
    // The window's chrome may change any state; the device's draws rely on the fixed set.
    SetDefaultPipelineState();
    shared->context.SwapBuffers();
}

HRESULT GLSwapChain::ReadPresentedImage(PresentedImage* image) try {
    if (image == nullptr)
        return kE_INVALIDARG;
    if (!hasPresented)
        return kE_FAIL;
    const std::size_t rowBytes = std::size_t{width} * 4;
    image->rgba.resize(rowBytes * height);
    shared->Use();
    glGetTextureImage(presented, 0, GL_RGBA, GL_UNSIGNED_BYTE, static_cast<GLsizei>(image->rgba.size()),
                      image->rgba.data());
    // OpenGL's first row is the bottom one; the image's first row is the top one. Flipped in place, so a
    // frame costs one image of memory, not two.
    std::uint8_t* const rows = image->rgba.data();
    for (std::uint32_t top = 0; top < height / 2; ++top)
        std::swap_ranges(rows + top * rowBytes, rows + (top + 1) * rowBytes,
                         rows + (height - 1 - top) * rowBytes);
    image->width = width;
    image->height = height;
    return kS_OK;
} catch (const std::bad_alloc&) {
    return kE_OUTOFMEMORY;
}

} // namespace tavro::gpu::opengl
