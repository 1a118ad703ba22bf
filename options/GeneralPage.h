// The General page of the Options dialog: the two gestures and the two hot keys with
// their enable boxes, the programs without gestures, and the start at logon. The controls hold the
// user's edits; OK stores them.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

#include "win/Dialog.h"

namespace vp {

class GeneralPage : public win::Page {
public:
    // Refuses more programs without gestures than the hook library holds, with a
    // message box that says so.
    bool CanApply() override;
    // Puts the focus on the list of programs, all of it selected.
    void FocusRefusedField() const;
    // Stores the page (SaveGeneralSettings).
    void Apply() override { SaveGeneralSettings(); }

    // Stores the twelve trigger values and the start at logon; swallows every error, so
    // that nothing is stored when the Settings key cannot be written.
    void SaveGeneralSettings();

private:
    INT_PTR OnInit() override;
    bool OnButtonClicked(int id) override;
    void FillTriggerLists();
    void LoadGeneralSettings();
    void SetAutostart(bool checked);
    // Browse: a chosen program's file name is added to the list.
    void OnBrowseProgram();
    std::u16string ExclusionText() const;
    // The selected list position, or nothing.
    std::optional<std::uint32_t> Selection(int list) const;
};

}  // namespace vp
