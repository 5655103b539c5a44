#include "platform/win32/Win32Platform.h"

#include <windows.h>

#include <shellapi.h>

// <windows.h> renames these to their A/W forms; here they must stay the interface's own names.
#undef DialogBox
#undef PeekMessage
#undef DispatchMessage
#undef DefWindowProc
#undef TranslateAccelerator

namespace tavro::platform {

struct CWin32Platform::PaintRecord {
    PAINTSTRUCT paint;
};

namespace {

// The one platform object the window manager's callbacks reach.
CWin32Platform* activePlatform = nullptr;

HWND ToHwnd(WindowHandle window) {
    return reinterpret_cast<HWND>(window);
}

WindowHandle ToHandle(HWND window) {
    return reinterpret_cast<WindowHandle>(window);
}

HINSTANCE ToInstance(void* instance) {
    return static_cast<HINSTANCE>(instance);
}

// Resource texts are UTF-8 in our templates and UTF-16 for the window manager.
std::wstring Widen(const std::string& text) {
    if (text.empty()) {
        return {};
    }
    const int length =
        ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length > 0 ? length : 0), L'\0');
    if (length > 0) {
        ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    }
    return wide;
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    IWindowProcedure* procedure = activePlatform != nullptr ? activePlatform->windowProcedure : nullptr;
    if (procedure == nullptr) {
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
    return procedure->HandleMessage(ToHandle(window), message, wParam, lParam);
}

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    IDialogProcedure* procedure = activePlatform != nullptr ? activePlatform->dialogProcedure : nullptr;
    if (procedure == nullptr) {
        return FALSE;
    }
    return procedure->HandleDialogMessage(ToHandle(dialog), message, wParam, lParam) ? TRUE : FALSE;
}

} // namespace

CWin32Platform::CWin32Platform(void* instance, int showCommand)
    : instance_(instance), showCommand_(showCommand), paint_(std::make_unique<PaintRecord>()) {
    activePlatform = this;
}

CWin32Platform::~CWin32Platform() {
    for (const auto& [id, table] : acceleratorTables_) {
        ::DestroyAcceleratorTable(static_cast<HACCEL>(table));
    }
    activePlatform = nullptr;
}

std::uint32_t CWin32Platform::GetTickCount() {
    return ::GetTickCount();
}

bool CWin32Platform::GetClientRect(WindowHandle window, Rect& rect) {
    RECT client{};
    if (!::GetClientRect(ToHwnd(window), &client)) {
        return false;
    }
    rect = Rect{client.left, client.top, client.right, client.bottom};
    return true;
}

bool CWin32Platform::RegisterWindowClass(const WindowClass& windowClass) {
    const std::wstring className = Widen(windowClass.className);
    const HINSTANCE instance = ToInstance(instance_);
    WNDCLASSEXW description{};
    description.cbSize = sizeof(description);
    description.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
    description.lpfnWndProc = MainWindowProc;
    description.cbClsExtra = 0;
    description.cbWndExtra = 0;
    description.hInstance = instance;
    description.hIcon = windowClass.icon != nullptr
                            ? ::LoadIconW(instance, MAKEINTRESOURCEW(windowClass.icon->resourceId))
                            : nullptr;
    description.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    description.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    description.lpszMenuName =
        windowClass.menu != nullptr ? MAKEINTRESOURCEW(windowClass.menu->resourceId) : nullptr;
    description.lpszClassName = className.c_str();
    description.hIconSm = description.hIcon;
    if (::RegisterClassExW(&description) == 0) {
        return false;
    }
    classProcedures_[windowClass.className] = windowClass.procedure;
    return true;
}

WindowHandle CWin32Platform::CreateMainWindow(const std::string& className, const std::string& title,
                                              int width, int height) {
    const auto registered = classProcedures_.find(className);
    if (registered == classProcedures_.end()) {
        return nullptr;
    }
    // The procedure must be in place before the call: the window receives its creation messages from
    // inside CreateWindowExW.
    windowProcedure = registered->second;
    const std::wstring wideClass = Widen(className);
    const std::wstring wideTitle = Widen(title);
    const HWND window =
        ::CreateWindowExW(0, wideClass.c_str(), wideTitle.c_str(), WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                          CW_USEDEFAULT, width, height, nullptr, nullptr, ToInstance(instance_), nullptr);
    if (window == nullptr) {
        windowProcedure = nullptr;
    }
    return ToHandle(window);
}

void CWin32Platform::ShowWindow(WindowHandle window) {
    ::ShowWindow(ToHwnd(window), showCommand_);
}

void CWin32Platform::UpdateWindow(WindowHandle window) {
    ::UpdateWindow(ToHwnd(window));
}

