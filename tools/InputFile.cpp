#include "tools/InputFile.h"

#include "file/FileSystem.h"
#include "file/WidePath.h"
#include "tools/ArchiveOpening.h"
#include "tools/PathDiagnosis.h"

#include <algorithm>
#include <filesystem>
#include <new>
#include <system_error>

namespace tavro::tools {

namespace {

namespace fs = std::filesystem;

bool IsDecimal(const std::string& text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool ReadArchiveEntry(const std::string& archivePath, const std::string& indexText, InputBytes& bytes,
                      std::string& error) {
    std::uint32_t index = 0;
    if (!IsDecimal(indexText)) {
        error = archivePath + ":" + indexText + ": '" + indexText +
                "' is not a valid entry index (a decimal number from 0)";
        return false;
    }
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
    bytes = InputBytes(std::move(block), size);
    return true;
}

bool ReadPlainFile(const std::string& path, InputBytes& bytes, std::string& error) {
    error = CheckRegularFile(path);
    if (!error.empty()) {
        return false;
    }
    std::unique_ptr<CAbstractFile> file = GetFileSystem().OpenFile(Utf8ToWide(path).c_str(), kOpenRead);
    if (file == nullptr) {
        error = path + ": cannot be opened for reading";
        return false;
    }
    const std::uint64_t size = file->GetSize64();
    if (size > 0xFFFFFFFFull) {
        error = path + ": the file is larger than 4 GiB";
        return false;
    }
    std::unique_ptr<std::uint8_t[]> block(new std::uint8_t[size]);
    if (file->Read(block.get(), static_cast<std::uint32_t>(size)) != size) {
        error = path + ": the file could not be read completely";
        return false;
    }
    bytes = InputBytes(std::move(block), size);
    return true;
}

// A name that exists is a plain file, whatever it holds. Otherwise "ARCHIVE.bin:INDEX" when the part
// before the last ':' exists; a decimal index names the entry even when a file of the whole name exists
// too.
bool SplitArchiveEntry(const std::string& input, std::string& archive, std::string& index) {
    const std::size_t colon = input.rfind(':');
    if (colon == std::string::npos || colon == 0) {
        return false;
    }
    archive = input.substr(0, colon);
    index = input.substr(colon + 1);
    std::error_code code;
    return fs::exists(fs::u8path(archive), code) &&
           (IsDecimal(index) || !fs::exists(fs::u8path(input), code));
}

} // namespace

bool NamesArchiveEntry(const std::string& input) {
    std::string archive;
    std::string index;
    return SplitArchiveEntry(input, archive, index);
}

bool ReadInput(const std::string& input, InputBytes& bytes, std::string& error) {
    try {
        bytes = InputBytes();
        std::string archive;
        std::string index;
        if (SplitArchiveEntry(input, archive, index)) {
            return ReadArchiveEntry(archive, index, bytes, error);
        }
        return ReadPlainFile(input, bytes, error);
    } catch (const std::bad_alloc&) {
        bytes = InputBytes();
        error = input + ": not enough memory to read it";
        return false;
    }
}

} // namespace tavro::tools
