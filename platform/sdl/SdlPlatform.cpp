#include "platform/sdl/SdlPlatform.h"

#include "platform/Accelerators.h"
#include "platform/TickCount.h"
#include "platform/sdl/SdlChrome.h"

#include <SDL.h>
#include <epoxy/gl.h>

#include <algorithm>
#include <clocale>

namespace tavro::platform {
namespace {

const WindowHandle kMainWindow = reinterpret_cast<WindowHandle>(std::uintptr_t{1});
const WindowHandle kDialogWindow = reinterpret_cast<WindowHandle>(std::uintptr_t{2});

// Frames drawn after the last input, so ImGui can finish what a click or key started (a menu opens on
// the frame after the click that asked for it).
constexpr int kFollowUpFrames = 3;
// The About box's loop sleeps this long at most between looks at the event queue.
constexpr int kDialogWaitMs = 100;

// The character a key gives on a US layout, or 0 for keys without one.
std::uint32_t KeyCharacter(const SDL_Keysym& key) {
    const bool shift = (key.mod & KMOD_SHIFT) != 0;
    const SDL_Keycode sym = key.sym;
    if (sym >= SDLK_a && sym <= SDLK_z) {
        return shift ? static_cast<std::uint32_t>(sym - 'a' + 'A') : static_cast<std::uint32_t>(sym);
    }
    if (sym < 0x20 || sym > 0x7E) {
        return 0;
    }
    if (!shift) {
        return static_cast<std::uint32_t>(sym);
    }
    static const char kUnshifted[] = "`1234567890-=[]\\;',./";
    static const char kShifted[] = "~!@#$%^&*()_+{}|:\"<>?";
    for (std::size_t i = 0; kUnshifted[i] != 0; ++i) {
        if (kUnshifted[i] == sym) {
            return static_cast<unsigned char>(kShifted[i]);
        }
    }
    return static_cast<std::uint32_t>(sym);
}

// The virtual key of a key event: upper-case letters and digits (keypad ones too) as themselves, the
// named keys by their Win32 codes, other characters as themselves; 0 for a key without a code.
std::uintptr_t VirtualKey(const SDL_Keysym& key) {
    switch (key.sym) {
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
        return kKeyReturn;
    case SDLK_ESCAPE:
        return kKeyEscape;
    case SDLK_BACKSPACE:
        return kKeyBack;
    case SDLK_PAGEUP:
        return kKeyPageUp;
    case SDLK_PAGEDOWN:
        return kKeyPageDown;
    case SDLK_HOME:
        return kKeyHome;
    case SDLK_END:
        return kKeyEnd;
    case SDLK_LEFT:
        return kKeyLeft;
    case SDLK_RIGHT:
        return kKeyRight;
    case SDLK_F1:
        return kKeyF1;
    case SDLK_F12:
        return kKeyF12;
    case SDLK_KP_0:
        return '0';
    default:
        break;
    }
    if (key.sym >= SDLK_KP_1 && key.sym <= SDLK_KP_9) {
        return static_cast<std::uintptr_t>('1' + (key.sym - SDLK_KP_1));
    }
    if (key.sym >= SDLK_a && key.sym <= SDLK_z) {
        return static_cast<std::uintptr_t>(key.sym - 'a' + 'A');
    }
    if (key.sym > 0 && key.sym <= 0x7E) {
        return static_cast<std::uintptr_t>(key.sym);
    }
    return 0;
}

// Keeps the graphics backend's framebuffer bindings, viewport, clear colour and the switches the
// window's own drawing turns off (scissor, sRGB writes) across that drawing, which shares the OpenGL
// context with the backend.
class GLStateGuard {
public:
    GLStateGuard() {
        glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &drawFramebuffer_);
        glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &readFramebuffer_);
        glGetIntegerv(GL_VIEWPORT, viewport_);
        glGetFloatv(GL_COLOR_CLEAR_VALUE, clearColour_);
        scissor_ = glIsEnabled(GL_SCISSOR_TEST);
        srgb_ = glIsEnabled(GL_FRAMEBUFFER_SRGB);
        glGetBooleanv(GL_COLOR_WRITEMASK, colourMask_);
    }
    ~GLStateGuard() {
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, static_cast<GLuint>(drawFramebuffer_));
        glBindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(readFramebuffer_));
        glViewport(viewport_[0], viewport_[1], viewport_[2], viewport_[3]);
        glClearColor(clearColour_[0], clearColour_[1], clearColour_[2], clearColour_[3]);
        if (scissor_) {
            glEnable(GL_SCISSOR_TEST);
        }
        if (srgb_) {
            glEnable(GL_FRAMEBUFFER_SRGB);
        }
        glColorMask(colourMask_[0], colourMask_[1], colourMask_[2], colourMask_[3]);
    }
    GLStateGuard(const GLStateGuard&) = delete;
    GLStateGuard& operator=(const GLStateGuard&) = delete;

