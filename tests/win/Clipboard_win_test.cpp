#include "shell/Clipboard_win.h"

#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <vector>

#include "image/WicPicture_win.h"
#include "shell/ClipboardChange.h"
#include "tests/win/PngTestData.h"
#include "tests/win/WinTestSupport.h"

using namespace plenvue;
using namespace plenvue::test;

namespace {

// A picture whose every pixel differs from its neighbours, so that a flipped or shifted copy fails.
Picture PatternPicture(int w, int h) {
    Picture pic = SolidPicture(w, h, RGB(0, 0, 0));
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, pic.Bitmap());
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) SetPixel(dc, x, y, RGB(x * 40 % 256, y * 60 % 256, (x + y) * 17 % 256));
    SelectObject(dc, old);
    DeleteDC(dc);
    return pic;
}

class Window {
public:
    Window() { hwnd_ = CreateWindowExA(0, "STATIC", "clip", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr); }
    ~Window() { DestroyWindow(hwnd_); }
    HWND get() const { return hwnd_; }

private:
    HWND hwnd_;
};

std::vector<uint8_t> ClipboardBytes(UINT format) {
    std::vector<uint8_t> bytes;
    if (!OpenClipboard(nullptr)) return bytes;
    if (HANDLE h = GetClipboardData(format)) {
        const void* p = GlobalLock(h);
        if (p) bytes.assign(static_cast<const uint8_t*>(p), static_cast<const uint8_t*>(p) + GlobalSize(h));
        GlobalUnlock(h);
    }
    CloseClipboard();
    return bytes;
}

void PutRaw(UINT format, const std::vector<uint8_t>& bytes) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    std::memcpy(GlobalLock(h), bytes.data(), bytes.size());
    GlobalUnlock(h);
    if (!SetClipboardData(format, h)) GlobalFree(h);
    CloseClipboard();
}

// Another program holding the clipboard open: a second thread with its own window.
class ClipboardHolder {
public:
    ClipboardHolder() {
        ready_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        release_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        thread_ = CreateThread(nullptr, 0, &Run, this, 0, nullptr);
        WaitForSingleObject(ready_, INFINITE);
    }
    ~ClipboardHolder() {
        SetEvent(release_);
        WaitForSingleObject(thread_, INFINITE);
        CloseHandle(thread_);
        CloseHandle(ready_);
        CloseHandle(release_);
    }
    bool holding = false;

private:
    static DWORD WINAPI Run(void* p) {
        auto* self = static_cast<ClipboardHolder*>(p);
        Window w;
        self->holding = OpenClipboard(w.get()) != FALSE;
        SetEvent(self->ready_);
        WaitForSingleObject(self->release_, INFINITE);
        if (self->holding) CloseClipboard();
        return 0;
    }
    HANDLE ready_, release_, thread_;
};

}  // namespace

TEST(Clipboard, CopyPutsADibAndAPngThatOtherProgramsRead) {
    ComInit com;
    Window w;
    Picture pic = PatternPicture(13, 7);
    uint32_t sequence = 0;
    ASSERT_EQ(PutPictureOnClipboard(w.get(), pic, sequence), ClipboardResult::Ok);
    EXPECT_TRUE(ClipboardOwnedBy(w.get()));
    EXPECT_EQ(sequence, ClipboardSequence());

    std::vector<uint8_t> dib = ClipboardBytes(CF_DIB);
    ASSERT_GE(dib.size(), sizeof(BITMAPINFOHEADER));
    BITMAPINFOHEADER h;
    std::memcpy(&h, dib.data(), sizeof h);
    EXPECT_EQ(h.biWidth, 13);
    EXPECT_EQ(h.biHeight, 7);
    EXPECT_EQ(h.biBitCount, 24);
    // Bottom-up rows of 40 bytes (13 * 3 padded): the first stored row is the picture's last.
    const uint8_t* row0 = dib.data() + sizeof h;
    COLORREF bottomLeft = PixelAt(pic, 0, 6);
    EXPECT_EQ(RGB(row0[2], row0[1], row0[0]), bottomLeft);

    std::vector<uint8_t> png = ClipboardBytes(PngClipboardFormat());
    Picture fromPng;
    ASSERT_EQ(DecodePngPicture(png.data(), png.size(), 0, fromPng), WicResult::Ok);
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 13; ++x) ASSERT_EQ(PixelAt(fromPng, x, y), PixelAt(pic, x, y)) << x << "," << y;
}

