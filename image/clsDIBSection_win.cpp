// GDI members of clsDIBSection and the storage provider that puts its pixels in a DIB section
// selected into the DIB's own memory DC.
#include "image/clsDIBSection_win.h"

#include <windows.h>
#include <ole2.h>
#include <olectl.h>

#include "base/Arith.h"
#include "image/SafeFile_win.h"
#include "image/clsDIBSection.h"
#include "base/ErrorObject.h"
#include "base/win/Handles_win.h"
#include "base/win/WideText_win.h"
#include "base/win/Wide_win.h"

namespace plenvue {
namespace {

BITMAPINFOHEADER ToInfoHeader(const DibHeader& h) {
    BITMAPINFOHEADER bi{};
    bi.biSize = h.biSize;
    bi.biWidth = h.biWidth;
    bi.biHeight = h.biHeight;
    bi.biPlanes = h.biPlanes;
    bi.biBitCount = h.biBitCount;
    bi.biCompression = h.biCompression;
    bi.biSizeImage = h.biSizeImage;
    bi.biXPelsPerMeter = h.biXPelsPerMeter;
    bi.biYPelsPerMeter = h.biYPelsPerMeter;
    bi.biClrUsed = h.biClrUsed;
    bi.biClrImportant = h.biClrImportant;
    return bi;
}

HBITMAP MakeSection(HDC dc, const DibHeader& h, uint8_t*& bits) {
    BITMAPINFO info{};
    info.bmiHeader = ToInfoHeader(h);
    void* p = nullptr;
    HBITMAP bmp = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &p, nullptr, 0);
    bits = bmp ? static_cast<uint8_t*>(p) : nullptr;
    return bmp;
}

class GdiStorage : public DibStorage {
public:
    GdiStorage(MemoryDC dc, UniqueBitmap dib, uint8_t* bits) : dc_(std::move(dc)), dib_(std::move(dib)) {
        bits_ = bits;
        previous_ = SelectObject(dc_.get(), dib_.get());
    }
    // The section leaves the DC before either goes (the members go bitmap first, then DC).
    ~GdiStorage() override { SelectObject(dc_.get(), previous_); }
    // GDI may batch drawing into the section; direct access must see it.
    void Sync() override { GdiFlush(); }
    HDC Dc() const { return dc_.get(); }
    HBITMAP Dib() const { return dib_.get(); }

private:
    MemoryDC dc_;
    UniqueBitmap dib_;
    HGDIOBJ previous_ = nullptr;
};

std::unique_ptr<DibStorage> MakeGdiStorage(const DibHeader& header) {
    MemoryDC dc(CreateCompatibleDC(nullptr));
    if (!dc) return nullptr;
    uint8_t* bits = nullptr;
    UniqueBitmap dib(MakeSection(dc.get(), header, bits));
    if (!dib) return nullptr;
    return std::make_unique<GdiStorage>(std::move(dc), std::move(dib), bits);
}

// Owned handles for the temporary DCs of CopyToClipboard and CreateFromPicture.
using ScopedDc = MemoryDC;

ScopedDc MemoryDcLikeDisplay() {
    ScopedDc display(CreateDCA("DISPLAY", nullptr, nullptr, nullptr));
    if (!display) return ScopedDc();
    return ScopedDc(CreateCompatibleDC(display.get()));
}

const bool g_installed = (InstallWin32ImageServices(), true);

}  // namespace

void InstallWin32ImageServices() {
    SetDibStorageProvider(&MakeGdiStorage);
    SetFileSystem(&Win32FileSystem());
}

HDC clsDIBSection::hdc() const {
    auto* gdi = dynamic_cast<GdiStorage*>(storage_.get());
    return gdi ? gdi->Dc() : nullptr;
}

HBITMAP clsDIBSection::hDib() const {
    auto* gdi = dynamic_cast<GdiStorage*>(storage_.get());
    return gdi ? gdi->Dib() : nullptr;
}