private:
    GLint drawFramebuffer_ = 0;
    GLint readFramebuffer_ = 0;
    GLint viewport_[4] = {};
    GLfloat clearColour_[4] = {};
    GLboolean scissor_ = GL_FALSE;
    GLboolean srgb_ = GL_FALSE;
    GLboolean colourMask_[4] = {};
};

// SDL hands a window's title (UTF-8) to Xlib, which converts it through the C library's character
// locale. In the "C" locale every program runs in, a title beyond ASCII (the caption's dash and dots)
// comes out garbled and the window manager's UTF-8 title is not updated at all. So such a title is set
// with C.UTF-8 as the character locale; an ASCII title (the designed one) is set as it always was. The
// switch is process-wide but brief, on the window's thread; the workers' text (paths' extensions) is
// ASCII, which reads the same in either locale.
void SetWindowTitleUtf8(SDL_Window* window, const std::string& text) {
    if (std::all_of(text.begin(), text.end(), [](char c) { return (c & 0x80) == 0; })) {
        SDL_SetWindowTitle(window, text.c_str());
        return;
    }
    const std::string previous = std::setlocale(LC_CTYPE, nullptr);
    std::setlocale(LC_CTYPE, "C.UTF-8");
    SDL_SetWindowTitle(window, text.c_str());
    std::setlocale(LC_CTYPE, previous.c_str());
}

} // namespace

struct CSdlPlatform::Window {
    SDL_Window* window = nullptr;
    SDL_GLContext context = nullptr;
    SDL_GLContext workerContext = nullptr; // shares context's objects; current on no thread when deleted
    IWindowProcedure* procedure = nullptr;
    const MenuTemplate* menu = nullptr;
    const IconResource* icon = nullptr;
    std::unique_ptr<CSdlChrome> chrome;
    bool destroyed = false;
    bool paintPending = false;
    bool dialogOpen = false;
    bool acceptsDrops = false;
    int outerWidth = 0; // the size asked for, frame included
    int outerHeight = 0;
    IDialogProcedure* dialogProcedure = nullptr;

    ~Window() {
        DestroyContext();
        chrome.reset();
        if (window != nullptr) {
            SDL_DestroyWindow(window);
        }
    }

    void DestroyContext() {
        if (context != nullptr) {
            SDL_GL_MakeCurrent(window, context);
            chrome->DetachRenderer();
            SDL_GL_MakeCurrent(window, nullptr);
            if (workerContext != nullptr) {
                SDL_GL_DeleteContext(workerContext);
                workerContext = nullptr;
            }
            SDL_GL_DeleteContext(context);
            context = nullptr;
        }
    }
};

CSdlPlatform::CSdlPlatform() = default;

CSdlPlatform::~CSdlPlatform() {
    const bool hadWindow = window_ != nullptr;
    repaint_ = nullptr;
    window_.reset();
    if (hadWindow) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }
}

std::uint32_t CSdlPlatform::GetTickCount() {
    return MonotonicTickCount();
}

