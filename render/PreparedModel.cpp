#include "render/PreparedModel.h"

#include "archive/FileBase.h"
#include "texture/G1TToDDS.h"

#include <new>

namespace tavro {

bool PrepareModel(CAbstractFile& modelFile, CAbstractFile& textureFile, PreparedModel& prepared) {
    try {
        prepared.dds = std::make_unique<CMemoryFile>();
        if (!ConvertG1TToDDS(textureFile, *prepared.dds)) {
            return false;
        }
        prepared.model = std::make_unique<CG1MModel>();
        if (!prepared.model->Load(modelFile)) {
            return false;
        }
        return Succeeded(
            LayOutDDSTexture(prepared.dds->GetBuffer(), prepared.dds->GetSize(), 0, prepared.layout));
    } catch (const std::bad_alloc&) {
        return false;
    }
}

void MakeObjectsAhead(gpu::IDevice& device, PreparedModel& prepared) {
    if (!device.CreatesResourcesOnAnyThread()) {
        return;
    }
    ModelObjects objects;
    if (CreateModelObjects(device, prepared, objects) == nullptr) {
        prepared.objects = std::move(objects);
        prepared.dds.reset();
    }
}

std::unique_ptr<CReadOnlyMemoryFile> ExtractEntryFile(CFileBase& archive, std::uint32_t entry) {
    std::uint8_t* block = nullptr;
    const std::uint32_t size = archive.ExtractEntry(entry, block);
    if (size == 0) {
        return nullptr;
    }
    try {
        return std::make_unique<CReadOnlyMemoryFile>(block, size, true);
    } catch (const std::bad_alloc&) {
        delete[] block;
        return nullptr;
    }
}

} // namespace tavro
