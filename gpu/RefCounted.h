#pragma once
// Reference counting for backend objects: implements IObject's AddRef and Release over any interface.
#include "gpu/Device.h"

#include <cstdint>

namespace tavro::gpu {

template <typename Interface>
class RefCounted : public Interface {
public:
    std::uint32_t AddRef() override { return ++refCount; }

    std::uint32_t Release() override {
        const std::uint32_t remaining = --refCount;
        if (remaining == 0)
            delete this;
        return remaining;
    }

protected:
    RefCounted() = default;
    RefCounted(const RefCounted&) = delete;
    RefCounted& operator=(const RefCounted&) = delete;

private:
    std::uint32_t refCount = 1; // the creator's reference
};

} // namespace tavro::gpu
