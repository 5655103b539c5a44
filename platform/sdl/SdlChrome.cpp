#include "platform/sdl/SdlChrome.h"

#include "platform/Mnemonic.h"

#include <backends/imgui_impl_opengl3.h>
#include <backends/imgui_impl_sdl.h>
#include <epoxy/gl.h>
#include <imgui.h>

#include <cfloat>
#include <cmath>
#include <cstdint>

namespace tavro::platform {
namespace {

// The GLSL version of ImGui's own shaders; any core context of 3.3 or later runs them.
constexpr const char* kImGuiGlslVersion = "#version 330 core";

// Underlines the mnemonic letter of text drawn at textPosition.
void UnderlineMnemonic(ImDrawList* drawList, ImVec2 textPosition, const MnemonicText& text) {
    if (text.letter == 0) {
        return;
    }
    const char* begin = text.display.c_str();
    const float x0 = textPosition.x + ImGui::CalcTextSize(begin, begin + text.underlined).x;
    const float x1 = x0 + ImGui::CalcTextSize(begin + text.underlined, begin + text.underlined + 1).x;
    const float y = textPosition.y + ImGui::GetFontSize();
    drawList->AddLine(ImVec2(x0, y), ImVec2(x1, y), ImGui::GetColorU32(ImGuiCol_Text));
}

// A light, square-cornered look, as desktop menus and dialogs have.
void ApplyDesktopStyle() {
    ImGui::StyleColorsLight();
    ImGuiStyle& style = ImGui::GetStyle();
    style.WindowRounding = 0;
    style.FrameRounding = 0;
    style.PopupRounding = 0;
    style.WindowBorderSize = 1;
    style.PopupBorderSize = 1;
    style.Colors[ImGuiCol_MenuBarBg] = ImVec4(0.94f, 0.94f, 0.94f, 1);
    style.Colors[ImGuiCol_PopupBg] = ImVec4(0.97f, 0.97f, 0.97f, 1);
    style.Colors[ImGuiCol_WindowBg] = ImVec4(0.94f, 0.94f, 0.94f, 1);
    style.Colors[ImGuiCol_TitleBgActive] = ImVec4(0.80f, 0.86f, 0.95f, 1);
    style.Colors[ImGuiCol_Button] = ImVec4(0.88f, 0.88f, 0.88f, 1);
    style.Colors[ImGuiCol_Border] = ImVec4(0.45f, 0.45f, 0.45f, 1);
}

} // namespace

CSdlChrome::CSdlChrome(SDL_Window* window, const MenuTemplate* menu, const IconResource* icon)
    : menu_(menu), icon_(icon) {
    IMGUI_CHECKVERSION();
    ImGui::CreateContext();
    ImGuiIO& io = ImGui::GetIO();
    io.IniFilename = nullptr; // the viewer keeps no state between runs and writes no file
    io.LogFilename = nullptr;
    ApplyDesktopStyle();
    // The SDL backend reads the context argument only for multiple viewports, which are not used.
    ImGui_ImplSDL2_InitForOpenGL(window, nullptr);
    // The main menu bar is one frame high: the font plus the frame's padding above and below. Known
    // before any OpenGL context exists, so the client size is right from the start.
    const ImFont* font = io.Fonts->AddFontDefault();
    io.Fonts->Build(); // sets the font's size; needs no OpenGL
    const float frameHeight = font->FontSize + 2 * ImGui::GetStyle().FramePadding.y;
    menuBarHeight_ = menu_ != nullptr ? static_cast<int>(std::ceil(frameHeight)) : 0;
}

CSdlChrome::~CSdlChrome() {
    DetachRenderer();
    ImGui_ImplSDL2_Shutdown();
    ImGui::DestroyContext();
}

void CSdlChrome::AttachRenderer() {
    DetachRenderer();
    ImGui_ImplOpenGL3_Init(kImGuiGlslVersion);
    rendererAttached_ = true;
    // The About box shows the icon at the size of a desktop's large icons.
    if (icon_ == nullptr || icon_->images.empty()) {
        return;
    }
    const IconImage* chosen = &icon_->images.front();
    for (const IconImage& image : icon_->images) {
        if (image.size == 32) {
            chosen = &image;
        }
    }
    iconSize_ = chosen->size;
    GLint previousTexture = 0;
    GLint previousAlignment = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &previousTexture);
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &previousAlignment);
    glGenTextures(1, &iconTexture_);
    glBindTexture(GL_TEXTURE_2D, iconTexture_);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, iconSize_, iconSize_, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 chosen->rgba.data());
    glPixelStorei(GL_UNPACK_ALIGNMENT, previousAlignment);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(previousTexture));
}

