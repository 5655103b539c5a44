#pragma once
// A window that is never shown, for the Direct3D tests' swap chains: presenting to it works, and the
// image stays readable through ReadPresentedImage.
#include <windows.h>

namespace tavro::gpu::d3d11 {

class HiddenWindow {
public:
    HiddenWindow() {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = kClassName;
        RegisterClassW(&windowClass); // fails harmlessly when an earlier test registered it
        handle = CreateWindowExW(0, kClassName, L"", WS_OVERLAPPEDWINDOW, 0, 0, 320, 240, nullptr, nullptr,
                                 windowClass.hInstance, nullptr);
    }
    HiddenWindow(const HiddenWindow&) = delete;
    HiddenWindow& operator=(const HiddenWindow&) = delete;
    ~HiddenWindow() {
        if (handle != nullptr)
            DestroyWindow(handle);
    }

    HWND Handle() const { return handle; }

private:
    static constexpr const wchar_t* kClassName = L"TavroHiddenTestWindow";
    HWND handle = nullptr;
};

} // namespace tavro::gpu::d3d11
