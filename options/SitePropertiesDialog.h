// The site properties dialog: asks for a site's name and URL.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

#include "win/Dialog.h"

namespace vp {

class SitePropertiesDialog : public win::Dialog {
public:
    // What the dialog keeps of a field the user edits: a name of 259 characters, a URL
    // of 2082.
    static constexpr std::size_t kMaxNameLength = 259;
    static constexpr std::size_t kMaxUrlLength = 2082;

    SitePropertiesDialog(std::string name, std::string url);

    // Runs the dialog modally from template 135; IDOK or IDCANCEL.
    INT_PTR Run(HWND owner);

    // After OK: the texts as the user left them. A field the user did not change keeps
    // its initial text whole, however long; an edited one is cut to its limit.
    const std::string& Name() const { return name_; }
    const std::string& Url() const { return url_; }

private:
    INT_PTR OnInit() override;
    void OnOk() override;
    // The edit's text, or `initial` when it still holds exactly that.
    std::string ReadField(int id, const std::string& initial, std::size_t maxLength) const;

    std::string name_;
    std::string url_;
};

}  // namespace vp
