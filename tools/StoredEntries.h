#pragma once
// The archive's data file read directly, beside the archive reader: an entry's stored bytes exactly as
// they lie (to copy an entry into a new archive unchanged) and its first decoded bytes (to tell its kind
// without extracting it whole).
#include "archive/FileBase.h"
#include "tools/EntryKind.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tavro::tools {

class CStoredEntries {
public:
    // Opens the data file binPath (UTF-8); false when it cannot be opened as a regular file.
    bool Open(const std::string& binPath);
    // Closes the data file (Windows renames no file that is open).
    void Close() { data.reset(); }
    // The data file's size in bytes.
    std::uint64_t DataSize() const { return dataSize; }
    // True when entry index of archive (opened on the same data file) has stored bytes past the end of
    // the data file.
    bool LiesPastEnd(CFileBase& archive, std::uint32_t index) const;

    // Fills bytes with the entry's stored bytes (compressed entries stay compressed); false when they
    // cannot all be read.
    bool ReadStored(CFileBase& archive, std::uint32_t index, std::vector<std::uint8_t>& bytes);
    // The entry's kind from its first decoded bytes; of a compressed entry only the first LZP2 block is
    // read and decoded, so this costs at most one block whatever the entry's size.
    EntryKind KindOf(CFileBase& archive, std::uint32_t index);

private:
    bool ReadAt(std::uint64_t offset, std::uint32_t count, std::vector<std::uint8_t>& bytes);

    std::unique_ptr<CAbstractFile> data;
    std::uint64_t dataSize = 0;
    std::vector<std::uint8_t> block;
    std::vector<std::uint8_t> decoded;
};

} // namespace tavro::tools
