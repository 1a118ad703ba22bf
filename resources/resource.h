// Resource ids and fixed texts of Vantapicker, shared by the .rc files and the code.
// The numbers are part of the program's interface: tests and translations rely on them.
#pragma once

// ---- String table --------------------------------------------------------
#define IDS_PRODUCT_NAME 100          // "Vantapicker": message box caption
#define IDS_ABOUT 101                 // tray menu
#define IDS_OPTIONS 102               // tray menu
#define IDS_ACTIVATE 103              // tray menu
#define IDS_DEACTIVATE 104            // tray menu
#define IDS_EXIT 105                  // tray menu
#define IDS_WRONG_SETTINGS 108        // own site list file missing or unreadable
#define IDS_CANT_CREATE_SELECTED 109  // Selected key
#define IDS_CANT_CREATE_SETTINGS 110  // Settings key
#define IDS_CANT_OPEN_SETTINGS 111    // Settings key
#define IDS_HOME_PAGE 115             // tray menu
#define IDS_ONLINE_HELP 116           // tray menu
#define IDS_BUTTON_LEFT 117           // General page button list, positions 0..3
#define IDS_BUTTON_RIGHT 118
#define IDS_BUTTON_MIDDLE 119
#define IDS_BUTTON_X 120
#define IDS_SUPPORT 131              // tray menu
#define IDS_HIDE_SITE_MENU 133       // Sites page context menu, visible site
#define IDS_CONFIRM_REMOVE_SITE 134  // Sites page
#define IDS_SHOW_SITE 135            // Sites page button 207
#define IDS_HIDE_SITE 136            // Sites page button 207
#define IDS_MODIFIER_CTRL 137        // General page modifier list, positions 0..2
#define IDS_MODIFIER_SHIFT 138
#define IDS_MODIFIER_CTRL_SHIFT 139
#define IDS_OPEN_POPUP 140           // tray menu default item
#define IDS_WRONG_SITE_LIST 141      // a given site list file is not one
#define IDS_CANT_SAVE_SITE_LIST 150  // Sites page: OK could not store the site list file
#define IDS_OTHER_SITES 151          // Sites page: root of sites whose category is missing
#define IDS_SITE_LIST_NOT_READ 152   // Sites page: OK while the user's file could not be read
#define IDS_TOO_MANY_EXCLUSIONS 153  // General page: OK with more programs than the hook holds
#define IDS_CANT_EXPORT_SITE_LIST 154  // Sites page: an export could not write its file
#define IDS_CLIPBOARD_NOT_KEPT 155     // tray notice: a trigger copied nothing, once per run
#define IDS_MANAGED_SETTINGS 156       // Options pages: some controls are fixed by policies
#define IDS_MANAGED_SITE_LIST_NOT_READ 157  // tray notice: SiteListPath could not be read
#define IDS_MANAGED_SITE_LIST_STAND_IN 158  // Sites page: SiteListPath not read (yet)
#define IDS_LINK_ACTION 160            // a site link's default action, for screen readers
#define IDS_SEARCH_LABEL 161           // the search box's hidden label, for screen readers
#define IDS_GESTURE_STATE_NOT_OWN 170  // tray notice: another program made the hook's state
#define IDS_GESTURE_HOOK_FAILED 171    // tray notice: the gesture hook could not be installed
#define IDS_INSTANCE_NAME_TAKEN 172    // error box: the single-instance mutex is another's
#define IDS_SYSTEM_ERROR 180           // caption of an error box without a message of its own
#define IDS_UNKNOWN_EXCEPTION 181      // text of an error box for an unknown exception
#define IDS_TIP_ACTIVE 182             // tray icon's tip
#define IDS_TIP_INACTIVE 183           // tray icon's tip
#define IDS_ABOUT_TITLE 184            // About box's caption
#define IDS_OPTIONS_TITLE 185          // Options dialog's caption
#define IDS_GENERAL_TAB 186            // Options dialog's tabs
#define IDS_SITES_TAB 187
#define IDS_PROGRAM_FILTER 188         // General page: file types of Browse, '|' between parts
#define IDS_SITE_LIST_FILTER 189       // Sites page: file types of Import and Export, the same

