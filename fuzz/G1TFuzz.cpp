// ConvertG1TToDDS on arbitrary packs: it must never read outside the pack, and what it writes must be a
// whole DDS prefix plus pixels that the loader's layout logic can then read safely.
#include "file/MemoryFile.h"
#include "fuzz/FuzzTarget.h"
#include "texture/DDSFormat.h"
#include "texture/DDSLayout.h"
#include "texture/G1TToDDS.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tavro;
    if (size > 0xFFFFFFFFu) {
        return 0;
    }
    CReadOnlyMemoryFile source(data, static_cast<std::uint32_t>(size), false);
    CMemoryFile image;
    if (!ConvertG1TToDDS(source, image)) {
        return 0;
    }
    if (image.GetSize() <= dds::kPrefixSize || image.GetSize() > size + dds::kPrefixSize) {
        std::abort();
    }
    DDSTextureLayout layout;
    LayOutDDSTexture(image.GetBuffer(), image.GetSize(), 0, layout);
    return 0;
}
