// The Win32 window tests share the program's common controls (with the visual styles its
// manifest asks for) on wine's private display.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    const INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX),
                                       ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS | ICC_BAR_CLASSES};
    InitCommonControlsEx(&classes);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