void CSdlChrome::DetachRenderer() {
    if (!rendererAttached_) {
        return;
    }
    if (iconTexture_ != 0) {
        glDeleteTextures(1, &iconTexture_);
        iconTexture_ = 0;
    }
    ImGui_ImplOpenGL3_Shutdown();
    rendererAttached_ = false;
}

void CSdlChrome::ProcessEvent(const SDL_Event& event) {
    ImGui_ImplSDL2_ProcessEvent(&event);
    if (event.type == SDL_MOUSEMOTION) {
        pointerInside_ = true;
        pointerX_ = static_cast<float>(event.motion.x);
        pointerY_ = static_cast<float>(event.motion.y);
    } else if (event.type == SDL_MOUSEBUTTONDOWN || event.type == SDL_MOUSEBUTTONUP) {
        pointerInside_ = true;
        pointerX_ = static_cast<float>(event.button.x);
        pointerY_ = static_cast<float>(event.button.y);
    } else if (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_LEAVE) {
        pointerInside_ = false;
    }
}

bool CSdlChrome::HandleMenuKey(const SDL_Keysym& key) {
    if (openMenu_ < 0 || menu_ == nullptr) {
        return false;
    }
    if (key.sym == SDLK_ESCAPE) {
        closeMenus_ = true;
        return true;
    }
    for (const MenuItem& item : menu_->popups[static_cast<std::size_t>(openMenu_)].items) {
        const MnemonicText text = ParseMnemonic(item.text);
        if (text.letter != 0 && static_cast<SDL_Keycode>(text.letter) == key.sym) {
            commands_.push_back(ChromeCommand{false, item.command});
            closeMenus_ = true;
            return true;
        }
    }
    return true; // an open menu takes every key, as a desktop menu does
}

bool CSdlChrome::OpenMenuByMnemonic(std::uint32_t letter) {
    if (menu_ == nullptr || dialog_) {
        return false;
    }
    for (std::size_t i = 0; i < menu_->popups.size(); ++i) {
        const MnemonicText text = ParseMnemonic(menu_->popups[i].text);
        if (text.letter != 0 && static_cast<std::uint32_t>(text.letter) == letter) {
            menuToOpen_ = static_cast<int>(i);
            return true;
        }
    }
    return false;
}

void CSdlChrome::OpenDialog(const DialogTemplate& dialogTemplate) {
    dialog_ = dialogTemplate;
    closeMenus_ = true;
}

void CSdlChrome::CloseDialog() {
    dialog_.reset();
}

std::vector<ChromeCommand> CSdlChrome::TakeCommands() {
    std::vector<ChromeCommand> taken;
    taken.swap(commands_);
    return taken;
}

void CSdlChrome::Draw(int drawableWidth, int drawableHeight) {
    if (!rendererAttached_) {
        return;
    }
    ImGui_ImplOpenGL3_NewFrame();
    ImGui_ImplSDL2_NewFrame();
    // The backend asks the display server where the pointer is, and some servers (Xvfb driven by
    // synthetic input) never tell it; the window's own mouse events always do.
    ImGui::GetIO().MousePos = pointerInside_ ? ImVec2(pointerX_, pointerY_) : ImVec2(-FLT_MAX, -FLT_MAX);
    ImGui::NewFrame();
    if (menu_ != nullptr) {
        DrawMenuBar();
    }
    if (dialog_) {
        DrawDialog();
    }
    ImGui::Render();
    glViewport(0, 0, drawableWidth, drawableHeight);
    ImGui_ImplOpenGL3_RenderDrawData(ImGui::GetDrawData());
}

