#pragma once
// The readers of the archive pair NAME.bin (entries back to back, each padded to 2048 bytes) and
// NAME.idx (12-byte records: size, compressed size or 0 for a stored entry, an unused word).
#include "archive/EntryTable.h"

#include <array>
#include <cstdint>

namespace tavro {

constexpr std::uint32_t kIndexRecordSize = 12;
constexpr std::uint32_t kEntryAlignment = 2048;

// An index file size a reader accepts, and the number of entries it then holds.
struct KnownIndexSize {
    std::uint32_t indexSize;
    std::uint32_t entryCount;
};

inline constexpr std::array<KnownIndexSize, 3> kSm5IndexSizes{{{24036, 1571}, {23928, 1571}, {23940, 1572}}};
inline constexpr std::array<KnownIndexSize, 3> kOrochizIndexSizes{
    {{76080, 4251}, {12352, 652}, {15784, 757}}};

using CFileBinLayers = CFileCompressedBase<CFileBase_Array<CFileBaseBlock_Compressed>, CFileBase>;

class CKOEIFile_BIN_SM5 : public CFileBinLayers {
public:
    // Opens the data file at path (ending in ".bin", any case) with mode and the index beside it
    // (".idx"), and builds the entry table. False, leaving the archive closed, when either file cannot
    // be opened, the index size is unknown, the index reads short or memory runs out.
    bool Open(const wchar_t* path, std::int32_t mode) override;
    // What an LZP2 stream of storedSize bytes can decode to at most.
    std::uint64_t GetDecodedSizeLimit(std::uint32_t storedSize) override;
    // LZP2 decoding into output, which must hold outputSize bytes.
    bool Decompress(const std::uint8_t* source, std::uint32_t sourceSize, std::uint8_t*& output,
                    std::uint32_t& outputSize) override;
    // The entry count for an index file of this size, or -1 when the size is not known.
    virtual std::int32_t GetEntryCountForIndex(CAbstractFile& indexFile);
};

class CKOEIFile_BIN_OROCHIZ : public CKOEIFile_BIN_SM5 {
public:
    std::int32_t GetEntryCountForIndex(CAbstractFile& indexFile) override;
};

} // namespace tavro
