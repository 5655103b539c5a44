#pragma once
// The window's own chrome, drawn with Dear ImGui: the menu bar with underlined mnemonics, keyboard
// access to it (Alt+letter opens a menu, a letter picks an item, Esc closes), and the About box laid
// out from its dialog template.
#include "platform/Platform.h"

#include <SDL.h>

#include <cstdint>
#include <optional>
#include <vector>

namespace tavro::platform {

// A command the user chose, for the main window (a menu item) or for the open dialog (a button).
struct ChromeCommand {
    bool forDialog = false;
    std::uint16_t command = 0;
};

class CSdlChrome {
public:
    // menu and icon may be null. Drawing needs AttachRenderer first.
    CSdlChrome(SDL_Window* window, const MenuTemplate* menu, const IconResource* icon);
    ~CSdlChrome();

    // Makes the OpenGL objects the chrome draws with, in the current context; DetachRenderer releases
    // them while that context is still current.
    void AttachRenderer();
    void DetachRenderer();
    bool HasRenderer() const { return rendererAttached_; }
    CSdlChrome(const CSdlChrome&) = delete;
    CSdlChrome& operator=(const CSdlChrome&) = delete;

    // Height in pixels of the menu bar at the top of the window; the client area lies below it.
    int MenuBarHeight() const { return menuBarHeight_; }

    // Hands an SDL event to ImGui (mouse, focus, window), and follows the pointer.
    void ProcessEvent(const SDL_Event& event);

    bool IsMenuOpen() const { return openMenu_ >= 0; }
    // Keys while a menu is open: a mnemonic letter picks its item, Esc closes. True when used.
    bool HandleMenuKey(const SDL_Keysym& key);
    // Alt+letter: opens the menu whose mnemonic is letter. True when there is one.
    bool OpenMenuByMnemonic(std::uint32_t letter);

    void OpenDialog(const DialogTemplate& dialogTemplate);
    void CloseDialog();

    // Draws the chrome into the bound framebuffer of drawableWidth × drawableHeight pixels; nothing
    // without a renderer.
    void Draw(int drawableWidth, int drawableHeight);

    // The commands chosen since the last call, in order.
    std::vector<ChromeCommand> TakeCommands();

private:
    void DrawMenuBar();
    void DrawDialog();
    // Dialog units to pixels, from the font's average character width and height.
    float DialogX(int units) const;
    float DialogY(int units) const;

    const MenuTemplate* menu_;
    bool rendererAttached_ = false;
    const IconResource* icon_;
    unsigned iconTexture_ = 0;
    int iconSize_ = 0;
    int menuBarHeight_ = 0;
    // The pointer as the window's own mouse events place it; outside the window until one arrives.
    bool pointerInside_ = false;
    float pointerX_ = 0;
    float pointerY_ = 0;
    int openMenu_ = -1;
    int menuToOpen_ = -1;
    bool closeMenus_ = false;
    std::optional<DialogTemplate> dialog_;
    std::vector<ChromeCommand> commands_;
};

} // namespace tavro::platform
