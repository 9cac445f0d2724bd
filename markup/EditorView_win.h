// The mark-up editor's canvas: a child window that shows a document through its zoom and scroll,
// drawn at its own resolution into a back buffer (only the dirty rectangles while dragging), with the
// controller's tools on the mouse and keys and the handles, bands and crop drawn above.
#pragma once
#include <windows.h>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "base/win/Handles_win.h"
#include "base/win/WindowSubclass_win.h"
#include "base/win/WindowThunk_win.h"
#include "markup/EditorController.h"
#include "markup/ZoomState.h"

namespace plenvue::markup {

class EditorView {
public:
    static constexpr const char* kClassName = "PlenvueEditor";
    // Handles are squares of this many client pixels, whatever the zoom.
    static constexpr int32_t kHandlePixels = 7;

    EditorView();
    ~EditorView();
    EditorView(const EditorView&) = delete;
    EditorView& operator=(const EditorView&) = delete;

    bool Create(HWND parent, int id, const RECT& place, DWORD exStyle = 0);
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
    // The tool for the next press (from a menu, the tool strip or a key); reported by ToolChanged.
    void SetTool(Tool tool);
    Tool CurrentTool() const { return tool_; }
    // The style each drawing tool gives new objects; kept across pictures.
    const MarkupObject& Style(Tool tool) const { return styles_[static_cast<size_t>(tool)]; }
    void SetStyle(Tool tool, const MarkupObject& style);
    // Runs an action of the controller as a key or a menu would (false without a picture), then
    // draws and reports what changed.
    bool Apply(const std::function<bool(EditorController&)>& action);
    // Scrolled to the picture's top-left corner (the Home key).
    void ScrollHome();

    // The in-place text box: open while a text is typed. Its keys are its own: the message loop
    // leaves them untranslated while IsTextBox says so of the window they are for.
    bool EditingText() const { return textBox_ != nullptr; }
    bool IsTextBox(HWND window) const { return textBox_ && window == textBox_; }
    // Ends the text being typed: kept as a text object (an empty box makes nothing), or dropped.
    void EndText(bool keep);

    // A step was made in the document from the view (the caller updates its status and menus).
    std::function<void()> StepMade;
    // The zoom changed (for the status bar).
    std::function<void()> ZoomChanged;
    // The tool changed (for the menu's and the strip's check marks).
    std::function<void()> ToolChanged;
    // The crop rectangle appeared, changed or went (for the status bar); null when there is none.
    std::function<void(const PixelRect*)> CropChanged;

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
    void OpenText(const TextRequest& request);
    void FitTextBox();
    std::wstring BoxText() const;
    void ReportCrop();
    void FollowPictureSize();

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
    // The picture size the zoom was last given (a crop or its undo changes it).
    int32_t shownW_ = 0, shownH_ = 0;
    std::optional<PixelRect> lastCrop_;
    Tool tool_ = Tool::Select;
    std::array<MarkupObject, kToolCount> styles_;
    // The text box, its font at the zoom, what it edits (id 0: a new text at textAt_), and the
    // subclass that takes its Escape, Ctrl+Enter and loss of focus.
    HWND textBox_ = nullptr;
    UniqueFont textFont_;
    uint32_t textId_ = 0;
    Point textAt_;
    WindowSubclass textKeys_;
    bool endingText_ = false;
};

}  // namespace plenvue::markup