bool CSdlPlatform::IsMainWindow(WindowHandle window) const {
    return window == kMainWindow && window_ != nullptr && !window_->destroyed;
}

bool CSdlPlatform::GetClientRect(WindowHandle window, Rect& rect) {
    if (!IsMainWindow(window)) {
        return false;
    }
    int width = 0;
    int height = 0;
    GetClientSize(width, height);
    rect = Rect{0, 0, width, height};
    return true;
}

bool CSdlPlatform::RegisterWindowClass(const WindowClass& windowClass) {
    if (windowClass.procedure == nullptr || classes_.count(windowClass.className) != 0) {
        return false;
    }
    classes_[windowClass.className] = windowClass;
    return true;
}

WindowHandle CSdlPlatform::CreateMainWindow(const std::string& className, const std::string& title, int width,
                                            int height) {
    const auto found = classes_.find(className);
    if (found == classes_.end() || window_ != nullptr) {
        return nullptr;
    }
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        return nullptr;
    }
    auto window = std::make_unique<Window>();
    window->procedure = found->second.procedure;
    window->menu = found->second.menu;
    window->icon = found->second.icon;
    window->window = SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, width,
                                      height, SDL_WINDOW_OPENGL | SDL_WINDOW_RESIZABLE | SDL_WINDOW_HIDDEN);
    if (window->window == nullptr) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return nullptr;
    }
    SDL_StopTextInput(); // characters come from key events; see KeyCharacter
    if (window->icon != nullptr && !window->icon->images.empty()) {
        const IconImage& image = window->icon->images.front(); // the largest; the window manager scales it
        SDL_Surface* surface =
            SDL_CreateRGBSurfaceWithFormatFrom(const_cast<std::uint8_t*>(image.rgba.data()), image.size,
                                               image.size, 32, image.size * 4, SDL_PIXELFORMAT_ABGR8888);
        if (surface != nullptr) {
            SDL_SetWindowIcon(window->window, surface);
            SDL_FreeSurface(surface);
        }
    }
    window->outerWidth = width;
    window->outerHeight = height;
    window->chrome = std::make_unique<CSdlChrome>(window->window, window->menu, window->icon);
    window_ = std::move(window);
    return kMainWindow;
}

bool CSdlPlatform::CreateGLContext(bool software) {
    if (window_ == nullptr || window_->destroyed) {
        return false;
    }
    Window& window = *window_;
    window.DestroyContext();
    if (software) {
        // Read by Mesa when it picks its driver; a desktop with a hardware driver loaded already may
        // keep that one.
        setenv("LIBGL_ALWAYS_SOFTWARE", "1", 1);
    }
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 4);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 5);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    window.context = SDL_GL_CreateContext(window.window);
    if (window.context == nullptr) {
        return false;
    }
    // Made now, on this thread, since sharing is with the context current here; it becomes current on
    // creation, so the main one is made current again.
    SDL_GL_SetAttribute(SDL_GL_SHARE_WITH_CURRENT_CONTEXT, 1);
    window.workerContext = SDL_GL_CreateContext(window.window);
    SDL_GL_SetAttribute(SDL_GL_SHARE_WITH_CURRENT_CONTEXT, 0);
    SDL_GL_MakeCurrent(window.window, window.context);
    SDL_GL_SetSwapInterval(0); // frames follow one another without waiting for the display
    window.chrome->AttachRenderer();
    followUpFrames_ = kFollowUpFrames;
    return true;
}

void CSdlPlatform::FitOuterSize() {
    // The frame is known only once the window manager has framed the shown window; without one (or
    // where it does not say) the window has no frame and its size is already the outer size.
    SDL_PumpEvents();
    int top = 0;
    int left = 0;
    int bottom = 0;
    int right = 0;
    if (SDL_GetWindowBordersSize(window_->window, &top, &left, &bottom, &right) != 0 ||
        (top == 0 && left == 0 && bottom == 0 && right == 0)) {
        return;
    }
    SDL_SetWindowSize(window_->window, std::max(window_->outerWidth - left - right, 1),
                      std::max(window_->outerHeight - top - bottom, 1));
}