TEST(Clipboard, PasteTakesPngThenDibThenABareBitmap) {
    ComInit com;
    Window w;
    Picture got;
    // PNG with transparency, over the given canvas colour.
    PutRaw(PngClipboardFormat(), SamplePng());
    ASSERT_EQ(TakePictureFromClipboard(w.get(), RGB(0, 0, 200), got), ClipboardResult::Ok);
    EXPECT_EQ(got.PixelSize().cx, 4);
    EXPECT_EQ(PixelAt(got, 2, 0), RGB(0, 0, 200));
    // A bare DIB: a 2 x 2 top-down 32-bit one, as some programs leave it.
    std::vector<uint8_t> dib(sizeof(BITMAPINFOHEADER) + 16);
    BITMAPINFOHEADER h{};
    h.biSize = sizeof h;
    h.biWidth = 2;
    h.biHeight = -2;
    h.biPlanes = 1;
    h.biBitCount = 32;
    std::memcpy(dib.data(), &h, sizeof h);
    const uint8_t px[16] = {0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 0, 10, 20, 30, 0};
    std::memcpy(dib.data() + sizeof h, px, 16);
    PutRaw(CF_DIB, dib);
    ASSERT_EQ(TakePictureFromClipboard(w.get(), 0, got), ClipboardResult::Ok);
    EXPECT_EQ(PixelAt(got, 0, 0), RGB(255, 0, 0));
    EXPECT_EQ(PixelAt(got, 1, 0), RGB(0, 255, 0));
    EXPECT_EQ(PixelAt(got, 1, 1), RGB(30, 20, 10));
    // A bitmap.
    Picture solid = SolidPicture(5, 3, RGB(1, 2, 3));
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HBITMAP copy = static_cast<HBITMAP>(CopyImage(solid.Bitmap(), IMAGE_BITMAP, 0, 0, 0));
    if (!SetClipboardData(CF_BITMAP, copy)) DeleteObject(copy);
    CloseClipboard();
    ASSERT_EQ(TakePictureFromClipboard(w.get(), 0, got), ClipboardResult::Ok);
    EXPECT_EQ(got.PixelSize().cx, 5);
    EXPECT_EQ(PixelAt(got, 4, 2), RGB(1, 2, 3));
    EmptyTheClipboard();
}

TEST(Clipboard, NothingUsableLeavesThePictureAlone) {
    ComInit com;
    Window w;
    Picture keep = SolidPicture(2, 2, RGB(5, 5, 5));
    const HBITMAP before = keep.Bitmap();
    EmptyTheClipboard();
    EXPECT_EQ(TakePictureFromClipboard(w.get(), 0, keep), ClipboardResult::NoPicture);
    // Hostile PNG and a DIB claiming more pixels than its block holds.
    PutRaw(PngClipboardFormat(), HostilePngs()[2]);
    EXPECT_EQ(TakePictureFromClipboard(w.get(), 0, keep), ClipboardResult::Unreadable);
    std::vector<uint8_t> dib(sizeof(BITMAPINFOHEADER) + 8);
    BITMAPINFOHEADER h{};
    h.biSize = sizeof h;
    h.biWidth = 1000;
    h.biHeight = 1000;
    h.biPlanes = 1;
    h.biBitCount = 24;
    std::memcpy(dib.data(), &h, sizeof h);
    EXPECT_EQ(DibSectionFromPackedDib(dib.data(), dib.size()), nullptr);
    h.biBitCount = 8;
    h.biClrUsed = 300;  // more colours than 8 bits can index
    std::memcpy(dib.data(), &h, sizeof h);
    EXPECT_EQ(DibSectionFromPackedDib(dib.data(), dib.size()), nullptr);
    EXPECT_EQ(keep.Bitmap(), before);
    uint32_t sequence = 0;
    EXPECT_EQ(PutPictureOnClipboard(w.get(), Picture(), sequence), ClipboardResult::NoPicture);
    EmptyTheClipboard();
}

