#pragma once
// The platform-free logic of a disk file (chunked transfer, 64-bit positions, error rules) over a small
// set of operating-system handle operations that each platform's disk file supplies.
#include "file/AbstractFile.h"

#include <cstdint>

namespace tavro {

enum class SeekOrigin { Begin, Current, End };

class CDiskFile : public CAbstractFile64 {
public:
    // Reads and writes move at most this many bytes per operating-system call.
    static constexpr std::uint32_t kTransferChunk = 0x400000;

    // Transfer in chunks; a failing call ends the transfer with the bytes of the chunks before it, a
    // short one with the bytes moved so far. 0 for a null pointer or a count of 0.
    std::uint32_t Read(void* destination, std::uint32_t count) override;
    std::uint32_t Write(const void* source, std::uint32_t count) override;
    // Fails for a negative position; positions beyond the end are allowed.
    bool Seek64(std::int64_t position) override;
    bool Skip64(std::int64_t offset) override;
    // Fails for a negative distance.
    bool SeekFromEnd64(std::int64_t distance) override;
    // 0 when the platform cannot tell.
    std::uint64_t Tell64() override;
    std::uint64_t GetSize64() override;
    // Moves to size and makes it the end of the file; the position stays at size even on failure.
    bool SetSize64(std::uint64_t size) override;

protected:
    using CAbstractFile64::CAbstractFile64;

    // The handle layer. Each operation sets the value OsLastError reports: 0 on success, the platform's
    // error code on failure.
    // Transfers up to count bytes; false when the call fails (transferred is then not used).
    virtual bool OsRead(void* destination, std::uint32_t count, std::uint32_t& transferred) = 0;
    virtual bool OsWrite(const void* source, std::uint32_t count, std::uint32_t& transferred) = 0;
    // Moves the file pointer by distance from origin and returns the low half of the new position,
    // storing the high half in newHigh. Failure returns 0xFFFFFFFF with a non-zero last error.
    virtual std::uint32_t OsSetPointer(std::int64_t distance, SeekOrigin origin, std::uint32_t& newHigh) = 0;
    // Returns the low half of the size and stores the high half; failure as OsSetPointer.
    virtual std::uint32_t OsGetSize(std::uint32_t& high) = 0;
    // Makes the current position the end of the file.
    virtual bool OsSetEnd() = 0;
    virtual std::uint32_t OsLastError() = 0;

private:
    // Applies the rule that a low half of 0xFFFFFFFF is a failure only when the last error is non-zero.
    bool MovePointer(std::int64_t distance, SeekOrigin origin, std::uint64_t* newPosition);
};

} // namespace tavro
