#pragma once
// The device objects a model is drawn with: its texture view and its vertex, index and constant buffers.
#include "gpu/Device.h"
#include "gpu/Ref.h"

namespace tavro {

struct PreparedModel;

struct ModelObjects {
    gpu::Ref<gpu::IShaderResourceView> textureView;
    gpu::Ref<gpu::IBuffer> vertexBuffer;
    gpu::Ref<gpu::IBuffer> indexBuffer;
    gpu::Ref<gpu::IBuffer> constantBuffer;
};

// Makes the texture view from the prepared DDS image, then the vertex and index buffers holding copies of
// the model's draw arrays, then the constant buffer, stopping at the first the device refuses. Null on
// success; otherwise why, in a few words, with the objects made so far left in objects. On a device that
// creates resources on any thread, it may run on any thread.
const char* CreateModelObjects(gpu::IDevice& device, const PreparedModel& prepared, ModelObjects& objects);

} // namespace tavro
