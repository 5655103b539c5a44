#pragma once
// The device half of the DDS loader: a texture and its shader-resource view made from a DDS image in
// memory, through the graphics device interface. The header checks and the layout are DDSLayout's.
#include "gpu/Device.h"
#include "texture/DDSLayout.h"

#include <cstddef>
#include <cstdint>

namespace tavro {

// Makes a texture of the image's format and shape with its pixels as initial data, and a view of it in
// *view (one reference, owned by the caller; the view keeps the texture alive). When the device refuses
// a mip-mapped texture, lays it out again from the first level within the size cap of the device's
// feature level and tries once more. Returns S_OK, E_INVALIDARG for a null device, bytes or view, the
// layout's failure codes (see LayOutDDSTexture), or the device's own. *view is written only on success.
HRESULT LoadDDSTexture(gpu::IDevice* device, const std::uint8_t* bytes, std::size_t length,
                       gpu::IShaderResourceView** view);

// LoadDDSTexture's device half, for an image the caller has already laid out whole (sizeCap 0) with
// LayOutDDSTexture: the layout may be made on another thread, the texture only on the device's.
HRESULT LoadLaidOutDDSTexture(gpu::IDevice* device, const std::uint8_t* bytes, std::size_t length,
                              const DDSTextureLayout& layout, gpu::IShaderResourceView** view);

// Creates the texture described (usage default, bound as a shader resource, table as its initial data:
// mipLevels entries per array element) and a view of all of it: a 1D or 2D array view for more than
// one element, a cube or cube-array view for cubes, a 3D view for 3D. The texture's own reference is
// released whether or not the view was made. E_POINTER for a null device or table; E_FAIL for another
// dimension; otherwise the device's result.
HRESULT CreateTextureAndView(gpu::IDevice* device, DDSDimension dimension, std::uint32_t width,
                             std::uint32_t height, std::uint32_t depth, std::uint32_t mipLevels,
                             std::uint32_t arraySize, gpu::Format format, bool cube,
                             const gpu::SubresourceData* table, gpu::IShaderResourceView** view);

} // namespace tavro