// The DIB section made from a well-formed packed DIB: its size, its depth and every pixel, for a
// paletted bottom-up, a bit-field top-down and a plain 24-bit block.
TEST(Clipboard, PackedDibBecomesADibSectionOfTheSameSizeAndPixels) {
    struct Section {
        DIBSECTION ds{};
        explicit Section(HBITMAP b) { GetObjectA(b, sizeof ds, &ds); }
        COLORREF At(int x, int y) const {  // y from the top; the section is bottom-up
            const auto* row = static_cast<const uint8_t*>(ds.dsBm.bmBits) +
                              static_cast<size_t>(ds.dsBm.bmHeight - 1 - y) * ds.dsBm.bmWidthBytes;
            return RGB(row[x * 3 + 2], row[x * 3 + 1], row[x * 3]);
        }
    };
    auto header = [](int w, int h, int bits, uint32_t compression, uint32_t used) {
        BITMAPINFOHEADER b{};
        b.biSize = sizeof b;
        b.biWidth = w;
        b.biHeight = h;
        b.biPlanes = 1;
        b.biBitCount = static_cast<WORD>(bits);
        b.biCompression = compression;
        b.biClrUsed = used;
        std::vector<uint8_t> out(sizeof b);
        std::memcpy(out.data(), &b, sizeof b);
        return out;
    };
    auto append = [](std::vector<uint8_t>& to, std::initializer_list<uint8_t> bytes) { to.insert(to.end(), bytes); };

    // 3 x 2, 8 bits, three colours, bottom-up: stored rows are the picture's last row first.
    std::vector<uint8_t> paletted = header(3, 2, 8, BI_RGB, 3);
    append(paletted, {255, 0, 0, 0, 0, 255, 0, 0, 0, 0, 255, 0});  // blue, green, red (BGRx)
    append(paletted, {2, 1, 0, 0});                                 // bottom row, padded to 4
    append(paletted, {0, 0, 2, 0});                                 // top row
    UniqueBitmap a(DibSectionFromPackedDib(paletted.data(), paletted.size()));
    ASSERT_TRUE(a);
    Section sa(a.get());
    EXPECT_EQ(sa.ds.dsBm.bmWidth, 3);
    EXPECT_EQ(sa.ds.dsBm.bmHeight, 2);
    EXPECT_EQ(sa.ds.dsBmih.biBitCount, 24);
    EXPECT_EQ(sa.At(0, 0), RGB(0, 0, 255));
    EXPECT_EQ(sa.At(1, 0), RGB(0, 0, 255));
    EXPECT_EQ(sa.At(2, 0), RGB(255, 0, 0));
    EXPECT_EQ(sa.At(0, 1), RGB(255, 0, 0));
    EXPECT_EQ(sa.At(1, 1), RGB(0, 255, 0));
    EXPECT_EQ(sa.At(2, 1), RGB(0, 0, 255));

    // 2 x 2, 16 bits 5-6-5 in bit fields, top-down.
    std::vector<uint8_t> fields = header(2, -2, 16, BI_BITFIELDS, 0);
    append(fields, {0x00, 0xF8, 0, 0, 0xE0, 0x07, 0, 0, 0x1F, 0x00, 0, 0});  // red, green, blue masks
    append(fields, {0x00, 0xF8, 0xE0, 0x07});                               // top: red, green
    append(fields, {0x1F, 0x00, 0xFF, 0xFF});                               // bottom: blue, white
    UniqueBitmap b(DibSectionFromPackedDib(fields.data(), fields.size()));
    ASSERT_TRUE(b);
    Section sb(b.get());
    EXPECT_EQ(sb.ds.dsBm.bmWidth, 2);
    EXPECT_EQ(sb.ds.dsBm.bmHeight, 2);
    EXPECT_EQ(sb.ds.dsBmih.biBitCount, 24);
    EXPECT_EQ(sb.At(0, 0), RGB(255, 0, 0));
    EXPECT_EQ(sb.At(1, 0), RGB(0, 255, 0));
    EXPECT_EQ(sb.At(0, 1), RGB(0, 0, 255));
    EXPECT_EQ(sb.At(1, 1), RGB(255, 255, 255));

    // 5 x 1, 24 bits: the row is padded from 15 to 16 bytes.
    std::vector<uint8_t> plain = header(5, 1, 24, BI_RGB, 0);
    for (int x = 0; x < 5; ++x) append(plain, {static_cast<uint8_t>(x), static_cast<uint8_t>(10 * x), 200});
    append(plain, {0});
    UniqueBitmap c(DibSectionFromPackedDib(plain.data(), plain.size()));
    ASSERT_TRUE(c);
    Section sc(c.get());
    EXPECT_EQ(sc.ds.dsBm.bmWidth, 5);
    EXPECT_EQ(sc.ds.dsBm.bmHeight, 1);
    EXPECT_EQ(sc.ds.dsBmih.biBitCount, 24);
    for (int x = 0; x < 5; ++x) EXPECT_EQ(sc.At(x, 0), RGB(200, 10 * x, x)) << x;
    // One byte short of the last row: refused, not read past the end.
    plain.pop_back();
    EXPECT_EQ(DibSectionFromPackedDib(plain.data(), plain.size()), nullptr);
}

