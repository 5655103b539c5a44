#pragma once
// A disk file over a POSIX file descriptor.
#include "file/DiskFile.h"

namespace tavro {

class CDiskFile_Posix : public CDiskFile {
public:
    // Takes over descriptor, which it closes when destroyed.
    CDiskFile_Posix(int descriptor, CFileSystem* openedBy, std::unique_ptr<CFileInfo> info);
    ~CDiskFile_Posix() override;

protected:
    bool OsRead(void* destination, std::uint32_t count, std::uint32_t& transferred) override;
    bool OsWrite(const void* source, std::uint32_t count, std::uint32_t& transferred) override;
    std::uint32_t OsSetPointer(std::int64_t distance, SeekOrigin origin, std::uint32_t& newHigh) override;
    std::uint32_t OsGetSize(std::uint32_t& high) override;
    bool OsSetEnd() override;
    std::uint32_t OsLastError() override { return lastError; }

private:
    int descriptor;
    std::uint32_t lastError = 0;
};

} // namespace tavro
