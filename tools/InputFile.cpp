#include "tools/InputFile.h"

#include "file/FileSystem.h"
#include "file/WidePath.h"
#include "tools/ArchiveOpening.h"

#include <algorithm>
#include <filesystem>
#include <new>
#include <system_error>

namespace tavro::tools {

namespace {

// "ARCHIVE.bin:INDEX" when the part after the last ':' is all digits and the part before names an
// existing file; otherwise the whole text is a plain file name (which may itself hold ':').
bool SplitArchiveEntry(const std::string& input, std::string& archive, std::string& index) {
    const std::size_t colon = input.rfind(':');
    if (colon == std::string::npos || colon == 0 || colon + 1 == input.size()) {
        return false;
    }
    const std::string digits = input.substr(colon + 1);
    if (!std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return false;
    }
    std::error_code code;
    if (!std::filesystem::is_regular_file(std::filesystem::u8path(input.substr(0, colon)), code)) {
        return false;
    }
    archive = input.substr(0, colon);
    index = digits;
    return true;
}

bool ReadArchiveEntry(const std::string& archivePath, const std::string& indexText,
                      std::vector<std::uint8_t>& bytes, std::string& error) {
    std::uint32_t index = 0;
    if (!ParseEntryIndex(indexText, index)) {
        error = archivePath + ":" + indexText + ": the entry index is too large";
        return false;
    }
    std::unique_ptr<CKOEIFile_BIN_SM5> archive = OpenArchive(archivePath, ArchiveReader::Orochiz, error);
    if (archive == nullptr) {
        return false;
    }
    std::unique_ptr<std::uint8_t[]> block;
    std::uint32_t size = 0;
    if (!ExtractArchiveEntry(*archive, archivePath, index, block, size, error)) {
        return false;
    }
    bytes.assign(block.get(), block.get() + size);
    return true;
}

bool ReadPlainFile(const std::string& path, std::vector<std::uint8_t>& bytes, std::string& error) {
    std::unique_ptr<CAbstractFile> file = GetFileSystem().OpenFile(Utf8ToWide(path).c_str(), kOpenRead);
    if (file == nullptr) {
        std::error_code code;
        const bool exists = std::filesystem::exists(std::filesystem::u8path(path), code);
        error = path + ": " + (exists ? "cannot be opened as a regular file" : "no such file");
        return false;
    }
    const std::uint64_t size = file->GetSize64();
    if (size > 0xFFFFFFFFull) {
        error = path + ": the file is larger than 4 GiB";
        return false;
    }
    bytes.resize(size);
    if (file->Read(bytes.data(), static_cast<std::uint32_t>(size)) != size) {
        error = path + ": the file could not be read completely";
        return false;
    }
    return true;
}

} // namespace

bool ReadInput(const std::string& input, std::vector<std::uint8_t>& bytes, std::string& error) {
    try {
        bytes.clear();
        std::string archive;
        std::string index;
        if (SplitArchiveEntry(input, archive, index)) {
            return ReadArchiveEntry(archive, index, bytes, error);
        }
        return ReadPlainFile(input, bytes, error);
    } catch (const std::bad_alloc&) {
        bytes.clear();
        error = input + ": not enough memory to read it";
        return false;
    }
}

} // namespace tavro::tools
