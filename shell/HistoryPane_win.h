// The history pane of the main window: the list of paths (list mode) or the strip of Preview
// thumbnails with its two scroll buttons (preview mode). Entries reopen their file when chosen;
// files dropped on the pane open through the same way in.
#pragma once
#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "controls/Light3D_win.h"
#include "controls/Preview_win.h"
#include "base/win/Handles_win.h"
#include "base/win/WindowSubclass_win.h"
#include "shell/MainLayout.h"
#include "image/Picture_win.h"

namespace plenvue {

class HistoryPane {
public:
    // Opens a file onto the canvas, adding it to the history when asked.
    using OpenFile = std::function<void(const std::string& path, bool addHistory)>;

    static constexpr const char* kStripClass = "PlenvueHistoryStrip";
    static constexpr const char* kClientClass = "PlenvueHistoryClient";
    static constexpr int kButtonHeight = 16;
    static constexpr int kItemWidth = 120;
    static constexpr int kItemHeight = 100;
    static constexpr UINT kScrollInterval = 200;

    HistoryPane() = default;
    ~HistoryPane();
    HistoryPane(const HistoryPane&) = delete;
    HistoryPane& operator=(const HistoryPane&) = delete;

    // Creates picScroller (hidden) under the parent with picClient, the scroll buttons and the
    // hidden template item, and takes the parent's list box as lstHistory. Both accept dropped files.
    bool Create(HWND parent, HWND list, int scrollerId, OpenFile open);
    HWND Scroller() const { return scroller_; }
    HWND Client() const { return client_; }
    HWND List() const { return list_; }

    // The entry for a picture or file, placed first (the newest is on top); in preview mode a
    // reduced copy of the picture. `open`: the entry is chosen as a click would (the file opens
    // again); otherwise it is only added. A path already listed is not listed twice: its entry
    // is chosen (`open`) or left as it is.
    void AddHistory(HistoryMode mode, const std::string& path, const Picture& picture, bool open = true);
    // Marks the entry of `path` as the one on the canvas, without opening it.
    void SelectEntry(HistoryMode mode, const std::string& path);
    // The entry of `from` now stands for `to` (a capture saved to a file); its thumbnail follows
    // `picture` when one is given.
    void RenameEntry(HistoryMode mode, const std::string& from, const std::string& to, const Picture* picture = nullptr);
    void RemoveEntry(HistoryMode mode, const std::string& path);
    bool HasEntry(HistoryMode mode, const std::string& path) const;
    // "Remove from History" on an entry's context menu (both modes) or Delete in the list.
    std::function<void(const std::string& path)> RemoveRequested;
    std::string RemoveMenuText = "Remove from History";
    void StepHistory(HistoryMode mode, int32_t d);
    void ClearHistory(HistoryMode mode);
    // Leaving preview mode: the thumbnails go.
    void RemovePreviews();
    // The sizes above are designed at 96 DPI; the pane draws them scaled to its window's DPI and
    // re-lays out its buttons and items when that changes.
    void SetDpi(int32_t dpi);
    int32_t ButtonHeight() const;
    SIZE ItemSize() const;

    // The list box's notifications as the parent receives them; true when handled.
    bool OnParentCommand(WPARAM wParam, LPARAM lParam);

    int32_t PreviewCount() const { return static_cast<int32_t>(items_.size()); }
    int32_t SelectedPreview() const { return selected_; }
    const Preview& Item(int32_t index) const { return *items_.at(static_cast<size_t>(index)); }
    void ClickItem(int32_t index);

    // Strip scrolling: a press on scroll button 0 or 1 (one step at once, more while it is held),
    // its release, and one timer tick.
    void ScrollPress(int index);
    void ScrollRelease(int index);
    void ScrollTick();
    // One step towards the top (direction +1) or the bottom (-1); false when there is no room.
    bool ScrollStep(int32_t direction);
    // The mouse wheel over the strip: a step per notch (WHEEL_DELTA), forward towards the top;
    // finer wheels add up to whole notches.
    void Wheel(int32_t delta);
    // True when the screen point is over the shown strip (the message loop sends the wheel there).
    bool StripContains(POINT screen) const;
    bool Scrolling() const { return static_cast<bool>(timer_); }
    int32_t ScrollDirection() const { return direction_; }
    const Light3D& ScrollButton(int index) const { return buttons_[index]; }
    RECT ClientRect() const;  // picClient in picScroller's client coordinates
    int32_t UpperLimit() const { return upperLimit_; }
    int32_t LowerLimit() const { return lowerLimit_; }

    void DropFiles(HDROP drop);

    // A copy of the picture no larger than the box, proportions kept.
    static Picture Thumbnail(const Picture& picture, int boxWidth, int boxHeight);

private:
    template <class T>
    friend LRESULT CALLBACK PaneWindowProc(HWND, UINT, WPARAM, LPARAM) noexcept;
    LRESULT HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    void ArrangeScroller();
    void SelectPreview(int32_t index);
    int32_t PreviewIndexOf(const std::string& path) const;
    int32_t ListIndexOf(const std::string& path) const;
    // Every item at its place by its index, and the carrier sized for them.
    void LayOutPreviews();
    void OfferRemove(const std::string& path, POINT screen, HWND owner);
    void MoveClient(int32_t top, int32_t height);
    void DrawArrow(int index, HDC dc, const RECT& rc) const;
    int32_t Scaled(int32_t length96) const;
    int32_t Gap() const { return Scaled(10); }

    HWND parent_ = nullptr;
    HWND list_ = nullptr;
    HWND scroller_ = nullptr;
    HWND client_ = nullptr;
    Light3D buttons_[2];
    bool buttonDown_[2] = {false, false};
    std::vector<std::unique_ptr<Preview>> items_;  // 0 is the hidden template
    OpenFile open_;
    int32_t dpi_ = 96;
    int32_t selected_ = 0;
    int32_t direction_ = 0;
    int32_t wheelRest_ = 0;  // wheel movement short of a whole notch
    int32_t upperLimit_ = 0;
    int32_t lowerLimit_ = 0;
    int32_t clientTop_ = 0;
    int32_t clientHeight_ = 10;
    WindowTimer timer_;
    WindowSubclass listDrop_;  // files dropped on lstHistory
};

}  // namespace plenvue