bool CWin32Platform::PeekMessage(Message& message) {
    MSG taken{};
    if (!::PeekMessageW(&taken, nullptr, 0, 0, PM_REMOVE)) {
        return false;
    }
    message = Message{ToHandle(taken.hwnd), taken.message, taken.wParam, taken.lParam};
    lastMessageTime_ = taken.time;
    lastMessageX_ = taken.pt.x;
    lastMessageY_ = taken.pt.y;
    return true;
}

namespace {

MSG ToMsg(const Message& message, std::uint32_t time, std::int32_t x, std::int32_t y) {
    MSG native{};
    native.hwnd = ToHwnd(message.window);
    native.message = message.id;
    native.wParam = message.wParam;
    native.lParam = message.lParam;
    native.time = time;
    native.pt = POINT{x, y};
    return native;
}

} // namespace

bool CWin32Platform::TranslateAccelerator(WindowHandle window, const AcceleratorTable& table,
                                          const Message& message) {
    auto loaded = acceleratorTables_.find(table.resourceId);
    if (loaded == acceleratorTables_.end()) {
        const HACCEL accelerators =
            ::LoadAcceleratorsW(ToInstance(instance_), MAKEINTRESOURCEW(table.resourceId));
        loaded = acceleratorTables_.emplace(table.resourceId, accelerators).first;
    }
    if (loaded->second == nullptr) {
        return false;
    }
    MSG native = ToMsg(message, lastMessageTime_, lastMessageX_, lastMessageY_);
    return ::TranslateAcceleratorW(ToHwnd(window), static_cast<HACCEL>(loaded->second), &native) != 0;
}

void CWin32Platform::TranslateMessage(const Message& message) {
    const MSG native = ToMsg(message, lastMessageTime_, lastMessageX_, lastMessageY_);
    ::TranslateMessage(&native);
}

std::intptr_t CWin32Platform::DispatchMessage(const Message& message) {
    const MSG native = ToMsg(message, lastMessageTime_, lastMessageX_, lastMessageY_);
    return ::DispatchMessageW(&native);
}

std::intptr_t CWin32Platform::DefWindowProc(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                                            std::intptr_t lParam) {
    return ::DefWindowProcW(ToHwnd(window), message, wParam, lParam);
}

void CWin32Platform::BeginPaint(WindowHandle window) {
    ::BeginPaint(ToHwnd(window), &paint_->paint);
}

void CWin32Platform::EndPaint(WindowHandle window) {
    ::EndPaint(ToHwnd(window), &paint_->paint);
}

bool CWin32Platform::DestroyWindow(WindowHandle window) {
    return ::DestroyWindow(ToHwnd(window)) != 0;
}

void CWin32Platform::PostQuitMessage(int exitCode) {
    ::PostQuitMessage(exitCode);
}

std::intptr_t CWin32Platform::DialogBox(const DialogTemplate& dialogTemplate, WindowHandle owner,
                                        IDialogProcedure& procedure) {
    // A dialog opened from inside another's procedure gets the outer one's procedure back when it ends.
    IDialogProcedure* const outer = dialogProcedure;
    dialogProcedure = &procedure;
    const INT_PTR result =
        ::DialogBoxParamW(ToInstance(instance_), MAKEINTRESOURCEW(dialogTemplate.resourceId), ToHwnd(owner),
                          AboutDialogProc, 0);
    dialogProcedure = outer;
    return result;
}

void CWin32Platform::EndDialog(WindowHandle dialog, std::intptr_t result) {
    ::EndDialog(ToHwnd(dialog), result);
}

void CWin32Platform::SetWindowTitle(WindowHandle window, const std::string& text) {
    ::SetWindowTextW(ToHwnd(window), Widen(text).c_str());
}

void CWin32Platform::DragAcceptFiles(WindowHandle window) {
    ::DragAcceptFiles(ToHwnd(window), TRUE);
}

std::string CWin32Platform::TakeDroppedFile(std::uintptr_t drop) {
    const HDROP files = reinterpret_cast<HDROP>(drop);
    std::string path;
    const UINT length = ::DragQueryFileW(files, 0, nullptr, 0);
    if (length > 0) {
        std::wstring wide(length + 1, L'\0');
        if (::DragQueryFileW(files, 0, wide.data(), length + 1) == length) {
            wide.resize(length);
            const int bytes = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                                    nullptr, 0, nullptr, nullptr);
            if (bytes > 0) {
                path.resize(static_cast<std::size_t>(bytes));
                ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), path.data(),
                                      bytes, nullptr, nullptr);
            }
        }
    }
    ::DragFinish(files);
    return path;
}

void CWin32Platform::SetCapture(WindowHandle window) {
    ::SetCapture(ToHwnd(window));
}

void CWin32Platform::ReleaseCapture() {
    ::ReleaseCapture();
}

} // namespace tavro::platform
