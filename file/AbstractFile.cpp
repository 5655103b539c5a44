#include "file/AbstractFile.h"

#include <limits>

namespace tavro {

CAbstractFile::CAbstractFile() = default;

CAbstractFile::CAbstractFile(CFileSystem* openedBy, std::unique_ptr<CFileInfo> info)
    : fileSystem(openedBy), fileInfo(std::move(info)) {}

CAbstractFile::~CAbstractFile() = default;

namespace {
constexpr std::int64_t kInt32Max = std::numeric_limits<std::int32_t>::max();
constexpr std::int64_t kInt32Min = std::numeric_limits<std::int32_t>::min();
} // namespace

bool CAbstractFile32::Seek64(std::int64_t position) {
    if (position < 0 || position > kInt32Max) {
        return false;
    }
    return Seek(static_cast<std::int32_t>(position));
}

bool CAbstractFile32::Skip64(std::int64_t offset) {
    if (offset < kInt32Min || offset > kInt32Max) {
        return false;
    }
    return Skip(static_cast<std::int32_t>(offset));
}

bool CAbstractFile32::SeekFromEnd64(std::int64_t distance) {
    if (distance < 0 || distance > kInt32Max) {
        return false;
    }
    return SeekFromEnd(static_cast<std::int32_t>(distance));
}

std::uint64_t CAbstractFile32::Tell64() {
    return Tell();
}

std::uint64_t CAbstractFile32::GetSize64() {
    return GetSize();
}

bool CAbstractFile32::SetSize64(std::uint64_t size) {
    if (size > std::numeric_limits<std::uint32_t>::max()) {
        return false;
    }
    return SetSize(static_cast<std::uint32_t>(size));
}

bool CAbstractFile64::Seek(std::int32_t position) {
    return Seek64(position);
}

bool CAbstractFile64::Skip(std::int32_t offset) {
    return Skip64(offset);
}

bool CAbstractFile64::SeekFromEnd(std::int32_t distance) {
    return SeekFromEnd64(distance);
}

std::uint32_t CAbstractFile64::Tell() {
    return static_cast<std::uint32_t>(Tell64());
}

std::uint32_t CAbstractFile64::GetSize() {
    return static_cast<std::uint32_t>(GetSize64());
}

bool CAbstractFile64::SetSize(std::uint32_t size) {
    return SetSize64(size);
}

} // namespace tavro
