#pragma once
// Files held in memory: a read-only view over a block, and a growable file that owns its block.
// Both keep position <= size; blocks they own come from array new and are freed with array delete.
#include "file/AbstractFile.h"

#include <cstdint>

namespace tavro {

// What both memory files share: the position, the size and the block, and reading from it.
class CMemoryFileBase : public CAbstractFile32 {
public:
    // Copies min(count, size - position) bytes and moves past them; 0 when destination is null.
    std::uint32_t Read(void* destination, std::uint32_t count) override;
    // Moves to size - distance; fails for a negative distance or one beyond the size. Never grows.
    bool SeekFromEnd(std::int32_t distance) override;
    std::uint32_t Tell() override { return position; }
    std::uint32_t GetSize() override { return size; }
    // The first byte of the file; may be null while the size is 0.
    virtual const std::uint8_t* GetBuffer() const { return buffer; }

protected:
    CMemoryFileBase() = default;
    CMemoryFileBase(std::uint8_t* block, std::uint32_t blockSize) : size(blockSize), buffer(block) {}
    // Moves back by a negative offset; false (and no move) when that would pass the start.
    bool SkipBack(std::int32_t offset);

    std::uint32_t position = 0;
    std::uint32_t size = 0;
    std::uint8_t* buffer = nullptr;
};

// A fixed view over a block of bytes. Writing and resizing always fail.
class CReadOnlyMemoryFile : public CMemoryFileBase {
public:
    // Views size bytes at buffer. With ownsBuffer set the file takes the block over (it must come from
    // array new) and frees it when destroyed; the block is never written either way.
    CReadOnlyMemoryFile(const std::uint8_t* buffer, std::uint32_t size, bool ownsBuffer);
    ~CReadOnlyMemoryFile() override;

    std::uint32_t Write(const void* source, std::uint32_t count) override;
    // Any position from 0 to the size, inclusive.
    bool Seek(std::int32_t position) override;
    bool Skip(std::int32_t offset) override;
    bool SetSize(std::uint32_t size) override;

private:
    bool ownsBuffer;
};

// A growable file. Writing, seeking or skipping past the end and SetSize beyond it extend the file
// (the new bytes are unspecified) while the file owns its block; growth failures, including running out
// of memory, fail the operation and leave the file unchanged.
class CMemoryFile : public CMemoryFileBase {
public:
    // An empty, owning file.
    CMemoryFile() = default;
    // Takes over size bytes at block (from array new when ownsBuffer is set); capacity equals size.
    // A file that does not own its block can be written and positioned within its size but never grows.
    CMemoryFile(std::uint8_t* block, std::uint32_t size, bool ownsBuffer = true);
    ~CMemoryFile() override;

    // Writes count bytes at the position, growing the file when they pass the end; the count is first
    // cut so that the end stays within 4 GiB - 1. All or nothing: 0 when growth fails or source is null.
    std::uint32_t Write(const void* source, std::uint32_t count) override;
    // Fails for a negative position; a position beyond the end grows the file to it.
    bool Seek(std::int32_t position) override;
    // Backward as the read-only file; forward beyond the end grows the file.
    bool Skip(std::int32_t offset) override;
    // Grows to size, or shrinks keeping the block and capacity (the position is clamped to the size).
    bool SetSize(std::uint32_t size) override;

    // Makes the size newSize, reallocating to max(newSize, capacity * 1.5) when it exceeds the capacity.
    // True without change when newSize <= size; false when the file does not own its block or memory
    // runs out, leaving the file unchanged.
    bool GrowTo(std::uint32_t newSize);
    // Exchanges position, size, block, capacity and ownership with other.
    void Swap(CMemoryFile& other) noexcept;
    // Returns the block (now owned by the caller, to free with array delete) if the file owned it, else
    // null; either way the file is left empty, with ownership as it was.
    std::uint8_t* DetachBuffer();

    std::uint32_t GetCapacity() const { return capacity; }

private:
    std::uint32_t capacity = 0;
    bool ownsBuffer = true;
};

} // namespace tavro
