#include "tools/ModelInput.h"

#include "file/MemoryFile.h"
#include "texture/DDSLayout.h"
#include "texture/G1TToDDS.h"
#include "tools/EntryKind.h"
#include "tools/InputFile.h"

#include <limits>

namespace tavro::tools {
namespace {

constexpr std::uint32_t kA8B8G8R8 = 32; // bytes R, G, B, A in memory

bool FitsMemoryFile(const InputBytes& bytes) {
    return bytes.size() <= std::numeric_limits<std::uint32_t>::max();
}

// A 1 x 1 DDS image of one opaque white texel.
std::unique_ptr<CMemoryFile> WhiteImage() {
    std::vector<std::uint8_t> bytes = BuildDDSHeader(kA8B8G8R8, 1, 1);
    bytes.insert(bytes.end(), 4, 0xFF);
    auto image = std::make_unique<CMemoryFile>();
    image->Write(bytes.data(), static_cast<std::uint32_t>(bytes.size()));
    return image;
}

// The texture input as a DDS image: a G1T pack's first texture converted, a DDS image as it is.
bool ReadTextureImage(const std::string& texture, std::unique_ptr<CMemoryFile>& image, std::string& error) {
    InputBytes bytes;
    if (!ReadInput(texture, bytes, error)) {
        return false;
    }
    const EntryKind kind = KindOfBytes(bytes);
    if (kind != EntryKind::G1T && kind != EntryKind::DDS) {
        error =
            texture + (kind == EntryKind::Other ? std::string(": neither a G1T texture pack nor a DDS image")
                                                : ": this is " + std::string(KindDescription(kind)) +
                                                      ", not a G1T texture pack or DDS image");
        return false;
    }
    if (!FitsMemoryFile(bytes)) {
        error = texture + ": too large for a texture (over 4 GiB)";
        return false;
    }
    image = std::make_unique<CMemoryFile>();
    if (kind == EntryKind::DDS) {
        image->Write(bytes.data(), static_cast<std::uint32_t>(bytes.size()));
        return true;
    }
    CReadOnlyMemoryFile pack(bytes.data(), static_cast<std::uint32_t>(bytes.size()), false);
    if (!ConvertG1TToDDS(pack, *image)) {
        error = texture + ": a G1T texture pack whose first texture cannot be converted (bad header, record "
                          "or format, or pixel data cut short)";
        return false;
    }
    return true;
}

} // namespace

bool PrepareModelInput(const std::string& model, const std::string& texture, PreparedModel& prepared,
                       std::string& error) {
    InputBytes modelBytes;
    if (!ReadInput(model, modelBytes, error)) {
        return false;
    }
    if (!FitsMemoryFile(modelBytes)) {
        error = model + ": too large for a G1M model (over 4 GiB)";
        return false;
    }
    CReadOnlyMemoryFile modelFile(modelBytes.data(), static_cast<std::uint32_t>(modelBytes.size()), false);
    prepared.model = std::make_unique<CG1MModel>();
    if (!prepared.model->Load(modelFile)) {
        const std::string wrongKind = WrongKindMessage(model, modelBytes, EntryKind::G1M);
        error = wrongKind.empty() ? model + ": not a valid G1M model" : wrongKind;
        if (model.ends_with(".bin") && !NamesArchiveEntry(model)) {
            // An archive's data file, most likely, given without --row.
            error = model + ": not a G1M model; for an archive, give --row R to draw a schedule row, or " +
                    model + ":INDEX to draw one entry";
        }
        return false;
    }
    if (texture.empty()) {
        prepared.dds = WhiteImage();
    } else if (!ReadTextureImage(texture, prepared.dds, error)) {
        return false;
    }
    const HRESULT laidOut =
        LayOutDDSTexture(prepared.dds->GetBuffer(), prepared.dds->GetSize(), 0, prepared.layout);
    if (Failed(laidOut)) {
        error = texture + ": " + DescribeDDSLayoutFailure(laidOut);
        return false;
    }
    return true;
}

} // namespace tavro::tools
