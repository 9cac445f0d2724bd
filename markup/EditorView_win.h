// The mark-up editor's canvas: a child window that shows a document through its zoom and scroll,
// drawn at its own resolution into a back buffer (only the dirty rectangles while dragging), with the
// controller's tools on the mouse and keys and the handles, bands and crop drawn above.
#pragma once
#include <windows.h>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>

#include "base/win/Handles_win.h"
#include "base/win/WindowThunk_win.h"
#include "markup/EditorController.h"
#include "markup/ZoomState.h"

namespace plenvue::markup {

class EditorView {
public:
    static constexpr const char* kClassName = "PlenvueEditor";
    // Handles are squares of this many client pixels, whatever the zoom.
    static constexpr int32_t kHandlePixels = 7;

    EditorView() = default;
    ~EditorView();
    EditorView(const EditorView&) = delete;
    EditorView& operator=(const EditorView&) = delete;

    bool Create(HWND parent, int id, const RECT& place);
    HWND hWnd() const { return hwnd_; }

    // The document shown (the caller's; null shows nothing). A new picture: 100 %, or fitted when
    // larger than the window; the tool stays, the selection goes.
    void Attach(MarkupDocument* doc);
    // The document changed outside the view (Undo, Redo, an Image-menu command): drawn again whole.
    void Refresh();
    EditorController* Controller() { return controller_.get(); }
    const ZoomState& Zoom() const { return zoom_; }
    // Zoom keys and commands: fit, 100 %, a step in or out about the window's centre.
    void Fit();
    void Actual();
    void Step(bool in);
    void Background(COLORREF colour);

    // A step was made in the document from the view (the caller updates its status and menus).
    std::function<void()> StepMade;
    // The zoom changed (for the status bar).
    std::function<void()> ZoomChanged;

private:
    template <class T>
    friend LRESULT CALLBACK plenvue::ControlWindowProc(HWND, UINT, WPARAM, LPARAM) noexcept;
    template <class T>
    friend T* plenvue::WindowObject(HWND, UINT, LPARAM) noexcept;
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);

    void Paint();
    void DrawOverlay(HDC dc);
    void Flush();  // invalidates what the controller marked dirty
    void AfterInput(size_t stepsBefore);
    void UpdateScrollBars();
    void OnScroll(int bar, WORD request);
    void OnKey(WPARAM key);
    Point PictureAt(LPARAM lParam) const;
    double Tolerance() const;
    bool EnsureBuffer(int32_t w, int32_t h);

    HWND hwnd_ = nullptr;
    MarkupDocument* doc_ = nullptr;
    std::unique_ptr<EditorController> controller_;
    ZoomState zoom_;
    std::array<uint8_t, 3> background_{255, 255, 255};  // blue, green, red
    // The back buffer: a top-down 24-bit DIB section the size of the client area, selected into its
    // DC (declared after the bitmap, so the DC goes first).
    UniqueBitmap buffer_;
    MemoryDC bufferDc_;
    PixelView bufferView_;
};

}  // namespace plenvue::markup