void CSdlPlatform::MakeCurrent() {
    if (window_ != nullptr && window_->context != nullptr) {
        SDL_GL_MakeCurrent(window_->window, window_->context);
    }
}

bool CSdlPlatform::HasWorkerContext() const {
    return window_ != nullptr && window_->workerContext != nullptr;
}

bool CSdlPlatform::TakeWorkerContext() {
    return HasWorkerContext() && !workerContextHeld_.exchange(true);
}

void CSdlPlatform::MakeWorkerContextCurrent() {
    SDL_GL_MakeCurrent(window_->window, window_->workerContext);
}

void CSdlPlatform::ReleaseWorkerContext() {
    SDL_GL_MakeCurrent(window_->window, nullptr);
    workerContextHeld_ = false;
}

void CSdlPlatform::GetClientSize(int& width, int& height) {
    width = 0;
    height = 0;
    if (window_ == nullptr) {
        return;
    }
    SDL_GL_GetDrawableSize(window_->window, &width, &height);
    height = std::max(height - window_->chrome->MenuBarHeight(), 0);
}

void CSdlPlatform::DrawChrome() {
    if (window_ == nullptr || window_->context == nullptr) {
        return;
    }
    GLStateGuard guard;
    int width = 0;
    int height = 0;
    SDL_GL_GetDrawableSize(window_->window, &width, &height);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    glDisable(GL_FRAMEBUFFER_SRGB); // the chrome's colours are written as they are
    window_->chrome->Draw(width, height);
    QueueCommands();
}

void CSdlPlatform::SwapBuffers() {
    if (window_ != nullptr && window_->context != nullptr && !window_->destroyed) {
        SDL_GL_SwapWindow(window_->window);
        presentedSincePeek_ = true;
        framePresented_ = true;
    }
}

void CSdlPlatform::ShowWindow(WindowHandle window) {
    if (IsMainWindow(window)) {
        SDL_ShowWindow(window_->window);
        FitOuterSize();
        window_->paintPending = true;
    }
}

void CSdlPlatform::UpdateWindow(WindowHandle window) {
    if (IsMainWindow(window) && window_->paintPending) {
        Compose();
        window_->procedure->HandleMessage(window, kMessagePaint, 0, 0);
    }
}