// English texts the code uses where no string table can be read (the error reporter)
// or that name a window; the string table has them in every language.
#define VP_TEXT_SYSTEM_ERROR "System Error"
#define VP_TEXT_UNKNOWN_EXCEPTION "Unknown Exception is Caught"
#define VP_TEXT_TIP_ACTIVE "Vantapicker - Active"
#define VP_TEXT_TIP_INACTIVE "Vantapicker - Inactive"
#define VP_TEXT_WINDOW_TITLE " Vantapicker"
#define VP_TEXT_ABOUT_TITLE "About Vantapicker"
#define VP_TEXT_OPTIONS_TITLE "Vantapicker Options"

// ---- Dialog templates ----------------------------------------------------
#define IDD_OPTIONS 117
#define IDD_GENERAL_PAGE 118
#define IDD_SITES_PAGE 119
#define IDD_ABOUT 126
#define IDD_SITE_PROPERTIES 135

// ---- Icons, bitmaps, cursor, menu, accelerators --------------------------
#define IDI_PROGRAM 201
#define IDI_ACTIVE 208
#define IDI_INACTIVE 209
#define IDB_HIDDEN_SITE 212   // empty navy box
#define IDB_CATEGORY 217      // navy folder outline
#define IDB_VISIBLE_SITE 218  // navy box with a tick
#define IDM_SITE_MENU 214
#define IDR_POPUP_KEYS 215
#define IDC_HAND_POINTER 216

// ---- Type library --------------------------------------------------------
#define IDR_TYPELIB 1

// ---- Controls of the popup -----------------------------------------------
#define IDC_SEARCH_LABEL 98  // hidden, just before the search box, which it names
#define IDC_SEARCH_BOX 99
#define IDC_FIRST_SITE_LINK 100  // link i has id 100 + i

// ---- Options sheet (117) ---------------------------------------------------
#define IDC_OPTIONS_TABS 100

// ---- General page (118) ----------------------------------------------------
#define IDC_ENABLE_DEFAULT_GESTURE 212
#define IDC_POPUP_GESTURE_BUTTON 217
#define IDC_DEFAULT_GESTURE_BUTTON 218
#define IDC_RUN_AT_LOGON 221
#define IDC_POPUP_GESTURE_MODIFIER 232
#define IDC_DEFAULT_GESTURE_MODIFIER 233
#define IDC_POPUP_HOTKEY_MODIFIER 234
#define IDC_POPUP_HOTKEY_KEY 235
#define IDC_ENABLE_POPUP_GESTURE 236
#define IDC_ENABLE_POPUP_HOTKEY 237
#define IDC_DEFAULT_HOTKEY_MODIFIER 238
#define IDC_DEFAULT_HOTKEY_KEY 239
#define IDC_ENABLE_DEFAULT_HOTKEY 240
#define IDC_KEEP_CLIPBOARD 250
#define IDC_READ_DIRECTLY 251
#define IDC_GESTURE_EXCLUSIONS 252
#define IDC_BROWSE_EXCLUDED_PROGRAM 253
#define IDC_MANAGED_NOTE 254  // on both pages: empty unless policies fix some of their controls

// ---- Sites page (119) ------------------------------------------------------
#define IDC_TOGGLE_SITE 207
#define IDC_SET_DEFAULT 209
#define IDC_DEFAULT_SITE_LABEL 210
#define IDC_SITE_TREE 226
#define IDC_IMPORT_SITES 230
#define IDC_EXPORT_SITES 231
#define IDC_NEW_SITE 241
#define IDC_EDIT_SITE 243
#define IDC_REMOVE_SITE 244

// ---- Site properties dialog (135) -----------------------------------------
#define IDC_SITE_NAME 228
#define IDC_SITE_URL 229

// ---- Menu and accelerator commands ----------------------------------------
#define ID_SITE_NEW 32768
#define ID_SITE_EDIT 32769
#define ID_SITE_REMOVE 32770
#define ID_SITE_TOGGLE 32771
#define ID_SITE_SET_DEFAULT 32772
#define ID_FOCUS_NEXT 32773
#define ID_FOCUS_PREVIOUS 32774
#define ID_OPEN 32775
#define ID_HIDE_POPUP 32776

// ---- Tray menu commands ----------------------------------------------------
// Each is the number of its item's text in the string table.
#define ID_TRAY_ABOUT 101
#define ID_TRAY_OPTIONS 102
#define ID_TRAY_ACTIVATE 103
#define ID_TRAY_DEACTIVATE 104
#define ID_TRAY_EXIT 105
#define ID_TRAY_HOME_PAGE 115
#define ID_TRAY_ONLINE_HELP 116
#define ID_TRAY_SUPPORT 131
#define ID_TRAY_OPEN_POPUP 140