bool clsDIBSection::CreateDIB(HDC lHDC, int32_t lWidth, int32_t lheight, HBITMAP& hDib) {
    DibHeader h = MakeDib24Header(lWidth, lheight);
    uint8_t* bits = nullptr;
    hDib = MakeSection(lHDC, h, bits);
    return hDib != nullptr;
}

void clsDIBSection::CreateFromPicture(IPictureDisp* picThis) {
    ClearUp();
    if (!picThis) return;
    IPicture* picture = nullptr;
    if (FAILED(picThis->QueryInterface(IID_IPicture, reinterpret_cast<void**>(&picture)))) return;
    OLE_HANDLE handle = 0;
    HRESULT hr = picture->get_Handle(&handle);
    picture->Release();
    if (FAILED(hr) || !handle) return;
    HBITMAP source = reinterpret_cast<HBITMAP>(static_cast<UINT_PTR>(handle));
    BITMAP bm{};
    if (GetObjectA(source, sizeof bm, &bm) != sizeof bm) return;
    if (!Create(bm.bmWidth, bm.bmHeight)) return;
    ScopedDc dc = MemoryDcLikeDisplay();
    if (!dc) return;
    HGDIOBJ previous = SelectObject(dc.get(), source);
    LoadPictureBlt(dc.get(), 0, 0, -1, -1, SRCCOPY);
    SelectObject(dc.get(), previous);
}

void clsDIBSection::LoadPictureBlt(HDC lHDC, int32_t lSrcLeft, int32_t lSrcTop, int32_t lSrcWidth,
                                   int32_t lSrcHeight, uint32_t eRop) {
    if (!hdc()) return;
    if (lSrcWidth < 0) lSrcWidth = Width();
    if (lSrcHeight < 0) lSrcHeight = Height();
    BitBlt(hdc(), 0, 0, lSrcWidth, lSrcHeight, lHDC, lSrcLeft, lSrcTop, eRop);
}

void clsDIBSection::PaintPicture(HDC lHDC, int32_t lDestLeft, int32_t lDestTop, int32_t lDestWidth,
                                 int32_t lDestHeight, int32_t lSrcLeft, int32_t lSrcTop, uint32_t eRop) {
    if (!hdc()) return;
    if (lDestWidth < 0) lDestWidth = Width();
    if (lDestHeight < 0) lDestHeight = Height();
    BitBlt(lHDC, lDestLeft, lDestTop, lDestWidth, lDestHeight, hdc(), lSrcLeft, lSrcTop, eRop);
}

bool clsDIBSection::CopyToClipboard(bool bAsDIB) {
    ScopedDc display(CreateDCA("DISPLAY", nullptr, nullptr, nullptr));
    if (!display) return false;
    ScopedDc dc(CreateCompatibleDC(display.get()));
    if (!dc) return false;
    if (bAsDIB) {
        ShowMessageBox(nullptr, "I don't know how to put a DIB on the clipboard! Copy as bitmap instead!!!", kExeName, MB_OK);
        return false;
    }
    if (!hdc()) return false;
    UniqueBitmap bitmap(CreateCompatibleBitmap(display.get(), Width(), Height()));
    if (!bitmap) return false;
    {
        SelectedObject selected(dc.get(), bitmap.get());
        PaintPicture(dc.get(), 0, 0, -1, -1, 0, 0, SRCCOPY);
    }
    bool placed = false;
    if (OpenClipboard(nullptr)) {
        EmptyClipboard();
        placed = SetClipboardData(CF_BITMAP, bitmap.get()) != nullptr;
        CloseClipboard();
    }
    if (placed) bitmap.release();  // the clipboard owns it
    return placed;
}

std::string clsDIBSection::ApiError(int32_t lLastDllError) {
    return SystemErrorText(static_cast<uint32_t>(lLastDllError));
}

}  // namespace plenvue
