#include "file/FileSystem_Windows.h"

#include "file/DiskFile_Windows.h"
#include "file/FileInfo.h"

#include <new>
#include <windows.h>

// <windows.h> renames these two to their A/W forms; here they must stay the operations' own names.
#undef DeleteFile
#undef CreateDirectory

namespace tavro {

namespace {

DWORD Access(const OpenRequest& request) {
    return (request.read ? GENERIC_READ : 0) | (request.write ? GENERIC_WRITE : 0);
}

DWORD Disposition(const OpenRequest& request) {
    switch (request.disposition) {
    case OpenDisposition::CreateAlways:
        return CREATE_ALWAYS;
    case OpenDisposition::OpenAlways:
        return OPEN_ALWAYS;
    case OpenDisposition::OpenExisting:
        break;
    }
    return OPEN_EXISTING;
}

} // namespace

std::unique_ptr<CAbstractFile> CFileSystem_Windows::OpenFile(const wchar_t* path, std::int32_t mode) {
    if (path == nullptr) {
        return nullptr;
    }
    const std::optional<OpenRequest> request = DecodeOpenMode(mode);
    if (!request) {
        return nullptr;
    }
    HANDLE handle = INVALID_HANDLE_VALUE;
    try {
        const CFileInfo_Default info(path);
        std::unique_ptr<CFileInfo> clone = info.Clone();
        // The record's own size, which is what the system checks (24 bytes on 64-bit Windows).
        SECURITY_ATTRIBUTES security{};
        security.nLength = sizeof(security);
        security.lpSecurityDescriptor = nullptr;
        security.bInheritHandle = TRUE;
        handle = ::CreateFileW(path, Access(*request), FILE_SHARE_READ | FILE_SHARE_WRITE, &security,
                               Disposition(*request), FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle == INVALID_HANDLE_VALUE) {
            return nullptr;
        }
        // A pipe, console or device opens like a file but can block a read forever.
        if (::GetFileType(handle) != FILE_TYPE_DISK) {
            ::CloseHandle(handle);
            return nullptr;
        }
        return std::make_unique<CDiskFile_Windows>(handle, this, std::move(clone));
    } catch (const std::bad_alloc&) {
        if (handle != INVALID_HANDLE_VALUE) {
            ::CloseHandle(handle);
        }
        return nullptr;
    }
}

bool CFileSystem_Windows::DeleteFile(const wchar_t* path) {
    return path != nullptr && ::DeleteFileW(path) != 0;
}

bool CFileSystem_Windows::CreateDirectory(const wchar_t* path) {
    return path != nullptr &&
           (::CreateDirectoryW(path, nullptr) != 0 || ::GetLastError() == ERROR_ALREADY_EXISTS);
}

CFileSystem& GetFileSystem() {
    static CFileSystem_Windows instance;
    return instance;
}

} // namespace tavro
