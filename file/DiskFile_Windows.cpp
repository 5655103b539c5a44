#include "file/DiskFile_Windows.h"

#include "file/FileInfo.h"

#include <windows.h>

namespace tavro {

namespace {

DWORD MoveMethod(SeekOrigin origin) {
    switch (origin) {
    case SeekOrigin::Begin:
        return FILE_BEGIN;
    case SeekOrigin::Current:
        return FILE_CURRENT;
    case SeekOrigin::End:
        break;
    }
    return FILE_END;
}

} // namespace

CDiskFile_Windows::CDiskFile_Windows(void* fileHandle, CFileSystem* openedBy, std::unique_ptr<CFileInfo> info)
    : CDiskFile(openedBy, std::move(info)), handle(fileHandle) {}

CDiskFile_Windows::~CDiskFile_Windows() {
    ::CloseHandle(handle);
}

bool CDiskFile_Windows::OsRead(void* destination, std::uint32_t count, std::uint32_t& transferred) {
    DWORD moved = 0;
    if (!::ReadFile(handle, destination, count, &moved, nullptr)) {
        lastError = ::GetLastError();
        return false;
    }
    lastError = 0;
    transferred = moved;
    return true;
}

bool CDiskFile_Windows::OsWrite(const void* source, std::uint32_t count, std::uint32_t& transferred) {
    DWORD moved = 0;
    if (!::WriteFile(handle, source, count, &moved, nullptr)) {
        lastError = ::GetLastError();
        return false;
    }
    lastError = 0;
    transferred = moved;
    return true;
}

// The last error is cleared before each call that reports failure through it: a successful call need
// not clear it, and a stale code would turn a valid low half of 0xFFFFFFFF into a failure.
std::uint32_t CDiskFile_Windows::OsSetPointer(std::int64_t distance, SeekOrigin origin,
                                              std::uint32_t& newHigh) {
    LONG high = static_cast<LONG>(distance >> 32);
    ::SetLastError(NO_ERROR);
    const DWORD low =
        ::SetFilePointer(handle, static_cast<LONG>(distance & 0xFFFFFFFF), &high, MoveMethod(origin));
    lastError = low == INVALID_SET_FILE_POINTER ? ::GetLastError() : 0;
    newHigh = static_cast<std::uint32_t>(high);
    return low;
}

std::uint32_t CDiskFile_Windows::OsGetSize(std::uint32_t& high) {
    DWORD sizeHigh = 0;
    ::SetLastError(NO_ERROR);
    const DWORD low = ::GetFileSize(handle, &sizeHigh);
    lastError = low == INVALID_FILE_SIZE ? ::GetLastError() : 0;
    high = sizeHigh;
    return low;
}

bool CDiskFile_Windows::OsSetEnd() {
    if (!::SetEndOfFile(handle)) {
        lastError = ::GetLastError();
        return false;
    }
    lastError = 0;
    return true;
}

} // namespace tavro
