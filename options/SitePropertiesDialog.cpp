#include "options/SitePropertiesDialog.h"

#include <utility>

#include "resources/resource.h"
#include "win/WinText.h"

namespace vp {

SitePropertiesDialog::SitePropertiesDialog(std::string name, std::string url)
    : name_(std::move(name)), url_(std::move(url)) {}

INT_PTR SitePropertiesDialog::Run(HWND owner) {
    return RunModal(ProgramInstance(), IDD_SITE_PROPERTIES, owner);
}

INT_PTR SitePropertiesDialog::OnInit() {
    // The edits take any length, so a long stored text is shown whole.
    SendItem(IDC_SITE_NAME, EM_LIMITTEXT, 0);
    SendItem(IDC_SITE_URL, EM_LIMITTEXT, 0);
    SetItemText(IDC_SITE_NAME, name_);
    SetItemText(IDC_SITE_URL, url_);
    return TRUE;  // the focus goes to the name field
}

std::string SitePropertiesDialog::ReadField(int id, const std::string& initial,
                                            std::size_t maxLength) const {
    HWND edit = Item(id);
    std::string text(static_cast<std::size_t>(::GetWindowTextLengthA(edit)) + 1, '\0');
    text.resize(static_cast<std::size_t>(
        ::GetWindowTextA(edit, text.data(), static_cast<int>(text.size()))));
    if (text == initial) {
        return initial;
    }
    // Cut by whole characters: a lead byte is never left without its trail byte.
    return CutText(text, maxLength, SystemLeadBytes());
}

void SitePropertiesDialog::OnOk() {
    name_ = ReadField(IDC_SITE_NAME, name_, kMaxNameLength);
    url_ = ReadField(IDC_SITE_URL, url_, kMaxUrlLength);
    Dialog::OnOk();
}

}  // namespace vp
