#pragma once
// Ref<T>: holds one reference to a graphics object and releases it when it goes, for code that prefers
// scope-bound ownership to explicit Release calls (tools, tests).
#include <utility>

namespace tavro::gpu {

template <typename T>
class Ref {
public:
    Ref() = default;
    // Takes over a reference the caller owns.
    explicit Ref(T* owned) : object(owned) {}
    Ref(const Ref&) = delete;
    Ref& operator=(const Ref&) = delete;
    Ref(Ref&& other) noexcept : object(std::exchange(other.object, nullptr)) {}
    Ref& operator=(Ref&& other) noexcept {
        if (this != &other) {
            Reset();
            object = std::exchange(other.object, nullptr);
        }
        return *this;
    }
    ~Ref() { Reset(); }

    T* Get() const { return object; }
    T* operator->() const { return object; }
    explicit operator bool() const { return object != nullptr; }

    // Releases what is held and returns the slot for a creating call's out-pointer.
    T** Put() {
        Reset();
        return &object;
    }

    void Reset() {
        if (object != nullptr)
            std::exchange(object, nullptr)->Release();
    }

private:
    T* object = nullptr;
};

} // namespace tavro::gpu
