#include "file/WidePath.h"
#include "tools/OutputNode.h"

#include <cerrno>
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <system_error>
#include <windows.h>

namespace tavro::tools {

namespace {

std::wstring Wide(const std::string& path) {
    return Utf8ToWide(path);
}

// The kind of an open handle's node: files and folders live on a disk, devices (NUL, CON) and pipes do not.
OutputNode KindOfHandle(HANDLE handle) {
    const DWORD type = ::GetFileType(handle);
    if (type == FILE_TYPE_CHAR || type == FILE_TYPE_PIPE) {
        return {OutputNodeKind::Stream};
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (type != FILE_TYPE_DISK || !::GetFileInformationByHandle(handle, &info)) {
        return {OutputNodeKind::NotAFile, "is not a regular file"};
    }
    if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return {OutputNodeKind::NotAFile, "is a folder"};
    }
    return {OutputNodeKind::RegularFile};
}

} // namespace

OutputNode LookUpOutputNode(const std::string& path) {
    // Opened for no access at all, sharing everything, so that looking disturbs no other program; the
    // backup flag lets a folder be opened too.
    const HANDLE handle =
        ::CreateFileW(Wide(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD code = ::GetLastError();
        if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND) {
            errno = ENOENT;
            return {OutputNodeKind::Missing};
        }
        errno = code == ERROR_ACCESS_DENIED ? EACCES : EIO;
        return {OutputNodeKind::LookupFailed};
    }
    const OutputNode node = KindOfHandle(handle);
    ::CloseHandle(handle);
    return node;
}

bool IsExistingFolder(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesW(Wide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

int OpenOutputStream(const std::string& path) {
    const int descriptor = ::_wopen(Wide(path).c_str(), _O_WRONLY | _O_BINARY | _O_NOINHERIT);
    if (descriptor >= 0 &&
        KindOfHandle(reinterpret_cast<HANDLE>(::_get_osfhandle(descriptor))).kind != OutputNodeKind::Stream) {
        ::_close(descriptor); // swapped for another kind of node in between
        errno = EINVAL;
        return -1;
    }
    return descriptor;
}

int CreateExclusively(const std::string& path) {
    // _O_EXCL makes this CREATE_NEW: any existing name is refused, a link included.
    return ::_wopen(Wide(path).c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT,
                    _S_IREAD | _S_IWRITE);
}

void KeepMode(int, unsigned) {
    // A new file takes its folder's access rules, as the file it replaces did.
}

bool FlushToDisk(int descriptor, bool stream) {
    return stream || ::_commit(descriptor) == 0;
}

bool MoveIntoPlace(const std::string& temporary, const std::string& target, std::string& error) {
    // Replaces a file in one step and only a file (a folder in the target's place makes it fail); the
    // move is on the disk when it returns.
    if (::MoveFileExW(Wide(temporary).c_str(), Wide(target).c_str(),
                      MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return true;
    }
    error = std::system_category().message(static_cast<int>(::GetLastError()));
    return false;
}

void RemoveFile(const std::string& path) {
    ::_wunlink(Wide(path).c_str());
}

unsigned long ProcessNumber() {
    return ::GetCurrentProcessId();
}

} // namespace tavro::tools
