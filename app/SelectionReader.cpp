#include "app/SelectionReader.h"

#include <richedit.h>

#include <algorithm>
#include <cwchar>
#include <cwctype>
#include <utility>

#include "base/AnsiText.h"
#include "base/WideText.h"
#include "win/WinText.h"

namespace vp {
namespace {

constexpr std::size_t kMaxSearchUnits = 255;

// Messages into another process never wait longer than what is left of one budget, and
// give up at once on an application that Windows already knows to be hung.
class Deadline {
public:
    explicit Deadline(DWORD budgetMs) : end_(::GetTickCount64() + budgetMs) {}

    // SendMessageTimeoutW: the answer, or nothing when the application did not answer in
    // time.
    std::optional<LRESULT> Send(HWND window, UINT message, WPARAM wParam = 0,
                                LPARAM lParam = 0) const {
        const ULONGLONG now = ::GetTickCount64();
        if (now >= end_) {
            return std::nullopt;
        }
        DWORD_PTR answer = 0;
        if (!::SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG,
                                   static_cast<UINT>(end_ - now), &answer)) {
            return std::nullopt;
        }
        return static_cast<LRESULT>(answer);
    }

private:
    ULONGLONG end_;
};

// The class name in lower case, and for a control that extends a system class the name
// of that class first.
struct ClassNames {
    explicit ClassNames(HWND window) {
        ::RealGetWindowClassW(window, names[0], 128);
        ::GetClassNameW(window, names[1], 128);
        for (wchar_t* name : names) {
            for (wchar_t* c = name; *c != L'\0'; ++c) {
                *c = static_cast<wchar_t>(std::towlower(*c));
            }
        }
    }
    const wchar_t* Holding(const wchar_t* part) const {
        for (const wchar_t* name : names) {
            if (std::wcsstr(name, part) != nullptr) {
                return name;
            }
        }
        return nullptr;
    }
    wchar_t names[2][128] = {};
};

// Edit and rich edit controls, and the controls that frameworks build on them ("TEdit",
// "WindowsForms10.EDIT...", "RICHEDIT50W"). Other controls may give EM_GETSEL another
// meaning or count in bytes: they are left to the copy.
bool IsEditControl(const ClassNames& names) {
    return names.Holding(L"edit") != nullptr;
}

// Rich edit 2.0 and later count a paragraph end as one character and give it as CR LF;
// the 1.0 control ("RichEdit", riched32) counts both characters, as an edit control does.
bool CountsLineEndsOnce(const ClassNames& names) {
    const wchar_t* name = names.Holding(L"richedit");
    return name != nullptr && std::wcscmp(name, L"richedit") != 0;
}

// A control without Unicode on a double-byte code page answers in byte positions, which
// do not index its UTF-16 text.
bool CountsBytes(HWND window) {
    CPINFO codePage{};
    return !::IsWindowUnicode(window) && ::GetCPInfo(CP_ACP, &codePage) && codePage.MaxCharSize > 1;
}

}  // namespace

std::optional<std::u16string> SelectionReader::ReadEditSelection(HWND control, DWORD budgetMs) {
    if (control == nullptr) {
        return std::nullopt;
    }
    const ClassNames names(control);
    if (!IsEditControl(names) || CountsBytes(control)) {
        return std::nullopt;
    }
    // A password field never gives its text away, whatever it would copy.
    if ((::GetWindowLongW(control, GWL_STYLE) & ES_PASSWORD) != 0) {
        return std::nullopt;
    }
    const Deadline deadline(budgetMs);
    const auto passwordChar = deadline.Send(control, EM_GETPASSWORDCHAR);
    if (!passwordChar || *passwordChar != 0) {
        return std::nullopt;
    }
    // Null pointers (pointers would not reach another process): the positions come back
    // packed, as 16 bits each, so only a text whose positions fit is read here.
    const auto packed = deadline.Send(control, EM_GETSEL);
    if (!packed || static_cast<DWORD>(*packed) == 0xFFFFFFFF) {
        return std::nullopt;
    }
    std::size_t start = LOWORD(static_cast<DWORD>(*packed));
    std::size_t end = HIWORD(static_cast<DWORD>(*packed));
    if (start > end) {
        std::swap(start, end);
    }
    if (start == end) {
        return std::nullopt;  // nothing selected: the copy decides as before
    }
    const auto length = deadline.Send(control, WM_GETTEXTLENGTH);
    if (!length || *length <= 0 ||
        static_cast<std::size_t>(*length) >
            std::min<std::size_t>(kMaxTextBytes / sizeof(char16_t), 0xFFFF)) {
        return std::nullopt;
    }
    std::u16string text(static_cast<std::size_t>(*length) + 1, u'\0');
    const auto copied =
        deadline.Send(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    if (!copied || *copied <= 0) {
        return std::nullopt;
    }
    text.resize(std::min(static_cast<std::size_t>(*copied), text.size() - 1));
    if (CountsLineEndsOnce(names)) {
        start = PositionCountingLineEndsOnce(text, start);
        end = PositionCountingLineEndsOnce(text, end);
    }
    if (start >= text.size()) {
        return std::nullopt;  // positions that do not match the text: not to be trusted
    }
    return text.substr(start, std::min(end, text.size()) - start);
}

std::optional<SearchText> SelectionReader::Read() const {
    HWND foreground = ::GetForegroundWindow();
    GUITHREADINFO thread{};
    thread.cbSize = sizeof thread;
    if (foreground == nullptr ||
        !::GetGUIThreadInfo(::GetWindowThreadProcessId(foreground, nullptr), &thread)) {
        return std::nullopt;
    }
    auto selection = ReadEditSelection(thread.hwndFocus);
    if (!selection || selection->substr(0, selection->find(u'\0')).empty()) {
        return std::nullopt;
    }
    return SearchTextOfSelection(*selection);
}

SearchText SearchTextOfSelection(std::u16string_view selection) {
    // Only the part that is kept decides, as for a copied text.
    std::u16string wide = CutText(selection.substr(0, selection.find(u'\0')), kMaxSearchUnits);
    if (auto ansi = LosslessAnsi(wide)) {
        std::string text = CutText(*ansi, kMaxSearchUnits, SystemLeadBytes());
        TrimTrailingBlanks(text, SystemLeadBytes());
        return SearchText(std::move(text));
    }
    TrimTrailingBlanks(wide);
    return SearchText::Wide(std::move(wide));
}

}  // namespace vp
