#pragma once
// The Win32 file system: paths are passed to the wide-character file functions unchanged.
#include "file/FileSystem.h"

namespace tavro {

class CFileSystem_Windows : public CFileSystem {
public:
    // Opens disk files only: a pipe, console or device is refused, so no read can block.
    std::unique_ptr<CAbstractFile> OpenFile(const wchar_t* path, std::int32_t mode) override;
    bool DeleteFile(const wchar_t* path) override;
    bool CreateDirectory(const wchar_t* path) override;
};

} // namespace tavro
