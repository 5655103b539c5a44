#pragma once
// The half of building a render model that needs no device: the texture pack converted to a DDS image
// and laid out, and the model file parsed. It touches only memory, so it may run on any thread; the
// device half is CRenderModel::CreateFromPrepared, on the thread that owns the device, unless the
// device creates resources on any thread and the objects were made ahead (MakeObjectsAhead).
#include "file/MemoryFile.h"
#include "model/G1MModel.h"
#include "render/ModelObjects.h"
#include "texture/DDSLayout.h"

#include <memory>
#include <optional>

namespace tavro {

class CAbstractFile;
class CFileBase;

struct PreparedModel {
    std::unique_ptr<CMemoryFile> dds; // the DDS image; layout points into it, so it is held by pointer
    DDSTextureLayout layout;          // of the whole image (no size cap)
    std::unique_ptr<CG1MModel> model;
    std::optional<ModelObjects> objects; // made ahead; the DDS image is then no longer held
};

// Converts the G1T pack to DDS, parses the G1M file and lays the image out, in that order. False at the
// first failure (running out of memory included); a build from these files would then fail before
// making any device object.
bool PrepareModel(CAbstractFile& modelFile, CAbstractFile& textureFile, PreparedModel& prepared);

// When device creates resources on any thread, makes the prepared model's objects on the calling thread
// and lets the DDS image go. Nothing is kept when the device refuses one: CreateFromPrepared then makes
// them on the device's thread and meets the refusal, if it lasts, as a build from the files would.
void MakeObjectsAhead(gpu::IDevice& device, PreparedModel& prepared);

// An owning memory file over an extracted entry; null when the extraction failed.
std::unique_ptr<CReadOnlyMemoryFile> ExtractEntryFile(CFileBase& archive, std::uint32_t entry);

} // namespace tavro
