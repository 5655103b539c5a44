#include "tools/ArchiveOpening.h"

#include "file/WidePath.h"
#include "tools/PathDiagnosis.h"

#include <algorithm>
#include <filesystem>
#include <span>
#include <system_error>

namespace tavro::tools {

namespace {

std::string KnownSizes(std::span<const KnownIndexSize> table) {
    std::string text;
    for (const KnownIndexSize& row : table) {
        text += (text.empty() ? "" : ", ") + std::to_string(row.indexSize);
    }
    return text;
}

bool HasBinExtension(const std::string& path) {
    std::string extension = path.size() < 4 ? std::string() : path.substr(path.size() - 4);
    for (char& c : extension) {
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    }
    return extension == ".bin";
}

std::string IndexPath(const std::string& binPath) {
    return binPath.substr(0, binPath.size() - 4) + ".idx";
}

// An index that exists but is not a regular file would block the open (a FIFO) or fail it obscurely.
std::string CheckIndexKind(const std::string& binPath) {
    namespace fs = std::filesystem;
    std::error_code code;
    const std::string index = IndexPath(binPath);
    const fs::file_status status = fs::status(fs::u8path(index), code);
    if (fs::exists(status) && !fs::is_regular_file(status)) {
        return index + ": the archive's index " + DescribeNotRegular(status.type());
    }
    return {};
}

// Works out which part of an archive pair is at fault after an open failed; the data file was found
// to be a regular file with a UTF-8 name before the open.
std::string DiagnoseOpenFailure(const std::string& binPath, ArchiveReader reader) {
    namespace fs = std::filesystem;
    std::error_code code;
    if (!HasBinExtension(binPath)) {
        return binPath + ": an archive data file's name must end in .bin";
    }
    const std::string index = IndexPath(binPath);
    if (!fs::exists(fs::u8path(index), code)) {
        return index + ": the archive's index file is missing";
    }
    const std::uintmax_t indexSize = fs::file_size(fs::u8path(index), code);
    const bool orochiz = reader == ArchiveReader::Orochiz;
    const std::span<const KnownIndexSize> table = orochiz
                                                      ? std::span<const KnownIndexSize>(kOrochizIndexSizes)
                                                      : std::span<const KnownIndexSize>(kSm5IndexSizes);
    const bool known = std::any_of(table.begin(), table.end(),
                                   [&](const KnownIndexSize& row) { return row.indexSize == indexSize; });
    if (known) {
        return binPath + ": the archive pair cannot be read (" + index + " or the data file failed to open)";
    }
    return index + ": an index of " + std::to_string(indexSize) + " bytes is not one the " +
           (orochiz ? "orochiz" : "sm5") + " reader knows (" + KnownSizes(table) + ")";
}

} // namespace

bool ParseArchiveReader(const std::string& name, ArchiveReader& reader) {
    if (name == "orochiz") {
        reader = ArchiveReader::Orochiz;
    } else if (name == "sm5") {
        reader = ArchiveReader::Sm5;
    } else {
        return false;
    }
    return true;
}

bool ParseEntryIndex(const std::string& text, std::uint32_t& index) {
    if (text.empty()) {
        return false;
    }
    std::uint64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
        if (value > 0xFFFFFFFFull) {
            return false;
        }
    }
    index = static_cast<std::uint32_t>(value);
    return true;
}

std::unique_ptr<CKOEIFile_BIN_SM5> OpenArchive(const std::string& binPath, ArchiveReader reader,
                                               std::string& error) {
    std::unique_ptr<CKOEIFile_BIN_SM5> archive;
    if (reader == ArchiveReader::Orochiz) {
        archive = std::make_unique<CKOEIFile_BIN_OROCHIZ>();
    } else {
        archive = std::make_unique<CKOEIFile_BIN_SM5>();
    }
    // Checked before the open: a FIFO would block the open, and a name that is not UTF-8 cannot be
    // passed on to the file interface unchanged.
    error = CheckRegularFile(binPath);
    if (error.empty() && HasBinExtension(binPath)) {
        error = CheckIndexKind(binPath);
    }
    if (!error.empty()) {
        return nullptr;
    }
    if (!archive->Open(Utf8ToWide(binPath).c_str(), kOpenRead)) {
        error = DiagnoseOpenFailure(binPath, reader);
        return nullptr;
    }
    return archive;
}

bool ExtractArchiveEntry(CFileBase& archive, const std::string& archiveName, std::uint32_t index,
                         std::unique_ptr<std::uint8_t[]>& bytes, std::uint32_t& size, std::string& error) {
    const std::string entryName = archiveName + ":" + std::to_string(index);
    const std::uint32_t count = archive.GetEntryCount();
    if (index >= count) {
        error = entryName + ": no such entry (the archive has " + std::to_string(count) + " entries)";
        return false;
    }
    if (archive.GetEntrySize(index) == 0) {
        error = entryName + ": the entry is empty";
        return false;
    }
    std::uint8_t* block = nullptr;
    size = archive.ExtractEntry(index, block);
    bytes.reset(block);
    if (size == 0) {
        error = entryName + ": the entry cannot be extracted (its data is damaged, cut short or too large)";
        return false;
    }
    return true;
}

} // namespace tavro::tools
