// The program's picture: an OLE picture object that owns a bitmap and an optional palette.
#pragma once
#include "base/win/Handles_win.h"

namespace plenvue {

class Picture {
public:
    Picture() = default;
    // Wraps the handles in a picture that deletes them when the last reference goes.
    // On failure the handles are deleted here and the picture is empty.
    static Picture FromBitmap(HBITMAP bitmap, HPALETTE palette);
    // Takes over an existing reference.
    static Picture Adopt(IPicture* picture);

    IPicture* get() const { return pic_.get(); }
    HBITMAP Bitmap() const;
    HPALETTE Palette() const;
    bool Empty() const { return Bitmap() == nullptr; }
    // Size of the bitmap in pixels (0, 0 when empty).
    SIZE PixelSize() const;
    void Reset() { pic_.reset(); }

private:
    ComPtr<IPicture> pic_;
};

}  // namespace plenvue
