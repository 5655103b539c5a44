#pragma once
// Turning the first texture of a G1T pack into a one-level DDS image, pixels copied byte for byte.
#include <cstdint>
#include <vector>

namespace tavro {

class CAbstractFile;

// Reads the pack from the source's start and writes the DDS prefix and the first texture's top-level
// pixels at the destination's position. True only when the whole image was written; on false the
// destination may hold part of it and is to be discarded. The source is left wherever its last read put it.
bool ConvertG1TToDDS(CAbstractFile& source, CAbstractFile& destination);

// The same for texture index of the pack (0 is the first), with the same checks on that texture's
// record and pixels. The viewer uses only the first; the tool reads every one.
bool ConvertG1TTextureToDDS(CAbstractFile& source, std::uint32_t index, CAbstractFile& destination);

// The number of textures the pack's header declares, or 0 when the header fails the converter's checks.
std::uint32_t CountG1TTextures(CAbstractFile& source);

// The 128-byte DDS prefix (magic and header) of a width x height single-level 2D texture. formatCode is
// a FourCC ("DXT1", "DXT3", "DXT5") or the Direct3D 9 number 21 (A8R8G8B8) or 32 (A8B8G8R8); any other
// code gives an empty array.
std::vector<std::uint8_t> BuildDDSHeader(std::uint32_t formatCode, std::uint32_t width, std::uint32_t height);

} // namespace tavro
