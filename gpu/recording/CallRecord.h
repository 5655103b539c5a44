#pragma once
// One recorded graphics call: its name, the object it was made on, its result and its typed arguments.
// Objects are named by the id the recorder gave them at creation (0 stands for null), so a test can follow
// an object from its creation through its bindings to its release.
#include "gpu/Factory.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace tavro::gpu::recording {

using ObjectId = std::uint32_t;

struct CreateDeviceAndSwapChainArgs {
    static constexpr std::string_view kName = "CreateDeviceAndSwapChain";
    DriverType driverType;
    std::uint32_t flags;
    std::vector<FeatureLevel> featureLevels;
    std::uint32_t sdkVersion;
    bool hasDesc;
    SwapChainDesc desc;
    ObjectId swapChain, device, context; // created objects (0 when not asked for or on failure)
    FeatureLevel obtained;
};
struct CreateBufferArgs {
    static constexpr std::string_view kName = "CreateBuffer";
    BufferDesc desc;
    bool hasInitialData;
    std::vector<std::uint8_t> initialBytes; // the byteWidth bytes handed over, when valid
    ObjectId buffer;
};
struct CreateTexture1DArgs {
    static constexpr std::string_view kName = "CreateTexture1D";
    Texture1DDesc desc;
    std::vector<SubresourceData> initialData; // the table as given (pointers into the caller's memory)
    ObjectId texture;
};
struct CreateTexture2DArgs {
    static constexpr std::string_view kName = "CreateTexture2D";
    Texture2DDesc desc;
    std::vector<SubresourceData> initialData;
    ObjectId texture;
};
struct CreateTexture3DArgs {
    static constexpr std::string_view kName = "CreateTexture3D";
    Texture3DDesc desc;
    std::vector<SubresourceData> initialData;
    ObjectId texture;
};
struct CreateShaderResourceViewArgs {
    static constexpr std::string_view kName = "CreateShaderResourceView";
    ObjectId resource;
    bool hasDesc;
    ShaderResourceViewDesc desc;
    ObjectId view;
};
struct CreateRenderTargetViewArgs {
    static constexpr std::string_view kName = "CreateRenderTargetView";
    ObjectId resource;
    bool hasDesc;
    RenderTargetViewDesc desc;
    ObjectId view;
};
struct CreateDepthStencilViewArgs {
    static constexpr std::string_view kName = "CreateDepthStencilView";
    ObjectId resource;
    bool hasDesc;
    DepthStencilViewDesc desc;
    ObjectId view;
};
struct CreateSamplerStateArgs {
    static constexpr std::string_view kName = "CreateSamplerState";
    SamplerDesc desc;
    ObjectId sampler;
};
struct CreateRasterizerStateArgs {
    static constexpr std::string_view kName = "CreateRasterizerState";
    RasterizerDesc desc;
    ObjectId state;
};
struct CreateVertexShaderArgs {
    static constexpr std::string_view kName = "CreateVertexShader";
    std::vector<std::uint8_t> bytecode;
    ObjectId shader;
};
struct CreatePixelShaderArgs {
    static constexpr std::string_view kName = "CreatePixelShader";
    std::vector<std::uint8_t> bytecode;
    ObjectId shader;
};
struct InputElement {
    std::string semanticName;
    std::uint32_t semanticIndex;
    Format format;
    std::uint32_t inputSlot;
    std::uint32_t alignedByteOffset;
    InputClassification inputSlotClass;
    std::uint32_t instanceDataStepRate;
};
struct CreateInputLayoutArgs {
    static constexpr std::string_view kName = "CreateInputLayout";
    std::vector<InputElement> elements;
    std::vector<std::uint8_t> bytecode;
    ObjectId layout;
};
struct GetFeatureLevelArgs {
    static constexpr std::string_view kName = "GetFeatureLevel";
    FeatureLevel level;
};
struct GetImmediateContextArgs {
    static constexpr std::string_view kName = "GetImmediateContext";
    ObjectId context;
};
struct GetBufferArgs {
    static constexpr std::string_view kName = "GetBuffer";
    std::uint32_t index;
    ObjectId buffer;
};
struct PresentArgs {
    static constexpr std::string_view kName = "Present";
    std::uint32_t syncInterval, flags;
};
struct ResizeBuffersArgs {
    static constexpr std::string_view kName = "ResizeBuffers";
    std::uint32_t bufferCount, width, height;
    Format newFormat;
    std::uint32_t flags;
    ObjectId buffer; // the new back buffer (0 on failure)
};
struct ReadPresentedImageArgs {
    static constexpr std::string_view kName = "ReadPresentedImage";
};
struct OMSetRenderTargetsArgs {
    static constexpr std::string_view kName = "OMSetRenderTargets";
    std::vector<ObjectId> renderTargets;
    ObjectId depthStencil;
};
struct RSSetViewportsArgs {
    static constexpr std::string_view kName = "RSSetViewports";
    std::vector<Viewport> viewports;
};
struct IASetInputLayoutArgs {
    static constexpr std::string_view kName = "IASetInputLayout";
    ObjectId layout;
};
struct IASetPrimitiveTopologyArgs {
    static constexpr std::string_view kName = "IASetPrimitiveTopology";
    PrimitiveTopology topology;
};
struct IASetVertexBuffersArgs {
    static constexpr std::string_view kName = "IASetVertexBuffers";
    std::uint32_t startSlot;
    std::vector<ObjectId> buffers;
    std::vector<std::uint32_t> strides, offsets;
};
struct IASetIndexBufferArgs {
    static constexpr std::string_view kName = "IASetIndexBuffer";
    ObjectId buffer;
    Format format;
    std::uint32_t offset;
};
struct VSSetShaderArgs {
    static constexpr std::string_view kName = "VSSetShader";
    ObjectId shader;
};
struct PSSetShaderArgs {
    static constexpr std::string_view kName = "PSSetShader";
    ObjectId shader;
};
struct VSSetConstantBuffersArgs {
    static constexpr std::string_view kName = "VSSetConstantBuffers";
    std::uint32_t startSlot;
    std::vector<ObjectId> buffers;
};
struct PSSetShaderResourcesArgs {
    static constexpr std::string_view kName = "PSSetShaderResources";
    std::uint32_t startSlot;
    std::vector<ObjectId> views;
};
struct RSSetStateArgs {
    static constexpr std::string_view kName = "RSSetState";
    ObjectId state;
};
struct PSSetSamplersArgs {
    static constexpr std::string_view kName = "PSSetSamplers";
    std::uint32_t startSlot;
    std::vector<ObjectId> samplers;
};
struct ClearRenderTargetViewArgs {
    static constexpr std::string_view kName = "ClearRenderTargetView";
    ObjectId view;
    std::array<float, 4> color;
};
struct ClearDepthStencilViewArgs {
    static constexpr std::string_view kName = "ClearDepthStencilView";
    ObjectId view;
    std::uint32_t clearFlags;
    float depth;
    std::uint8_t stencil;
};
struct UpdateSubresourceArgs {
    static constexpr std::string_view kName = "UpdateSubresource";
    ObjectId resource;
    std::uint32_t subresource;
    bool hasBox;
    Box box;
    std::vector<std::uint8_t> bytes; // the bytes written into a buffer, when the update was valid
    std::uint32_t srcRowPitch, srcDepthPitch;
};
struct DrawIndexedArgs {
    static constexpr std::string_view kName = "DrawIndexed";
    std::uint32_t indexCount, startIndex;
    std::int32_t baseVertex;
};
struct AddRefArgs {
    static constexpr std::string_view kName = "AddRef";
    std::uint32_t count; // after the call
};
struct ReleaseArgs {
    static constexpr std::string_view kName = "Release";
    std::uint32_t count; // after the call; 0 means the object died
};