void CSdlChrome::DrawMenuBar() {
    // While a modal dialog is open its owner's menu does not respond.
    const bool disabled = dialog_.has_value();
    if (disabled) {
        ImGui::BeginDisabled();
    }
    openMenu_ = -1;
    if (ImGui::BeginMainMenuBar()) {
        for (std::size_t i = 0; i < menu_->popups.size(); ++i) {
            const MenuPopup& popup = menu_->popups[i];
            const MnemonicText title = ParseMnemonic(popup.text);
            ImDrawList* barList = ImGui::GetWindowDrawList();
            ImVec2 titlePosition = ImGui::GetCursorScreenPos();
            // Where BeginMenu puts the title's text inside the bar.
            titlePosition.x += std::floor(ImGui::GetStyle().ItemSpacing.x * 0.5f);
            titlePosition.y += ImGui::GetStyle().FramePadding.y;
            if (static_cast<int>(i) == menuToOpen_) {
                ImGui::OpenPopup(title.display.c_str());
                menuToOpen_ = -1;
            }
            const bool open = ImGui::BeginMenu(title.display.c_str());
            UnderlineMnemonic(barList, titlePosition, title);
            if (!open) {
                continue;
            }
            openMenu_ = static_cast<int>(i);
            for (const MenuItem& item : popup.items) {
                const MnemonicText text = ParseMnemonic(item.text);
                const ImVec2 itemPosition = ImGui::GetCursorScreenPos();
                if (ImGui::MenuItem(text.display.c_str())) {
                    commands_.push_back(ChromeCommand{false, item.command});
                }
                UnderlineMnemonic(ImGui::GetWindowDrawList(), itemPosition, text);
            }
            if (closeMenus_) {
                ImGui::CloseCurrentPopup();
                openMenu_ = -1;
            }
            ImGui::EndMenu();
        }
        ImGui::EndMainMenuBar();
    }
    closeMenus_ = false;
    if (disabled) {
        ImGui::EndDisabled();
    }
}

float CSdlChrome::DialogX(int units) const {
    // The average width of the alphabet's letters, as a desktop measures a dialog font.
    static const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    const float baseX = std::floor((ImGui::CalcTextSize(kAlphabet).x / 26 + 1) / 2);
    return std::round(units * baseX / 4);
}

float CSdlChrome::DialogY(int units) const {
    return std::round(units * ImGui::GetFontSize() / 8);
}

void CSdlChrome::DrawDialog() {
    const DialogTemplate& dialog = *dialog_;
    const float titleBarHeight = ImGui::GetFrameHeight();
    // The template's position (x, y) is relative to the owner's client area, below the menu bar.
    ImGui::SetNextWindowPos(ImVec2(DialogX(0), static_cast<float>(menuBarHeight_) + DialogY(0)));
    ImGui::SetNextWindowSize(ImVec2(DialogX(dialog.width), titleBarHeight + DialogY(dialog.height)));
    ImGui::SetNextWindowFocus();
    bool open = true;
    const std::string title = dialog.caption + "###dialog";
    ImGui::Begin(title.c_str(), &open,
                 ImGuiWindowFlags_NoResize | ImGuiWindowFlags_NoMove | ImGuiWindowFlags_NoCollapse |
                     ImGuiWindowFlags_NoSavedSettings | ImGuiWindowFlags_NoScrollbar);
    for (const DialogControl& control : dialog.controls) {
        ImGui::SetCursorPos(ImVec2(DialogX(control.x), titleBarHeight + DialogY(control.y)));
        switch (control.kind) {
        case DialogControlKind::Icon:
            if (iconTexture_ != 0) {
                const ImTextureID texture =
                    reinterpret_cast<ImTextureID>(static_cast<std::uintptr_t>(iconTexture_));
                ImGui::Image(texture, ImVec2(static_cast<float>(iconSize_), static_cast<float>(iconSize_)));
            }
            break;
        case DialogControlKind::Text:
            ImGui::TextUnformatted(control.text.c_str());
            break;
        case DialogControlKind::DefaultButton:
            // The default button wears a heavier frame: Enter presses it.
            ImGui::PushStyleVar(ImGuiStyleVar_FrameBorderSize, 2.0f);
            if (ImGui::Button(control.text.c_str(),
                              ImVec2(DialogX(control.width), DialogY(control.height)))) {
                commands_.push_back(ChromeCommand{true, static_cast<std::uint16_t>(control.id)});
            }
            ImGui::PopStyleVar();
            break;
        }
    }
    ImGui::End();
    if (!open) { // the caption's close button cancels, as Esc does
        commands_.push_back(ChromeCommand{true, kCommandCancel});
    }
}

} // namespace tavro::platform
