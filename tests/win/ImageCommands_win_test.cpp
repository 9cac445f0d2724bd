// The Image menu's commands on real pictures: each result equals the portable core's output for
// the same input (what plenvue-cli writes), the undo rules, the menu's enabling, and colour depth's
// temporary file.
#include "shell/ImageCommands_win.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "effects/clsColourReduceDIB.h"
#include "effects/clsImageProcessDIB.h"
#include "effects/modMirror.h"
#include "image/Rnd.h"
#include "image/SafeFile_win.h"
#include "image/clsDIBSectionSave.h"
#include "shell/MainMenu.h"
#include "shell/frmMain_win.h"
#include "base/win/modDeclare_win.h"

#include "tests/win/WinTestSupport.h"

using namespace plenvue;
using plenvue::test::ComInit;
using plenvue::test::SolidPicture;

namespace {

// A DIB of smooth areas, hard edges and noise, the same for a seed.
void FillKnown(clsDIBSection& dib, int32_t w, int32_t h, uint32_t seed) {
    ASSERT_TRUE(dib.Create(w, h));
    std::mt19937 rng(seed);
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) {
            uint8_t* p = dib.PixelPtr(x, y);
            p[0] = static_cast<uint8_t>(x * 255 / (w > 1 ? w - 1 : 1));
            p[1] = static_cast<uint8_t>((x / 4 + y / 3) % 2 ? 230 : 20);
            p[2] = static_cast<uint8_t>(rng());
        }
}

Picture KnownPicture(int32_t w, int32_t h, uint32_t seed = 1) {
    clsDIBSection dib;
    FillKnown(dib, w, h, seed);
    return PictureFromDib(dib);
}

// Pixel bytes without the row padding, as the canvas would show them.
std::vector<uint8_t> Pixels(const clsDIBSection& dib) {
    std::vector<uint8_t> out;
    for (int32_t y = 0; y < dib.Height(); ++y)
        out.insert(out.end(), dib.PixelPtr(0, y), dib.PixelPtr(0, y) + 3 * dib.Width());
    return out;
}

std::vector<uint8_t> Pixels(const Picture& picture) {
    clsDIBSection dib;
    if (!DibFromPicture(picture, dib)) return {};
    return Pixels(dib);
}

// The core's result on a fresh copy of the known picture.
std::vector<uint8_t> CoreResult(int32_t w, int32_t h, const std::function<void(clsDIBSection&)>& op, uint32_t seed = 1) {
    clsDIBSection dib;
    FillKnown(dib, w, h, seed);
    op(dib);
    return Pixels(dib);
}

std::string FreshFolder(const char* tag) {
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    std::string path = std::string(dir) + "pv-imagemenu-" + tag + "-" + std::to_string(GetCurrentProcessId()) + "\\";
    CreateDirectoryA(path.c_str(), nullptr);
    return path;
}

int FilesIn(const std::string& folder) {
    WIN32_FIND_DATAA f;
    HANDLE h = FindFirstFileA((folder + "*").c_str(), &f);
    if (h == INVALID_HANDLE_VALUE) return 0;
    int n = 0;
    do {
        if (!(f.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) ++n;
    } while (FindNextFileA(h, &f));
    FindClose(h);
    return n;
}

struct Canvas {
    explicit Canvas(const Picture& p = Picture()) : working(p) {}
    Picture working;
    markup::MarkupDocument doc;
    // A new picture starts a new history, as a capture, Open or Paste does.
    void Take(const Picture& p) {
        working = p;
        doc.Clear();
    }
    bool Run(int id) { return RunImageCommand(nullptr, id, {working, doc}); }
};

// A window that counts its paints.
LONG g_paints = 0;
LRESULT CALLBACK CountingProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_PAINT) {
        PAINTSTRUCT ps;
        BeginPaint(w, &ps);
        EndPaint(w, &ps);
        InterlockedIncrement(&g_paints);
        return 0;
    }
    return DefWindowProcA(w, msg, wp, lp);
}

