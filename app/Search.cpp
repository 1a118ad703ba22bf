// Opening a site's search for a text in the user's browser.
#include <windows.h>
#include <shellapi.h>

#include "app/MainWindow.h"
#include "app/WinText.h"
#include "sites/SearchUrl.h"

namespace vp {

void MainWindow::AddToSearchHistory(const std::string& text) {
    if (vp::AddToSearchHistory(SearchHistory, text)) {
        SearchBox.Fill(SearchHistory);
    }
}

void MainWindow::OpenSearch(const std::string& siteUrl, const std::string& text) {
    // Only a web address ever reaches the shell.
    if (auto url = ComposeSearchUrl(siteUrl, text, SystemLeadBytes())) {
        ::ShellExecuteA(nullptr, "open", url->c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    }
}

void MainWindow::OpenSiteSearch(std::size_t index) {
    std::string text = SearchBox.Text();
    AddToSearchHistory(text);
    if (index < VisibleSites.size()) {
        OpenSearch(VisibleSites[index].url, text);
    }
}

void MainWindow::OpenDefaultSiteSearch(const std::string& text) {
    AddToSearchHistory(text);
    OpenSearch(defaultSiteUrl, text);
}

}  // namespace vp
