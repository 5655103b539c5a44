#pragma once
// The root of the archive reader family: a file presented as a set of entries, with the operations
// that extract one entry's bytes. On its own it presents a plain file as one stored entry.
#include "file/AbstractFile.h"
#include "file/FileSystem.h"

#include <cstdint>
#include <memory>

namespace tavro {

class CFileBase {
public:
    // Largest piece a stored entry moves in when its destination is not a memory file.
    static constexpr std::uint32_t kTransferChunk = 524288;

    CFileBase() = default;
    virtual ~CFileBase();
    CFileBase(const CFileBase&) = delete;
    CFileBase& operator=(const CFileBase&) = delete;

    // Closes, then opens path with mode through the file system; true when a file is open.
    virtual bool Open(const wchar_t* path, std::int32_t mode);
    // Releases everything opened; safe on a closed archive.
    virtual void Close();
    // The first entry whose name equals name ignoring case, or -1; unnamed entries never match.
    virtual std::int32_t FindEntry(const wchar_t* name);
    virtual std::uint32_t GetEntryCount();
    // The per-entry queries do not check index; callers check it against GetEntryCount first.
    virtual std::uint64_t GetEntryOffset(std::uint32_t index);
    virtual std::uint32_t GetEntryStoredSize(std::uint32_t index);
    virtual std::uint32_t GetEntrySize(std::uint32_t index);
    virtual const wchar_t* GetEntryName(std::uint32_t index);
    virtual bool IsEntryExcluded(std::uint32_t index);
    virtual bool IsEntryCompressed(std::uint32_t index);
    // 0: no transform; 1, 2: stored bytes before decoding; 3, 4: decoded bytes (see ExtractEntryTo).
    virtual std::uint32_t GetEntryTransform(std::uint32_t index);
    virtual bool IsEntryDisabled(std::uint32_t index);
    virtual bool EntryHook(std::uint32_t index, std::uint32_t value);
    // Reads storedSize bytes at the data file's position, decodes them to size bytes and delivers them
    // to destination; returns the bytes delivered or 0.
    virtual std::uint32_t ExtractCompressedEntry(CAbstractFile& destination, std::uint32_t storedSize,
                                                 std::uint32_t size, std::uint32_t index, std::uint32_t mode);
    // The largest entry size the archive's decoder can produce from storedSize stored bytes; a
    // compressed entry that declares more is refused before any buffer is sized from its declaration.
    // This class knows no decoder and sets no limit.
    virtual std::uint64_t GetDecodedSizeLimit(std::uint32_t storedSize);
    // Decodes one entry into output (outputSize bytes); forwards to Decompress.
    virtual bool DecompressEntry(std::uint32_t index, const std::uint8_t* source, std::uint32_t sourceSize,
                                 std::uint8_t*& output, std::uint32_t& outputSize);
    // The archive's decoder; this class has none and fails.
    virtual bool Decompress(const std::uint8_t* source, std::uint32_t sourceSize, std::uint8_t*& output,
                            std::uint32_t& outputSize);
    // Transforms count bytes in place; this class has no transform and fails.
    virtual bool TransformEntryData(std::uint32_t index, std::uint8_t* bytes, std::uint32_t count);
    virtual bool IsValidEntry(std::uint32_t index, std::uint32_t value);
    virtual bool TransferHook(std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d,
                              std::uint32_t e, std::uint32_t f, std::uint32_t g);

    // Extracts entry index as a new block of exactly the entry's size (array new; the caller frees it
    // with array delete). Returns that size, or 0 with buffer null for an entry that is missing,
    // excluded, disabled, empty, undecodable, short in the data file or too large for memory.
    std::uint32_t ExtractEntry(std::uint32_t index, std::uint8_t*& buffer);
    // Delivers entry index to destination and returns the byte count, or 0 on failure. A CMemoryFile
    // destination takes over the entry's block without a copy (its former block is released); any other
    // destination receives the bytes through Write, a stored entry in pieces of at most kTransferChunk.
    std::uint32_t ExtractEntryTo(std::uint32_t index, CAbstractFile& destination);
    // Copies size stored bytes from the data file's position to destination; size or 0.
    std::uint32_t CopyStoredEntry(CAbstractFile& destination, std::uint32_t size, std::uint32_t index,
                                  std::uint32_t mode);

    // The file system used to open files; the platform's when none was set. Not owned.
    void SetFileSystem(CFileSystem* system) { fileSystem = system; }

protected:
    CFileSystem& UsedFileSystem() { return fileSystem != nullptr ? *fileSystem : GetFileSystem(); }

    std::unique_ptr<CAbstractFile> file;
    CFileSystem* fileSystem = nullptr;

private:
    // Reads count bytes into bytes and applies the transform when asked; false unless all of it worked.
    bool ReadPiece(std::uint8_t* bytes, std::uint32_t count, std::uint32_t index, bool transform);
};

} // namespace tavro
