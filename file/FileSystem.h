#pragma once
// The service that opens disk files, and the process-wide instance for the host platform.
#include "file/AbstractFile.h"

#include <cstdint>
#include <memory>
#include <optional>

namespace tavro {

// Open mode bits. The low two bits select the access (3 is invalid); kOpenCreate empties or creates the
// file, and together with kOpenKeepExisting opens it, creating it only when missing. Other bits are
// ignored.
constexpr std::int32_t kOpenRead = 0;
constexpr std::int32_t kOpenWrite = 1;
constexpr std::int32_t kOpenReadWrite = 2;
constexpr std::int32_t kOpenCreate = 0x1000;
constexpr std::int32_t kOpenKeepExisting = 0x2000;

enum class OpenDisposition { OpenExisting, CreateAlways, OpenAlways };

struct OpenRequest {
    bool read = false;
    bool write = false;
    OpenDisposition disposition = OpenDisposition::OpenExisting;
};

// What an open mode asks of the platform; nothing for an invalid access value.
std::optional<OpenRequest> DecodeOpenMode(std::int32_t mode);

class CFileSystem {
public:
    virtual ~CFileSystem() = default;
    // Opens the file at path (null-terminated) in the given mode; null for a null path, an invalid
    // mode or a file the platform cannot open. The file closes when destroyed.
    virtual std::unique_ptr<CAbstractFile> OpenFile(const wchar_t* path, std::int32_t mode) = 0;
    // Removes the file at path; true on success.
    virtual bool DeleteFile(const wchar_t* path) = 0;
    // Creates the last component of path as a directory; true on success or when it already exists.
    virtual bool CreateDirectory(const wchar_t* path) = 0;
};

// The host platform's file system; stateless and alive for the whole run.
CFileSystem& GetFileSystem();

} // namespace tavro
