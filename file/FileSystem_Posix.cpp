#include "file/FileSystem_Posix.h"

#include "file/DiskFile_Posix.h"
#include "file/FileInfo.h"
#include "file/WidePath.h"

#include <cerrno>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

namespace tavro {

namespace {

int OpenFlags(const OpenRequest& request) {
    int flags = request.read && request.write ? O_RDWR : request.write ? O_WRONLY : O_RDONLY;
    if (request.disposition == OpenDisposition::CreateAlways) {
        flags |= O_CREAT | O_TRUNC;
    } else if (request.disposition == OpenDisposition::OpenAlways) {
        flags |= O_CREAT;
    }
    return flags;
}

// Opens without blocking (a FIFO would otherwise wait for a writer), keeps only regular files, then
// returns the descriptor to blocking mode.
int OpenRegularFile(const std::string& path, int flags) {
    const int descriptor = ::open(path.c_str(), flags | O_NONBLOCK, 0666);
    if (descriptor < 0) {
        return -1;
    }
    struct stat status {};
    const int statusFlags = ::fcntl(descriptor, F_GETFL);
    if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode) || statusFlags < 0 ||
        ::fcntl(descriptor, F_SETFL, statusFlags & ~O_NONBLOCK) != 0) {
        ::close(descriptor);
        return -1;
    }
    return descriptor;
}

} // namespace

std::unique_ptr<CAbstractFile> CFileSystem_Posix::OpenFile(const wchar_t* path, std::int32_t mode) {
    if (path == nullptr) {
        return nullptr;
    }
    const std::optional<OpenRequest> request = DecodeOpenMode(mode);
    if (!request) {
        return nullptr;
    }
    int descriptor = -1;
    try {
        const CFileInfo_Default info(path);
        std::unique_ptr<CFileInfo> clone = info.Clone();
        descriptor = OpenRegularFile(WideToUtf8(path), OpenFlags(*request));
        if (descriptor < 0) {
            return nullptr;
        }
        return std::make_unique<CDiskFile_Posix>(descriptor, this, std::move(clone));
    } catch (const std::bad_alloc&) {
        if (descriptor >= 0) {
            ::close(descriptor);
        }
        return nullptr;
    }
}

bool CFileSystem_Posix::DeleteFile(const wchar_t* path) {
    return path != nullptr && ::unlink(WideToUtf8(path).c_str()) == 0;
}

bool CFileSystem_Posix::CreateDirectory(const wchar_t* path) {
    return path != nullptr && (::mkdir(WideToUtf8(path).c_str(), 0777) == 0 || errno == EEXIST);
}

CFileSystem& GetFileSystem() {
    static CFileSystem_Posix instance;
    return instance;
}

} // namespace tavro