using CallArgs =
    std::variant<CreateDeviceAndSwapChainArgs, CreateBufferArgs, CreateTexture1DArgs, CreateTexture2DArgs,
                 CreateTexture3DArgs, CreateShaderResourceViewArgs, CreateRenderTargetViewArgs,
                 CreateDepthStencilViewArgs, CreateSamplerStateArgs, CreateRasterizerStateArgs,
                 CreateVertexShaderArgs, CreatePixelShaderArgs, CreateInputLayoutArgs, GetFeatureLevelArgs,
                 GetImmediateContextArgs, GetBufferArgs, PresentArgs, ResizeBuffersArgs,
                 ReadPresentedImageArgs, OMSetRenderTargetsArgs, RSSetViewportsArgs, IASetInputLayoutArgs,
                 IASetPrimitiveTopologyArgs, IASetVertexBuffersArgs, IASetIndexBufferArgs, VSSetShaderArgs,
                 PSSetShaderArgs, VSSetConstantBuffersArgs, PSSetShaderResourcesArgs, PSSetSamplersArgs,
                 RSSetStateArgs, ClearRenderTargetViewArgs, ClearDepthStencilViewArgs, UpdateSubresourceArgs,
                 DrawIndexedArgs, AddRefArgs, ReleaseArgs>;

struct CallRecord {
    ObjectId target = 0;          // the object the call was made on (0 for the factory)
    HRESULT result = kS_OK;       // for calls without a result: kS_OK, or kE_INVALIDARG when refused
    const char* reason = nullptr; // why the call was refused or failed, when it was
    CallArgs args;

    std::string_view Name() const;
    // The arguments when the call is of type Args, else null.
    template <typename Args>
    const Args* As() const {
        return std::get_if<Args>(&args);
    }
    // One line, e.g. "#2 DrawIndexed(indexCount=36 startIndex=0 baseVertex=0)".
    std::string ToString() const;
};

} // namespace tavro::gpu::recording
