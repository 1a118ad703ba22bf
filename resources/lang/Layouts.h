// Layouts of the translated dialogs. They are wider than the English ones, so that the
// longest translations (German, French and Russian run long) fit on one line at any DPI;
// each translation file gives the texts and, before it uses them, the dialog font
// (VP_LANG_FONT). The controls, their ids and their order are those of the English
// templates in resources/dialogs.
#pragma once

#define VP_LANG_PAGE_STYLE STYLE DS_SETFONT | DS_CONTROL | WS_CHILD | NOT WS_CAPTION
#define VP_LANG_BOX_STYLE STYLE DS_SETFONT | DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU
#define VP_LANG_LIST CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP

// The frame is 10 units wider and 40 taller than its pages.
#define VP_LANG_OPTIONS_SIZE 290, 282
#define VP_LANG_OPTIONS_FRAME(ok, cancel) \
    VP_LANG_BOX_STYLE \
    FONT VP_LANG_FONT \
    BEGIN \
        DEFPUSHBUTTON ok, IDOK, 171, 263, 55, 14 \
        PUSHBUTTON cancel, IDCANCEL, 230, 263, 55, 14 \
    END

#define VP_LANG_GENERAL_SIZE 280, 242
#define VP_LANG_GENERAL_PAGE(popupKeys, mouseButton, hotKeys, defaultKeys, startup, runAtLogon, \
                             clipboard, readDirectly, keepClipboard, exclusions, browse) \
    VP_LANG_PAGE_STYLE \
    FONT VP_LANG_FONT \
    BEGIN \
        GROUPBOX popupKeys, -1, 6, 7, 268, 50 \
        AUTOCHECKBOX mouseButton, IDC_ENABLE_POPUP_GESTURE, 14, 21, 100, 10 \
        COMBOBOX IDC_POPUP_GESTURE_MODIFIER, 116, 19, 66, 40, VP_LANG_LIST \
        LTEXT "+", -1, 185, 21, 8, 8 \
        COMBOBOX IDC_POPUP_GESTURE_BUTTON, 194, 19, 66, 48, VP_LANG_LIST \
        AUTOCHECKBOX hotKeys, IDC_ENABLE_POPUP_HOTKEY, 14, 38, 100, 10 \
        COMBOBOX IDC_POPUP_HOTKEY_MODIFIER, 116, 36, 66, 40, VP_LANG_LIST \
        LTEXT "+", -1, 185, 38, 8, 8 \
        COMBOBOX IDC_POPUP_HOTKEY_KEY, 194, 36, 66, 100, VP_LANG_LIST \
        GROUPBOX defaultKeys, -1, 6, 63, 268, 50 \
        AUTOCHECKBOX mouseButton, IDC_ENABLE_DEFAULT_GESTURE, 14, 77, 100, 10 \
        COMBOBOX IDC_DEFAULT_GESTURE_MODIFIER, 116, 75, 66, 40, VP_LANG_LIST \
        LTEXT "+", -1, 185, 77, 8, 8 \
        COMBOBOX IDC_DEFAULT_GESTURE_BUTTON, 194, 75, 66, 48, VP_LANG_LIST \
        AUTOCHECKBOX hotKeys, IDC_ENABLE_DEFAULT_HOTKEY, 14, 94, 100, 10 \
        COMBOBOX IDC_DEFAULT_HOTKEY_MODIFIER, 116, 92, 66, 40, VP_LANG_LIST \
        LTEXT "+", -1, 185, 94, 8, 8 \
        COMBOBOX IDC_DEFAULT_HOTKEY_KEY, 194, 92, 66, 100, VP_LANG_LIST \
        GROUPBOX startup, -1, 6, 119, 268, 27 \
        AUTOCHECKBOX runAtLogon, IDC_RUN_AT_LOGON, 14, 132, 254, 10 \
        GROUPBOX clipboard, -1, 6, 150, 268, 37 \
        AUTOCHECKBOX readDirectly, IDC_READ_DIRECTLY, 14, 161, 254, 10 \
        AUTOCHECKBOX keepClipboard, IDC_KEEP_CLIPBOARD, 14, 174, 254, 10 \
        LTEXT exclusions, -1, 8, 192, 266, 9 \
        EDITTEXT IDC_GESTURE_EXCLUSIONS, 6, 202, 196, 13, ES_AUTOHSCROLL | WS_TABSTOP \
        PUSHBUTTON browse, IDC_BROWSE_EXCLUDED_PROGRAM, 206, 202, 68, 13, WS_TABSTOP \
        LTEXT "", IDC_MANAGED_NOTE, 8, 220, 266, 18 \
    END

