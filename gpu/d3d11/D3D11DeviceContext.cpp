#include "gpu/d3d11/D3D11Objects.h"

#include <array>

namespace tavro::gpu::d3d11 {
namespace {

// A binding call whose slots run past the stage's slot count is ignored, as Direct3D ignores it; the
// check also keeps the translated arrays below inside their fixed size.
bool SlotsFit(std::uint32_t startSlot, std::uint32_t count, std::uint32_t limit) {
    return count <= limit && startSlot <= limit - count;
}

// The Direct3D objects behind `count` of this backend's objects, in a fixed array of `Limit` entries.
template <typename Concrete, std::uint32_t Limit, typename Interface>
auto NativeArray(Interface* const* objects, std::uint32_t count) {
    std::array<decltype(NativeOf<Concrete>(static_cast<Interface*>(nullptr))), Limit> natives{};
    for (std::uint32_t i = 0; i < count && objects != nullptr; ++i)
        natives[i] = NativeOf<Concrete>(objects[i]);
    return natives;
}

} // namespace

void D3D11DeviceContext::OMSetRenderTargets(std::uint32_t numViews,
                                            IRenderTargetView* const* renderTargetViews,
                                            IDepthStencilView* depthStencilView) {
    if (!SlotsFit(0, numViews, kMaxRenderTargets))
        return;
    auto views = NativeArray<D3D11RenderTargetView, kMaxRenderTargets>(renderTargetViews, numViews);
    native->OMSetRenderTargets(numViews, views.data(), NativeOf<D3D11DepthStencilView>(depthStencilView));
}

void D3D11DeviceContext::RSSetViewports(std::uint32_t numViewports, const Viewport* viewports) {
    constexpr std::uint32_t kLimit = D3D11_VIEWPORT_AND_SCISSORRECT_OBJECT_COUNT_PER_PIPELINE;
    if (!SlotsFit(0, numViewports, kLimit) || (viewports == nullptr && numViewports != 0))
        return;
    std::array<D3D11_VIEWPORT, kLimit> natives{};
    for (std::uint32_t i = 0; i < numViewports; ++i)
        natives[i] = ToNative(viewports[i]);
    native->RSSetViewports(numViewports, natives.data());
}

void D3D11DeviceContext::IASetInputLayout(IInputLayout* layout) {
    native->IASetInputLayout(NativeOf<D3D11InputLayout>(layout));
}

void D3D11DeviceContext::IASetPrimitiveTopology(PrimitiveTopology topology) {
    native->IASetPrimitiveTopology(static_cast<D3D11_PRIMITIVE_TOPOLOGY>(topology));
}

void D3D11DeviceContext::IASetVertexBuffers(std::uint32_t startSlot, std::uint32_t numBuffers,
                                            IBuffer* const* buffers, const std::uint32_t* strides,
                                            const std::uint32_t* offsets) {
    if (!SlotsFit(startSlot, numBuffers, kMaxVertexBufferSlots) ||
        (numBuffers != 0 && (strides == nullptr || offsets == nullptr)))
        return;
    auto natives = NativeArray<D3D11Buffer, kMaxVertexBufferSlots>(buffers, numBuffers);
    native->IASetVertexBuffers(startSlot, numBuffers, natives.data(), strides, offsets);
}

void D3D11DeviceContext::IASetIndexBuffer(IBuffer* buffer, Format format, std::uint32_t offset) {
    native->IASetIndexBuffer(NativeOf<D3D11Buffer>(buffer), static_cast<DXGI_FORMAT>(format), offset);
}

void D3D11DeviceContext::VSSetShader(IVertexShader* shader) {
    native->VSSetShader(NativeOf<D3D11VertexShader>(shader), nullptr, 0);
}

void D3D11DeviceContext::PSSetShader(IPixelShader* shader) {
    native->PSSetShader(NativeOf<D3D11PixelShader>(shader), nullptr, 0);
}

void D3D11DeviceContext::VSSetConstantBuffers(std::uint32_t startSlot, std::uint32_t numBuffers,
                                              IBuffer* const* buffers) {
    if (!SlotsFit(startSlot, numBuffers, kMaxConstantBufferSlots))
        return;
    auto natives = NativeArray<D3D11Buffer, kMaxConstantBufferSlots>(buffers, numBuffers);
    native->VSSetConstantBuffers(startSlot, numBuffers, natives.data());
}

void D3D11DeviceContext::PSSetShaderResources(std::uint32_t startSlot, std::uint32_t numViews,
                                              IShaderResourceView* const* views) {
    if (!SlotsFit(startSlot, numViews, kMaxShaderResourceSlots))
        return;
    auto natives = NativeArray<D3D11ShaderResourceView, kMaxShaderResourceSlots>(views, numViews);
    native->PSSetShaderResources(startSlot, numViews, natives.data());
}

void D3D11DeviceContext::RSSetState(IRasterizerState* state) {
    native->RSSetState(NativeOf<D3D11RasterizerState>(state));
}

void D3D11DeviceContext::PSSetSamplers(std::uint32_t startSlot, std::uint32_t numSamplers,
                                       ISamplerState* const* samplers) {
    if (!SlotsFit(startSlot, numSamplers, kMaxSamplerSlots))
        return;
    auto natives = NativeArray<D3D11SamplerState, kMaxSamplerSlots>(samplers, numSamplers);
    native->PSSetSamplers(startSlot, numSamplers, natives.data());
}

void D3D11DeviceContext::ClearRenderTargetView(IRenderTargetView* view, const float colorRgba[4]) {
    ID3D11RenderTargetView* nativeView = NativeOf<D3D11RenderTargetView>(view);
    if (nativeView != nullptr && colorRgba != nullptr)
        native->ClearRenderTargetView(nativeView, colorRgba);
}

void D3D11DeviceContext::ClearDepthStencilView(IDepthStencilView* view, std::uint32_t clearFlags, float depth,
                                               std::uint8_t stencil) {
    ID3D11DepthStencilView* nativeView = NativeOf<D3D11DepthStencilView>(view);
    if (nativeView != nullptr)
        native->ClearDepthStencilView(nativeView, clearFlags, depth, stencil);
}

void D3D11DeviceContext::UpdateSubresource(IResource* resource, std::uint32_t subresource, const Box* box,
                                           const void* srcData, std::uint32_t srcRowPitch,
                                           std::uint32_t srcDepthPitch) {
    ID3D11Resource* nativeResource = NativeResourceOf(resource);
    if (nativeResource == nullptr || srcData == nullptr)
        return;
    D3D11_BOX nativeBox{};
    if (box != nullptr)
        nativeBox = ToNative(*box);
    native->UpdateSubresource(nativeResource, subresource, box != nullptr ? &nativeBox : nullptr, srcData,
                              srcRowPitch, srcDepthPitch);
}

void D3D11DeviceContext::DrawIndexed(std::uint32_t indexCount, std::uint32_t startIndex,
                                     std::int32_t baseVertex) {
    native->DrawIndexed(indexCount, startIndex, baseVertex);
}

} // namespace tavro::gpu::d3d11
