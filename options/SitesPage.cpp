#include "options/SitesPage.h"

namespace vp {

SitesPage::SitesPage(std::function<void()>) {}

void SitesPage::Apply() {}

INT_PTR SitesPage::HandleMessage(UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

}  // namespace vp
