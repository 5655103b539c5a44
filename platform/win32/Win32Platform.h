#pragma once
// The platform operations on the real Win32 window manager: each one forwards to the user32 or kernel32
// call it is named after. Menus, accelerators, icons and dialogs are the module's own resources, found
// by the resource ids the templates carry; the templates' other contents are already in the resources.
#include "platform/Platform.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>

namespace tavro::platform {

class CWin32Platform final : public IPlatform {
public:
    // instance is the module's HINSTANCE (resources are loaded from it); showCommand is the show
    // command the program was started with, used by ShowWindow. Only one instance may exist at a time:
    // the window and dialog procedures reach it through a process-wide pointer.
    CWin32Platform(void* instance, int showCommand);
    ~CWin32Platform() override;
    CWin32Platform(const CWin32Platform&) = delete;
    CWin32Platform& operator=(const CWin32Platform&) = delete;

    std::uint32_t GetTickCount() override;
    bool GetClientRect(WindowHandle window, Rect& rect) override;
    // Registers the class with its procedure, icon resource (large and small) and menu resource.
    bool RegisterWindowClass(const WindowClass& windowClass) override;
    WindowHandle CreateMainWindow(const std::string& className, const std::string& title, int width,
                                  int height) override;
    void ShowWindow(WindowHandle window) override;
    void UpdateWindow(WindowHandle window) override;
    bool PeekMessage(Message& message) override;
    // The table's accelerator resource is loaded on first use and kept for the platform's lifetime.
    bool TranslateAccelerator(WindowHandle window, const AcceleratorTable& table,
                              const Message& message) override;
    void TranslateMessage(const Message& message) override;
    std::intptr_t DispatchMessage(const Message& message) override;
    std::intptr_t DefWindowProc(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                                std::intptr_t lParam) override;
    void BeginPaint(WindowHandle window) override;
    void EndPaint(WindowHandle window) override;
    bool DestroyWindow(WindowHandle window) override;
    void PostQuitMessage(int exitCode) override;
    // DialogBoxParamW on the template's dialog resource.
    std::intptr_t DialogBox(const DialogTemplate& dialogTemplate, WindowHandle owner,
                            IDialogProcedure& procedure) override;
    void EndDialog(WindowHandle dialog, std::intptr_t result) override;
    void SetWindowTitle(WindowHandle window, const std::string& text) override;
    void DragAcceptFiles(WindowHandle window) override;
    std::string TakeDroppedFile(std::uintptr_t drop) override;
    void SetCapture(WindowHandle window) override;
    void ReleaseCapture() override;

    // The procedures the window manager calls (MainWindowProc and AboutDialogProc) hand every message to
    // these; null while no window or dialog is being created or shown.
    IWindowProcedure* windowProcedure = nullptr;
    IDialogProcedure* dialogProcedure = nullptr;

private:
    void* instance_;
    int showCommand_;
    std::map<std::string, IWindowProcedure*> classProcedures_;
    std::map<std::uint16_t, void*> acceleratorTables_;
    // The time and cursor position of the message PeekMessage took last, which TranslateAccelerator,
    // TranslateMessage and DispatchMessage pass on with it.
    std::uint32_t lastMessageTime_ = 0;
    std::int32_t lastMessageX_ = 0;
    std::int32_t lastMessageY_ = 0;
    // BeginPaint's record, handed back to EndPaint.
    struct PaintRecord;
    std::unique_ptr<PaintRecord> paint_;
};

} // namespace tavro::platform
