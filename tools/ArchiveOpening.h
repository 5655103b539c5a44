#pragma once
// Opening an archive for a subcommand, with one line saying why when it cannot be opened.
#include "archive/BinArchive.h"

#include <memory>
#include <string>

namespace tavro::tools {

enum class ArchiveReader { Orochiz, Sm5 };

// Parses "orochiz" or "sm5".
bool ParseArchiveReader(const std::string& name, ArchiveReader& reader);

// Parses a decimal entry index of at most 32 bits.
bool ParseEntryIndex(const std::string& text, std::uint32_t& index);

// Opens the archive pair named by binPath (UTF-8) with the given reader; null and a one-line error
// naming the file at fault when it cannot be opened.
std::unique_ptr<CKOEIFile_BIN_SM5> OpenArchive(const std::string& binPath, ArchiveReader reader,
                                               std::string& error);

// Extracts entry index into bytes; false and a one-line error naming the entry when it cannot.
bool ExtractArchiveEntry(CFileBase& archive, const std::string& archiveName, std::uint32_t index,
                         std::unique_ptr<std::uint8_t[]>& bytes, std::uint32_t& size, std::string& error);

} // namespace tavro::tools
