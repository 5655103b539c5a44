#pragma once
// The windowing and timing operations the shell and the renderer rely on. Each operation is shaped
// after the desktop call it stands for, so a Win32 backend forwards one to one while the SDL and
// headless backends emulate the same effects. Message ids, command ids and accelerator flags carry
// the Win32 numbers.
#include <cstdint>
#include <string>
#include <vector>

namespace tavro::platform {

// An opaque window: the main window or an open dialog. Null means no window.
struct WindowTag;
using WindowHandle = WindowTag*;

// Message ids.
constexpr std::uint32_t kMessageDestroy = 0x0002;
constexpr std::uint32_t kMessageSize = 0x0005;
constexpr std::uint32_t kMessagePaint = 0x000F;
constexpr std::uint32_t kMessageClose = 0x0010;
constexpr std::uint32_t kMessageQuit = 0x0012;
constexpr std::uint32_t kMessageKeyDown = 0x0100;
constexpr std::uint32_t kMessageChar = 0x0102;
constexpr std::uint32_t kMessageSysKeyDown = 0x0104;
constexpr std::uint32_t kMessageSysChar = 0x0106;
constexpr std::uint32_t kMessageInitDialog = 0x0110;
constexpr std::uint32_t kMessageCommand = 0x0111;
// Mouse messages carry the pointer's client position in lParam (see PointerX, PointerY) and the held
// buttons in wParam; the wheel's high word of wParam is its signed turn in kWheelDelta steps.
constexpr std::uint32_t kMessageMouseMove = 0x0200;
constexpr std::uint32_t kMessageLeftButtonDown = 0x0201;
constexpr std::uint32_t kMessageLeftButtonUp = 0x0202;
constexpr std::uint32_t kMessageLeftButtonDoubleClick = 0x0203;
constexpr std::uint32_t kMessageMouseWheel = 0x020A;
// Files dropped on a window that accepts them; wParam is the drop, read with TakeDroppedFile.
constexpr std::uint32_t kMessageDropFiles = 0x0233;

constexpr std::uintptr_t kLeftButtonHeld = 0x0001;
constexpr int kWheelDelta = 120;

constexpr std::intptr_t MakePointerParam(int x, int y) {
    return static_cast<std::intptr_t>((static_cast<std::uint32_t>(y & 0xFFFF) << 16) |
                                      static_cast<std::uint32_t>(x & 0xFFFF));
}
constexpr int PointerX(std::intptr_t lParam) {
    return static_cast<std::int16_t>(lParam & 0xFFFF);
}
constexpr int PointerY(std::intptr_t lParam) {
    return static_cast<std::int16_t>((lParam >> 16) & 0xFFFF);
}
constexpr int WheelTurn(std::uintptr_t wParam) {
    return static_cast<std::int16_t>((wParam >> 16) & 0xFFFF);
}

// Dialog command ids: the default button and the cancel key (Esc).
constexpr std::uint16_t kCommandOk = 1;
constexpr std::uint16_t kCommandCancel = 2;

// Virtual key codes of kMessageKeyDown. Letters and digits are their upper-case characters.
constexpr std::uintptr_t kKeyBack = 0x08;
constexpr std::uintptr_t kKeyReturn = 0x0D;
constexpr std::uintptr_t kKeyEscape = 0x1B;
constexpr std::uintptr_t kKeySpace = 0x20;
constexpr std::uintptr_t kKeyPageUp = 0x21;
constexpr std::uintptr_t kKeyPageDown = 0x22;
constexpr std::uintptr_t kKeyEnd = 0x23;
constexpr std::uintptr_t kKeyHome = 0x24;
constexpr std::uintptr_t kKeyLeft = 0x25;
constexpr std::uintptr_t kKeyRight = 0x27;
constexpr std::uintptr_t kKeyF1 = 0x70;
constexpr std::uintptr_t kKeyF12 = 0x7B;

// For kMessageChar and kMessageSysChar, bit 29 of lParam tells that Alt was held.
constexpr std::intptr_t kAltHeldBit = std::intptr_t{1} << 29;

struct Message {
    WindowHandle window = nullptr;
    std::uint32_t id = 0;
    std::uintptr_t wParam = 0;
    std::intptr_t lParam = 0;
};

struct Rect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
};

// The low 16 bits of a command message's wParam: the command id.
constexpr std::uint16_t CommandId(std::uintptr_t wParam) {
    return static_cast<std::uint16_t>(wParam & 0xFFFF);
}

// Receives the messages dispatched to a window (the window procedure).
class IWindowProcedure {
public:
    virtual ~IWindowProcedure() = default;
    virtual std::intptr_t HandleMessage(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                                        std::intptr_t lParam) = 0;
};

// Receives the messages of a modal dialog; returns true for a message it handled.
class IDialogProcedure {
public:
    virtual ~IDialogProcedure() = default;
    virtual bool HandleDialogMessage(WindowHandle dialog, std::uint32_t message, std::uintptr_t wParam,
                                     std::intptr_t lParam) = 0;
};

