#pragma once
// A vector allocator that skips the zero-filling of new elements, for large arrays that are
// overwritten right after they are sized.
#include <memory>
#include <utility>

namespace tavro {

// Leaves elements uninitialised when a vector grows, for arrays that are filled right after sizing.
template <typename T>
struct UninitializedAllocator : std::allocator<T> {
    template <typename U>
    struct rebind {
        using other = UninitializedAllocator<U>;
    };
    UninitializedAllocator() = default;
    template <typename U>
    UninitializedAllocator(const UninitializedAllocator<U>&) noexcept {}
    template <typename U>
    void construct(U* place) noexcept {
        ::new (static_cast<void*>(place)) U;
    }
    template <typename U, typename... Args>
    void construct(U* place, Args&&... args) {
        ::new (static_cast<void*>(place)) U(std::forward<Args>(args)...);
    }
};

} // namespace tavro
