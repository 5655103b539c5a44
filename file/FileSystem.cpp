#include "file/FileSystem.h"

namespace tavro {

std::optional<OpenRequest> DecodeOpenMode(std::int32_t mode) {
    OpenRequest request;
    switch (mode & 0x3) {
    case kOpenRead:
        request.read = true;
        break;
    case kOpenWrite:
        request.write = true;
        break;
    case kOpenReadWrite:
        request.read = true;
        request.write = true;
        break;
    default:
        return std::nullopt;
    }
    if ((mode & kOpenCreate) != 0) {
        request.disposition =
            (mode & kOpenKeepExisting) != 0 ? OpenDisposition::OpenAlways : OpenDisposition::CreateAlways;
    }
    return request;
}

} // namespace tavro