TEST(Clipboard, HeldByAnotherProgramIsRetriedThenReportedBusy) {
    ComInit com;
    Window w;
    PutRaw(PngClipboardFormat(), SamplePng());
    Picture pic = SolidPicture(4, 4, RGB(7, 7, 7));
    int pauses = 0;
    ClipboardRetry retry;
    retry.Attempts = 3;
    retry.Pause = [&](DWORD) { ++pauses; };
    {
        ClipboardHolder holder;
        ASSERT_TRUE(holder.holding);
        uint32_t sequence = 0;
        EXPECT_EQ(PutPictureOnClipboard(w.get(), pic, sequence, retry), ClipboardResult::Busy);
        EXPECT_EQ(pauses, 2);
        Picture got = pic;
        EXPECT_EQ(TakePictureFromClipboard(w.get(), 0, got, retry), ClipboardResult::Busy);
        EXPECT_EQ(got.Bitmap(), pic.Bitmap());
    }
    // Once it lets go, the next try succeeds at the first attempt.
    pauses = 0;
    uint32_t sequence = 0;
    EXPECT_EQ(PutPictureOnClipboard(w.get(), pic, sequence, retry), ClipboardResult::Ok);
    EXPECT_EQ(pauses, 0);
    EmptyTheClipboard();
}

// Another program's copy made the moment our copy or read lets the clipboard go is still a new
// picture for the monitor: the sequence number kept is the one of what we put there or read.
TEST(Clipboard, ChangeRightAfterOurCopyOrReadIsStillNew) {
    ComInit com;
    Window ours, other;
    ClipboardChanges changes;
    ClipboardRetry retry;
    retry.Closed = [&] {
        retry.Closed = nullptr;  // once
        ASSERT_TRUE(OpenClipboard(other.get()));
        EmptyClipboard();
        HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, SamplePng().size());
        std::memcpy(GlobalLock(h), SamplePng().data(), SamplePng().size());
        GlobalUnlock(h);
        if (!SetClipboardData(PngClipboardFormat(), h)) GlobalFree(h);
        CloseClipboard();
    };
    uint32_t sequence = 0;
    ASSERT_EQ(PutPictureOnClipboard(ours.get(), SolidPicture(3, 3, RGB(1, 1, 1)), sequence, retry),
              ClipboardResult::Ok);
    changes.Own(sequence);
    EXPECT_FALSE(ClipboardOwnedBy(ours.get()));
    EXPECT_TRUE(changes.Take(ClipboardSequence(), ClipboardOwnedBy(ours.get()))) << "the other program's copy";

    // The same after a read: what was read is seen, the copy after it is not.
    Picture got;
    retry.Closed = [&] {
        retry.Closed = nullptr;
        PutRaw(CF_DIB, std::vector<uint8_t>(64, 0));
    };
    ASSERT_EQ(TakePictureFromClipboard(ours.get(), 0, got, retry, &sequence), ClipboardResult::Ok);
    changes.Read(sequence);
    EXPECT_NE(sequence, ClipboardSequence());
    EXPECT_TRUE(changes.Take(ClipboardSequence(), false));
    EmptyTheClipboard();
}

