#include "image/Picture_win.h"

namespace plenvue {

Picture Picture::FromBitmap(HBITMAP bitmap, HPALETTE palette) {
    Picture p;
    if (!bitmap) {
        if (palette) DeleteObject(palette);
        return p;
    }
    PICTDESC desc{};
    desc.cbSizeofstruct = sizeof(PICTDESC);
    desc.picType = PICTYPE_BITMAP;
    desc.bmp.hbitmap = bitmap;
    desc.bmp.hpal = palette;
    if (FAILED(OleCreatePictureIndirect(&desc, IID_IPicture, TRUE,
                                        reinterpret_cast<void**>(p.pic_.put())))) {
        DeleteObject(bitmap);
        if (palette) DeleteObject(palette);
        p.pic_.reset();
    }
    return p;
}

Picture Picture::Adopt(IPicture* picture) {
    Picture p;
    *p.pic_.put() = picture;
    return p;
}

HBITMAP Picture::Bitmap() const {
    if (!pic_) return nullptr;
    OLE_HANDLE h = 0;
    if (FAILED(pic_->get_Handle(&h))) return nullptr;
    return reinterpret_cast<HBITMAP>(static_cast<UINT_PTR>(h));
}

HPALETTE Picture::Palette() const {
    if (!pic_) return nullptr;
    OLE_HANDLE h = 0;
    if (FAILED(pic_->get_hPal(&h))) return nullptr;
    return reinterpret_cast<HPALETTE>(static_cast<UINT_PTR>(h));
}

SIZE Picture::PixelSize() const {
    SIZE s{0, 0};
    HBITMAP b = Bitmap();
    BITMAP bm{};
    if (b && GetObject(b, sizeof bm, &bm) == sizeof bm) {
        s.cx = bm.bmWidth;
        s.cy = bm.bmHeight;
    }
    return s;
}

}  // namespace plenvue
