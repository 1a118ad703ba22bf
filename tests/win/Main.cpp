// Test runner of the Windows test programs.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdio>

#include "Fixtures.h"
#include "app/Program.h"
#include "win/ErrorBox.h"

namespace {

// An exception that reaches a window procedure in a test is a failure of that test, not
// a message box that waits for nobody.
void FailTheTest(std::exception_ptr) {
    ADD_FAILURE() << "an exception reached a window or dialog procedure";
}

}  // namespace

int main(int argc, char** argv) {
    // The run against a 32-bit application needs a machine that runs 32-bit programs
    // (77: CTest's "skipped").
    if (vp::FixtureBitness() == 32 && !vp::Runs32BitPrograms()) {
        std::fprintf(stderr, "this machine runs no 32-bit programs: nothing to test\n");
        return 77;
    }
    INITCOMMONCONTROLSEX controls{sizeof controls,
                                  ICC_TREEVIEW_CLASSES | ICC_USEREX_CLASSES | ICC_TAB_CLASSES};
    ::InitCommonControlsEx(&controls);
    // Sizes read from the screen are in its pixels, as the program (DPI-aware) sees them.
    ::SetProcessDPIAware();
    ::testing::InitGoogleTest(&argc, argv);
    vp::SetExceptionReporter(&FailTheTest);
    vp::InstallProgramTexts();
    // A crash ends the program with a failure: under Wine the crash handler's own exit
    // code would otherwise be 0, and the suite would count as passed.
    ::SetUnhandledExceptionFilter([](EXCEPTION_POINTERS*) -> LONG {
        std::fprintf(stderr, "the test program crashed\n");
        std::fflush(stderr);
        ::ExitProcess(3);
    });
    int result = RUN_ALL_TESTS();
    // Each CTest test runs one suite by name: a name that selects nothing is a mistake,
    // not a pass.
    if (::testing::UnitTest::GetInstance()->test_to_run_count() == 0) {
        std::fprintf(stderr, "no test matches the filter\n");
        return 1;
    }
    return result;
}