void CSdlPlatform::Compose() {
    Window& window = *window_;
    if (window.context == nullptr || window.destroyed) {
        return;
    }
    if (repaint_ && framePresented_) {
        repaint_(); // the last presented image with DrawChrome on top, swapped
        return;
    }
    // Nothing presented yet: black below the menu bar.
    int width = 0;
    int height = 0;
    SDL_GL_GetDrawableSize(window.window, &width, &height);
    {
        GLStateGuard guard;
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
        glViewport(0, 0, width, height);
        glDisable(GL_SCISSOR_TEST);
        glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    DrawChrome();
    SDL_GL_SwapWindow(window.window);
}

void CSdlPlatform::QueueCommands() {
    for (const ChromeCommand& command : window_->chrome->TakeCommands()) {
        if (command.forDialog) {
            if (window_->dialogProcedure != nullptr) {
                window_->dialogProcedure->HandleDialogMessage(kDialogWindow, kMessageCommand, command.command,
                                                              0);
            }
        } else if (!window_->dialogOpen) {
            queue_.push_back(Message{kMainWindow, kMessageCommand, command.command, 0});
        }
    }
}

bool CSdlPlatform::PumpEvents() {
    bool redraw = false;
    SDL_Event event;
    while (SDL_PollEvent(&event) != 0) {
        if (window_ == nullptr || window_->destroyed) {
            continue;
        }
        Window& window = *window_;
        switch (event.type) {
        case SDL_QUIT:
            // A request to end the program (a signal, the session ending) closes the window; an open
            // dialog is cancelled first, so it cannot hold the request up.
            if (window.dialogOpen) {
                queue_.push_back(Message{kDialogWindow, kMessageKeyDown, kKeyEscape, 0});
            }
            queue_.push_back(Message{kMainWindow, kMessageClose, 0, 0});
            break;
        case SDL_WINDOWEVENT:
            window.chrome->ProcessEvent(event);
            redraw = true;
            // The owner of a modal dialog ignores its close button, as a disabled window does.
            if (event.window.event == SDL_WINDOWEVENT_CLOSE && !window.dialogOpen) {
                queue_.push_back(Message{kMainWindow, kMessageClose, 0, 0});
            } else if (event.window.event == SDL_WINDOWEVENT_EXPOSED) {
                window.paintPending = true;
            } else if (event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
                window.paintPending = true;
                int width = 0;
                int height = 0;
                GetClientSize(width, height);
                queue_.push_back(Message{kMainWindow, kMessageSize, 0, MakePointerParam(width, height)});
            }
            break;
        case SDL_KEYDOWN: {
            redraw = true;
            if (window.dialogOpen) {
                const std::uintptr_t key = VirtualKey(event.key.keysym);
                if (key == kKeyReturn || key == kKeyEscape) {
                    queue_.push_back(Message{kDialogWindow, kMessageKeyDown, key, 0});
                }
                break;
            }
            if (window.chrome->HandleMenuKey(event.key.keysym)) {
                break;
            }
            const bool alt = (event.key.keysym.mod & KMOD_ALT) != 0;
            pendingCharacter_ = KeyCharacter(event.key.keysym);
            pendingCharacterAlt_ = alt;
            queue_.push_back(Message{kMainWindow, alt ? kMessageSysKeyDown : kMessageKeyDown,
                                     VirtualKey(event.key.keysym), alt ? kAltHeldBit : 0});
            break;
        }
        case SDL_KEYUP:
            window.chrome->ProcessEvent(event);
            redraw = true;
            break;
        case SDL_MOUSEMOTION:
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
        case SDL_MOUSEWHEEL:
            window.chrome->ProcessEvent(event);
            redraw = true;
            QueueMouseMessage(event);
            break;
        case SDL_DROPFILE:
            if (window.acceptsDrops && !window.dialogOpen) {
                drops_[nextDrop_] = event.drop.file;
                queue_.push_back(Message{kMainWindow, kMessageDropFiles, nextDrop_++, 0});
            }
            SDL_free(event.drop.file);
            break;
        default:
            break;
        }
    }
    return redraw;
}

void CSdlPlatform::QueueMouseMessage(const SDL_Event& event) {
    Window& window = *window_;
    // The menu bar and open menus belong to the chrome; the client area lies below the bar.
    if (window.dialogOpen || window.chrome->IsMenuOpen()) {
        return;
    }
    const int barHeight = window.chrome->MenuBarHeight();
    // A motion carries the buttons as it found them: by the time the queue is read they may be up.
    const bool leftHeld = event.type == SDL_MOUSEMOTION
                              ? (event.motion.state & SDL_BUTTON_LMASK) != 0
                              : (SDL_GetMouseState(nullptr, nullptr) & SDL_BUTTON_LMASK) != 0;
    const std::uintptr_t buttons = leftHeld ? kLeftButtonHeld : 0;
    switch (event.type) {
    case SDL_MOUSEMOTION:
        queue_.push_back(Message{kMainWindow, kMessageMouseMove, buttons,
                                 MakePointerParam(event.motion.x, event.motion.y - barHeight)});
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
        if (event.button.button != SDL_BUTTON_LEFT ||
            (event.type == SDL_MOUSEBUTTONDOWN && event.button.y < barHeight)) {
            return;
        }
        std::uint32_t id = kMessageLeftButtonUp;
        if (event.type == SDL_MOUSEBUTTONDOWN) {
            id = event.button.clicks == 2 ? kMessageLeftButtonDoubleClick : kMessageLeftButtonDown;
        }
        queue_.push_back(
            Message{kMainWindow, id, buttons, MakePointerParam(event.button.x, event.button.y - barHeight)});
        break;
    }
    case SDL_MOUSEWHEEL: {
        const int turn = event.wheel.y * kWheelDelta;
        queue_.push_back(Message{kMainWindow, kMessageMouseWheel,
                                 (static_cast<std::uintptr_t>(turn & 0xFFFF) << 16) | buttons, 0});
        break;
    }
    default:
        break;
    }
}

