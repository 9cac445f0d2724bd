// The scroll view's subclassing when the platform refuses it.
#include "controls/modWndProcEx_win.h"

#include <gtest/gtest.h>

#include "tests/win/WinTestSupport.h"

using namespace plenvue;

TEST(modWndProcEx, RefusedSubclassingIsReportedUnderTheProgramName) {
    HWND gone = CreateWindowExA(0, "STATIC", nullptr, 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(gone, nullptr);
    DestroyWindow(gone);
    int before = SubclassedScrollViewCount();
    std::string text, caption;
    bool ok = true;
    {
        plenvue::test::MessageBoxCloser closer;
        ok = SubclassScrollView(gone, ScrollViewWindowProc, nullptr);
        text = closer.Wait();
        caption = closer.Caption();
    }
    EXPECT_EQ(caption, "Plenvue");
    EXPECT_FALSE(ok);
    EXPECT_EQ(SubclassedScrollViewCount(), before);
    char expected[64];
    wsprintfA(expected, "Error subclassing window &H%lX", static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(gone)));
    EXPECT_EQ(text.rfind(expected, 0), 0u) << text;
    EXPECT_NE(text.find("Err# "), std::string::npos) << text;
}
