// The kept history on disk and the main window over it: a capture or paste is kept at once and
// every drawing with it, saving turns its entry into the file, removing an entry deletes only its
// kept copy, and a damaged folder is read as far as it can be.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>

#include "base/win/Wide_win.h"
#include "markup/MarkupDocument.h"
#include "settings/CurrentSettings.h"
#include "shell/FileCommands_win.h"
#include "shell/KeptHistory_win.h"
#include "shell/MainMenu.h"
#include "shell/frmMain_win.h"

#include "tests/support/MainWindow_win.h"
#include "tests/support/TempFolder.h"
#include "tests/win/WinTestSupport.h"

using namespace plenvue;

namespace {

using plenvue::test::MainWindow;
using Folder = plenvue::test::TempFolder;

bool Exists(const std::string& path) { return GetFileAttributesW(Widen(path).c_str()) != INVALID_FILE_ATTRIBUTES; }

void WhiteDocument(markup::MarkupDocument& doc, int w, int h) {
    clsDIBSection dib;
    ASSERT_TRUE(dib.Create(w, h));
    const markup::PixelView view = markup::ViewOf(dib);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) std::fill(view.Pixel(x, y), view.Pixel(x, y) + 3, static_cast<uint8_t>(255));
    ASSERT_TRUE(doc.Reset(dib));
}

void Write(const std::string& path, const std::string& bytes) {
    std::ofstream(std::filesystem::path(Widen(path)), std::ios::binary) << bytes;
}

}  // namespace

TEST(KeptHistory, EntriesAreWrittenAtOnceAndReadBackNewestFirst) {
    Folder f("kept");
    const std::string folder = f / "History";
    std::string capture, file;
    {
        KeptHistory kept;
        kept.Open(folder, KeptLimits{});
        markup::MarkupDocument doc;
        WhiteDocument(doc, 40, 30);
        capture = kept.AddPicture(doc);
        EXPECT_EQ(capture.rfind(folder + "\\", 0), 0u) << capture;
        file = kept.AddFile("C:\\pictures\\missing-on-purpose.png");
        EXPECT_EQ(kept.AddFile(file), file);  // one entry per file
        kept.Flush();
        EXPECT_TRUE(Exists(capture));
        EXPECT_TRUE(kept.OnlyInStore(capture));
        EXPECT_FALSE(kept.OnlyInStore(file));
    }
    KeptHistory again;
    again.Open(folder, KeptLimits{});
    std::vector<std::string> skipped;
    auto listed = again.Load(skipped);
    // The file named does not exist: its entry is dropped; the capture is back with its copy.
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_EQ(listed[0].Path, capture);
    EXPECT_TRUE(skipped.empty());
    // Saved to a file: one entry, the file's, and the copy goes.
    const std::string saved = f.Write("saved.png", "x");
    EXPECT_EQ(again.Saved(capture, saved), saved);
    again.Flush();
    EXPECT_FALSE(Exists(capture));
    ASSERT_NE(again.Find(saved), nullptr);
    EXPECT_EQ(again.Find(capture), nullptr);
    // Taken off: the record goes, the user's file never.
    again.Remove(saved);
    again.Flush();
    EXPECT_TRUE(Exists(saved));
    KeptHistory third;
    third.Open(folder, KeptLimits{});
    EXPECT_TRUE(third.Load(skipped).empty());
}

