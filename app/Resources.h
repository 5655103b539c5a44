#pragma once
// The program's resource ids and texts: one list for the SDL window now and the Windows resource
// script later. Plain macros, so the resource compiler can read this header too.

#define TAVRO_IDS_APP_TITLE 103
#define TAVRO_IDD_ABOUTBOX 103
#define TAVRO_IDM_ABOUT 104
#define TAVRO_IDM_EXIT 105
#define TAVRO_IDI_APP_ICON 107
#define TAVRO_IDC_APP 109 /* window class name string, menu and accelerators */

#define TAVRO_TEXT_APP_TITLE "Tavro Model Viewer"
#define TAVRO_TEXT_WINDOW_CLASS "TAVROMODELVIEWER"
#define TAVRO_TEXT_MENU_FILE "&File"
#define TAVRO_TEXT_MENU_EXIT "E&xit"
#define TAVRO_TEXT_MENU_HELP "&Help"
#define TAVRO_TEXT_MENU_ABOUT "&About ..."
#define TAVRO_TEXT_ABOUT_CAPTION "About"
#define TAVRO_TEXT_OK "OK"

/* The About box template, in dialog units. */
#define TAVRO_ABOUT_WIDTH 170
#define TAVRO_ABOUT_HEIGHT 62
#define TAVRO_ABOUT_FONT "MS Shell Dlg"
#define TAVRO_ABOUT_FONT_POINTS 8
#define TAVRO_ABOUT_ICON_RECT 14, 14, 20, 20
#define TAVRO_ABOUT_TITLE_RECT 42, 14, 114, 8
#define TAVRO_ABOUT_OK_RECT 113, 41, 50, 14
