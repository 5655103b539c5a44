#include "tools/OutputNode.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tavro::tools {

namespace {

bool IsStream(mode_t mode) {
    return S_ISCHR(mode) || S_ISFIFO(mode);
}

} // namespace

OutputNode LookUpOutputNode(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return {errno == ENOENT ? OutputNodeKind::Missing : OutputNodeKind::LookupFailed};
    }
    if (S_ISREG(info.st_mode)) {
        return {OutputNodeKind::RegularFile, "", static_cast<unsigned>(info.st_mode & 07777)};
    }
    if (IsStream(info.st_mode)) {
        return {OutputNodeKind::Stream};
    }
    const char* description = S_ISDIR(info.st_mode)    ? "is a folder"
                              : S_ISBLK(info.st_mode)  ? "is a block device"
                              : S_ISSOCK(info.st_mode) ? "is a socket"
                                                       : "is not a regular file";
    return {OutputNodeKind::NotAFile, description};
}

bool IsExistingFolder(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

int OpenOutputStream(const std::string& path) {
    const int descriptor = ::open(path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    struct stat opened {};
    if (descriptor >= 0 && (::fstat(descriptor, &opened) != 0 || !IsStream(opened.st_mode))) {
        ::close(descriptor); // swapped for another kind of node in between
        errno = EINVAL;
        return -1;
    }
    return descriptor;
}

int CreateExclusively(const std::string& path) {
    // The kernel applies the process's umask to the mode, as for any file the user creates.
    return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
}

void KeepMode(int descriptor, unsigned mode) {
    ::fchmod(descriptor, static_cast<mode_t>(mode));
}

bool FlushToDisk(int descriptor, bool stream) {
    // A device or pipe has nothing to flush (EINVAL).
    return ::fsync(descriptor) == 0 || (stream && errno == EINVAL);
}

bool MoveIntoPlace(const std::string& temporary, const std::string& target, std::string& error) {
    if (::rename(temporary.c_str(), target.c_str()) == 0) {
        return true;
    }
    error = std::strerror(errno);
    return false;
}

void RemoveFile(const std::string& path) {
    ::unlink(path.c_str());
}

unsigned long ProcessNumber() {
    return static_cast<unsigned long>(::getpid());
}

} // namespace tavro::tools
