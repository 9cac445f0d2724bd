// Printing: the printer object over winspool and GDI, and the capture engine's fit-to-page print.
#include "capture/Printing_win.h"

#include <winspool.h>

#include "capture/clsCapture_win.h"
#include "base/win/WideText_win.h"
#include "base/ErrorObject.h"
#include "base/win/Handles_win.h"
#include "base/win/SystemDll_win.h"

namespace plenvue {
namespace {

constexpr double kHimetricPerInch = 2540.0;

}  // namespace

std::vector<InstalledPrinter> InstalledPrinters() {
    std::vector<InstalledPrinter> list;
    const DWORD flags = PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS;
    DWORD needed = 0, count = 0;
    sysdll::EnumPrintersA(flags, nullptr, 2, nullptr, 0, &needed, &count);
    if (needed == 0) return list;
    std::vector<uint8_t> buffer(needed);
    if (!sysdll::EnumPrintersA(flags, nullptr, 2, buffer.data(), needed, &needed, &count)) return list;
    const auto* info = reinterpret_cast<const PRINTER_INFO_2A*>(buffer.data());
    for (DWORD i = 0; i < count; ++i) {
        InstalledPrinter p;
        p.Name = info[i].pPrinterName ? info[i].pPrinterName : "";
        if (info[i].pDevMode && (info[i].pDevMode->dmFields & DM_ORIENTATION))
            p.Orientation = info[i].pDevMode->dmOrientation;
        list.push_back(std::move(p));
    }
    return list;
}

std::string DefaultPrinterName() {
    DWORD size = 0;
    sysdll::GetDefaultPrinterA(nullptr, &size);
    if (size == 0) return {};
    std::string name(size, '\0');
    if (!sysdll::GetDefaultPrinterA(name.data(), &size)) return {};
    name.resize(name.find('\0') == std::string::npos ? name.size() : name.find('\0'));
    return name;
}

std::string ChoosePrinter(const std::vector<InstalledPrinter>& printers, const std::string& defaultName) {
    for (const InstalledPrinter& p : printers)
        if (p.Orientation == static_cast<int32_t>(PrintOrientation::Portrait)) return p.Name;
    if (!defaultName.empty()) return defaultName;
    return printers.empty() ? std::string() : printers.front().Name;
}

cPrinter::cPrinter(std::string deviceName) : name_(std::move(deviceName)) {
    HANDLE printer = nullptr;
    if (!sysdll::OpenPrinterA(name_.data(), &printer, nullptr)) Fail("cannot open the printer");
    LONG size = sysdll::DocumentPropertiesA(nullptr, printer, name_.data(), nullptr, nullptr, 0);
    if (size > 0) {
        devMode_.resize(static_cast<size_t>(size));
        auto* dm = reinterpret_cast<DEVMODEA*>(devMode_.data());
        if (sysdll::DocumentPropertiesA(nullptr, printer, name_.data(), dm, nullptr, DM_OUT_BUFFER) != IDOK)
            devMode_.clear();
    }
    sysdll::ClosePrinter(printer);
}

cPrinter::~cPrinter() {
    if (dc_) {
        if (docStarted_) AbortDoc(dc_);
        DeleteDC(dc_);
    }
}

void cPrinter::Fail(const std::string& what) {
    DWORD code = GetLastError();
    std::string text = "Printer error: " + what;
    std::string reason = code ? SystemErrorLine(code) : std::string();
    if (!reason.empty()) text += " (" + reason + ")";
    throw ErrorObject(kErrPrinter, kExeName, text);
}

PrintOrientation cPrinter::Orientation() const {
    if (devMode_.empty()) return PrintOrientation::Portrait;
    const auto* dm = reinterpret_cast<const DEVMODEA*>(devMode_.data());
    return dm->dmOrientation == DMORIENT_LANDSCAPE ? PrintOrientation::Landscape : PrintOrientation::Portrait;
}

void cPrinter::Orientation(PrintOrientation orientation) {
    if (devMode_.empty()) return;
    auto* dm = reinterpret_cast<DEVMODEA*>(devMode_.data());
    dm->dmFields |= DM_ORIENTATION;
    dm->dmOrientation = static_cast<short>(orientation);
    if (dc_ && !pageStarted_ && !ResetDCA(dc_, dm)) Fail("cannot change the orientation");
}

void cPrinter::EnsureDC() {
    if (dc_) return;
    const auto* dm = devMode_.empty() ? nullptr : reinterpret_cast<const DEVMODEA*>(devMode_.data());
    dc_ = CreateDCA(nullptr, name_.c_str(), nullptr, dm);
    if (!dc_) Fail("cannot create the device context");
}

void cPrinter::EnsurePage() {
    EnsureDC();
    if (!docStarted_) {
        DOCINFOW doc{};
        doc.cbSize = sizeof doc;
        doc.lpszDocName = L"Plenvue";
        if (StartDocW(dc_, &doc) <= 0) Fail("cannot start the document");
        docStarted_ = true;
    }
    if (!pageStarted_) {
        if (StartPage(dc_) <= 0) Fail("cannot start the page");
        pageStarted_ = true;
    }
}

double cPrinter::ScaleWidthHimetric() {
    EnsureDC();
    return GetDeviceCaps(dc_, HORZRES) * kHimetricPerInch / GetDeviceCaps(dc_, LOGPIXELSX);
}

double cPrinter::ScaleHeightHimetric() {
    EnsureDC();
    return GetDeviceCaps(dc_, VERTRES) * kHimetricPerInch / GetDeviceCaps(dc_, LOGPIXELSY);
}

int32_t cPrinter::HimetricToPixelsX(double himetric) {
    EnsureDC();
    return HimetricToDevice(himetric, GetDeviceCaps(dc_, LOGPIXELSX));
}

int32_t cPrinter::HimetricToPixelsY(double himetric) {
    EnsureDC();
    return HimetricToDevice(himetric, GetDeviceCaps(dc_, LOGPIXELSY));
}

void cPrinter::PaintPicture(const Picture& picture, int32_t x, int32_t y, int32_t width, int32_t height) {
    HBITMAP bitmap = picture.Bitmap();
    BITMAP bm{};
    if (!bitmap || GetObject(bitmap, sizeof bm, &bm) != sizeof bm) {
        SetLastError(0);
        Fail("no picture");
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = bm.bmWidth;
    info.bmiHeader.biHeight = bm.bmHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    const size_t stride = (static_cast<size_t>(bm.bmWidth) * 3 + 3) / 4 * 4;
    std::vector<uint8_t> bits(stride * static_cast<size_t>(bm.bmHeight));
    {
        WindowDC screen = WindowDC::Client(nullptr);
        HPALETTE palette = picture.Palette();
        HPALETTE old = palette ? SelectPalette(screen.get(), palette, TRUE) : nullptr;
        if (palette) RealizePalette(screen.get());
        int lines = GetDIBits(screen.get(), bitmap, 0, static_cast<UINT>(bm.bmHeight), bits.data(), &info,
                              DIB_RGB_COLORS);
        if (palette) SelectPalette(screen.get(), old, TRUE);
        if (lines != bm.bmHeight) Fail("cannot read the picture");
    }
    EnsurePage();
    SetStretchBltMode(dc_, HALFTONE);
    SetBrushOrgEx(dc_, 0, 0, nullptr);
    if (StretchDIBits(dc_, x, y, width, height, 0, 0, bm.bmWidth, bm.bmHeight, bits.data(), &info, DIB_RGB_COLORS,
                      SRCCOPY) == 0)
        Fail("cannot draw the picture");
}

void cPrinter::EndDoc() {
    if (!docStarted_) return;
    if (pageStarted_) {
        pageStarted_ = false;
        if (EndPage(dc_) <= 0) Fail("cannot end the page");
    }
    docStarted_ = false;
    if (::EndDoc(dc_) <= 0) Fail("cannot end the document");
}

void clsCapture::PrintPictureToFitPage(cPrinter& printer, const Picture& picture) {
    OLE_XSIZE_HIMETRIC w = 0;
    OLE_YSIZE_HIMETRIC h = 0;
    if (!picture.get() || FAILED(picture.get()->get_Width(&w)) || FAILED(picture.get()->get_Height(&h)))
        throw ErrorObject(kErrPrinter, kExeName, "Printer error: no picture");
    const int32_t width = static_cast<int32_t>(w), height = static_cast<int32_t>(h);
    printer.Orientation(OrientationForPicture(width, height));
    PrintSize size = FitPictureToPage(width, height, printer.ScaleWidthHimetric(), printer.ScaleHeightHimetric());
    printer.PaintPicture(picture, 0, 0, printer.HimetricToPixelsX(size.Width), printer.HimetricToPixelsY(size.Height));
}

}  // namespace plenvue
