#pragma once
// A disk file over a Win32 file handle.
#include "file/DiskFile.h"

namespace tavro {

class CDiskFile_Windows : public CDiskFile {
public:
    // Takes over handle (a Win32 HANDLE), which it closes when destroyed.
    CDiskFile_Windows(void* handle, CFileSystem* openedBy, std::unique_ptr<CFileInfo> info);
    ~CDiskFile_Windows() override;

protected:
    bool OsRead(void* destination, std::uint32_t count, std::uint32_t& transferred) override;
    bool OsWrite(const void* source, std::uint32_t count, std::uint32_t& transferred) override;
    std::uint32_t OsSetPointer(std::int64_t distance, SeekOrigin origin, std::uint32_t& newHigh) override;
    std::uint32_t OsGetSize(std::uint32_t& high) override;
    bool OsSetEnd() override;
    std::uint32_t OsLastError() override { return lastError; }

private:
    void* handle;
    std::uint32_t lastError = 0;
};

} // namespace tavro
