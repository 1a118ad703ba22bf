// The General page of the Options dialog: the two gestures and the two hot keys with
// their enable boxes, the programs without gestures, and the start at logon. The controls hold the
// user's edits; OK stores them.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

#include "base/Policies.h"
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
    // Whether no policy fixes the value; a fixed one shows the policy's value, disabled.
    bool Free(PolicyId policy) const;
    // Whether a policy's list of programs without gestures replaces the user's.
    bool ExclusionsFixed() const;
    // Shows the values that policies fix, disables their controls and says so under them.
    void ShowManagedControls();

    PolicySet policies_;  // as the page opened
};

}  // namespace vp
