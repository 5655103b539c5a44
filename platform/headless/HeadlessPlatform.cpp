#include "platform/headless/HeadlessPlatform.h"

#include "platform/Accelerators.h"

#include <cstdio>

namespace tavro::platform {
namespace {

const WindowHandle kMainWindow = reinterpret_cast<WindowHandle>(std::uintptr_t{1});
const WindowHandle kDialogWindow = reinterpret_cast<WindowHandle>(std::uintptr_t{2});

std::string MessageName(const char* prefix, std::uint32_t id) {
    char text[32];
    std::snprintf(text, sizeof text, "%s 0x%04X", prefix, static_cast<unsigned>(id));
    return text;
}

} // namespace

CHeadlessPlatform::CHeadlessPlatform(int clientWidth, int clientHeight)
    : clientWidth_(clientWidth), clientHeight_(clientHeight) {}

void CHeadlessPlatform::QueueMessage(std::uint32_t id, std::uintptr_t wParam, std::intptr_t lParam) {
    const WindowHandle target = dialogProcedure_ != nullptr ? kDialogWindow : mainWindow_;
    queue_.push_back(Message{target, id, wParam, lParam});
}

void CHeadlessPlatform::QueueAltCharacter(char character) {
    QueueMessage(kMessageSysKeyDown, static_cast<unsigned char>(character), kAltHeldBit);
}

void CHeadlessPlatform::QueueDrop(const std::string& path) {
    const std::uintptr_t drop = nextDrop_++;
    drops_[drop] = path;
    QueueMessage(kMessageDropFiles, drop);
}

void CHeadlessPlatform::ResizeClient(int width, int height) {
    clientWidth_ = width;
    clientHeight_ = height;
    QueueMessage(kMessageSize, 0, MakePointerParam(width, height));
}

bool CHeadlessPlatform::GetClientRect(WindowHandle window, Rect& rect) {
    if (window == nullptr || window != mainWindow_) {
        return false;
    }
    rect = Rect{0, 0, clientWidth_, clientHeight_};
    return true;
}

bool CHeadlessPlatform::RegisterWindowClass(const WindowClass& windowClass) {
    log_.push_back("RegisterWindowClass");
    if (windowClass.procedure == nullptr || classes_.count(windowClass.className) != 0) {
        return false;
    }
    classes_[windowClass.className] = windowClass;
    return true;
}

WindowHandle CHeadlessPlatform::CreateMainWindow(const std::string& className, const std::string& title, int,
                                                 int) {
    log_.push_back("CreateMainWindow " + title);
    windowText_ = title;
    const auto found = classes_.find(className);
    if (failWindowCreation_ || found == classes_.end() || mainWindow_ != nullptr) {
        return nullptr;
    }
    mainWindow_ = kMainWindow;
    mainProcedure_ = found->second.procedure;
    return mainWindow_;
}

void CHeadlessPlatform::ShowWindow(WindowHandle window) {
    log_.push_back("ShowWindow");
    if (window == mainWindow_ && window != nullptr) {
        paintPending_ = true;
    }
}

void CHeadlessPlatform::UpdateWindow(WindowHandle window) {
    log_.push_back("UpdateWindow");
    if (window == mainWindow_ && window != nullptr && paintPending_) {
        mainProcedure_->HandleMessage(window, kMessagePaint, 0, 0);
    }
}

bool CHeadlessPlatform::PeekMessage(Message& message) {
    if (!queue_.empty()) {
        message = queue_.front();
        queue_.pop_front();
        return true;
    }
    if (paintPending_) {
        message = Message{mainWindow_, kMessagePaint, 0, 0};
        return true;
    }
    return false;
}

bool CHeadlessPlatform::TranslateAccelerator(WindowHandle window, const AcceleratorTable& table,
                                             const Message& message) {
    const int command = FindAcceleratorCommand(table, message);
    if (command < 0 || window == nullptr || window != mainWindow_) {
        return false;
    }
    log_.push_back("Accelerator " + std::to_string(command));
    mainProcedure_->HandleMessage(window, kMessageCommand, static_cast<std::uintptr_t>(command), 0);
    return true;
}

void CHeadlessPlatform::TranslateMessage(const Message& message) {
    // A queued key-down carries its character in wParam; the character message goes first in line,
    // as it would on a desktop.
    if (message.id == kMessageSysKeyDown) {
        queue_.push_front(Message{message.window, kMessageSysChar, message.wParam, message.lParam});
    } else if (message.id == kMessageKeyDown && message.wParam >= 0x20 && message.wParam < 0x7F) {
        queue_.push_front(Message{message.window, kMessageChar, message.wParam, message.lParam});
    }
}

std::intptr_t CHeadlessPlatform::DispatchMessage(const Message& message) {
    log_.push_back(MessageName("Dispatch", message.id));
    if (message.window == kDialogWindow && dialogProcedure_ != nullptr) {
        HandleDialogMessage(message);
        return 0;
    }
    if (message.window == nullptr || message.window != mainWindow_) {
        return 0;
    }
    return mainProcedure_->HandleMessage(message.window, message.id, message.wParam, message.lParam);
}

std::intptr_t CHeadlessPlatform::DefWindowProc(WindowHandle window, std::uint32_t message, std::uintptr_t,
                                               std::intptr_t) {
    if (message == kMessageClose) {
        DestroyWindow(window);
    }
    return 0;
}

void CHeadlessPlatform::BeginPaint(WindowHandle window) {
    log_.push_back("BeginPaint");
    if (window == mainWindow_) {
        paintPending_ = false;
    }
}

void CHeadlessPlatform::EndPaint(WindowHandle) {
    log_.push_back("EndPaint");
}

bool CHeadlessPlatform::DestroyWindow(WindowHandle window) {
    log_.push_back("DestroyWindow");
    if (window == nullptr || window != mainWindow_) {
        return false;
    }
    IWindowProcedure* procedure = mainProcedure_;
    procedure->HandleMessage(window, kMessageDestroy, 0, 0);
    mainWindow_ = nullptr;
    mainProcedure_ = nullptr;
    paintPending_ = false;
    return true;
}

void CHeadlessPlatform::PostQuitMessage(int exitCode) {
    log_.push_back("PostQuitMessage " + std::to_string(exitCode));
    queue_.push_back(Message{nullptr, kMessageQuit, static_cast<std::uintptr_t>(exitCode), 0});
}

std::intptr_t CHeadlessPlatform::DialogBox(const DialogTemplate& dialogTemplate, WindowHandle owner,
                                           IDialogProcedure& procedure) {
    log_.push_back("DialogBox " + std::to_string(dialogTemplate.resourceId));
    if (dialogProcedure_ != nullptr || owner == nullptr || owner != mainWindow_) {
        return -1;
    }
    dialogProcedure_ = &procedure;
    dialogEnded_ = false;
    procedure.HandleDialogMessage(kDialogWindow, kMessageInitDialog, 0, 0);
    if (onDialogOpen) {
        onDialogOpen(*this);
    }
    // The modal loop. Without a screen nobody could ever close a dialog whose queue has run dry, so
    // that ends it as a failure instead of spinning.
    while (!dialogEnded_) {
        if (queue_.empty()) {
            log_.push_back("DialogBox starved");
            dialogProcedure_ = nullptr;
            return -1;
        }
        Message message = queue_.front();
        queue_.pop_front();
        if (message.id == kMessageQuit) {
            queue_.push_front(message);
            dialogProcedure_ = nullptr;
            return -1;
        }
        DispatchMessage(message);
    }
    dialogProcedure_ = nullptr;
    log_.push_back("DialogBox closed " + std::to_string(dialogResult_));
    return dialogResult_;
}

void CHeadlessPlatform::HandleDialogMessage(const Message& message) {
    // The dialog's own keys: Enter presses the default button, Esc cancels.
    if (message.id == kMessageKeyDown && message.wParam == kKeyReturn) {
        dialogProcedure_->HandleDialogMessage(kDialogWindow, kMessageCommand, kCommandOk, 0);
    } else if (message.id == kMessageKeyDown && message.wParam == kKeyEscape) {
        dialogProcedure_->HandleDialogMessage(kDialogWindow, kMessageCommand, kCommandCancel, 0);
    } else {
        dialogProcedure_->HandleDialogMessage(kDialogWindow, message.id, message.wParam, message.lParam);
    }
}

void CHeadlessPlatform::EndDialog(WindowHandle dialog, std::intptr_t result) {
    if (dialog == kDialogWindow && dialogProcedure_ != nullptr) {
        dialogEnded_ = true;
        dialogResult_ = result;
    }
}

void CHeadlessPlatform::SetWindowTitle(WindowHandle window, const std::string& text) {
    log_.push_back("SetWindowTitle " + text);
    if (window != nullptr && window == mainWindow_) {
        windowText_ = text;
    }
}

void CHeadlessPlatform::DragAcceptFiles(WindowHandle window) {
    acceptsDrops_ = window != nullptr && window == mainWindow_;
}

std::string CHeadlessPlatform::TakeDroppedFile(std::uintptr_t drop) {
    const auto found = drops_.find(drop);
    if (found == drops_.end()) {
        return {};
    }
    std::string path = std::move(found->second);
    drops_.erase(found);
    return path;
}

} // namespace tavro::platform
