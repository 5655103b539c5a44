#include "gpu/opengl/OpenGLFactory.h"
#include "gpu/opengl/GLObjects.h"

#include <cstring>
#include <new>

namespace tavro::gpu::opengl {
namespace {

bool IsSoftwareRenderer() {
    const auto* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    if (renderer == nullptr)
        return true;
    for (const char* name : {"llvmpipe", "softpipe", "swrast", "Software Rasterizer"}) {
        if (std::strstr(renderer, name) != nullptr)
            return true;
    }
    return false;
}

bool HasNeededFeatures() {
    return epoxy_gl_version() >= 45 && epoxy_has_gl_extension("GL_EXT_texture_compression_s3tc");
}

} // namespace

HRESULT OpenGLFactory::CreateDeviceAndSwapChain(DriverType driverType, std::uint32_t,
                                                const FeatureLevel* featureLevels,
                                                std::uint32_t numFeatureLevels, std::uint32_t sdkVersion,
                                                const SwapChainDesc* desc, ISwapChain** swapChain,
                                                IDevice** device, FeatureLevel* featureLevel,
                                                IDeviceContext** context) try {
    std::vector<FeatureLevel> levels;
    if (const Validation request = ValidateDeviceRequest(driverType, featureLevels, numFeatureLevels,
                                                         sdkVersion, desc, swapChain != nullptr, &levels);
        !request.Ok())
        return request.result;
    auto* window = desc != nullptr ? static_cast<IGLContext*>(desc->outputWindow) : nullptr;
    if (window == nullptr)
        return kE_INVALIDARG;
    GLDriver driver = GLDriver::Default;
    if (driverType == DriverType::Warp || driverType == DriverType::Software)
        driver = GLDriver::Software;
    else if (driverType != DriverType::Hardware)
        return kDXGI_ERROR_UNSUPPORTED;
    FeatureLevel obtained{};
    if (!ChooseFeatureLevel(levels, FeatureLevel::Level11_0, &obtained))
        return kDXGI_ERROR_UNSUPPORTED;

    if (!window->Create(driver))
        return kDXGI_ERROR_UNSUPPORTED;
    auto shared = std::make_shared<GLShared>(*window);
    shared->NoteCurrent();
    if (!HasNeededFeatures() || (driver == GLDriver::Default && IsSoftwareRenderer()))
        return kDXGI_ERROR_UNSUPPORTED;
    SetDefaultPipelineState();

    Ref<ITexture2D> backBuffer;
    GLuint presented = 0;
    if (swapChain != nullptr) {
        Texture2DDesc bufferDesc{};
        bufferDesc.width = desc->bufferDesc.width;
        bufferDesc.height = desc->bufferDesc.height;
        bufferDesc.mipLevels = 1;
        bufferDesc.arraySize = 1;
        bufferDesc.format = desc->bufferDesc.format;
        bufferDesc.sampleDesc = {1, 0};
        bufferDesc.bindFlags = kBindRenderTarget;
        if (const HRESULT hr = MakeSwapChainBuffers(shared, bufferDesc, backBuffer.Put(), &presented);
            Failed(hr))
            return hr;
    }

    auto* madeContext = new GLDeviceContext(shared);
    auto* madeDevice = new GLDevice(shared, obtained, madeContext);
    if (swapChain != nullptr) {
        // The swap chain takes over the back buffer's reference and the presented texture.
        *swapChain = new GLSwapChain(shared, static_cast<GLTexture2D*>(backBuffer.Get()), presented);
        backBuffer->AddRef();
    }
    if (context != nullptr) {
        madeContext->AddRef();
        *context = madeContext;
    }
    if (featureLevel != nullptr)
        *featureLevel = obtained;
    if (device != nullptr)
        *device = madeDevice;
    else
        madeDevice->Release();
    return kS_OK;
} catch (const std::bad_alloc&) {
    return kE_OUTOFMEMORY;
}

} // namespace tavro::gpu::opengl
