#pragma once
// The byte-stream interface every file of the system implements, and the two layers that supply one
// width of positioning and size operations from the other.
#include "file/FileInfo.h"

#include <cstdint>
#include <memory>

namespace tavro {

class CFileSystem;

// A readable, writable, seekable stream of bytes. Reads and writes return the bytes moved (0 for
// nothing); positioning and size operations return false on failure, and a failed Seek, Skip or
// SeekFromEnd (either width) never moves the position.
class CAbstractFile {
public:
    virtual ~CAbstractFile();
    CAbstractFile(const CAbstractFile&) = delete;
    CAbstractFile& operator=(const CAbstractFile&) = delete;

    virtual std::uint32_t Read(void* destination, std::uint32_t count) = 0;
    virtual std::uint32_t Write(const void* source, std::uint32_t count) = 0;
    // Moves to an absolute position.
    virtual bool Seek(std::int32_t position) = 0;
    // Moves by a signed offset from the current position.
    virtual bool Skip(std::int32_t offset) = 0;
    // Moves to the size minus distance.
    virtual bool SeekFromEnd(std::int32_t distance) = 0;
    virtual std::uint32_t Tell() = 0;
    virtual std::uint32_t GetSize() = 0;
    virtual bool Seek64(std::int64_t position) = 0;
    virtual bool Skip64(std::int64_t offset) = 0;
    virtual bool SeekFromEnd64(std::int64_t distance) = 0;
    virtual std::uint64_t Tell64() = 0;
    virtual std::uint64_t GetSize64() = 0;
    virtual bool SetSize(std::uint32_t size) = 0;
    virtual bool SetSize64(std::uint64_t size) = 0;

    // The file system that opened this file, or null (memory files). Not owned.
    CFileSystem* GetFileSystem() const { return fileSystem; }
    // The description of this file (its path), or null (memory files). Owned by the file.
    const CFileInfo* GetFileInfo() const { return fileInfo.get(); }

protected:
    CAbstractFile();
    CAbstractFile(CFileSystem* openedBy, std::unique_ptr<CFileInfo> info);

private:
    CFileSystem* fileSystem = nullptr;
    std::unique_ptr<CFileInfo> fileInfo;
};

// A file whose native width is 32 bits (the memory files). The 64-bit operations forward to the 32-bit
// ones when the argument fits and fail otherwise.
class CAbstractFile32 : public CAbstractFile {
public:
    bool Seek64(std::int64_t position) override;
    bool Skip64(std::int64_t offset) override;
    bool SeekFromEnd64(std::int64_t distance) override;
    std::uint64_t Tell64() override;
    std::uint64_t GetSize64() override;
    bool SetSize64(std::uint64_t size) override;

protected:
    using CAbstractFile::CAbstractFile;
};

// A file whose native width is 64 bits (the disk files). The 32-bit operations forward to the 64-bit
// ones: signed arguments are sign-extended, sizes widened with zeros, results cut to their low half.
class CAbstractFile64 : public CAbstractFile {
public:
    bool Seek(std::int32_t position) override;
    bool Skip(std::int32_t offset) override;
    bool SeekFromEnd(std::int32_t distance) override;
    std::uint32_t Tell() override;
    std::uint32_t GetSize() override;
    bool SetSize(std::uint32_t size) override;

protected:
    using CAbstractFile::CAbstractFile;
};

} // namespace tavro
