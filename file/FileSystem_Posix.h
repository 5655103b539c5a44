#pragma once
// The POSIX file system: paths are converted to UTF-8 and opened with open(2).
#include "file/FileSystem.h"

namespace tavro {

class CFileSystem_Posix : public CFileSystem {
public:
    // Opens regular files only: a directory, device or pipe is refused, so no open or read can block.
    std::unique_ptr<CAbstractFile> OpenFile(const wchar_t* path, std::int32_t mode) override;
    bool DeleteFile(const wchar_t* path) override;
    bool CreateDirectory(const wchar_t* path) override;
};

} // namespace tavro