TEST(RunWhilePainting, WindowsRepaintWhileThePassRuns) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = CountingProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "PvPaintCounter";
    RegisterClassA(&wc);
    HWND w = CreateWindowExA(0, "PvPaintCounter", "", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr,
                             wc.hInstance, nullptr);
    ASSERT_NE(w, nullptr);
    UpdateWindow(w);
    g_paints = 0;
    bool paintedDuringPass = false;
    RunWhilePainting([&] {
        InvalidateRect(w, nullptr, FALSE);
        // The pass ends as soon as the window has repainted; the limit only stops a hang.
        for (int i = 0; i < 500 && !paintedDuringPass; ++i) {
            paintedDuringPass = InterlockedCompareExchange(&g_paints, 0, 0) > 0;
            Sleep(10);
        }
    });
    EXPECT_TRUE(paintedDuringPass);
    DestroyWindow(w);
}

TEST(RunWhilePainting, FailureInsideThePassReachesTheCaller) {
    EXPECT_THROW(RunWhilePainting([] { throw OverflowError(); }), ErrorObject);
    int ran = 0;
    RunWhilePainting([&] { ++ran; });
    EXPECT_EQ(ran, 1);
}

TEST(ImageCommands, PictureAndDibRoundTripKeepsEveryPixel) {
    ComInit com;
    clsDIBSection dib;
    FillKnown(dib, 37, 23, 5);
    EXPECT_EQ(Pixels(PictureFromDib(dib)), Pixels(dib));
}

TEST(ImageCommands, FiltersEqualTheCoreWithAScratchDib) {
    ComInit com;
    const struct { int id; int32_t type; } cases[] = {
        {kCmdBlur, eBlur}, {kCmdSoften, eSoften}, {kCmdSharpen, eSharpen}, {kCmdUnsharpen, eUnsharpen}, {kCmdEmboss, eEmboss}};
    for (const auto& c : cases) {
        Canvas canvas(KnownPicture(37, 23));
        ASSERT_TRUE(canvas.Run(c.id));
        EXPECT_EQ(Pixels(canvas.working), CoreResult(37, 23, [&](clsDIBSection& d) {
                      clsDIBSection scratch;
                      scratch.Create(d.Width(), d.Height());
                      clsImageProcessDIB fx;
                      fx.FilterType(c.type);
                      fx.ProcessImage(d, scratch);
                  })) << "command " << c.id;
    }
}

TEST(ImageCommands, NegativeAndMirrorsEqualTheCoreOnOddSizes) {
    ComInit com;
    const SIZE sizes[] = {{37, 23}, {1, 1}, {3, 5}, {2, 7}};
    for (SIZE s : sizes) {
        const int32_t w = s.cx, h = s.cy;
        Canvas negative(KnownPicture(w, h));
        ASSERT_TRUE(negative.Run(kCmdNegative));
        EXPECT_EQ(Pixels(negative.working), CoreResult(w, h, [](clsDIBSection& d) { NegativeDIB(d); }))
            << w << "x" << h;
        for (int32_t index = 0; index < 3; ++index) {
            Canvas mirror(KnownPicture(w, h));
            ASSERT_TRUE(mirror.Run(kCmdMirrorFirst + index));
            EXPECT_EQ(Pixels(mirror.working), CoreResult(w, h, [index](clsDIBSection& d) { MirrorDIB(d, index); }))
                << w << "x" << h << " mirror " << index;
        }
    }
}

TEST(ImageCommands, GreyScaleAndBlackAndWhiteEqualTheColourReduction) {
    ComInit com;
    Canvas grey(KnownPicture(37, 23));
    ASSERT_TRUE(grey.Run(kCmdGrayScale));
    EXPECT_EQ(Pixels(grey.working), CoreResult(37, 23, [](clsDIBSection& d) { clsColourReduceDIB().GrayScale(d); }));
    Canvas bw(KnownPicture(37, 23));
    ASSERT_TRUE(bw.Run(kCmdBnW));
    EXPECT_EQ(Pixels(bw.working), CoreResult(37, 23, [](clsDIBSection& d) {
                  clsDIBSection to;
                  to.Create(d.Width(), d.Height());
                  clsColourReduceDIB().BlackAndWhite(d, to);
              }));
}

