#include "shell/ImageCommands_win.h"

#include <exception>
#include <functional>
#include <memory>

#include "effects/FilterControls.h"
#include "effects/clsColourReduceDIB.h"
#include "effects/clsImageProcessDIB.h"
#include "effects/frmFilters_win.h"
#include "image/clsDIBSectionSave.h"
#include "base/ErrorObject.h"
#include "base/win/Handles_win.h"
#include "shell/MainMenu.h"
#include "base/win/modDeclare_win.h"
#include "base/win/Wide_win.h"

namespace plenvue {
namespace {

// The wait cursor for a long effect; the arrow comes back with the next mouse move anyway, but
// not before the effect ends because no input is read meanwhile.
class BusyCursor {
public:
    BusyCursor() : previous_(SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_WAIT)))) {}
    ~BusyCursor() { SetCursor(previous_); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

private:
    HCURSOR previous_;
};

// The worker side of RunWhilePainting.
struct WorkerJob {
    const std::function<void()>* work = nullptr;
    std::exception_ptr error;
};

DWORD WINAPI WorkerMain(LPVOID parameter) {
    auto* job = static_cast<WorkerJob*>(parameter);
    try {
        (*job->work)();
    } catch (...) {
        job->error = std::current_exception();
    }
    return 0;
}

using ScopedDc = MemoryDC;

// A picture too large for the memory at hand: reported, never taken for a finished effect.
ErrorObject OutOfMemory() { return ErrorObject(7, kExeName, "Out of memory"); }

// The DIB of a picture that is not empty, and a scratch DIB of the same size.
void MakeDib(const Picture& source, clsDIBSection& dib) {
    if (!DibFromPicture(source, dib)) throw OutOfMemory();
}
void MakeScratch(const clsDIBSection& dib, clsDIBSection& scratch) {
    if (!scratch.Create(dib.Width(), dib.Height())) throw OutOfMemory();
}

ScopedDc ScreenCompatibleDc() { return ScopedDc(CreateCompatibleDC(nullptr)); }

// A new bitmap of the source's size, compatible with the screen.
HBITMAP NewScreenBitmap(int32_t width, int32_t height) {
    WindowDC screen = WindowDC::Client(nullptr);
    return CreateCompatibleBitmap(screen.get(), width, height);
}

// Paints the source picture onto a new picture of its size with one blit.
template <class Blit>
Picture Repaint(const Picture& source, Blit blit) {
    const SIZE s = source.PixelSize();
    if (source.Empty() || s.cx <= 0 || s.cy <= 0) return Picture();
    ScopedDc from = ScreenCompatibleDc();
    ScopedDc to = ScreenCompatibleDc();
    UniqueBitmap result(NewScreenBitmap(s.cx, s.cy));
    if (!from || !to || !result) throw OutOfMemory();
    {
        SelectedObject a(from.get(), source.Bitmap());
        SelectedObject b(to.get(), result.get());
        blit(to.get(), from.get(), static_cast<int32_t>(s.cx), static_cast<int32_t>(s.cy));
    }
    return Picture::FromBitmap(result.release(), nullptr);
}