// A malformed DIB is refused even though the system would make a bitmap of it on request: the
// bitmap is never asked for while a DIB is there.
TEST(Clipboard, HostileDibIsRefusedAndNoBitmapIsMadeOfIt) {
    ComInit com;
    Window w;
    Picture keep = SolidPicture(2, 2, RGB(5, 5, 5));
    const HBITMAP before = keep.Bitmap();
    BITMAPINFOHEADER h{};
    h.biSize = sizeof h;
    h.biWidth = 64;
    h.biHeight = 64;
    h.biPlanes = 1;
    h.biBitCount = 32;
    std::vector<uint8_t> dib(sizeof h + 64 * 64 * 3);  // rows of 24-bit pixels under a 32-bit header
    std::memcpy(dib.data(), &h, sizeof h);
    PutRaw(CF_DIB, dib);
    EXPECT_EQ(TakePictureFromClipboard(w.get(), 0, keep), ClipboardResult::Unreadable);
    EXPECT_EQ(keep.Bitmap(), before);
    // Beside a DIB a program put there itself, its bitmap is left alone: the DIB is the picture.
    h.biWidth = 1;
    h.biHeight = 1;
    h.biBitCount = 24;
    dib.assign(sizeof h + 4, 0);
    std::memcpy(dib.data(), &h, sizeof h);
    dib[sizeof h + 2] = 0xFF;  // red
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, dib.size());
    std::memcpy(GlobalLock(block), dib.data(), dib.size());
    GlobalUnlock(block);
    if (!SetClipboardData(CF_DIB, block)) GlobalFree(block);
    Picture blue = SolidPicture(3, 3, RGB(0, 0, 255));
    HBITMAP copy = static_cast<HBITMAP>(CopyImage(blue.Bitmap(), IMAGE_BITMAP, 0, 0, 0));
    if (!SetClipboardData(CF_BITMAP, copy)) DeleteObject(copy);
    CloseClipboard();
    Picture got;
    ASSERT_EQ(TakePictureFromClipboard(w.get(), 0, got), ClipboardResult::Ok);
    EXPECT_EQ(got.PixelSize().cx, 1);
    EXPECT_EQ(PixelAt(got, 0, 0), RGB(255, 0, 0));
    EmptyTheClipboard();
}

// What the monitor sees: our own put is not taken; another program's change is taken once.
TEST(Clipboard, MonitorTellsOwnPicturesFromOtherProgramsChanges) {
    ComInit com;
    Window ours, other;
    ClipboardChanges changes;
    uint32_t sequence = 0;
    ASSERT_EQ(PutPictureOnClipboard(ours.get(), SolidPicture(3, 3, RGB(1, 1, 1)), sequence), ClipboardResult::Ok);
    changes.Own(sequence);
    EXPECT_FALSE(changes.Take(ClipboardSequence(), ClipboardOwnedBy(ours.get())));
    ASSERT_TRUE(OpenClipboard(other.get()));
    EmptyClipboard();
    CloseClipboard();
    PutRaw(PngClipboardFormat(), SamplePng());
    EXPECT_NE(ClipboardSequence(), sequence);
    EXPECT_FALSE(ClipboardOwnedBy(ours.get()));
    EXPECT_TRUE(changes.Take(ClipboardSequence(), ClipboardOwnedBy(ours.get())));
    EXPECT_FALSE(changes.Take(ClipboardSequence(), ClipboardOwnedBy(ours.get())));
    EmptyTheClipboard();
}
