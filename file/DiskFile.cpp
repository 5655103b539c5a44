#include "file/DiskFile.h"

#include <limits>

namespace tavro {

namespace {
constexpr std::uint32_t kInvalidLowHalf = 0xFFFFFFFFu;

std::uint64_t Combine(std::uint32_t high, std::uint32_t low) {
    return (std::uint64_t{high} << 32) | low;
}
} // namespace

std::uint32_t CDiskFile::Read(void* destination, std::uint32_t count) {
    if (destination == nullptr || count == 0) {
        return 0;
    }
    auto* bytes = static_cast<std::uint8_t*>(destination);
    std::uint32_t done = 0;
    while (done < count) {
        const std::uint32_t chunk = count - done < kTransferChunk ? count - done : kTransferChunk;
        std::uint32_t transferred = 0;
        if (!OsRead(bytes + done, chunk, transferred)) {
            return done;
        }
        if (transferred != chunk) {
            return done + (transferred < chunk ? transferred : chunk);
        }
        done += chunk;
    }
    return done;
}

std::uint32_t CDiskFile::Write(const void* source, std::uint32_t count) {
    if (source == nullptr || count == 0) {
        return 0;
    }
    const auto* bytes = static_cast<const std::uint8_t*>(source);
    std::uint32_t done = 0;
    while (done < count) {
        const std::uint32_t chunk = count - done < kTransferChunk ? count - done : kTransferChunk;
        std::uint32_t transferred = 0;
        if (!OsWrite(bytes + done, chunk, transferred)) {
            return done;
        }
        if (transferred != chunk) {
            return done + (transferred < chunk ? transferred : chunk);
        }
        done += chunk;
    }
    return done;
}

bool CDiskFile::MovePointer(std::int64_t distance, SeekOrigin origin, std::uint64_t* newPosition) {
    std::uint32_t high = 0;
    const std::uint32_t low = OsSetPointer(distance, origin, high);
    if (low == kInvalidLowHalf && OsLastError() != 0) {
        return false;
    }
    if (newPosition != nullptr) {
        *newPosition = Combine(high, low);
    }
    return true;
}

bool CDiskFile::Seek64(std::int64_t position) {
    if (position < 0) {
        return false;
    }
    return MovePointer(position, SeekOrigin::Begin, nullptr);
}

bool CDiskFile::Skip64(std::int64_t offset) {
    return MovePointer(offset, SeekOrigin::Current, nullptr);
}

bool CDiskFile::SeekFromEnd64(std::int64_t distance) {
    if (distance < 0) {
        return false;
    }
    return MovePointer(-distance, SeekOrigin::End, nullptr);
}

std::uint64_t CDiskFile::Tell64() {
    std::uint64_t position = 0;
    return MovePointer(0, SeekOrigin::Current, &position) ? position : 0;
}

std::uint64_t CDiskFile::GetSize64() {
    std::uint32_t high = 0;
    const std::uint32_t low = OsGetSize(high);
    if (low == kInvalidLowHalf && OsLastError() != 0) {
        return 0;
    }
    return Combine(high, low);
}

bool CDiskFile::SetSize64(std::uint64_t size) {
    if (size > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()) ||
        !Seek64(static_cast<std::int64_t>(size))) {
        return false;
    }
    return OsSetEnd();
}

} // namespace tavro
