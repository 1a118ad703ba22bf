#include "win/QhError.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <thread>

#include "base/ErrorCode.h"
#include "win/ErrorBox.h"
#include "resources/resource.h"
#include "tests/win/TestResourceIds.h"
#include "tests/win/WindowSearch.h"

namespace vp {
namespace {

TEST(QhError, SystemErrorsBecomeCodes) {
    EXPECT_EQ(static_cast<std::uint32_t>(_qh_error::FromSystemError(5, 0).Code()), 0x80070005u);
    EXPECT_EQ(_qh_error::FromSystemError(0, 0).Code(), 0);
    EXPECT_EQ(_qh_error::FromSystemError(static_cast<DWORD>(-42), 0).Code(), -42);
    ::SetLastError(ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(static_cast<std::uint32_t>(_qh_error::FromLastError(IDS_WRONG_SETTINGS).Code()),
              0x80070002u);
    EXPECT_EQ(_qh_error(kResultFail, IDS_WRONG_SITE_LIST).Code(), kResultFail);
}

TEST(QhError, TextComesFromTheStringTable) {
    EXPECT_EQ(_qh_error(kResultFail, IDS_WRONG_SETTINGS).Text(),
              "Wrong Application Settings.\r\nReinstall the Application, Please.");
    EXPECT_EQ(_qh_error(kResultFail, IDS_CANT_OPEN_SETTINGS).Text(),
              "Can't Open User Settings Key");
    EXPECT_EQ(_qh_error(kResultFail, 0).Text(), "System Error");
}

TEST(QhError, TextIsCutTo255Characters) {
    std::string text = _qh_error(kResultFail, IDS_TEST_LONG_MESSAGE).Text();
    ASSERT_EQ(text.size(), 255u);
    EXPECT_EQ(text.substr(250), "01234");
}

// Shows the box on another thread and returns the box's caption and text, then closes it.
struct ShownBox {
    bool shown = false;
    std::string caption;
    std::string text;
};

ShownBox ShowAndReadBox(const std::function<void()>& show) {
    std::atomic<bool> returned{false};
    std::thread shower([&] {
        show();
        returned = true;
    });
    ShownBox box;
    HWND window = WaitForTopLevelWindow("#32770", "Vantapicker", 3000, {}, &returned);
    if (window != nullptr) {
        box.shown = true;
        box.caption = WindowText(window);
        box.text = MessageBoxText(window);
        ::PostMessageA(window, WM_COMMAND, IDOK, 0);
    }
    shower.join();
    return box;
}

ShownBox ShowAndReadErrorBox(std::int32_t code, const std::string& text) {
    return ShowAndReadBox([&] { ShowErrorBox(code, text); });
}

TEST(ErrorBox, FailureCodeShowsTheTextUnderTheProductName) {
    ShownBox box = ShowAndReadErrorBox(kResultFail, "Wrong site list file");
    ASSERT_TRUE(box.shown);
    EXPECT_EQ(box.caption, "Vantapicker");
    EXPECT_EQ(box.text, "Wrong site list file");
}

TEST(ErrorBox, ZeroOrPositiveCodeShowsNothing) {
    EXPECT_FALSE(ShowAndReadErrorBox(0, "nothing to see").shown);
    EXPECT_FALSE(ShowAndReadErrorBox(1, "nothing to see").shown);
}

TEST(ErrorBox, SystemErrorBoxAlwaysSaysSomething) {
    const std::string message =
        "Can't store the site list file. Your changes to the sites were not saved.";
    ShownBox box = ShowAndReadBox([] { ShowSystemErrorBox(IDS_CANT_SAVE_SITE_LIST, 0); });
    ASSERT_TRUE(box.shown);  // no system error is no reason for silence
    EXPECT_EQ(box.text, message);
    box = ShowAndReadBox(
        [] { ShowSystemErrorBox(IDS_CANT_SAVE_SITE_LIST, ERROR_SHARING_VIOLATION); });
    ASSERT_TRUE(box.shown);
    EXPECT_EQ(box.text.rfind(message + "\r\n\r\n", 0), 0u) << box.text;
    EXPECT_GT(box.text.size(), message.size() + 10);  // the system's reason follows
}

TEST(ErrorBox, GuardShowsErrorsAndUnknownExceptions) {
    std::atomic<bool> returned{false};
    bool result = true;
    std::thread worker([&] {
        result = RunReportingErrors([] { throw std::runtime_error("boom"); });
        returned = true;
    });
    HWND window = WaitForTopLevelWindow("#32770", "Vantapicker", 3000, {}, &returned);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(MessageBoxText(window), "Unknown Exception is Caught");
    ::PostMessageA(window, WM_COMMAND, IDOK, 0);
    worker.join();
    EXPECT_FALSE(result);
    EXPECT_TRUE(RunReportingErrors([] {}));
}

}  // namespace
}  // namespace vp
