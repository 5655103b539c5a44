#pragma once
// The program's resources as the platform layer takes them: strings, the menu, the accelerators and
// the About box template, all built from app/Resources.h.
#include "platform/Platform.h"

#include <string>

namespace tavro {

// The string resource with this id (103: the window title, 109: the window class name), or an empty
// string for an id the program does not carry.
std::string LoadResourceString(unsigned id);

// Menu 109: "&File" > "E&xit" (105) and "&Help" > "&About ..." (104).
const platform::MenuTemplate& AppMenu();

// Accelerators 109: Alt+'?' and Alt+'/' both give 104.
const platform::AcceleratorTable& AppAccelerators();

// Dialog 103: the About box.
const platform::DialogTemplate& AboutDialogTemplate();

} // namespace tavro
