#include "gpu/opengl/GLObjects.h"

#include <algorithm>
#include <new>

namespace tavro::gpu::opengl {

GLSwapChain::GLSwapChain(SharedState sharedState, GLTexture2D* buffer, GLuint presentedTexture)
    : GLObject(std::move(sharedState)), backBuffer(buffer), presented(presentedTexture) {
    Texture2DDesc desc{};
    backBuffer->GetDesc(&desc);
    width = desc.width;
    height = desc.height;
    shared->Use();
    glCreateFramebuffers(1, &readFramebuffer);
    glNamedFramebufferTexture(readFramebuffer, GL_COLOR_ATTACHMENT0, backBuffer->name, 0);
    glNamedFramebufferReadBuffer(readFramebuffer, GL_COLOR_ATTACHMENT0);
    glCreateFramebuffers(1, &drawFramebuffer);
    glNamedFramebufferTexture(drawFramebuffer, GL_COLOR_ATTACHMENT0, presented, 0);
    glNamedFramebufferDrawBuffer(drawFramebuffer, GL_COLOR_ATTACHMENT0);
    glNamedFramebufferReadBuffer(drawFramebuffer, GL_COLOR_ATTACHMENT0);
    shared->context.SetRepaint([this] {
        if (hasPresented)
            ShowInWindow();
    });
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
