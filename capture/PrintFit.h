// Printing a picture fitted to one page: orientation and size, in HIMETRIC (0.01 mm).
#pragma once
#include <cstdint>

namespace plenvue {

enum class PrintOrientation : int32_t { Portrait = 1, Landscape = 2 };

// Landscape when the picture is wider than high; a square prints portrait.
PrintOrientation OrientationForPicture(int32_t pictureWidth, int32_t pictureHeight);

struct PrintSize {
    double Width = 0;
    double Height = 0;
};

// The largest size with the picture's proportions that fits the page (page measured after the
// orientation has been set), drawn from the top-left corner: the whole page width when the picture
// is relatively wider than the page, else the whole page height. A picture or page height of 0
// raises the division-by-zero error.
PrintSize FitPictureToPage(int32_t pictureWidth, int32_t pictureHeight, double pageWidth, double pageHeight);

// HIMETRIC length in device pixels at `dotsPerInch`, rounded half to even.
int32_t HimetricToDevice(double himetric, int32_t dotsPerInch);

}  // namespace plenvue
