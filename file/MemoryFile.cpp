#include "file/MemoryFile.h"

#include <cstring>
#include <new>
#include <utility>

namespace tavro {

namespace {
constexpr std::uint64_t kMaxMemoryFileSize = 0xFFFFFFFFu;
} // namespace

std::uint32_t CMemoryFileBase::Read(void* destination, std::uint32_t count) {
    if (destination == nullptr) {
        return 0;
    }
    const std::uint32_t available = size - position;
    const std::uint32_t taken = count < available ? count : available;
    if (taken != 0) {
        std::memcpy(destination, buffer + position, taken);
        position += taken;
    }
    return taken;
}

bool CMemoryFileBase::SeekFromEnd(std::int32_t distance) {
    if (distance < 0 || static_cast<std::uint32_t>(distance) > size) {
        return false;
    }
    position = size - static_cast<std::uint32_t>(distance);
    return true;
}

bool CMemoryFileBase::SkipBack(std::int32_t offset) {
    // Negating in 64 bits keeps -2^31 representable.
    const std::uint64_t back = static_cast<std::uint64_t>(-static_cast<std::int64_t>(offset));
    if (back > position) {
        return false;
    }
    position -= static_cast<std::uint32_t>(back);
    return true;
}

CReadOnlyMemoryFile::CReadOnlyMemoryFile(const std::uint8_t* block, std::uint32_t blockSize, bool owns)
    : CMemoryFileBase(const_cast<std::uint8_t*>(block), blockSize), ownsBuffer(owns) {}

CReadOnlyMemoryFile::~CReadOnlyMemoryFile() {
    if (ownsBuffer) {
        delete[] buffer;
    }
}

std::uint32_t CReadOnlyMemoryFile::Write(const void*, std::uint32_t) {
    return 0;
}

bool CReadOnlyMemoryFile::Seek(std::int32_t newPosition) {
    if (newPosition < 0 || static_cast<std::uint32_t>(newPosition) > size) {
        return false;
    }
    position = static_cast<std::uint32_t>(newPosition);
    return true;
}

bool CReadOnlyMemoryFile::Skip(std::int32_t offset) {
    if (offset < 0) {
        return SkipBack(offset);
    }
    if (static_cast<std::uint32_t>(offset) > size - position) {
        return false;
    }
    position += static_cast<std::uint32_t>(offset);
    return true;
}

bool CReadOnlyMemoryFile::SetSize(std::uint32_t) {
    return false;
}

CMemoryFile::CMemoryFile(std::uint8_t* block, std::uint32_t blockSize, bool owns)
    : CMemoryFileBase(block, blockSize), capacity(blockSize), ownsBuffer(owns) {}

CMemoryFile::~CMemoryFile() {
    if (ownsBuffer) {
        delete[] buffer;
    }
}

bool CMemoryFile::GrowTo(std::uint32_t newSize) {
    if (!ownsBuffer) {
        return false;
    }
    if (newSize <= size) {
        return true;
    }
    if (newSize > capacity) {
        // Growing by half the capacity keeps repeated appends to few reallocations.
        const std::uint64_t grown = std::uint64_t{capacity} + capacity / 2;
        std::uint32_t newCapacity = grown > kMaxMemoryFileSize ? 0 : static_cast<std::uint32_t>(grown);
        if (newCapacity < newSize) {
            newCapacity = newSize;
        }
        std::uint8_t* block = new (std::nothrow) std::uint8_t[newCapacity];
        if (block == nullptr) {
            return false;
        }
        if (size != 0) {
            std::memcpy(block, buffer, size);
        }
        delete[] buffer;
        buffer = block;
        capacity = newCapacity;
    }
    size = newSize;
    return true;
}

std::uint32_t CMemoryFile::Write(const void* source, std::uint32_t count) {
    if (source == nullptr) {
        return 0;
    }
    if (count > size - position) {
        if (std::uint64_t{position} + count > kMaxMemoryFileSize) {
            count = static_cast<std::uint32_t>(kMaxMemoryFileSize - position);
        }
        if (!GrowTo(position + count)) {
            return 0;
        }
    }
    if (count != 0) {
        std::memcpy(buffer + position, source, count);
        position += count;
    }
    return count;
}

bool CMemoryFile::Seek(std::int32_t newPosition) {
    if (newPosition < 0) {
        return false;
    }
    const auto target = static_cast<std::uint32_t>(newPosition);
    if (target > size && !GrowTo(target)) {
        return false;
    }
    position = target;
    return true;
}

bool CMemoryFile::Skip(std::int32_t offset) {
    if (offset < 0) {
        return SkipBack(offset);
    }
    const auto forward = static_cast<std::uint32_t>(offset);
    if (forward > size - position) {
        if (std::uint64_t{position} + forward > kMaxMemoryFileSize || !GrowTo(position + forward)) {
            return false;
        }
    }
    position += forward;
    return true;
}

bool CMemoryFile::SetSize(std::uint32_t newSize) {
    if (newSize > size) {
        return GrowTo(newSize);
    }
    size = newSize;
    if (position > newSize) {
        position = newSize;
    }
    return true;
}

void CMemoryFile::Swap(CMemoryFile& other) noexcept {
    std::swap(position, other.position);
    std::swap(size, other.size);
    std::swap(buffer, other.buffer);
    std::swap(capacity, other.capacity);
    std::swap(ownsBuffer, other.ownsBuffer);
}

std::uint8_t* CMemoryFile::DetachBuffer() {
    std::uint8_t* detached = ownsBuffer ? buffer : nullptr;
    position = 0;
    size = 0;
    capacity = 0;
    buffer = nullptr;
    return detached;
}

} // namespace tavro
