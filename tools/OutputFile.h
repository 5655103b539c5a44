#pragma once
// How every tavro command writes a file. The bytes go to a temporary file created exclusively (mkstemp)
// in the target's own folder, are flushed to disk, and the temporary is renamed over the target only
// once it is complete, so a failure at any step leaves whatever was at the target before. A target that
// is a character device or a FIFO (/dev/null, /dev/stdout, a pipe) is written directly, since renaming
// over it would replace the node; a folder or any other kind of node is refused. A failed write, fsync
// or close is reported, never taken for success. The target itself is never followed through a
// symbolic link to a regular file: the link is replaced, as the file would be.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace tavro::tools {

// Writes bytes to path as described above. On failure returns false and sets error to one line naming
// path and what went wrong.
bool WriteOutputFile(const std::string& path, const std::uint8_t* bytes, std::size_t size,
                     std::string& error);

// The same in steps, for output written piece by piece or several files that should appear together:
// Open, Write any number of times, then Commit. Finish (optional) completes the file on disk without
// putting it in place, so that a command writing several files can finish all of them before it
// commits any. Destroying an uncommitted file removes its temporary.
class OutputFile {
public:
    OutputFile() = default;
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    ~OutputFile();

    bool Open(const std::string& path, std::string& error);
    bool Write(std::span<const std::uint8_t> bytes, std::string& error);
    bool Finish(std::string& error);
    bool Commit(std::string& error);

    const std::string& Path() const { return path; }

private:
    bool Fail(const std::string& what, int code, std::string& error);
    void Discard();

    std::string path;
    std::string temporary; // empty when the target is written directly
    int descriptor = -1;
    bool finished = false;
    bool committed = false;
};

} // namespace tavro::tools
