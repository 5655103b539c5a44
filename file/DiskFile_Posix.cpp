#include "file/DiskFile_Posix.h"

#include "file/FileInfo.h"

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace tavro {

namespace {
constexpr std::uint32_t kFailedLowHalf = 0xFFFFFFFFu;

std::uint32_t CurrentError() {
    return errno != 0 ? static_cast<std::uint32_t>(errno) : EIO;
}
} // namespace

CDiskFile_Posix::CDiskFile_Posix(int fd, CFileSystem* openedBy, std::unique_ptr<CFileInfo> info)
    : CDiskFile(openedBy, std::move(info)), descriptor(fd) {}

CDiskFile_Posix::~CDiskFile_Posix() {
    ::close(descriptor);
}

// POSIX may move fewer bytes than asked without reaching the end, so the loop stops only at the end
// of the file, on an error or when everything moved; a partial transfer before an error is reported.
bool CDiskFile_Posix::OsRead(void* destination, std::uint32_t count, std::uint32_t& transferred) {
    auto* bytes = static_cast<std::uint8_t*>(destination);
    transferred = 0;
    while (transferred < count) {
        const ssize_t result = ::read(descriptor, bytes + transferred, count - transferred);
        if (result < 0) {
            if (errno == EINTR) {
                continue;
            }
            lastError = CurrentError();
            return transferred != 0;
        }
        if (result == 0) {
            break;
        }
        transferred += static_cast<std::uint32_t>(result);
    }
    lastError = 0;
    return true;
}

bool CDiskFile_Posix::OsWrite(const void* source, std::uint32_t count, std::uint32_t& transferred) {
    const auto* bytes = static_cast<const std::uint8_t*>(source);
    transferred = 0;
    while (transferred < count) {
        const ssize_t result = ::write(descriptor, bytes + transferred, count - transferred);
        if (result < 0) {
            if (errno == EINTR) {
                continue;
            }
            lastError = CurrentError();
            return transferred != 0;
        }
        if (result == 0) {
            break;
        }
        transferred += static_cast<std::uint32_t>(result);
    }
    lastError = 0;
    return true;
}

std::uint32_t CDiskFile_Posix::OsSetPointer(std::int64_t distance, SeekOrigin origin,
                                            std::uint32_t& newHigh) {
    const int whence = origin == SeekOrigin::Begin     ? SEEK_SET
                       : origin == SeekOrigin::Current ? SEEK_CUR
                                                       : SEEK_END;
    const off_t result = ::lseek(descriptor, static_cast<off_t>(distance), whence);
    if (result < 0) {
        lastError = CurrentError();
        return kFailedLowHalf;
    }
    lastError = 0;
    const auto position = static_cast<std::uint64_t>(result);
    newHigh = static_cast<std::uint32_t>(position >> 32);
    return static_cast<std::uint32_t>(position);
}

std::uint32_t CDiskFile_Posix::OsGetSize(std::uint32_t& high) {
    struct stat status {};
    if (::fstat(descriptor, &status) != 0) {
        lastError = CurrentError();
        return kFailedLowHalf;
    }
    lastError = 0;
    const auto size = static_cast<std::uint64_t>(status.st_size);
    high = static_cast<std::uint32_t>(size >> 32);
    return static_cast<std::uint32_t>(size);
}

bool CDiskFile_Posix::OsSetEnd() {
    const off_t position = ::lseek(descriptor, 0, SEEK_CUR);
    if (position < 0 || ::ftruncate(descriptor, position) != 0) {
        lastError = CurrentError();
        return false;
    }
    lastError = 0;
    return true;
}

} // namespace tavro