#define VP_LANG_SITES_SIZE 280, 222
#define VP_LANG_SITES_PAGE(intro, defaultSite, toggle, setDefault, newSite, edit, remove, \
                           importSites, exportSites) \
    VP_LANG_PAGE_STYLE \
    FONT VP_LANG_FONT \
    BEGIN \
        LTEXT intro, -1, 5, 4, 270, 28 \
        CONTROL "", IDC_SITE_TREE, "SysTreeView32", TVS_HASLINES | TVS_HASBUTTONS | TVS_LINESATROOT | TVS_SHOWSELALWAYS | TVS_DISABLEDRAGDROP | TVS_NOTOOLTIPS | WS_BORDER | WS_TABSTOP, 6, 35, 160, 145 \
        LTEXT defaultSite, -1, 5, 188, 76, 10 \
        CONTROL "", IDC_DEFAULT_SITE_LABEL, "Static", SS_LEFTNOWORDWRAP | SS_CENTERIMAGE | SS_SUNKEN, 83, 186, 192, 12 \
        PUSHBUTTON toggle, IDC_TOGGLE_SITE, 170, 35, 105, 15, WS_DISABLED \
        PUSHBUTTON setDefault, IDC_SET_DEFAULT, 170, 53, 105, 15, WS_DISABLED \
        PUSHBUTTON newSite, IDC_NEW_SITE, 170, 75, 105, 15, WS_DISABLED \
        PUSHBUTTON edit, IDC_EDIT_SITE, 170, 93, 105, 15, WS_DISABLED \
        PUSHBUTTON remove, IDC_REMOVE_SITE, 170, 111, 105, 15, WS_DISABLED \
        PUSHBUTTON importSites, IDC_IMPORT_SITES, 170, 133, 105, 15 \
        PUSHBUTTON exportSites, IDC_EXPORT_SITES, 170, 151, 105, 15, WS_DISABLED \
        LTEXT "", IDC_MANAGED_NOTE, 5, 201, 270, 18 \
    END

#define VP_LANG_ABOUT_SIZE 265, 55
#define VP_LANG_ABOUT_BOX(text, ok) \
    VP_LANG_BOX_STYLE \
    FONT VP_LANG_FONT \
    BEGIN \
        CONTROL IDI_PROGRAM, -1, "Static", SS_ICON, 6, 6, 20, 20 \
        GROUPBOX "", -1, 34, 2, 226, 49 \
        LTEXT text, -1, 42, 10, 158, 38 \
        DEFPUSHBUTTON ok, IDOK, 204, 11, 50, 14 \
    END

#define VP_LANG_SITE_PROPERTIES_SIZE 226, 60
#define VP_LANG_SITE_PROPERTIES(name, url, ok, cancel) \
    VP_LANG_BOX_STYLE \
    FONT VP_LANG_FONT \
    BEGIN \
        LTEXT name, -1, 5, 8, 44, 10 \
        EDITTEXT IDC_SITE_NAME, 50, 7, 170, 12, ES_AUTOHSCROLL \
        LTEXT url, -1, 5, 24, 44, 10 \
        EDITTEXT IDC_SITE_URL, 50, 22, 170, 12, ES_AUTOHSCROLL \
        DEFPUSHBUTTON ok, IDOK, 110, 41, 52, 14 \
        PUSHBUTTON cancel, IDCANCEL, 168, 41, 52, 14 \
    END
