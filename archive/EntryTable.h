#pragma once
// The in-memory entry table of an archive and the two layers that add it, and the compressed flags,
// to a reader of the CFileBase family.
#include "archive/FileBase.h"

#include <cstdint>
#include <memory>
#include <new>

namespace tavro {

// One entry as the readers keep it. Offsets are 64-bit so data files beyond 4 GiB are addressed.
struct CFileBaseBlock_Compressed {
    std::uint32_t storedSize = 0; // bytes in the data file before padding
    std::uint32_t size = 0;       // bytes once extracted
    std::uint64_t offset = 0;     // first byte in the data file
};

// A fixed-size array of records.
template <typename Record>
class CFileBase_Array {
public:
    // Replaces the contents by count default records; false (contents kept) when memory runs out.
    bool Resize(std::uint32_t newCount) {
        std::unique_ptr<Record[]> fresh;
        if (newCount != 0) {
            fresh.reset(new (std::nothrow) Record[newCount]);
            if (!fresh) {
                return false;
            }
        }
        records = std::move(fresh);
        count = newCount;
        return true;
    }
    std::uint32_t GetCount() const { return count; }
    Record& operator[](std::uint32_t index) { return records[index]; }
    const Record& operator[](std::uint32_t index) const { return records[index]; }

private:
    std::unique_ptr<Record[]> records;
    std::uint32_t count = 0;
};

// Adds the entry table and answers the count, offset and size queries from it.
template <typename Array, typename Base>
class CFileExtend : public Base {
public:
    void Close() override {
        entries.Resize(0);
        Base::Close();
    }
    std::uint32_t GetEntryCount() override { return entries.GetCount(); }
    std::uint64_t GetEntryOffset(std::uint32_t index) override { return entries[index].offset; }
    std::uint32_t GetEntryStoredSize(std::uint32_t index) override { return entries[index].storedSize; }
    std::uint32_t GetEntrySize(std::uint32_t index) override { return entries[index].size; }

protected:
    Array entries;
};

// Adds one compressed flag per entry.
template <typename Array, typename Base>
class CFileCompressedBase : public CFileExtend<Array, Base> {
public:
    void Close() override {
        compressed.reset();
        CFileExtend<Array, Base>::Close();
    }
    bool IsEntryCompressed(std::uint32_t index) override { return compressed[index] != 0; }

protected:
    std::unique_ptr<std::uint8_t[]> compressed;
};

} // namespace tavro
