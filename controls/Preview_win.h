// Preview: the thumbnail item of the history strip. A raised Light3D frame around an image area and
// a caption line below it; the areas follow the control's size by a rule in twips.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

#include "controls/PreviewGeometry.h"
#include "base/win/Handles_win.h"
#include "image/Picture_win.h"

namespace plenvue {

class Preview {
public:
    static constexpr const char* kClassName = "PlenvuePreview";

    Preview() = default;
    ~Preview();
    Preview(const Preview&) = delete;
    Preview& operator=(const Preview&) = delete;

    bool Create(HWND parent, int x, int y, int width, int height, DWORD style = WS_CHILD);
    HWND hWnd() const { return hwnd_; }

    const Picture& GetPicture() const { return picture_; }
    void SetPicture(const Picture& picture);
    const std::string& Caption() const { return caption_; }
    void Caption(const std::string& text);
    const std::string& Tag() const { return tag_; }
    void Tag(const std::string& text) { tag_ = text; }
    COLORREF BackColor() const { return back_; }
    void BackColor(COLORREF colour);
    COLORREF ForeColor() const { return fore_; }
    void ForeColor(COLORREF colour);
    bool PreviewBorder() const { return border_; }
    void PreviewBorder(bool on);
    // Caption alignment: 0 left, 1 right, 2 centre.
    int Alignment() const { return alignment_; }
    void Alignment(int alignment);
    bool FontBold() const { return bold_; }
    void FontBold(bool on);
    bool FontItalic() const { return italic_; }
    void FontItalic(bool on);
    const std::string& FontName() const { return fontName_; }
    void FontName(const std::string& name);
    bool Enabled() const;
    void Enabled(bool on);
    bool Visible() const;
    void Visible(bool on);
    int Top() const;
    void Top(int y);
    // Set whenever a property changes; the owner clears it.
    bool PropertyChanged = false;

    // The image and caption areas in twips and in pixels of the control.
    const PreviewParts& PartsTwips() const { return parts_; }
    RECT ImageRect() const;
    RECT LabelRect() const;

    void Draw(HDC dc) const;

    std::function<void()> Click;
    // A right click or the menu key: the point in screen coordinates (-1, -1 from the keyboard).
    std::function<void(POINT)> ContextMenu;

private:
    template <class T>
    friend LRESULT CALLBACK ControlWindowProc(HWND, UINT, WPARAM, LPARAM) noexcept;
    template <class T>
    friend T* WindowObject(HWND, UINT, LPARAM) noexcept;
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    void OnSize(int width, int height);
    void Changed();
    void FontChanged();

    HWND hwnd_ = nullptr;
    Picture picture_;
    std::string caption_ = "Preview";
    std::string tag_;
    COLORREF back_ = GetSysColor(COLOR_BTNFACE);
    COLORREF fore_ = GetSysColor(COLOR_BTNTEXT);
    bool border_ = false;
    int alignment_ = 2;
    bool bold_ = false;
    bool italic_ = false;
    std::string fontName_;  // empty: the default GUI font
    UniqueFont font_;
    bool pressed_ = false;
    int twipsX_ = 15;
    int twipsY_ = 15;
    PreviewParts parts_;
};

}  // namespace plenvue
