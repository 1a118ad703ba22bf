// The popup's search box: an extended combo box whose drop-down list is the search
// history, drawn in the links' dark blue (in dark mode and high contrast, the colours of
// the popup's palette).
#pragma once

#include <windows.h>

#include <string>

#include "base/SearchHistory.h"
#include "win/Handle.h"
#include "win/Window.h"

namespace vp {

class SearchBox : public win::Window {
public:
    // Creates the box as child 99 of the popup.
    bool CreateIn(HWND popup);
    // The edit field inside the box (where the text and the focus are).
    HWND EditControl() const;
    // An ANSI text goes in as ANSI; a wide one straight into the (Unicode) edit field.
    void SetText(const SearchText& text);
    // At most 255 characters: ANSI when the code page holds the text, wide otherwise.
    SearchText Text() const;
    // Replaces the drop-down list with the history.
    void Fill(const SearchHistoryList& history);

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    LRESULT OnControlColor(WPARAM wParam, LPARAM lParam);
    // Takes the palette's colours, then lets the combo box follow the system's.
    LRESULT OnSysColorChange(WPARAM wParam, LPARAM lParam);
    void LoadColors();

    COLORREF textColor_ = 0;
    COLORREF backgroundColor_ = 0;
    win::BrushHandle backgroundBrush_;  // none while the background is the system's window colour
};

}  // namespace vp