TEST(KeptHistory, ADamagedFolderIsListedAsFarAsItCanBeAndNothingIsDeleted) {
    Folder f("keptbad");
    const std::string folder = f / "History";
    std::string good;
    {
        KeptHistory kept;
        kept.Open(folder, KeptLimits{});
        markup::MarkupDocument doc;
        WhiteDocument(doc, 20, 10);
        good = kept.AddPicture(doc);
    }
    std::ifstream in(std::filesystem::path(Widen(good)), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    in.close();
    Write(folder + "\\01DB000000000002-00000010.png", bytes.substr(0, bytes.size() - 5));  // cut short
    Write(folder + "\\01DB000000000003-00000010.ref", "Plenvue history 1\r\nC:\\x.png");  // cut short
    Write(folder + "\\01DB000000000004-00000010.ref", std::string("\x89PNG\r\n\x1a\n", 8));  // foreign
    Write(folder + "\\readme.txt", "not ours");
    Write(folder + "\\01DB000000000005-00000010.png.tmp", "a write that never ended");
    KeptHistory kept;
    kept.Open(folder, KeptLimits{});
    std::vector<std::string> skipped;
    auto listed = kept.Load(skipped);
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_EQ(listed[0].Path, good);
    EXPECT_EQ(skipped.size(), 4u);
    // A fresh temporary file may be another instance's write in progress: it stays too.
    for (const char* name : {"01DB000000000002-00000010.png", "01DB000000000003-00000010.ref",
                             "01DB000000000004-00000010.ref", "readme.txt", "01DB000000000005-00000010.png.tmp"})
        EXPECT_TRUE(Exists(folder + "\\" + name)) << name;
}

TEST(KeptHistory, TheLimitsTakeTheOldestCopies) {
    Folder f("keptlimits");
    KeptHistory kept;
    kept.Open(f / "History", KeptLimits{2, 500ull << 20});
    std::vector<std::string> copies;
    for (int i = 0; i < 4; ++i) {
        markup::MarkupDocument doc;
        WhiteDocument(doc, 30 + i, 20);
        copies.push_back(kept.AddPicture(doc));
    }
    std::vector<std::string> gone = kept.Prune();
    std::sort(gone.begin(), gone.end());
    EXPECT_EQ(gone, (std::vector<std::string>{copies[0], copies[1]}));
    kept.Flush();
    EXPECT_FALSE(Exists(copies[0]));
    EXPECT_FALSE(Exists(copies[1]));
    EXPECT_TRUE(Exists(copies[2]));
    EXPECT_TRUE(Exists(copies[3]));
}

// In the main window: a paste is an entry at once, its drawings are kept as they are made, and
// removing the entry of a picture never saved asks first and deletes its copy.
TEST(KeptHistory, TheMainWindowKeepsAPasteAndItsDrawingsAtOnce) {
    MainWindow w([] { WriteSetting("Set Auto Save When Startup", "0"); });
    const HWND h = w.form.hWnd();
    ASSERT_TRUE(plenvue::test::PutBitmapOnClipboard(h, 40, 30));
    w.form.PastePicture();
    ASSERT_EQ(w.form.History().PreviewCount(), 2);
    const std::string kept = w.form.History().Item(1).Tag();
    SendMessageW(h, WM_COMMAND, kCmdToolFirst + 1, 0);  // Rectangle
    const HWND canvas = w.form.Editor().hWnd();
    SendMessageW(canvas, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    SendMessageW(canvas, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(20, 20));
    SendMessageW(canvas, WM_LBUTTONUP, 0, MAKELPARAM(20, 20));
    w.form.Kept().Flush();
    Picture loaded;
    ASSERT_FALSE(LoadPictureFile(kept, loaded));
    markup::MarkupDocument opened;
    int notice = 0;
    ASSERT_FALSE(OpenMarkup(kept, loaded, opened, notice));
    EXPECT_EQ(opened.Items().size(), 1u);  // the drawing is in the kept copy
    bool asked = false;
    w.form.ConfirmDelete = [&](const std::string&) {
        asked = true;
        return false;
    };
    w.form.RemoveHistoryEntry(kept);
    EXPECT_TRUE(asked);
    EXPECT_EQ(w.form.History().PreviewCount(), 2);  // No: it stays
    w.form.ConfirmDelete = [](const std::string&) { return true; };
    w.form.RemoveHistoryEntry(kept);
    w.form.Kept().Flush();
    EXPECT_EQ(w.form.History().PreviewCount(), 1);
    EXPECT_FALSE(Exists(kept));
}
