#include "render/ModelObjects.h"

#include "render/Camera.h"
#include "render/PreparedModel.h"
#include "texture/DDSTextureLoader.h"

#include <limits>

namespace tavro {
namespace {

// A default-usage buffer holding a copy of byteCount bytes at data. Sizes that do not fit the device's
// 32-bit byte width are refused before the device sees them.
HRESULT CreateInitializedBuffer(gpu::IDevice& device, std::uint32_t bindFlags, const void* data,
                                std::uint64_t byteCount, gpu::Ref<gpu::IBuffer>& buffer) {
    if (byteCount > std::numeric_limits<std::uint32_t>::max()) {
        return kE_INVALIDARG;
    }
    gpu::BufferDesc desc{};
    desc.byteWidth = static_cast<std::uint32_t>(byteCount);
    desc.usage = gpu::Usage::Default;
    desc.bindFlags = bindFlags;
    const gpu::SubresourceData initialData{data, 0, 0};
    return device.CreateBuffer(&desc, &initialData, buffer.Put());
}

bool CreateBuffers(gpu::IDevice& device, const CG1MModel& model, ModelObjects& objects) {
    // The draw arrays are uploaded straight from the model's own arrays; the device copies them. An
    // empty array gives a zero-sized buffer, which the device refuses.
    const std::span<const CG1MVertex> vertices = model.ViewVertices();
    if (Failed(CreateInitializedBuffer(device, gpu::kBindVertexBuffer, vertices.data(),
                                       std::uint64_t{vertices.size()} * sizeof(CG1MVertex),
                                       objects.vertexBuffer))) {
        return false;
    }
    const std::span<const std::uint16_t> indices = model.ViewIndices();
    if (Failed(CreateInitializedBuffer(device, gpu::kBindIndexBuffer, indices.data(),
                                       std::uint64_t{indices.size()} * sizeof(std::uint16_t),
                                       objects.indexBuffer))) {
        return false;
    }
    gpu::BufferDesc constantDesc{};
    constantDesc.byteWidth = kConstantBufferBytes;
    constantDesc.usage = gpu::Usage::Default;
    constantDesc.bindFlags = gpu::kBindConstantBuffer;
    return Succeeded(device.CreateBuffer(&constantDesc, nullptr, objects.constantBuffer.Put()));
}

} // namespace

const char* CreateModelObjects(gpu::IDevice& device, const PreparedModel& prepared, ModelObjects& objects) {
    if (Failed(LoadLaidOutDDSTexture(&device, prepared.dds->GetBuffer(), prepared.dds->GetSize(),
                                     prepared.layout, objects.textureView.Put()))) {
        return "the texture cannot be created";
    }
    if (!CreateBuffers(device, *prepared.model, objects)) {
        return "the model's buffers cannot be created";
    }
    return nullptr;
}

} // namespace tavro
