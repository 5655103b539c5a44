#include "tools/ArchiveOpening.h"

#include "file/WidePath.h"

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

// Works out which part of an archive pair is at fault after an open failed.
std::string DiagnoseOpenFailure(const std::string& binPath, ArchiveReader reader) {
    namespace fs = std::filesystem;
    std::error_code code;
    const fs::path bin = fs::u8path(binPath);
    if (!fs::is_regular_file(bin, code)) {
        return binPath + ": " + (fs::exists(bin, code) ? "not a regular file" : "no such file");
    }
    std::string extension = bin.extension().string();
    for (char& c : extension) {
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    }
    if (extension != ".bin") {
        return binPath + ": an archive data file's name must end in .bin";
    }
    fs::path index = bin;
    index.replace_extension(".idx");
    if (!fs::is_regular_file(index, code)) {
        return index.string() + ": the archive's index file is missing";
    }
    const std::uintmax_t indexSize = fs::file_size(index, code);
    const bool orochiz = reader == ArchiveReader::Orochiz;
    const std::string known = KnownSizes(orochiz ? std::span<const KnownIndexSize>(kOrochizIndexSizes)
                                                 : std::span<const KnownIndexSize>(kSm5IndexSizes));
    return index.string() + ": an index of " + std::to_string(indexSize) + " bytes is not one the " +
           (orochiz ? "orochiz" : "sm5") + " reader knows (" + known + "), or it cannot be read";
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
