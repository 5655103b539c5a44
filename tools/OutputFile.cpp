#include "tools/OutputFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace tavro::tools {

namespace {

// The folder a path names its file in, and the file's own name.
void SplitPath(const std::string& path, std::string& folder, std::string& name) {
    const std::size_t slash = path.rfind('/');
    folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    name = slash == std::string::npos ? path : path.substr(slash + 1);
}

const char* DescribeNode(mode_t mode) {
    if (S_ISDIR(mode)) {
        return "is a folder";
    }
    if (S_ISBLK(mode)) {
        return "is a block device";
    }
    if (S_ISSOCK(mode)) {
        return "is a socket";
    }
    return "is not a regular file";
}

bool WritesDirectly(mode_t mode) {
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
        const int descriptor =
            ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
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
        descriptor = ::open(path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
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
    // Replacing a file keeps its permissions.
    if (exists) {
        ::fchmod(descriptor, info.st_mode & 07777);
    }
    return true;
}

bool OutputFile::Write(std::span<const std::uint8_t> bytes, std::string& error) {
    const std::uint8_t* next = bytes.data();
    std::size_t left = bytes.size();
    while (left != 0) {
        const ssize_t written = ::write(descriptor, next, left);
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
    // A device or pipe has nothing to flush to a disk (EINVAL); a file must be on disk before the
    // rename makes it visible, so that a crash cannot leave an empty file in place of the old one.
    if (::fsync(descriptor) != 0 && (!temporary.empty() || errno != EINVAL)) {
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
    if (!temporary.empty() && ::rename(temporary.c_str(), path.c_str()) != 0) {
        return Fail("cannot put the file in place", errno, error);
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