TEST(ImageCommands, DialogEffectsEqualTheCoreWithTheDialogsResults) {
    ComInit com;
    const Picture source = KnownPicture(37, 23);
    EXPECT_EQ(Pixels(DialogEffectPicture(source, 0, 2.0f, 0, false)),
              CoreResult(37, 23, [](clsDIBSection& d) { clsImageProcessDIB().Colourise(d, 2.0f, 0.5f); }));
    EXPECT_EQ(Pixels(DialogEffectPicture(source, 2, 0, 100, false)),
              CoreResult(37, 23, [](clsDIBSection& d) { clsImageProcessDIB().Fade(d, 100); }));
    EXPECT_EQ(Pixels(DialogEffectPicture(source, 3, 0, 40, false)),
              CoreResult(37, 23, [](clsDIBSection& d) { clsImageProcessDIB().Lighten(d, 40); }));
    for (bool random : {false, true}) {
        Randomize(7);
        std::vector<uint8_t> seen = Pixels(DialogEffectPicture(source, 1, 0, 40, random));
        Randomize(7);
        EXPECT_EQ(seen, CoreResult(37, 23, [random](clsDIBSection& d) { clsImageProcessDIB().AddNoise(d, 40, random); }));
    }
    // OK without a change: noise and lighten 0, fade 255 leave the picture as it was.
    EXPECT_EQ(Pixels(DialogEffectPicture(source, 1, 0, 0, false)), Pixels(source));
    EXPECT_EQ(Pixels(DialogEffectPicture(source, 2, 0, 255, false)), Pixels(source));
    EXPECT_EQ(Pixels(DialogEffectPicture(source, 3, 0, 0, false)), Pixels(source));
}

TEST(ImageCommands, ColourDepthsEqualTheWriterAndLeaveNoTemporaryFile) {
    ComInit com;
    ScopedProgramState state;
    const std::string folder = FreshFolder("depth");
    App().TempFolder = folder;
    const eOutputColourDepth depths[] = {eOutput1Bit, eOutput4Bit, eOutput8Bit, eOutput24Bit};
    for (int32_t index = 0; index < 4; ++index) {
        Canvas canvas(KnownPicture(37, 23));
        ASSERT_TRUE(canvas.Run(kCmdCDFirst + index));
        std::vector<uint8_t> expected = CoreResult(37, 23, [&](clsDIBSection& d) {
            std::unique_ptr<clsPalette> none;
            clsDIBSectionSave().Save(folder + "expected.bmp", d, none, depths[index], eReductionNone);
        });
        DeleteFileA((folder + "expected.bmp").c_str());
        EXPECT_EQ(Pixels(canvas.working), expected) << "index " << index;
        EXPECT_EQ(FilesIn(folder), 0) << "index " << index;
    }
    RemoveDirectoryA(folder.c_str());
}

// Fails every write, or the opening of the file, through the platform's own file operations.
class FailingFileSystem : public FileSystemOps {
public:
    explicit FailingFileSystem(bool failOpen) : failOpen_(failOpen) {}
    bool CheckReplaceable(const std::string& target, FileFailure& failure) override {
        if (failOpen_) {
            failure = {5, "Access is denied."};
            return false;
        }
        return Win32FileSystem().CheckReplaceable(target, failure);
    }
    std::unique_ptr<ReplacementFile> CreateBeside(const std::string& target, FileFailure& failure) override {
        struct Failing : ReplacementFile {
            std::unique_ptr<ReplacementFile> inner;
            bool Write(const void*, uint32_t, uint32_t& written) override {
                written = 0;
                return false;
            }
            bool Commit(bool, FileFailure& f) override {
                f = {29, "write fault"};
                return false;
            }
        };
        auto f = std::make_unique<Failing>();
        f->inner = Win32FileSystem().CreateBeside(target, failure);
        if (!f->inner) return nullptr;
        return f;
    }

private:
    bool failOpen_;
};

