#include "archive/FileBase.h"

#include <cwctype>

namespace tavro {

namespace {

bool EqualIgnoringCase(const wchar_t* a, const wchar_t* b) {
    for (; *a != L'\0' && *b != L'\0'; ++a, ++b) {
        if (std::towlower(static_cast<std::wint_t>(*a)) != std::towlower(static_cast<std::wint_t>(*b))) {
            return false;
        }
    }
    return *a == *b;
}

} // namespace

CFileBase::~CFileBase() = default;

bool CFileBase::Open(const wchar_t* path, std::int32_t mode) {
    Close();
    file = UsedFileSystem().OpenFile(path, mode);
    return file != nullptr;
}

void CFileBase::Close() {
    file.reset();
}

std::int32_t CFileBase::FindEntry(const wchar_t* name) {
    if (name == nullptr) {
        return -1;
    }
    const std::uint32_t count = GetEntryCount();
    for (std::uint32_t index = 0; index < count && index <= 0x7FFFFFFFu; ++index) {
        const wchar_t* entryName = GetEntryName(index);
        if (entryName != nullptr && EqualIgnoringCase(entryName, name)) {
            return static_cast<std::int32_t>(index);
        }
    }
    return -1;
}

std::uint32_t CFileBase::GetEntryCount() {
    return file != nullptr ? 1 : 0;
}

std::uint64_t CFileBase::GetEntryOffset(std::uint32_t) {
    return 0;
}

std::uint32_t CFileBase::GetEntryStoredSize(std::uint32_t) {
    return file != nullptr ? file->GetSize() : 0;
}

std::uint32_t CFileBase::GetEntrySize(std::uint32_t index) {
    return GetEntryStoredSize(index);
}

const wchar_t* CFileBase::GetEntryName(std::uint32_t) {
    return nullptr;
}

bool CFileBase::IsEntryExcluded(std::uint32_t) {
    return false;
}

bool CFileBase::IsEntryCompressed(std::uint32_t) {
    return false;
}

std::uint32_t CFileBase::GetEntryTransform(std::uint32_t) {
    return 0;
}

bool CFileBase::IsEntryDisabled(std::uint32_t) {
    return false;
}

bool CFileBase::EntryHook(std::uint32_t, std::uint32_t) {
    return true;
}

std::uint64_t CFileBase::GetDecodedSizeLimit(std::uint32_t) {
    return UINT32_MAX;
}

bool CFileBase::DecompressEntry(std::uint32_t, const std::uint8_t* source, std::uint32_t sourceSize,
                                std::uint8_t*& output, std::uint32_t& outputSize) {
    return Decompress(source, sourceSize, output, outputSize);
}

bool CFileBase::Decompress(const std::uint8_t*, std::uint32_t, std::uint8_t*&, std::uint32_t&) {
    return false;
}

bool CFileBase::TransformEntryData(std::uint32_t, std::uint8_t*, std::uint32_t) {
    return false;
}

bool CFileBase::IsValidEntry(std::uint32_t index, std::uint32_t) {
    return index < GetEntryCount();
}

bool CFileBase::TransferHook(std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t,
                             std::uint32_t, std::uint32_t) {
    return true;
}

} // namespace tavro
