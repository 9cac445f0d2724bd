// The printer object the print command works with: one installed printer, its orientation, its
// printable area and a document that is started by the first drawing and ended by EndDoc.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "capture/PrintFit.h"
#include "image/Picture_win.h"

namespace plenvue {

// Raised (as ErrorObject) for every failure of the printer object.
constexpr int32_t kErrPrinter = 482;

struct InstalledPrinter {
    std::string Name;
    int32_t Orientation = 0;  // 1 portrait, 2 landscape, 0 unknown
};

// The installed printers in the system's order.
std::vector<InstalledPrinter> InstalledPrinters();
// The system's default printer; "" when there is none.
std::string DefaultPrinterName();
// The print command's choice: the first portrait printer, else the default one, else the first.
std::string ChoosePrinter(const std::vector<InstalledPrinter>& printers, const std::string& defaultName);

class cPrinter {
public:
    explicit cPrinter(std::string deviceName);
    ~cPrinter();
    cPrinter(const cPrinter&) = delete;
    cPrinter& operator=(const cPrinter&) = delete;

    const std::string& DeviceName() const { return name_; }
    PrintOrientation Orientation() const;
    // Takes effect for the page not yet started.
    void Orientation(PrintOrientation orientation);

    // The printable area in HIMETRIC (the page as now oriented).
    double ScaleWidthHimetric();
    double ScaleHeightHimetric();
    // A HIMETRIC length in printer pixels.
    int32_t HimetricToPixelsX(double himetric);
    int32_t HimetricToPixelsY(double himetric);

    // Paints the picture at (x, y) of the printable area, stretched to width x height pixels.
    void PaintPicture(const Picture& picture, int32_t x, int32_t y, int32_t width, int32_t height);
    // Ends the page and the document, which hands it to the printer.
    void EndDoc();

    HDC hDC() const { return dc_; }

private:
    void EnsureDC();
    void EnsurePage();
    [[noreturn]] void Fail(const std::string& what);

    std::string name_;
    std::vector<uint8_t> devMode_;
    HDC dc_ = nullptr;
    bool docStarted_ = false;
    bool pageStarted_ = false;
};

}  // namespace plenvue
