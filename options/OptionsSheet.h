// The Options dialog: a frame with OK and Cancel, a tab control made at run time and the
// General and Sites pages as modeless child dialogs, one shown at a time. OK stores both
// pages (General first); Cancel stores nothing.
#pragma once

#include <windows.h>

#include <functional>

#include "base/Configuration.h"
#include "options/GeneralPage.h"
#include "options/SitesPage.h"
#include "win/Dialog.h"

namespace vp {

class OptionsSheet : public win::Dialog {
public:
    // The pages show and store against `configuration`, kept as the dialog opened: a
    // reload of the program's own while the dialog is open changes nothing here.
    // exitProgram ends the whole program; the Sites page calls it when it cannot open.
    OptionsSheet(Configuration configuration, std::function<void()> exitProgram);

    // Runs the dialog modally; returns IDOK or IDCANCEL.
    INT_PTR Run(HINSTANCE instance, HWND owner);
    // True once the program was ended from inside the dialog: nothing was stored, and
    // the program must not go on with its configuration.
    bool ProgramEnded() const { return programEnded_; }

protected:
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    INT_PTR OnInit() override;
    INT_PTR OnTabChanged(const NMHDR&);
    void OnOk() override;
    void OnCancel() override;
    void DestroyPages();

    const Configuration configuration_;  // before the pages, which hold it
    std::function<void()> exitProgram_;
    bool programEnded_ = false;
    GeneralPage general_;
    SitesPage sites_;
    HWND tabs_ = nullptr;  // a child of the dialog, destroyed with it
};

}  // namespace vp
