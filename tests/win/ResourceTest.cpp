// The resources of the built Vantapicker.exe, read as raw data from the file.
#include <windows.h>
#include <commctrl.h>
#include <winver.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <string>
#include <tuple>
#include <vector>

#include "Version.h"
#include "resource.h"
#include "tests/win/AppProcess.h"

namespace vp {
namespace {

constexpr WORD kEnglishUs = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);

struct Bytes {
    const BYTE* data = nullptr;
    DWORD size = 0;
};

// The program file, loaded once as data (nothing of it runs).
HMODULE Program() {
    struct Image {
        HMODULE module =
            ::LoadLibraryExA(ProgramPath().c_str(), nullptr,
                             LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        ~Image() {
            if (module) {
                ::FreeLibrary(module);
            }
        }
    };
    static Image image;
    return image.module;
}

// The raw bytes of one resource in US English; empty when it does not exist.
Bytes Resource(LPCSTR type, LPCSTR name) {
    HRSRC info = ::FindResourceExA(Program(), type, name, kEnglishUs);
    HGLOBAL loaded = info ? ::LoadResource(Program(), info) : nullptr;
    if (!loaded) {
        return {};
    }
    return {static_cast<const BYTE*>(::LockResource(loaded)), ::SizeofResource(Program(), info)};
}

Bytes Resource(LPCSTR type, int id) {
    return Resource(type, MAKEINTRESOURCEA(id));
}

// Reads little-endian fields in order; reading past the end yields zeros and clears ok.
class Reader {
public:
    explicit Reader(Bytes bytes, DWORD offset = 0) : bytes_(bytes), at_(offset) {}
    bool ok() const { return ok_; }
    DWORD Offset() const { return at_; }

    DWORD Number(DWORD size) {
        if (bytes_.size < size || at_ > bytes_.size - size) {
            ok_ = false;
            at_ = bytes_.size;
            return 0;
        }
        DWORD value = 0;
        for (DWORD i = 0; i < size; ++i) {
            value |= DWORD{bytes_.data[at_ + i]} << (8 * i);
        }
        at_ += size;
        return value;
    }
    BYTE Byte() { return static_cast<BYTE>(Number(1)); }
    WORD Word() { return static_cast<WORD>(Number(2)); }
    short Short() { return static_cast<short>(Number(2)); }
    DWORD DWord() { return Number(4); }
    void AlignTo4() { at_ = std::min((at_ + 3) & ~DWORD{3}, bytes_.size); }

    // UTF-16 text of a known length, as ASCII ('?' for anything else).
    std::string Text(DWORD length) {
        std::string text;
        for (DWORD i = 0; i < length && ok_; ++i) {
            WORD c = Word();
            text += c < 0x80 ? static_cast<char>(c) : '?';
        }
        return text;
    }
    std::string ZeroTerminated() {
        std::string text;
        for (WORD c = Word(); c != 0 && ok_; c = Word()) {
            text += c < 0x80 ? static_cast<char>(c) : '?';
        }
        return text;
    }
    // A name or an ordinal (0xFFFF and a number); an ordinal reads as "#number".
    std::string NameOrOrdinal() {
        if (at_ + 2 <= bytes_.size && bytes_.data[at_] == 0xFF && bytes_.data[at_ + 1] == 0xFF) {
            Word();
            std::string ordinal(1, '#');
            return ordinal.append(std::to_string(Word()));
        }
        return ZeroTerminated();
    }

private:
    Bytes bytes_;
    DWORD at_;
    bool ok_ = true;
};

std::string Lower(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return text;
}

// A control class in a template: an atom of a predefined class or a class name.
std::string ClassName(const std::string& raw) {
    static const char* const kAtoms[] = {"Button",  "Edit",      "Static",
                                         "ListBox", "ScrollBar", "ComboBox"};
    const int atom = raw.starts_with('#') ? std::atoi(raw.c_str() + 1) : 0;
    return atom >= 0x80 && atom <= 0x85 ? kAtoms[atom - 0x80] : raw;
}

struct DialogItem {
    DWORD style = 0;
    DWORD exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    WORD id = 0;
    std::string className;
    std::string text;
};

struct DialogTemplate {
    bool ok = false;
    DWORD style = 0;
    DWORD exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    std::string menu, className, title, font;
    WORD pointSize = 0;
    std::vector<DialogItem> items;
};

// Parses a DLGTEMPLATE or a DLGTEMPLATEEX with its items.
DialogTemplate ParseDialog(Bytes bytes) {
    DialogTemplate dialog;
    Reader in(bytes);
    const bool extended = bytes.size >= 4 && bytes.data[2] == 0xFF && bytes.data[3] == 0xFF;
    if (extended) {
        in.DWord();  // version and signature
        in.DWord();  // help id
        dialog.exStyle = in.DWord();
        dialog.style = in.DWord();
    } else {
        dialog.style = in.DWord();
        dialog.exStyle = in.DWord();
    }
    const WORD count = in.Word();
    dialog.x = in.Short(), dialog.y = in.Short(), dialog.cx = in.Short(), dialog.cy = in.Short();
    dialog.menu = in.NameOrOrdinal();
    dialog.className = in.NameOrOrdinal();
    dialog.title = in.ZeroTerminated();
    if (dialog.style & (DS_SETFONT | DS_SHELLFONT)) {
        dialog.pointSize = in.Word();
        if (extended) {
            in.Word(), in.Byte(), in.Byte();  // weight, italic, character set
        }
        dialog.font = in.ZeroTerminated();
    }
    for (WORD i = 0; i < count && in.ok(); ++i) {
        DialogItem item;
        in.AlignTo4();
        if (extended) {
            in.DWord();  // help id
            item.exStyle = in.DWord();
            item.style = in.DWord();
        } else {
            item.style = in.DWord();
            item.exStyle = in.DWord();
        }
        item.x = in.Short(), item.y = in.Short(), item.cx = in.Short(), item.cy = in.Short();
        item.id = static_cast<WORD>(extended ? in.DWord() : in.Word());
        item.className = ClassName(in.NameOrOrdinal());
        item.text = in.NameOrOrdinal();
        const WORD extra = in.Word();
        for (WORD skip = 0; skip < extra; ++skip) {
            in.Byte();
        }
        dialog.items.push_back(item);
    }
    dialog.ok = in.ok() && dialog.items.size() == count;
    return dialog;
}

struct ExpectedControl {
    int id;  // -1: none
    const char* className;
    const char* text;  // "#n": the resource n
    DWORD style;
    short x, y, cx, cy;
};

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
constexpr DWORD kPopupDialog =
    DS_SETFONT | DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kPageDialog = DS_SETFONT | DS_CONTROL | WS_CHILD;
constexpr DWORD kDefPushButton = kChild | WS_TABSTOP | BS_DEFPUSHBUTTON;
constexpr DWORD kPushButton = kChild | WS_TABSTOP | BS_PUSHBUTTON;
constexpr DWORD kDisabledButton = kPushButton | WS_DISABLED;
constexpr DWORD kLeftText = kChild | WS_GROUP | SS_LEFT;
constexpr DWORD kGroupBox = kChild | BS_GROUPBOX;
constexpr DWORD kCheckBox = kChild | WS_TABSTOP | BS_AUTOCHECKBOX;
constexpr DWORD kDropDownList = kChild | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST;
constexpr DWORD kEdit = kChild | WS_BORDER | WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL;

// Compares dialog template `id` (at 0, 0 with font MS Sans Serif 8) with what it must hold.
void ExpectDialog(int id, const char* title, DWORD style, short cx, short cy,
                  const std::vector<ExpectedControl>& controls) {
    const DialogTemplate dialog = ParseDialog(Resource(RT_DIALOG, id));
    ASSERT_TRUE(dialog.ok) << "dialog template " << id << " missing or malformed";
    EXPECT_EQ(dialog.style, style);
    EXPECT_EQ(dialog.exStyle, 0u);
    EXPECT_EQ(std::make_tuple(dialog.x, dialog.y, dialog.cx, dialog.cy),
              std::make_tuple(short{0}, short{0}, cx, cy));
    EXPECT_EQ(dialog.menu, "");
    EXPECT_EQ(dialog.className, "");
    EXPECT_EQ(dialog.title, title);
    EXPECT_EQ(dialog.pointSize, 8);
    EXPECT_EQ(dialog.font, "MS Sans Serif");
    ASSERT_EQ(dialog.items.size(), controls.size());
    for (size_t i = 0; i < controls.size(); ++i) {
        const ExpectedControl& want = controls[i];
        const DialogItem& item = dialog.items[i];
        SCOPED_TRACE("control " + std::to_string(i) + " \"" + want.text + "\"");
        EXPECT_EQ(item.id, static_cast<WORD>(want.id));
        EXPECT_EQ(Lower(item.className), Lower(want.className));
        EXPECT_EQ(item.text, want.text);
        EXPECT_EQ(item.style, want.style) << std::hex << "actual 0x" << item.style;
        EXPECT_EQ(item.exStyle, 0u);
        EXPECT_EQ(std::make_tuple(item.x, item.y, item.cx, item.cy),
                  std::make_tuple(want.x, want.y, want.cx, want.cy));
    }
}

TEST(Resources, ProgramLoadsAsData) {
    ASSERT_NE(Program(), nullptr) << ProgramPath() << ": error " << ::GetLastError();
}

// The string table: block id/16 + 1 holds 16 counted strings.
TEST(Resources, StringTable) {
    struct Entry {
        int id;
        const char* text;
    };
    const Entry kStrings[] = {
        {100, "Vantapicker"},
        {101, "A&bout Vantapicker"},
        {102, "&Options"},
        {103, "&Activate"},
        {104, "&Deactivate"},
        {105, "E&xit"},
        {108, "Wrong Application Settings.\r\nReinstall the Application, Please."},
        {109, "Can't Create Selected Sites Setting Key"},
        {110, "Can't Create User Settings Key"},
        {111, "Can't Open User Settings Key"},
        {115, "Home &Page"},
        {116, "Online &Help"},
        {117, "Left"},
        {118, "Right"},
        {119, "Middle"},
        {120, "X"},
        {131, "&Support"},
        {133, "Hide &Site\tSpace"},
        {134, "Are you sure you want to remove this site?\nThis operation can't be undone."},
        {135, "Show &Site"},
        {136, "Hide &Site"},
        {137, "Ctrl"},
        {138, "Shift"},
        {139, "Ctrl+Shift"},
        {140, "Open Popup Window"},
        {141, "Wrong site list file"},
    };
    for (int id = 100; id <= 141; ++id) {
        SCOPED_TRACE("string " + std::to_string(id));
        Reader in(Resource(RT_STRING, id / 16 + 1));
        std::string text;
        for (int slot = 0; slot <= id % 16; ++slot) {
            text = in.Text(in.Word());
        }
        const auto entry = std::find_if(std::begin(kStrings), std::end(kStrings),
                                        [id](const Entry& e) { return e.id == id; });
        if (entry == std::end(kStrings)) {
            EXPECT_EQ(text, "") << "unexpected string";
        } else {
            EXPECT_TRUE(in.ok());
            EXPECT_EQ(text, entry->text);
        }
    }
}

TEST(Resources, SiteMenu) {
    struct Item {
        WORD flags;
        WORD id;
        std::string text;
    };
    Reader in(Resource(RT_MENU, IDM_SITE_MENU));
    EXPECT_EQ(in.DWord(), 0u);  // version 0 and header size 0: a plain MENU
    const WORD popupFlags = in.Word();
    ASSERT_TRUE(popupFlags & MF_POPUP) << "the first item is no popup";
    in.ZeroTerminated();
    std::vector<Item> items;
    for (bool end = false; !end && in.ok();) {
        Item item;
        item.flags = in.Word();
        ASSERT_FALSE(item.flags & MF_POPUP) << "nested popup";
        item.id = in.Word();
        item.text = in.ZeroTerminated();
        end = item.flags & MF_END;
        items.push_back(item);
    }
    ASSERT_TRUE(in.ok());
    const std::vector<std::pair<WORD, std::string>> kExpected = {
        {32771, "Show &Site\tSpace"}, {32772, "Set as &Default\tCtrl+D"}, {0, ""},
        {32768, "&New Site\tCtrl+N"}, {32769, "&Edit\tCtrl+E"},           {32770, "&Remove\tDel"},
    };
    ASSERT_EQ(items.size(), kExpected.size());
    for (size_t i = 0; i < items.size(); ++i) {
        SCOPED_TRACE("item " + std::to_string(i));
        EXPECT_EQ(items[i].id, kExpected[i].first);
        EXPECT_EQ(items[i].text, kExpected[i].second);
        EXPECT_EQ(items[i].flags & (MF_GRAYED | MF_DISABLED | MF_CHECKED), 0);
    }
}

TEST(Resources, PopupAccelerators) {
    const Bytes table = Resource(RT_ACCELERATOR, IDR_POPUP_KEYS);
    const std::vector<std::tuple<WORD, WORD, WORD>> kExpected = {
        {FVIRTKEY | FNOINVERT, VK_DOWN, 32773},         {FVIRTKEY | FNOINVERT, VK_TAB, 32773},
        {FVIRTKEY | FNOINVERT | FSHIFT, VK_TAB, 32774}, {FVIRTKEY | FNOINVERT, VK_UP, 32774},
        {FVIRTKEY | FNOINVERT, VK_RETURN, 32775},       {FVIRTKEY | FNOINVERT, VK_ESCAPE, 32776},
    };
    ASSERT_EQ(table.size, kExpected.size() * 8);
    Reader in(table);
    for (size_t i = 0; i < kExpected.size(); ++i) {
        SCOPED_TRACE("entry " + std::to_string(i));
        const WORD flags = in.Word();
        const WORD key = in.Word();
        const WORD command = in.Word();
        in.Word();  // padding
        EXPECT_EQ(flags & 0x80, i + 1 == kExpected.size() ? 0x80 : 0) << "end mark";
        EXPECT_EQ(std::make_tuple(static_cast<WORD>(flags & ~0x80), key, command), kExpected[i]);
    }
}

TEST(Resources, OptionsDialog) {
    const std::vector<ExpectedControl> controls = {
        {IDOK, "Button", "OK", kDefPushButton, 141, 249, 50, 14},
        {IDCANCEL, "Button", "Cancel", kPushButton, 195, 249, 50, 14},
    };
    ExpectDialog(IDD_OPTIONS, "Vantapicker Options", kPopupDialog, 250, 268, controls);
}

TEST(Resources, GeneralPage) {
    const std::vector<ExpectedControl> controls = {
        {-1, "Button", "Hot keys to open &popup window", kGroupBox, 6, 7, 228, 50},
        {236, "Button", "Mouse button:", kCheckBox, 14, 21, 59, 10},
        {232, "ComboBox", "", kDropDownList, 76, 19, 48, 40},
        {-1, "Static", "+", kLeftText, 126, 21, 8, 8},
        {217, "ComboBox", "", kDropDownList, 134, 19, 48, 48},
        {237, "Button", "Hot keys:", kCheckBox, 14, 38, 59, 10},
        {234, "ComboBox", "", kDropDownList, 76, 36, 48, 40},
        {-1, "Static", "+", kLeftText, 126, 38, 8, 8},
        {235, "ComboBox", "", kDropDownList, 134, 36, 48, 100},
        {-1, "Button", "Hot keys to search &default site", kGroupBox, 6, 63, 228, 50},
        {212, "Button", "Mouse button:", kCheckBox, 14, 77, 59, 10},
        {233, "ComboBox", "", kDropDownList, 76, 75, 48, 40},
        {-1, "Static", "+", kLeftText, 126, 77, 8, 8},
        {218, "ComboBox", "", kDropDownList, 134, 75, 48, 48},
        {240, "Button", "Hot keys:", kCheckBox, 14, 94, 59, 10},
        {238, "ComboBox", "", kDropDownList, 76, 92, 48, 40},
        {-1, "Static", "+", kLeftText, 126, 94, 8, 8},
        {239, "ComboBox", "", kDropDownList, 134, 92, 48, 100},
        {-1, "Button", "Startup option", kGroupBox, 6, 119, 228, 27},
        {221, "Button", "&Run the program when Windows starts", kCheckBox, 14, 132, 170, 9},
        {-1, "Button", "Clipboard", kGroupBox, 6, 150, 228, 35},
        {251, "Button", "Read the selection &without the clipboard", kCheckBox, 14, 161, 170, 9},
        {250, "Button", "&Keep my clipboard as it was", kCheckBox, 14, 173, 170, 9},
        {-1, "Static", "Don't take &gestures in these programs:", kLeftText, 8, 190, 226, 8},
        {252, "Edit", "", kEdit, 6, 200, 186, 13},
        {253, "Button", "Br&owse...", kPushButton, 196, 200, 38, 13},
        {254, "Static", "", kLeftText, 8, 218, 226, 8},
    };
    ExpectDialog(IDD_GENERAL_PAGE, "General", kPageDialog, 240, 228, controls);
}

TEST(Resources, SitesPage) {
    constexpr DWORD kTree = kChild | WS_BORDER | WS_TABSTOP | TVS_HASLINES | TVS_HASBUTTONS |
                            TVS_LINESATROOT | TVS_SHOWSELALWAYS | TVS_DISABLEDRAGDROP |
                            TVS_NOTOOLTIPS;
    constexpr DWORD kLabel = kChild | SS_LEFTNOWORDWRAP | SS_CENTERIMAGE | SS_SUNKEN;
    const std::vector<ExpectedControl> controls = {
        {-1, "Static",
         "Check the sites you would like to be &visible in the popup window.\n"
         "Double click on the site you would like to be the default site.",
         kLeftText, 5, 4, 223, 19},
        {226, "SysTreeView32", "", kTree, 6, 25, 172, 143},
        {-1, "Static", "Default site", kLeftText, 5, 176, 41, 10},
        {210, "Static", "", kLabel, 49, 174, 186, 12},
        {207, "Button", "Show &Site", kDisabledButton, 183, 25, 52, 15},
        {209, "Button", "Set as &Default", kDisabledButton, 183, 43, 52, 15},
        {241, "Button", "&New Site", kDisabledButton, 183, 65, 52, 15},
        {243, "Button", "&Edit", kDisabledButton, 183, 83, 52, 15},
        {244, "Button", "&Remove", kDisabledButton, 183, 101, 52, 15},
        {230, "Button", "&Import Sites", kPushButton, 183, 123, 52, 15},
        {231, "Button", "E&xport Sites", kDisabledButton, 183, 141, 52, 15},
        {254, "Static", "", kLeftText, 5, 190, 230, 8},
    };
    ExpectDialog(IDD_SITES_PAGE, "Sites", kPageDialog, 240, 200, controls);
}

TEST(Resources, AboutBox) {
    const std::vector<ExpectedControl> controls = {
        {-1, "Static", "#201", kChild | SS_ICON, 6, 6, 20, 20},
        {-1, "Button", "", kGroupBox, 34, 2, 196, 45},
        {-1, "Static",
         "Vantapicker\nCopyright (C) Quenhollow. All rights "
         "reserved.\nVersion " VP_VERSION_SHORT_TEXT,
         kLeftText, 42, 10, 131, 34},
        {IDOK, "Button", "&OK", kDefPushButton, 176, 11, 49, 14},
    };
    ExpectDialog(IDD_ABOUT, "About Vantapicker", kPopupDialog, 235, 51, controls);
}

TEST(Resources, SitePropertiesDialog) {
    const std::vector<ExpectedControl> controls = {
        {-1, "Static", "&Name:", kLeftText, 5, 8, 23, 10},
        {228, "Edit", "", kEdit, 30, 7, 150, 12},
        {-1, "Static", "&URL:", kLeftText, 5, 24, 23, 10},
        {229, "Edit", "", kEdit, 30, 22, 150, 12},
        {IDOK, "Button", "&OK", kDefPushButton, 75, 41, 50, 14},
        {IDCANCEL, "Button", "&Cancel", kPushButton, 130, 41, 50, 14},
    };
    ExpectDialog(IDD_SITE_PROPERTIES, "Site Properties", kPopupDialog, 186, 60, controls);
}

// Width, height and bits per pixel of each image of an icon or cursor group, read from
// the group's directory and checked against each image's own header.
std::vector<std::tuple<int, int, int>> GroupImages(int groupId, bool icon) {
    SCOPED_TRACE((icon ? "icon " : "cursor ") + std::to_string(groupId));
    Reader group(Resource(icon ? RT_GROUP_ICON : RT_GROUP_CURSOR, groupId));
    EXPECT_EQ(group.Word(), 0);
    EXPECT_EQ(group.Word(), icon ? 1 : 2);
    const WORD count = group.Word();
    std::vector<std::tuple<int, int, int>> images;
    for (WORD i = 0; i < count && group.ok(); ++i) {
        int width = icon ? group.Byte() : group.Word();
        int height = icon ? group.Byte() : group.Word();
        if (icon) {
            EXPECT_EQ(group.Byte(), 16) << "colour count";
            group.Byte();
        }
        EXPECT_EQ(group.Word(), 1) << "planes";
        const int bits = group.Word();
        const DWORD size = group.DWord();
        const WORD imageId = group.Word();
        const Bytes image = Resource(icon ? RT_ICON : RT_CURSOR, imageId);
        EXPECT_EQ(image.size, size);
        Reader header(image, icon ? 0 : 4);  // a cursor image starts with its hot spot
        EXPECT_EQ(header.DWord(), sizeof(BITMAPINFOHEADER));
        EXPECT_EQ(static_cast<int>(header.DWord()), width);
        EXPECT_EQ(static_cast<int>(header.DWord()), 2 * width);  // colour and mask: square
        EXPECT_EQ(header.Word(), 1);
        EXPECT_EQ(header.Word(), bits);
        EXPECT_TRUE(image.size &&
                    ::CreateIconFromResourceEx(const_cast<BYTE*>(image.data), image.size, icon,
                                               0x00030000, 0, 0, LR_DEFAULTCOLOR))
            << "image " << imageId << " does not load";
        if (!icon) {
            EXPECT_TRUE(height == width || height == 2 * width) << height;
            height = width;
        }
        images.emplace_back(width, height, bits);
    }
    EXPECT_TRUE(group.ok());
    std::sort(images.begin(), images.end());
    return images;
}

TEST(Resources, IconsAndCursor) {
    using Images = std::vector<std::tuple<int, int, int>>;
    EXPECT_EQ(GroupImages(IDI_PROGRAM, true), (Images{{16, 16, 4}, {32, 32, 4}}));
    EXPECT_EQ(GroupImages(IDI_ACTIVE, true), (Images{{32, 32, 4}}));
    EXPECT_EQ(GroupImages(IDI_INACTIVE, true), (Images{{32, 32, 4}}));
    EXPECT_EQ(GroupImages(IDC_HAND_POINTER, false), (Images{{32, 32, 1}}));

    // The first image's id: after the 6-byte directory header and 12 bytes of its entry.
    Reader group(Resource(RT_GROUP_CURSOR, IDC_HAND_POINTER), 6 + 12);
    Reader cursor(Resource(RT_CURSOR, group.Word()));
    EXPECT_EQ(cursor.Word(), 12) << "hot spot x";
    EXPECT_EQ(cursor.Word(), 6) << "hot spot y";
}

TEST(Resources, TreeBitmaps) {
    for (int id : {IDB_HIDDEN_SITE, IDB_CATEGORY, IDB_VISIBLE_SITE}) {
        SCOPED_TRACE("bitmap " + std::to_string(id));
        const Bytes bitmap = Resource(RT_BITMAP, id);
        Reader in(bitmap);
        EXPECT_EQ(in.DWord(), sizeof(BITMAPINFOHEADER));
        EXPECT_EQ(static_cast<LONG>(in.DWord()), 16);
        EXPECT_EQ(std::abs(static_cast<LONG>(in.DWord())), 16);
        EXPECT_EQ(in.Word(), 1);
        ASSERT_EQ(in.Word(), 4) << "bits per pixel";
        EXPECT_EQ(in.DWord(), static_cast<DWORD>(BI_RGB));
        in.DWord(), in.DWord(), in.DWord();  // image size, resolution
        const DWORD colours = in.DWord();
        EXPECT_TRUE(colours == 0 || colours == 16) << colours;
        // 16 colours of 4 bytes, then 16 rows of 8 bytes; the corners are white.
        const DWORD pixels = sizeof(BITMAPINFOHEADER) + 16 * 4;
        ASSERT_EQ(bitmap.size, pixels + 16 * 8);
        for (DWORD row : {0, 15}) {
            for (bool right : {false, true}) {
                const BYTE pair = bitmap.data[pixels + row * 8 + (right ? 7 : 0)];
                const DWORD index = right ? pair & 0x0F : pair >> 4;
                Reader colour(bitmap, sizeof(BITMAPINFOHEADER) + index * 4);
                EXPECT_EQ(colour.DWord() & 0xFFFFFF, 0xFFFFFFu) << "corner " << row << right;
            }
        }
    }
}

TEST(Resources, TypeLibrary) {
    const Bytes library = Resource("TYPELIB", IDR_TYPELIB);
    ASSERT_GE(library.size, 4u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(library.data), 4), "MSFT");
}

TEST(Resources, Manifest) {
    const Bytes bytes = Resource(RT_MANIFEST, 1);
    const std::string manifest(reinterpret_cast<const char*>(bytes.data), bytes.size);
    const size_t name = manifest.find("name=\"Microsoft.Windows.Common-Controls\"");
    ASSERT_NE(name, std::string::npos);
    const size_t begin = manifest.rfind('<', name);
    const std::string identity = manifest.substr(begin, manifest.find('>', name) - begin);
    EXPECT_NE(identity.find("<assemblyIdentity "), std::string::npos) << identity;
    EXPECT_NE(identity.find("version=\"6.0.0.0\""), std::string::npos) << identity;
    EXPECT_NE(manifest.find("<dependentAssembly>"), std::string::npos);
    EXPECT_NE(manifest.find("<requestedExecutionLevel level=\"asInvoker\""), std::string::npos);
    EXPECT_NE(manifest.find("<supportedOS Id=\"{"), std::string::npos);
    EXPECT_NE(manifest.find("name=\"Quenhollow.Vantapicker\" version=\"" VP_VERSION_FULL_TEXT "\""),
              std::string::npos);
}

// The program and its hook library carry the build's one version.
TEST(Resources, VersionInformation) {
    const std::string program = ProgramPath();
    const std::string hook = program.substr(0, program.find_last_of("\\/") + 1) + "VPHook.dll";
    for (const std::string& path : {program, hook}) {
        SCOPED_TRACE(path);
        std::vector<char> info(::GetFileVersionInfoSizeA(path.c_str(), nullptr));
        ASSERT_FALSE(info.empty());
        ASSERT_TRUE(
            ::GetFileVersionInfoA(path.c_str(), 0, static_cast<DWORD>(info.size()), info.data()));
        VS_FIXEDFILEINFO* fixed = nullptr;
        UINT size = 0;
        ASSERT_TRUE(::VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &size));
        ASSERT_GE(size, sizeof *fixed);
        EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
        EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(VP_VERSION_MINOR, VP_VERSION_MAJOR));
        EXPECT_EQ(fixed->dwFileVersionLS, MAKELONG(VP_VERSION_BUILD, VP_VERSION_PATCH));
        EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
        EXPECT_EQ(fixed->dwProductVersionLS, fixed->dwFileVersionLS);
        for (const char* name : {"FileVersion", "ProductVersion"}) {
            char* text = nullptr;
            ASSERT_TRUE(::VerQueryValueA(
                info.data(), (std::string("\\StringFileInfo\\040904b0\\") + name).c_str(),
                reinterpret_cast<void**>(&text), &size));
            EXPECT_STREQ(text, VP_VERSION_FULL_TEXT) << name;
        }
        char* product = nullptr;
        ASSERT_TRUE(::VerQueryValueA(info.data(), "\\StringFileInfo\\040904b0\\ProductName",
                                     reinterpret_cast<void**>(&product), &size));
        EXPECT_STREQ(product, "Vantapicker");
    }
}

}  // namespace
}  // namespace vp
