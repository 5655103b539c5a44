#include "render/PreparedModel.h"

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

} // namespace tavro
