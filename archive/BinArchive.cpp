#include "archive/BinArchive.h"

#include "archive/Lzp2.h"
#include "file/LittleEndian.h"

#include <cwchar>
#include <cwctype>
#include <new>
#include <span>
#include <string>
#include <vector>

namespace tavro {

namespace {

constexpr std::size_t kExtensionLength = 4;

bool HasBinExtension(const wchar_t* path, std::size_t length) {
    if (length < kExtensionLength) {
        return false;
    }
    const wchar_t* extension = path + length - kExtensionLength;
    const wchar_t* expected = L".bin";
    for (std::size_t i = 0; i < kExtensionLength; ++i) {
        if (std::towlower(static_cast<std::wint_t>(extension[i])) != static_cast<std::wint_t>(expected[i])) {
            return false;
        }
    }
    return true;
}

std::int32_t LookUpCount(std::span<const KnownIndexSize> table, std::uint32_t indexSize) {
    for (const KnownIndexSize& row : table) {
        if (row.indexSize == indexSize) {
            return static_cast<std::int32_t>(row.entryCount);
        }
    }
    return -1;
}

} // namespace

bool CKOEIFile_BIN_SM5::Open(const wchar_t* path, std::int32_t mode) {
    Close();
    try {
        file = UsedFileSystem().OpenFile(path, mode);
        if (file == nullptr) {
            return false;
        }
        const std::size_t length = std::wcslen(path);
        if (!HasBinExtension(path, length)) {
            Close();
            return false;
        }
        std::wstring indexPath(path, length - kExtensionLength);
        indexPath += L".idx";
        const std::unique_ptr<CAbstractFile> indexFile =
            UsedFileSystem().OpenFile(indexPath.c_str(), kOpenRead);
        if (indexFile == nullptr) {
            Close();
            return false;
        }
        const std::int32_t count = GetEntryCountForIndex(*indexFile);
        if (count < 0) {
            Close();
            return false;
        }
        const auto entryCount = static_cast<std::uint32_t>(count);
        const std::uint64_t indexBytes64 = std::uint64_t{entryCount} * kIndexRecordSize;
        if (indexBytes64 > 0xFFFFFFFFu) {
            Close();
            return false;
        }
        const auto indexBytes = static_cast<std::uint32_t>(indexBytes64);
        std::vector<std::uint8_t> records(indexBytes);
        auto flags = std::make_unique<std::uint8_t[]>(entryCount);
        if (indexFile->Read(records.data(), indexBytes) != indexBytes || !entries.Resize(entryCount)) {
            Close();
            return false;
        }
        std::uint64_t runningOffset = 0;
        for (std::uint32_t i = 0; i < entryCount; ++i) {
            const std::uint8_t* record = records.data() + std::size_t{i} * kIndexRecordSize;
            const std::uint32_t size = LoadU32(record);
            const std::uint32_t compressedSize = LoadU32(record + 4);
            CFileBaseBlock_Compressed& entry = entries[i];
            flags[i] = compressedSize != 0 ? 1 : 0;
            entry.offset = runningOffset;
            entry.storedSize = compressedSize != 0 ? compressedSize : size;
            entry.size = size;
            runningOffset +=
                (std::uint64_t{entry.storedSize} + kEntryAlignment - 1) & ~std::uint64_t{kEntryAlignment - 1};
        }
        compressed = std::move(flags);
        return true;
    } catch (const std::bad_alloc&) {
        Close();
        return false;
    }
}

std::uint64_t CKOEIFile_BIN_SM5::GetDecodedSizeLimit(std::uint32_t storedSize) {
    return Lzp2MaxOutputSize(storedSize);
}

bool CKOEIFile_BIN_SM5::Decompress(const std::uint8_t* source, std::uint32_t sourceSize,
                                   std::uint8_t*& output, std::uint32_t& outputSize) {
    if (output == nullptr && outputSize != 0) {
        return false;
    }
    return Lzp2Decode(source, sourceSize, output, outputSize);
}

std::int32_t CKOEIFile_BIN_SM5::GetEntryCountForIndex(CAbstractFile& indexFile) {
    return LookUpCount(kSm5IndexSizes, indexFile.GetSize());
}

std::int32_t CKOEIFile_BIN_OROCHIZ::GetEntryCountForIndex(CAbstractFile& indexFile) {
    return LookUpCount(kOrochizIndexSizes, indexFile.GetSize());
}

} // namespace tavro
