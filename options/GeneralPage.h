// The General page of the Options dialog: the two gestures and the two hot keys with
// their enable boxes, the programs without gestures, and the start at logon. The controls hold the
// user's edits; OK stores them.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

#include "base/Configuration.h"
#include "win/Dialog.h"

namespace vp {

class GeneralPage : public win::Page {
public:
    // Shows and stores against `configuration`, which outlives the page.
    explicit GeneralPage(const Configuration& configuration) : configuration_(configuration) {}

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
    // Whether a policy fixes the value: its control shows the policy's value, disabled,
    // and OK leaves the user's own as stored.
    bool Fixed(PolicyId policy) const { return configuration_.Fixed(policy); }
    // Disables the controls of what policies fix and says so under them.
    void DisableFixedControls();

    const Configuration& configuration_;
};

}  // namespace vp
