// CRenderModel::Render: one frame of a model, fitted, turning and presented.
#include "render/Camera.h"
#include "render/RenderModel.h"
#include "render/RendererState.h"

#include <new>

namespace tavro {

void CRenderModel::Render() {
    const ClientSize client = renderer.host.clientSize();
    if (!model || client.width == 0 || client.height == 0) {
        return;
    }
    const std::uint32_t elapsed = renderer.host.tickCount() - startTick; // wraps harmlessly
    // The default view adds nothing here: a zero yaw and pitch and a zoom of one leave every byte as
    // the turn alone makes it.
    const ViewOptions& options = renderer.view;
    const float angle = TurnAngle(elapsed) + options.yawRadians;
    const Matrix4 fit = FitMatrix(model->GetBoundsMin(), model->GetBoundsMax());
    const Matrix4 view = CameraViewMatrix(options.zoom);
    const Matrix4 projection = CameraProjectionMatrix(client.width, client.height);
    // The list never changes for a model, so it is built on the first frame and kept. It is made before
    // anything is cleared: a frame without memory for it is skipped whole, so the window keeps the last
    // frame instead of flashing an empty one, and the next frame tries again.
    if (!drawItemsBuilt) {
        try {
            drawItems = model->BuildDrawItems();
            drawItemsBuilt = true;
        } catch (const std::bad_alloc&) {
            return;
        }
    }

    gpu::IDeviceContext& context = *renderer.context.Get();
    context.ClearRenderTargetView(renderer.renderTargetView.Get(), options.background.data());
    context.ClearDepthStencilView(renderer.depthStencilView.Get(), gpu::kClearDepth, kClearDepthValue, 0);
    gpu::IBuffer* const constantBuffers[] = {constantBuffer.Get()};
    context.VSSetConstantBuffers(0, 1, constantBuffers);
    const bool otherLook = options.lit || options.wireframe;
    if (otherLook) {
        BindModelLook(renderer, options);
    }

    // The turn is the same for every item: the fit and the turn are combined once per frame.
    Matrix4 fitAndTurn = MatrixMultiply(fit, MatrixRotationY(angle));
    if (options.pitchRadians != 0.0f) {
        fitAndTurn = MatrixMultiply(fitAndTurn, OrbitPitchMatrix(options.pitchRadians));
    }
    for (const CG1MDrawItem& item : drawItems) {
        const Matrix4 world = MatrixMultiply(item.matrix, fitAndTurn);
        const auto constants = PackConstantBuffer(world, view, projection);
        context.UpdateSubresource(constantBuffer.Get(), 0, nullptr, constants.data(), 0, 0);
        context.DrawIndexed(item.indexCount, item.startIndex, item.baseVertex);
    }
    if (otherLook) {
        BindModelPipeline(renderer); // the overlay and the next frame draw with the fixed look
    }
    if (renderer.overlay != nullptr && renderer.overlay->Draw(renderer, client)) {
        BindResources(); // the overlay drew with its own buffers and texture
    }
    renderer.swapChain->Present(0, 0);
}

} // namespace tavro
