#include "tools/OutputFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <random>
#include <sys/stat.h>
#include <unistd.h>
#ifdef _WIN32
#include <io.h>
#endif

namespace tavro::tools {

namespace {

#ifdef _WIN32
// The C runtime's files on Windows: opened in binary mode and not inherited; there are no links to
// follow, no terminals to acquire, and no block devices or sockets among file names.
constexpr int kCreateFlags = O_WRONLY | O_CREAT | O_EXCL | O_BINARY | O_NOINHERIT;
constexpr int kDirectFlags = O_WRONLY | O_BINARY | O_NOINHERIT;
constexpr char kSeparators[] = "/\\";
bool IsBlockDevice(unsigned) {
    return false;
}
bool IsSocket(unsigned) {
    return false;
}
// Devices (NUL, CON) have nothing to flush to a disk.
int SyncToDisk(int descriptor, bool direct) {
    return direct ? 0 : ::_commit(descriptor);
}
#else
constexpr int kCreateFlags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC;
constexpr int kDirectFlags = O_WRONLY | O_NOCTTY | O_CLOEXEC;
constexpr char kSeparators[] = "/";
bool IsBlockDevice(mode_t mode) {
    return S_ISBLK(mode);
}
bool IsSocket(mode_t mode) {
    return S_ISSOCK(mode);
}
// A device or pipe has nothing to flush to a disk (EINVAL).
int SyncToDisk(int descriptor, bool direct) {
    return ::fsync(descriptor) != 0 && !(direct && errno == EINVAL) ? -1 : 0;
}
#endif

// The folder a path names its file in, and the file's own name.
void SplitPath(const std::string& path, std::string& folder, std::string& name) {
    const std::size_t slash = path.find_last_of(kSeparators);
    folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    name = slash == std::string::npos ? path : path.substr(slash + 1);
}

const char* DescribeNode(decltype(stat::st_mode) mode) {
    if (S_ISDIR(mode)) {
        return "is a folder";
    }
    if (IsBlockDevice(mode)) {
        return "is a block device";
    }
    if (IsSocket(mode)) {
        return "is a socket";
    }
    return "is not a regular file";
}

bool WritesDirectly(decltype(stat::st_mode) mode) {
    return S_ISCHR(mode) || S_ISFIFO(mode);
}

// A new, exclusively created file beside the target: O_EXCL refuses any name that already exists,
// a planted symbolic link included, and the random part makes the name unpredictable. The kernel
// applies the process's umask to the mode, as for any file the user creates.
int CreateTemporary(const std::string& folder, const std::string& name, std::string& temporary) {
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary =
            folder + "/." + name + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(random());
        const int descriptor = ::open(temporary.c_str(), kCreateFlags, 0666);
        if (descriptor >= 0 || errno != EEXIST) {
            return descriptor;
        }
    }
    errno = EEXIST;
    return -1;
}

bool IsFolder(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

} // namespace

bool WriteOutputFile(const std::string& path, const std::uint8_t* bytes, std::size_t size,
                     std::string& error) {
    OutputFile file;
    return file.Open(path, error) && file.Write({bytes, size}, error) && file.Commit(error);
}

OutputFile::~OutputFile() {
    if (!committed) {
        Discard();
    }
}

bool OutputFile::Open(const std::string& target, std::string& error) {
    path = target;
    std::string folder;
    std::string name;
    SplitPath(path, folder, name);
    if (name.empty() || name == "." || name == "..") {
        return Fail("names a folder, not a file", 0, error);
    }
    // The kind of node the name leads to decides how it is written; a link to a device counts as the
    // device (/dev/stdout is one).
    struct stat info {};
    const bool exists = ::stat(path.c_str(), &info) == 0;
    if (!exists && errno != ENOENT) {
        return Fail("cannot be looked up", errno, error);
    }
    if (exists && WritesDirectly(info.st_mode)) {
        descriptor = ::open(path.c_str(), kDirectFlags);
        struct stat opened {};
        if (descriptor < 0) {
            return Fail("cannot be opened for writing", errno, error);
        }
        if (::fstat(descriptor, &opened) != 0 || !WritesDirectly(opened.st_mode)) {
            return Fail("changed kind while it was opened", 0, error); // swapped for a file in between
        }
        return true;
    }
    if (exists && !S_ISREG(info.st_mode)) {
        return Fail(DescribeNode(info.st_mode), 0, error);
    }
    descriptor = CreateTemporary(folder, name, temporary);
    if (descriptor < 0) {
        const int code = errno;
        temporary.clear();
        if (!IsFolder(folder)) {
            return Fail("the folder '" + folder + "' does not exist", 0, error);
        }
        if (code == ENOENT) {
            return Fail("the folder '" + folder + "' does not accept new files", 0, error);
        }
        return Fail("cannot create a file in '" + folder + "'", code, error);
    }
#ifndef _WIN32
    // Replacing a file keeps its permissions.
    if (exists) {
        ::fchmod(descriptor, info.st_mode & 07777);
    }
#endif
    return true;
}

bool OutputFile::Write(std::span<const std::uint8_t> bytes, std::string& error) {
    const std::uint8_t* next = bytes.data();
    std::size_t left = bytes.size();
    while (left != 0) {
        // At most 1 GiB per call, which every C runtime's write takes.
        const auto written = ::write(descriptor, next, std::min<std::size_t>(left, std::size_t{1} << 30));
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return Fail("writing failed", errno, error);
        }
        next += written;
        left -= static_cast<std::size_t>(written);
    }
    return true;
}

bool OutputFile::Finish(std::string& error) {
    if (finished) {
        return true;
    }
    // A file must be on disk before the rename makes it visible, so that a crash cannot leave an empty
    // file in place of the old one.
    if (SyncToDisk(descriptor, temporary.empty()) != 0) {
        return Fail("flushing to disk failed", errno, error);
    }
    const int closing = descriptor;
    descriptor = -1;
    if (::close(closing) != 0) {
        return Fail("closing failed", errno, error);
    }
    finished = true;
    return true;
}

bool OutputFile::Commit(std::string& error) {
    if (!Finish(error)) {
        return false;
    }
    // std::filesystem::rename replaces an existing target on Windows too, as rename does on Linux.
    std::error_code renamed;
    if (!temporary.empty()) {
        std::filesystem::rename(temporary, path, renamed);
    }
    if (renamed) {
        return Fail("cannot put the file in place (" + renamed.message() + ")", 0, error);
    }
    committed = true;
    return true;
}

bool OutputFile::Fail(const std::string& what, int code, std::string& error) {
    error = path + ": " + what;
    if (code != 0) {
        error += std::string(" (") + std::strerror(code) + ")";
    }
    Discard();
    return false;
}

void OutputFile::Discard() {
    if (descriptor >= 0) {
        ::close(descriptor);
        descriptor = -1;
    }
    if (!temporary.empty()) {
        ::unlink(temporary.c_str());
        temporary.clear();
    }
}

} // namespace tavro::tools