TEST(ImageCommands, ColourDepthLeavesNoTemporaryFileWhenTheWriterFails) {
    ComInit com;
    ScopedProgramState state;
    const std::string folder = FreshFolder("fail");
    App().TempFolder = folder;
    {
        FailingFileSystem failingWrites(false);
        SetFileSystem(&failingWrites);
        Canvas canvas(KnownPicture(9, 5));
        EXPECT_NO_THROW(canvas.Run(kCmdCDFirst));
        SetFileSystem(&Win32FileSystem());
        EXPECT_EQ(FilesIn(folder), 0);
    }
    {
        FailingFileSystem failingOpen(true);
        SetFileSystem(&failingOpen);
        Canvas canvas(KnownPicture(9, 5));
        const std::vector<uint8_t> before = Pixels(canvas.working);
        EXPECT_THROW(canvas.Run(kCmdCDFirst + 2), ErrorObject);
        SetFileSystem(&Win32FileSystem());
        EXPECT_EQ(FilesIn(folder), 0);
        EXPECT_EQ(Pixels(canvas.working), before);
    }
    RemoveDirectoryA(folder.c_str());
}

TEST(ImageCommands, UndoTakesBackEveryStepOfThePictureColourDepthIncluded) {
    ComInit com;
    ScopedProgramState state;
    App().TempFolder = FreshFolder("undo");
    Canvas canvas;
    // Undo with nothing to undo changes nothing.
    const Picture first = KnownPicture(11, 7);
    canvas.Take(first);
    ASSERT_TRUE(canvas.Run(kCmdUndo));
    EXPECT_EQ(canvas.working.Bitmap(), first.Bitmap());

    const Picture a = KnownPicture(11, 7, 3);
    const std::vector<uint8_t> original = Pixels(a);
    canvas.Take(a);
    canvas.Run(kCmdBlur);
    const std::vector<uint8_t> blurred = Pixels(canvas.working);
    EXPECT_NE(blurred, original);
    EXPECT_EQ(Pixels(a), original);  // the picture taken is never painted over
    canvas.Run(kCmdCDFirst);
    const std::vector<uint8_t> twoColours = Pixels(canvas.working);
    EXPECT_NE(twoColours, blurred);
    canvas.Run(kCmdNegative);
    canvas.Run(kCmdUndo);
    EXPECT_EQ(Pixels(canvas.working), twoColours);
    canvas.Run(kCmdUndo);  // colour depth is a step of its own
    EXPECT_EQ(Pixels(canvas.working), blurred);
    canvas.Run(kCmdUndo);
    EXPECT_EQ(Pixels(canvas.working), original);
    canvas.Run(kCmdUndo);  // nothing left: the picture stays
    EXPECT_EQ(Pixels(canvas.working), original);
    ASSERT_TRUE(canvas.doc.Redo());
    EXPECT_EQ(Pixels(FlattenedPicture(canvas.doc)), blurred);

    // A new picture has a history of its own: Undo does not reach the earlier one.
    const Picture b = KnownPicture(9, 5, 4);
    canvas.Take(b);
    canvas.Run(kCmdUndo);
    EXPECT_EQ(Pixels(canvas.working), Pixels(b));

    // Mirror both ways twice gives the picture back.
    canvas.Run(kCmdMirrorLast);
    canvas.Run(kCmdMirrorLast);
    EXPECT_EQ(Pixels(canvas.working), Pixels(b));
    RemoveDirectoryA(App().TempFolder.c_str());
}

TEST(ImageCommands, PictureTooLargeForADibRaisesAndKeepsTheCanvas) {
    ComInit com;
    // A one-bit bitmap is small; its 24-bit DIB is more than the process can have: 1.2 GB for a
    // 32-bit process, and past 32-bit sizes (2.7 GB) for a 64-bit one.
    const int side = sizeof(void*) == 4 ? 20000 : 30000;
    Picture huge = Picture::FromBitmap(CreateBitmap(side, side, 1, 1, nullptr), nullptr);
    ASSERT_FALSE(huge.Empty());
    Canvas canvas;
    canvas.Take(huge);
    EXPECT_THROW(canvas.Run(kCmdBlur), ErrorObject);
    EXPECT_EQ(canvas.working.Bitmap(), huge.Bitmap());
}

