// The Windows half of the PCX reader: decoded rows and palette become a device-dependent bitmap
// and a logical palette, both owned by an OLE picture.
#include "image/modPcxReader_win.h"

#include <windows.h>
#include <ole2.h>
#include <olectl.h>

#include <vector>

#include "image/modPcxReader.h"
#include "base/ErrorObject.h"
#include "base/win/Handles_win.h"
#include "base/win/WideText_win.h"
#include "base/win/Wide_win.h"

namespace plenvue {
namespace {

HBITMAP MakeScreenBitmap(const BITMAPINFO* info, const void* bits) {
    WindowDC screen = WindowDC::Client(nullptr);
    if (!screen.get()) return nullptr;
    return CreateDIBitmap(screen.get(), &info->bmiHeader, CBM_INIT, bits, info, DIB_RGB_COLORS);
}

HBITMAP Bitmap256(const PcxImage& img, HPALETTE& palette) {
    std::vector<uint8_t> infoBytes(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD));
    auto* info = reinterpret_cast<BITMAPINFO*>(infoBytes.data());
    info->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info->bmiHeader.biWidth = img.width;
    info->bmiHeader.biHeight = -img.height;  // rows top-down as decoded
    info->bmiHeader.biPlanes = 1;
    info->bmiHeader.biBitCount = 8;
    info->bmiHeader.biCompression = BI_RGB;

    std::vector<uint8_t> logBytes(sizeof(LOGPALETTE) + 255 * sizeof(PALETTEENTRY));
    auto* log = reinterpret_cast<LOGPALETTE*>(logBytes.data());
    log->palVersion = 0x300;
    log->palNumEntries = 256;
    for (int i = 0; i < 256; ++i) {
        const uint8_t* rgb = &img.palette[3 * i];
        info->bmiColors[i] = RGBQUAD{rgb[2], rgb[1], rgb[0], 0};
        log->palPalEntry[i] = PALETTEENTRY{rgb[0], rgb[1], rgb[2], 0};
    }
    UniqueBitmap bmp(MakeScreenBitmap(info, img.pixels.data()));
    if (!bmp) return nullptr;
    palette = CreatePalette(log);
    if (!palette) return nullptr;
    return bmp.release();
}

HBITMAP Bitmap24(const PcxImage& img) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = img.width;
    info.bmiHeader.biHeight = -img.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return MakeScreenBitmap(&info, img.pixels.data());
}

const char* ErrorText(int32_t number) {
    switch (number) {
        case 6: return "Overflow";
        case 7: return "Out of memory";
        case 9: return "Subscript out of range";
        case 53: return "File not found";
        default: return "Input past end of file";
    }
}

}  // namespace

IPictureDisp* LoadPCX(const std::string& sFileName) {
    PcxResult r = ReadPcxFile(sFileName);
    switch (r.status) {
        case PcxStatus::Ok:
            break;
        case PcxStatus::NotEightBits:
            ShowMessageBox(nullptr, kPcxCantLoadMessage, kExeName, MB_OK);
            return nullptr;
        case PcxStatus::UnsupportedPlanes:
            return nullptr;
        case PcxStatus::NoPalette:
            ShowMessageBox(nullptr, kPcxNoPaletteMessage, kExeName, MB_OK | MB_ICONWARNING);
            return nullptr;
        case PcxStatus::Corrupt:
            throw ErrorObject(r.errorNumber, kExeName, std::string(ErrorText(r.errorNumber)) + " (" + r.reason + ")");
    }

    HPALETTE rawPalette = nullptr;
    UniqueBitmap bitmap(r.image.planes == 1 ? Bitmap256(r.image, rawPalette) : Bitmap24(r.image));
    UniquePalette palette(rawPalette);
    if (!bitmap) throw ErrorObject(7, kExeName, "Out of memory (cannot create the bitmap)");

    PICTDESC desc{};
    desc.cbSizeofstruct = sizeof(PICTDESC);
    desc.picType = PICTYPE_BITMAP;
    desc.bmp.hbitmap = bitmap.get();
    desc.bmp.hpal = palette.get();
    IPictureDisp* picture = nullptr;
    HRESULT hr = OleCreatePictureIndirect(&desc, IID_IPictureDisp, TRUE, reinterpret_cast<void**>(&picture));
    if (FAILED(hr) || !picture) throw ErrorObject(7, kExeName, "Out of memory (cannot create the picture)");
    // The picture owns them now.
    bitmap.release();
    palette.release();
    return picture;
}

}  // namespace plenvue
