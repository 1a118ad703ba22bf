// options/SitesPage.h
#pragma once
#include <functional>
#include "win/Dialog.h"
namespace vp {
class SitesPage : public win::Page {
public:
    // exitProgram ends the whole program; the page calls it when its initialisation fails
    // (after showing the error box).
    explicit SitesPage(std::function<void()> exitProgram);
    // Stores the changes (ApplySiteChanges); swallows its own errors.
    void Apply() override;

protected:
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
};
}  // namespace vp