TEST(ImageCommands, CommandsOnAnEmptyCanvasDoNothingAndOthersAreNotTaken) {
    ComInit com;
    Canvas canvas;
    for (int id : {int(kCmdBlur), int(kCmdNegative), int(kCmdMirrorFirst), int(kCmdCDFirst), int(kCmdNoise), int(kCmdUndo)}) {
        EXPECT_TRUE(canvas.Run(id));
        EXPECT_TRUE(canvas.working.Empty());
        EXPECT_FALSE(canvas.doc.CanUndo()) << id;  // nothing ran, so no step was kept
    }
    EXPECT_FALSE(canvas.Run(kCmdOpen));
    EXPECT_FALSE(canvas.Run(kCmdClearCanvas));
}

// Wine's GetGuiResources reports 0, so each result's bitmap is followed instead.
TEST(ImageCommands, ResultBitmapsAreFreedWithTheirPictures) {
    ComInit com;
    ScopedProgramState state;
    App().TempFolder = FreshFolder("gdi");
    std::vector<HBITMAP> made;
    {
        Canvas canvas;
        canvas.Take(KnownPicture(64, 48));
        made.push_back(canvas.working.Bitmap());
        for (int id : {int(kCmdBlur), int(kCmdNegative), int(kCmdMirrorFirst), int(kCmdMirrorLast), int(kCmdGrayScale),
                       int(kCmdBnW), int(kCmdCDFirst + 2), int(kCmdUndo)}) {
            canvas.Run(id);
            made.push_back(canvas.working.Bitmap());
        }
        // Only the shown picture is still held: the history keeps pixels, not bitmaps.
        EXPECT_EQ(GetObjectType(made.back()), static_cast<DWORD>(OBJ_BITMAP));
        for (size_t k = 0; k + 1 < made.size(); ++k) EXPECT_EQ(GetObjectType(made[k]), 0u) << k;
    }
    for (HBITMAP b : made) EXPECT_EQ(GetObjectType(b), 0u);
    RemoveDirectoryA(App().TempFolder.c_str());
}

TEST(ImageCommands, ImageMenuEnablesItsSubmenusOnlyWithAPicture) {
    ComInit com;
    ScopedProgramState state;
    for (int i = 0; i < 6; ++i) App().CaptureCaptions[i] = "Capture " + std::to_string(i);
    plenvue::test::EmptyTheClipboard();
    frmMain form;
    ASSERT_TRUE(form.Load(SW_HIDE));
    HMENU bar = GetMenu(form.hWnd());
    HMENU image = nullptr;
    for (int i = 0; i < GetMenuItemCount(bar) && !image; ++i) {
        HMENU sub = GetSubMenu(bar, i);
        for (int k = 0; sub && k < GetMenuItemCount(sub); ++k)
            if (GetMenuItemID(sub, k) == static_cast<UINT>(kCmdUndo)) image = sub;
    }
    ASSERT_NE(image, nullptr);
    auto states = [&] {
        std::string s;
        for (int k = 0; k < GetMenuItemCount(image); ++k) {
            MENUITEMINFOA info{};
            info.cbSize = sizeof info;
            info.fMask = MIIM_STATE | MIIM_FTYPE;
            GetMenuItemInfoA(image, k, TRUE, &info);
            if (info.fType & MFT_SEPARATOR) s += '-';
            else s += (info.fState & MFS_GRAYED) ? 'x' : 'o';
        }
        return s;
    };
    // Filters, Negative, Gray Scale, Black and White, Mirror, Color Depth, line, Undo.
    SendMessageA(form.hWnd(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(image), 3);
    EXPECT_EQ(states(), "xoooxx-o");
    form.SnapIt(0);
    ASSERT_FALSE(form.WorkingPicture().Empty());
    SendMessageA(form.hWnd(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(image), 3);
    EXPECT_EQ(states(), "oooooo-o");
    SendMessageA(form.hWnd(), WM_COMMAND, kCmdUndo, 0);  // nothing to undo: the picture stays
    EXPECT_FALSE(form.WorkingPicture().Empty());
    SendMessageA(form.hWnd(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(image), 3);
    EXPECT_EQ(states(), "oooooo-o");
    SendMessageA(form.hWnd(), WM_CLOSE, 0, 0);
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
    }
}

}  // namespace