class TemporaryFile {
public:
    explicit TemporaryFile(const std::string& folder) {
        wchar_t name[MAX_PATH + 1] = {};
        // The folder must leave room for the 14-character name: this call takes no long paths.
        if (GetTempFileNameW(WideName(folder).c_str(), L"~", 0, name)) path_ = Narrow(name);  // cut at the first NUL
    }
    ~TemporaryFile() {
        if (!path_.empty() && GetFileAttributesW(WideName(path_).c_str()) != INVALID_FILE_ATTRIBUTES)
            DeleteFileW(WideName(path_).c_str());
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

bool IsFilterCommand(int id, int32_t& type) {
    switch (id) {
    case kCmdBlur: type = eBlur; return true;
    case kCmdSoften: type = eSoften; return true;
    case kCmdSharpen: type = eSharpen; return true;
    case kCmdUnsharpen: type = eUnsharpen; return true;
    case kCmdEmboss: type = eEmboss; return true;
    default: return false;
    }
}

bool IsDialogCommand(int id, int32_t& type) {
    switch (id) {
    case kCmdColorGlasses: type = eFilterColourGlasses; return true;
    case kCmdNoise: type = eFilterNoise; return true;
    case kCmdFade: type = eFilterFade; return true;
    case kCmdLighten: type = eFilterLighten; return true;
    default: return false;
    }
}

// The picture after the effects dialog of `type`; the source itself when the dialog is cancelled.
Picture RunFilterDialog(HWND owner, const Picture& source, int32_t type) {
    frmFilters form;
    form.PreviewPicture(source);
    form.BaseResID(FilterBaseResID(type));
    form.FilterType(type);
    form.ShowModal(owner);
    if (form.Cancelled()) return source;
    BusyCursor busy;
    return DialogEffectPicture(source, type, form.Hue(), form.Percentage(), form.Random());
}

}  // namespace

void RunWhilePainting(const std::function<void()>& work) {
    WorkerJob job;
    job.work = &work;
    UniqueKernel thread(CreateThread(nullptr, 0, WorkerMain, &job, 0, nullptr));
    if (!thread) {
        work();
        return;
    }
    HANDLE handle = thread.get();
    while (MsgWaitForMultipleObjects(1, &handle, FALSE, INFINITE, QS_PAINT) != WAIT_OBJECT_0) {
        MSG m;
        while (PeekMessageW(&m, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) DispatchMessageW(&m);
    }
    if (job.error) std::rethrow_exception(job.error);
}

bool DibFromPicture(const Picture& picture, clsDIBSection& dib) {
    dib.ClearUp();
    if (picture.Empty()) return false;
    ComPtr<IPictureDisp> disp;
    if (FAILED(picture.get()->QueryInterface(IID_IPictureDisp, reinterpret_cast<void**>(disp.put())))) return false;
    dib.CreateFromPicture(disp.get());
    GdiFlush();  // the blit must have reached the bits before an effect reads them
    return !dib.IsEmpty();
}

Picture PictureFromDib(clsDIBSection& dib) {
    if (dib.IsEmpty()) return Picture();
    ScopedDc dc = ScreenCompatibleDc();
    UniqueBitmap bitmap(NewScreenBitmap(dib.Width(), dib.Height()));
    if (!dc || !bitmap) throw OutOfMemory();
    {
        SelectedObject selected(dc.get(), bitmap.get());
        dib.PaintPicture(dc.get(), 0, 0, -1, -1, 0, 0, SRCCOPY);
    }
    return Picture::FromBitmap(bitmap.release(), nullptr);
}

Picture FilteredPicture(const Picture& source, int32_t filterType) {
    if (source.Empty()) return Picture();
    clsDIBSection dib, scratch;
    MakeDib(source, dib);
    MakeScratch(dib, scratch);
    clsImageProcessDIB fx;
    fx.FilterType(filterType);
    RunWhilePainting([&] { fx.ProcessImage(dib, scratch); });
    return PictureFromDib(dib);
}

Picture GrayScalePicture(const Picture& source) {
    if (source.Empty()) return Picture();
    clsDIBSection dib;
    MakeDib(source, dib);
    RunWhilePainting([&] { clsColourReduceDIB().GrayScale(dib); });
    return PictureFromDib(dib);
}

Picture BlackAndWhitePicture(const Picture& source) {
    if (source.Empty()) return Picture();
    clsDIBSection dib, scratch;
    MakeDib(source, dib);
    MakeScratch(dib, scratch);
    RunWhilePainting([&] { clsColourReduceDIB().BlackAndWhite(dib, scratch); });
    return PictureFromDib(dib);  // the picture takes the DIB's size
}

Picture NegativePicture(const Picture& source) {
    return Repaint(source, [](HDC to, HDC from, int32_t w, int32_t h) { BitBlt(to, 0, 0, w, h, from, 0, 0, NOTSRCCOPY); });
}

Picture MirroredPicture(const Picture& source, int32_t index) {
    const bool flipX = index == 0 || index == 2;
    const bool flipY = index == 1 || index == 2;
    if (index < 0 || index > 2) return source;
    return Repaint(source, [flipX, flipY](HDC to, HDC from, int32_t w, int32_t h) {
        // A negative extent mirrors; the origin moves to the far edge's last pixel.
        StretchBlt(to, flipX ? w - 1 : 0, flipY ? h - 1 : 0, flipX ? -w : w, flipY ? -h : h, from, 0, 0, w, h,
                   SRCCOPY);
    });
}

Picture DialogEffectPicture(const Picture& source, int32_t type, float hue, int32_t percentage, bool random) {
    if (source.Empty()) return Picture();
    clsDIBSection dib;
    MakeDib(source, dib);
    if (type < eFilterColourGlasses || type > eFilterLighten) return source;
    clsImageProcessDIB fx;
    RunWhilePainting([&] {
        switch (type) {
        case eFilterColourGlasses: fx.Colourise(dib, hue, 0.5f); break;
        case eFilterNoise: fx.AddNoise(dib, percentage, random); break;
        case eFilterFade: fx.Fade(dib, percentage); break;
        default: fx.Lighten(dib, percentage); break;
        }
    });
    return PictureFromDib(dib);
}

Picture ColourDepthPicture(const Picture& source, int32_t index, const std::string& tempFolder) {
    if (source.Empty()) return Picture();
    TemporaryFile file(tempFolder);
    const eOutputColourDepth depth = index == 0 ? eOutput1Bit
                                     : index == 1 ? eOutput4Bit
                                     : index == 2 ? eOutput8Bit
                                                  : eOutput24Bit;
    clsDIBSection dib;
    MakeDib(source, dib);
    std::unique_ptr<clsPalette> noPalette;
    clsDIBSectionSave writer;
    // The file only carries the reduction: a failed write still leaves the mapped colours in the DIB.
    RunWhilePainting([&] { writer.Save(file.Path(), dib, noPalette, depth, eReductionNone); });
    return PictureFromDib(dib);
}

Picture FlattenedPicture(const markup::MarkupDocument& doc) {
    clsDIBSection flat;
    if (doc.Empty()) return Picture();
    if (!doc.Flatten(flat)) throw OutOfMemory();
    return PictureFromDib(flat);
}

bool RunImageCommand(HWND owner, int id, ImageMenuPictures p) {
    int32_t type = 0;
    const bool filter = IsFilterCommand(id, type);
    const bool dialog = !filter && IsDialogCommand(id, type);
    const bool mirror = id >= kCmdMirrorFirst && id <= kCmdMirrorLast;
    const bool depth = id >= kCmdCDFirst && id <= kCmdCDLast;
    if (id != kCmdUndo && !filter && !dialog && !mirror && !depth && id != kCmdNegative && id != kCmdGrayScale &&
        id != kCmdBnW)
        return false;
    // The shortcuts reach these commands even while the menu would have them disabled.
    if (p.working.Empty()) return true;
    if (p.doc.Empty()) {
        clsDIBSection dib;
        MakeDib(p.working, dib);
        if (!p.doc.Reset(dib)) throw OutOfMemory();
    }
    if (id == kCmdUndo) {
        if (p.doc.Undo()) p.working = FlattenedPicture(p.doc);
        return true;
    }
    // Today's commands run unchanged on a picture of the base; their result becomes the step.
    clsDIBSection baseCopy;
    if (!baseCopy.Create(p.doc.Width(), p.doc.Height())) throw OutOfMemory();
    baseCopy.CopyFrom(p.doc.Base());
    const Picture base = PictureFromDib(baseCopy);
    Picture result;
    if (depth) {
        BusyCursor busy;
        result = ColourDepthPicture(base, id - kCmdCDFirst, App().TempFolder);
    } else if (dialog) {
        result = RunFilterDialog(owner, base, type);
        if (result.Bitmap() == base.Bitmap()) return true;  // cancelled
    } else {
        BusyCursor busy;
        result = filter            ? FilteredPicture(base, type)
                 : mirror          ? MirroredPicture(base, id - kCmdMirrorFirst)
                 : id == kCmdNegative ? NegativePicture(base)
                 : id == kCmdGrayScale ? GrayScalePicture(base)
                                       : BlackAndWhitePicture(base);
    }
    if (result.Empty()) return true;
    clsDIBSection after;
    MakeDib(result, after);
    if (after.Width() != p.doc.Width() || after.Height() != p.doc.Height()) return true;
    p.doc.ApplyToBase([&](clsDIBSection& pixels) { pixels.CopyFrom(after); });
    p.working = FlattenedPicture(p.doc);
    return true;
}

void UpdateImageMenu(HMENU popup, bool hasPicture) {
    const int count = GetMenuItemCount(popup);
    bool isImageMenu = false;
    for (int i = 0; i < count; ++i) isImageMenu = isImageMenu || GetMenuItemID(popup, i) == static_cast<UINT>(kCmdUndo);
    if (!isImageMenu) return;
    for (int i = 0; i < count; ++i) {
        if (GetSubMenu(popup, i))
            EnableMenuItem(popup, static_cast<UINT>(i), MF_BYPOSITION | (hasPicture ? MF_ENABLED : MF_GRAYED));
        else if (GetMenuItemID(popup, i) == static_cast<UINT>(kCmdUndo))
            EnableMenuItem(popup, static_cast<UINT>(i), MF_BYPOSITION | MF_ENABLED);
    }
}

}  // namespace plenvue