// A menu: popups in the menu bar, each holding command items. '&' marks the mnemonic letter.
struct MenuItem {
    std::string text;
    std::uint16_t command = 0;
};
struct MenuPopup {
    std::string text;
    std::vector<MenuItem> items;
};
struct MenuTemplate {
    std::uint16_t resourceId = 0;
    std::vector<MenuPopup> popups;
};

// Accelerators: a character, with or without Alt held, mapped to a command.
constexpr std::uint8_t kAcceleratorAlt = 0x10;
struct Accelerator {
    std::uint8_t flags = 0;
    std::uint16_t key = 0;
    std::uint16_t command = 0;
};
struct AcceleratorTable {
    std::uint16_t resourceId = 0;
    std::vector<Accelerator> entries;
};

// An icon: square RGBA images (8 bits per channel, rows top to bottom), one per size.
struct IconImage {
    int size = 0;
    std::vector<std::uint8_t> rgba;
};
struct IconResource {
    std::uint16_t resourceId = 0;
    std::vector<IconImage> images;
};

// A dialog template; positions and sizes are in dialog units (a quarter of the font's average
// character width horizontally, an eighth of its height vertically).
enum class DialogControlKind { Icon, Text, DefaultButton };
struct DialogControl {
    DialogControlKind kind = DialogControlKind::Text;
    std::int16_t x = 0;
    std::int16_t y = 0;
    std::int16_t width = 0;
    std::int16_t height = 0;
    std::int32_t id = -1;
    std::string text;
    const IconResource* icon = nullptr; // for DialogControlKind::Icon
};
struct DialogTemplate {
    std::uint16_t resourceId = 0;
    std::string caption;
    std::int16_t width = 0;
    std::int16_t height = 0;
    std::string fontName;
    std::uint16_t fontPointSize = 0;
    std::vector<DialogControl> controls;
};

// What a window class carries: its procedure, icon and menu. The pointed-to objects must outlive
// every window of the class.
struct WindowClass {
    std::string className;
    IWindowProcedure* procedure = nullptr;
    const IconResource* icon = nullptr;
    const MenuTemplate* menu = nullptr;
};

class IPlatform {
public:
    virtual ~IPlatform() = default;

    // Milliseconds since an arbitrary start, unsigned 32-bit, wrapping; only differences count.
    virtual std::uint32_t GetTickCount() = 0;

    // The window's client area (left and top are 0). False for an unknown window.
    virtual bool GetClientRect(WindowHandle window, Rect& rect) = 0;

    // Registers a class for CreateMainWindow. False when the class cannot be registered.
    virtual bool RegisterWindowClass(const WindowClass& windowClass) = 0;

    // Creates the top-level window of a registered class with the class's menu; width and height are
    // the outer size. Null on failure.
    virtual WindowHandle CreateMainWindow(const std::string& className, const std::string& title, int width,
                                          int height) = 0;

    virtual void ShowWindow(WindowHandle window) = 0;
    // Answers a pending paint request at once.
    virtual void UpdateWindow(WindowHandle window) = 0;

    // Takes one waiting message without waiting. False when none is waiting.
    virtual bool PeekMessage(Message& message) = 0;

    // When the message is a key of the table, sends the table's command to the window procedure and
    // returns true; otherwise false.
    virtual bool TranslateAccelerator(WindowHandle window, const AcceleratorTable& table,
                                      const Message& message) = 0;

    // Posts the character message that belongs to a key-down message, if any.
    virtual void TranslateMessage(const Message& message) = 0;

    // Hands the message to its window's procedure and returns its result.
    virtual std::intptr_t DispatchMessage(const Message& message) = 0;

    // Default handling: kMessageClose destroys the window; anything else returns 0.
    virtual std::intptr_t DefWindowProc(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                                        std::intptr_t lParam) = 0;

    // Answer a paint request (the window draws nothing of its own between the two).
    virtual void BeginPaint(WindowHandle window) = 0;
    virtual void EndPaint(WindowHandle window) = 0;

    // Destroys the window; its procedure receives kMessageDestroy before the call returns.
    virtual bool DestroyWindow(WindowHandle window) = 0;

    // Queues kMessageQuit with exitCode as its wParam.
    virtual void PostQuitMessage(int exitCode) = 0;

    // Shows the dialog modally over owner and runs its own message loop until the procedure calls
    // EndDialog; returns the value given to EndDialog, or -1 when the dialog could not be shown.
    virtual std::intptr_t DialogBox(const DialogTemplate& dialogTemplate, WindowHandle owner,
                                    IDialogProcedure& procedure) = 0;

    // Ends the modal loop of the dialog with result.
    virtual void EndDialog(WindowHandle dialog, std::intptr_t result) = 0;

    // Sets the window's caption (UTF-8).
    virtual void SetWindowTitle(WindowHandle window, const std::string& text) = 0;

    // Lets files be dropped on the window from now on; each drop arrives as kMessageDropFiles.
    virtual void DragAcceptFiles(WindowHandle window) = 0;
    // The path (UTF-8) of the first file of a drop, which is released; empty for an unknown drop.
    virtual std::string TakeDroppedFile(std::uintptr_t drop) = 0;

    // Mouse messages go to the window even outside it until the capture is released (a drag).
    virtual void SetCapture(WindowHandle window) = 0;
    virtual void ReleaseCapture() = 0;
};

} // namespace tavro::platform
