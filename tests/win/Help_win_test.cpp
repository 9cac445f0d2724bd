// Opening the help: the page chosen reaches the opener, and a page nothing can open is reported
// with the pages' folder instead of being dropped without a word.
#include "shell/Help_win.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <string>

#include "base/win/modDeclare_win.h"
#include "shell/HelpTopics.h"
#include "tests/support/TempFolder.h"
#include "tests/win/WinTestSupport.h"

using namespace plenvue;

namespace {

struct HelpFolder {
    test::TempFolder root{"help"};
    ScopedProgramState state;
    HelpFolder() {
        CreateDirectoryA((root.Path() + "\\help").c_str(), nullptr);
        CreateDirectoryA((root.Path() + "\\help\\en").c_str(), nullptr);
        std::ofstream(root.Path() + "\\help\\en\\index.html") << "<html></html>";
        App().ProgramFolder = root.Path() + "\\";
    }
};

}  // namespace

TEST(HelpWin, PageGoesToTheOpenerAndNothingIsSaidWhenItOpens) {
    HelpFolder f;
    std::string opened;
    EXPECT_TRUE(OpenHelpTopic(nullptr, kHelpContents, [&](HWND, const std::string& file, const std::string&) {
        opened = file;
        return true;
    }));
    EXPECT_EQ(opened, f.root.Path() + "\\help\\en\\index.html");
}

TEST(HelpWin, NoProgramForThePagesIsToldWithTheirFolder) {
    HelpFolder f;
    test::MessageBoxCloser box;
    EXPECT_FALSE(OpenHelpTopic(nullptr, kHelpContents, [](HWND, const std::string&, const std::string&) { return false; }));
    const std::string text = box.Wait();
    EXPECT_EQ(box.Caption(), "Plenvue");
    EXPECT_NE(text.find(f.root.Path() + "\\help\\en\\"), std::string::npos) << text;
}

// The shell's own answer for a file type no program is registered for is a failure, not silence.
TEST(HelpWin, ShellOpenFailsForATypeWithoutAProgram) {
    test::TempFolder t{"help"};
    const std::string file = t.Path() + "\\page.plenvue-no-such-type";
    std::ofstream(file) << "x";
    EXPECT_FALSE(ShellOpenHelp(nullptr, file, ""));
}
