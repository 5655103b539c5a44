#include "app/PresentObserver.h"

#include "gpu/Ref.h"

#include <atomic>
#include <utility>

namespace tavro {
namespace {

class ObservedSwapChain final : public gpu::ISwapChain {
public:
    ObservedSwapChain(gpu::Ref<gpu::ISwapChain> inner, PresentHooks hooks)
        : inner_(std::move(inner)), hooks_(std::move(hooks)) {}

    std::uint32_t AddRef() override { return ++references_; }
    std::uint32_t Release() override {
        const std::uint32_t left = --references_;
        if (left == 0) {
            delete this;
        }
        return left;
    }
    HRESULT GetBuffer(std::uint32_t index, gpu::ITexture2D** buffer) override {
        return inner_->GetBuffer(index, buffer);
    }
    HRESULT Present(std::uint32_t syncInterval, std::uint32_t flags) override {
        if (hooks_.beforePresent) {
            hooks_.beforePresent();
        }
        const HRESULT result = inner_->Present(syncInterval, flags);
        if (hooks_.afterPresent) {
            hooks_.afterPresent();
        }
        return result;
    }
    HRESULT ResizeBuffers(std::uint32_t bufferCount, std::uint32_t width, std::uint32_t height,
                          gpu::Format newFormat, std::uint32_t flags) override {
        return inner_->ResizeBuffers(bufferCount, width, height, newFormat, flags);
    }
    HRESULT ReadPresentedImage(gpu::PresentedImage* image) override {
        return inner_->ReadPresentedImage(image);
    }

private:
    ~ObservedSwapChain() override = default;

    gpu::Ref<gpu::ISwapChain> inner_;
    PresentHooks hooks_;
    std::atomic<std::uint32_t> references_{1};
};

} // namespace

void ObservePresents(RendererState& state, PresentHooks hooks) {
    gpu::Ref<gpu::ISwapChain> inner = std::move(state.swapChain);
    state.swapChain = gpu::Ref<gpu::ISwapChain>(new ObservedSwapChain(std::move(inner), std::move(hooks)));
}

} // namespace tavro
