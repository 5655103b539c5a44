#include "tools/OutputFile.h"

#include "tools/OutputNode.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <random>
#include <unistd.h> // write and close: MinGW-w64 has them too

namespace tavro::tools {

namespace {

#ifdef _WIN32
constexpr char kSeparators[] = "/\\";
constexpr bool kDriveLetters = true; // "C:name" is a name in drive C's current folder
#else
constexpr char kSeparators[] = "/";
constexpr bool kDriveLetters = false;
#endif

struct PathParts {
    std::string folder; // the folder the file is named in, as the user would name it
    std::string prefix; // what precedes the file's own name: the temporary's name starts with it too
    std::string name;   // the file's own name
};

PathParts SplitPath(const std::string& path) {
    std::size_t cut = path.find_last_of(kSeparators);
    if (cut == std::string::npos && kDriveLetters && path.size() >= 2 && path[1] == ':') {
        cut = 1;
    }
    if (cut == std::string::npos) {
        return {".", "", path};
    }
    const bool root = cut == 0 || (kDriveLetters && (path[cut] == ':' || path[cut - 1] == ':'));
    return {path.substr(0, root ? cut + 1 : cut), path.substr(0, cut + 1), path.substr(cut + 1)};
}

// A new, exclusively created file beside the target: exclusive creation refuses any name that already
// exists, a planted symbolic link included, and the random part makes the name unpredictable.
int CreateTemporary(const PathParts& parts, std::string& temporary) {
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = parts.prefix + "." + parts.name + ".tmp" + std::to_string(ProcessNumber()) + "-" +
                    std::to_string(random());
        const int descriptor = CreateExclusively(temporary);
        if (descriptor >= 0 || errno != EEXIST) {
            return descriptor;
        }
    }
    errno = EEXIST;
    return -1;
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
    const PathParts parts = SplitPath(path);
    if (parts.name.empty() || parts.name == "." || parts.name == "..") {
        return Fail("names a folder, not a file", 0, error);
    }
    // The kind of node the name leads to decides how it is written.
    const OutputNode node = LookUpOutputNode(path);
    switch (node.kind) {
    case OutputNodeKind::LookupFailed:
        return Fail("cannot be looked up", errno, error);
    case OutputNodeKind::NotAFile:
        return Fail(node.description, 0, error);
    case OutputNodeKind::Stream:
        descriptor = OpenOutputStream(path);
        if (descriptor < 0) {
            const int code = errno;
            return code == EINVAL ? Fail("changed kind while it was opened", 0, error)
                                  : Fail("cannot be opened for writing", code, error);
        }
        return true;
    case OutputNodeKind::Missing:
    case OutputNodeKind::RegularFile:
        break;
    }
    descriptor = CreateTemporary(parts, temporary);
    if (descriptor < 0) {
        const int code = errno;
        temporary.clear();
        if (!IsExistingFolder(parts.folder)) {
            return Fail("the folder '" + parts.folder + "' does not exist", 0, error);
        }
        if (code == ENOENT) {
            return Fail("the folder '" + parts.folder + "' does not accept new files", 0, error);
        }
        return Fail("cannot create a file in '" + parts.folder + "'", code, error);
    }
    if (node.kind == OutputNodeKind::RegularFile) {
        KeepMode(descriptor, node.mode);
    }
    return true;
}

bool OutputFile::Write(std::span<const std::uint8_t> bytes, std::string& error) {
    const std::uint8_t* next = bytes.data();
    std::size_t left = bytes.size();
    while (left != 0) {
        // At most 1 GiB per call, which every C runtime's write takes.
        const auto chunk = static_cast<unsigned>(std::min<std::size_t>(left, std::size_t{1} << 30));
        const auto written = ::write(descriptor, next, chunk);
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
    // A file must be on disk before the move makes it visible, so that a crash cannot leave an empty
    // file in place of the old one.
    if (!FlushToDisk(descriptor, temporary.empty())) {
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
    std::string reason;
    if (!temporary.empty() && !MoveIntoPlace(temporary, path, reason)) {
        return Fail("cannot put the file in place (" + reason + ")", 0, error);
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
        RemoveFile(temporary);
        temporary.clear();
    }
}

} // namespace tavro::tools
