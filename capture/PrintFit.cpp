// Page fitting for printing.
#include "capture/PrintFit.h"

#include "base/Arith.h"

namespace plenvue {

PrintOrientation OrientationForPicture(int32_t pictureWidth, int32_t pictureHeight) {
    return pictureHeight < pictureWidth ? PrintOrientation::Landscape : PrintOrientation::Portrait;
}

PrintSize FitPictureToPage(int32_t pictureWidth, int32_t pictureHeight, double pageWidth, double pageHeight) {
    if (pictureHeight == 0 || pageHeight == 0) throw DivisionByZeroError();
    double r = static_cast<double>(pictureWidth) / static_cast<double>(pictureHeight);
    double pageRatio = pageWidth / pageHeight;
    PrintSize s;
    if (r >= pageRatio) {
        s.Width = pageWidth;
        s.Height = pageWidth / r;
    } else {
        s.Height = pageHeight;
        s.Width = pageHeight * r;
    }
    return s;
}

int32_t HimetricToDevice(double himetric, int32_t dotsPerInch) {
    return RoundHalfEven(himetric * dotsPerInch / 2540.0);
}

}  // namespace plenvue