void CSdlPlatform::SetWindowTitle(WindowHandle window, const std::string& text) {
    if (IsMainWindow(window)) {
        SetWindowTitleUtf8(window_->window, text);
    }
}

void CSdlPlatform::DragAcceptFiles(WindowHandle window) {
    if (IsMainWindow(window)) {
        window_->acceptsDrops = true;
    }
}

std::string CSdlPlatform::TakeDroppedFile(std::uintptr_t drop) {
    const auto found = drops_.find(drop);
    if (found == drops_.end()) {
        return {};
    }
    std::string path = std::move(found->second);
    drops_.erase(found);
    return path;
}

void CSdlPlatform::SetCapture(WindowHandle window) {
    if (IsMainWindow(window)) {
        SDL_CaptureMouse(SDL_TRUE);
    }
}

void CSdlPlatform::ReleaseCapture() {
    SDL_CaptureMouse(SDL_FALSE);
}

bool CSdlPlatform::PeekMessage(Message& message) {
    if (queue_.empty() && window_ != nullptr && !window_->destroyed) {
        if (PumpEvents()) {
            followUpFrames_ = kFollowUpFrames;
        }
        // While frames are being presented the chrome is drawn with them; otherwise the window draws
        // itself, so its menu answers even when no model is shown. Only an idle pass that presented
        // nothing says that: after a message the idle pass has not run yet, and a repaint then would make
        // a key's frame wait for a whole extra swap of the previous one.
        if (followUpFrames_ > 0 && idleSincePeek_ && !presentedSincePeek_) {
            Compose();
        }
        if (followUpFrames_ > 0) {
            --followUpFrames_;
        }
        presentedSincePeek_ = false;
        if (queue_.empty() && window_->paintPending) {
            idleSincePeek_ = false;
            message = Message{kMainWindow, kMessagePaint, 0, 0};
            return true;
        }
    }
    idleSincePeek_ = queue_.empty();
    if (queue_.empty()) {
        return false;
    }
    message = queue_.front();
    queue_.pop_front();
    return true;
}

bool CSdlPlatform::TranslateAccelerator(WindowHandle window, const AcceleratorTable& table,
                                        const Message& message) {
    const int command = FindAcceleratorCommand(table, message);
    if (command < 0 || !IsMainWindow(window)) {
        return false;
    }
    window_->procedure->HandleMessage(window, kMessageCommand, static_cast<std::uintptr_t>(command), 0);
    return true;
}

void CSdlPlatform::TranslateMessage(const Message& message) {
    if ((message.id != kMessageKeyDown && message.id != kMessageSysKeyDown) || pendingCharacter_ == 0) {
        return;
    }
    const std::uint32_t id = pendingCharacterAlt_ ? kMessageSysChar : kMessageChar;
    queue_.push_front(Message{message.window, id, pendingCharacter_,
                              pendingCharacterAlt_ ? kAltHeldBit : std::intptr_t{0}});
    pendingCharacter_ = 0;
}

std::intptr_t CSdlPlatform::DispatchMessage(const Message& message) {
    if (message.window == kDialogWindow && window_ != nullptr && window_->dialogProcedure != nullptr) {
        // The dialog's own keys: Enter presses the default button, Esc cancels.
        const std::uint16_t command = message.wParam == kKeyReturn ? kCommandOk : kCommandCancel;
        window_->dialogProcedure->HandleDialogMessage(kDialogWindow, kMessageCommand, command, 0);
        return 0;
    }
    if (!IsMainWindow(message.window)) {
        return 0;
    }
    return window_->procedure->HandleMessage(message.window, message.id, message.wParam, message.lParam);
}

