#include "app/ResourceTables.h"

#include "app/AppIcon.h"
#include "app/Resources.h"

namespace tavro {

using platform::DialogControl;
using platform::DialogControlKind;

std::string LoadResourceString(unsigned id) {
    switch (id) {
    case TAVRO_IDS_APP_TITLE:
        return TAVRO_TEXT_APP_TITLE;
    case TAVRO_IDC_APP:
        return TAVRO_TEXT_WINDOW_CLASS;
    default:
        return {};
    }
}

const platform::MenuTemplate& AppMenu() {
    static const platform::MenuTemplate menu{
        TAVRO_IDC_APP,
        {
            {TAVRO_TEXT_MENU_FILE, {{TAVRO_TEXT_MENU_EXIT, TAVRO_IDM_EXIT}}},
            {TAVRO_TEXT_MENU_HELP, {{TAVRO_TEXT_MENU_ABOUT, TAVRO_IDM_ABOUT}}},
        }};
    return menu;
}

const platform::AcceleratorTable& AppAccelerators() {
    static const platform::AcceleratorTable table{TAVRO_IDC_APP,
                                                  {
                                                      {platform::kAcceleratorAlt, '?', TAVRO_IDM_ABOUT},
                                                      {platform::kAcceleratorAlt, '/', TAVRO_IDM_ABOUT},
                                                  }};
    return table;
}

const platform::DialogTemplate& AboutDialogTemplate() {
    static const platform::DialogTemplate dialog{
        TAVRO_IDD_ABOUTBOX,
        TAVRO_TEXT_ABOUT_CAPTION,
        TAVRO_ABOUT_WIDTH,
        TAVRO_ABOUT_HEIGHT,
        TAVRO_ABOUT_FONT,
        TAVRO_ABOUT_FONT_POINTS,
        {
            DialogControl{DialogControlKind::Icon, TAVRO_ABOUT_ICON_RECT, -1, "", &AppIcon()},
            DialogControl{DialogControlKind::Text, TAVRO_ABOUT_TITLE_RECT, -1, TAVRO_TEXT_APP_TITLE},
            DialogControl{DialogControlKind::DefaultButton, TAVRO_ABOUT_OK_RECT, platform::kCommandOk,
                          TAVRO_TEXT_OK},
        }};
    return dialog;
}

} // namespace tavro