std::intptr_t CSdlPlatform::DefWindowProc(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                                          std::intptr_t) {
    if (!IsMainWindow(window)) {
        return 0;
    }
    if (message == kMessageClose) {
        DestroyWindow(window);
    } else if (message == kMessageSysChar) {
        // Alt+letter opens the menu with that mnemonic.
        const std::uint32_t letter =
            static_cast<std::uint32_t>(wParam >= 'A' && wParam <= 'Z' ? wParam - 'A' + 'a' : wParam);
        if (window_->chrome->OpenMenuByMnemonic(letter)) {
            followUpFrames_ = kFollowUpFrames;
        }
    }
    return 0;
}

void CSdlPlatform::BeginPaint(WindowHandle window) {
    if (IsMainWindow(window)) {
        window_->paintPending = false;
        followUpFrames_ = std::max(followUpFrames_, 1);
    }
}

void CSdlPlatform::EndPaint(WindowHandle) {}

bool CSdlPlatform::DestroyWindow(WindowHandle window) {
    if (!IsMainWindow(window)) {
        return false;
    }
    window_->procedure->HandleMessage(window, kMessageDestroy, 0, 0);
    // The window disappears now; its OpenGL context lives on until the platform is destroyed, because
    // the renderer still owns objects made in it.
    SDL_HideWindow(window_->window);
    window_->destroyed = true;
    return true;
}

void CSdlPlatform::PostQuitMessage(int exitCode) {
    queue_.push_back(Message{nullptr, kMessageQuit, static_cast<std::uintptr_t>(exitCode), 0});
}

std::intptr_t CSdlPlatform::DialogBox(const DialogTemplate& dialogTemplate, WindowHandle owner,
                                      IDialogProcedure& procedure) {
    if (!IsMainWindow(owner) || window_->dialogOpen) {
        return -1;
    }
    Window& window = *window_;
    window.dialogOpen = true;
    window.dialogProcedure = &procedure;
    window.chrome->OpenDialog(dialogTemplate);
    dialogEnded_ = false;
    dialogResult_ = 0;
    procedure.HandleDialogMessage(kDialogWindow, kMessageInitDialog, 0, 0);

    // The modal loop: it waits for events (nothing else runs meanwhile: no frame, no model load) and
    // redraws the window when something changed.
    std::deque<Message> ownerMessages;
    int followUp = kFollowUpFrames;
    while (!dialogEnded_) {
        if (followUp == 0) {
            SDL_WaitEventTimeout(nullptr, kDialogWaitMs);
        }
        if (PumpEvents()) {
            followUp = kFollowUpFrames;
        }
        // Messages for the dialog are handled here; the owner's wait until the dialog is gone.
        while (!queue_.empty() && !dialogEnded_) {
            const Message message = queue_.front();
            queue_.pop_front();
            if (message.window == kDialogWindow) {
                DispatchMessage(message);
            } else {
                ownerMessages.push_back(message);
            }
        }
        if (followUp > 0 && !dialogEnded_) {
            Compose();
            --followUp;
        }
    }
    window.chrome->CloseDialog();
    window.dialogOpen = false;
    window.dialogProcedure = nullptr;
    queue_.insert(queue_.begin(), ownerMessages.begin(), ownerMessages.end());
    followUpFrames_ = kFollowUpFrames;
    presentedSincePeek_ = false;
    return dialogResult_;
}

void CSdlPlatform::EndDialog(WindowHandle dialog, std::intptr_t result) {
    if (dialog == kDialogWindow && window_ != nullptr && window_->dialogOpen) {
        dialogEnded_ = true;
        dialogResult_ = result;
    }
}

} // namespace tavro::platform
