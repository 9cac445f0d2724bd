// Thin owners of the common controls the program creates at run time: each operation is one
// message to the control. A wrapper destroys only what it created.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <string>

namespace plenvue {

class CControlBase {
public:
    CControlBase() = default;
    ~CControlBase() { Destroy(); }
    CControlBase(const CControlBase&) = delete;
    CControlBase& operator=(const CControlBase&) = delete;
    HWND hWnd() const { return hwnd_; }
    void Destroy();
    LRESULT Send(UINT msg, WPARAM w = 0, LPARAM l = 0) const;

protected:
    HWND CreateOwned(const char* cls, HWND parent, int x, int y, int w, int h, DWORD style,
                     DWORD exStyle = 0);
    HWND hwnd_ = nullptr;
    bool owned_ = false;
};

class CImageListCtl {
public:
    CImageListCtl() = default;
    ~CImageListCtl() { Destroy(); }
    CImageListCtl(const CImageListCtl&) = delete;
    CImageListCtl& operator=(const CImageListCtl&) = delete;
    HIMAGELIST LoadBitmapResource(HINSTANCE inst, const char* name, int width, int grow,
                                  COLORREF mask, UINT type, UINT flags);
    HIMAGELIST Handle() const { return list_; }
    // Takes a list made elsewhere, destroyed with this one.
    void Own(HIMAGELIST list) {
        Destroy();
        list_ = list;
        owned_ = list != nullptr;
    }
    void Destroy();

private:
    HIMAGELIST list_ = nullptr;
    bool owned_ = false;
};

class CToolbarCtl : public CControlBase {
public:
    HWND Create(HWND parent, int x, int y, int w, int h, DWORD style, DWORD exStyle = 0);
    void SetImageList(HIMAGELIST list);
    bool InsertButton(int image, int command, int position = -1, LPARAM data = 0,
                      BYTE state = TBSTATE_ENABLED, BYTE style = BTNS_BUTTON);
    bool InsertSeparator(int position = -1);
    void CheckButton(int command, bool checked);
    bool IsChecked(int command) const;
    void SetFlat(bool flat);
    void SetParent(HWND parent);
    void AutoSize();
    // The size of the images drawn on the buttons (before a list of another size is set).
    void SetBitmapSize(int width, int height);
    void SetButtonSize(int width, int height);
    SIZE ButtonSize() const;
};

class CRebarCtl : public CControlBase {
public:
    HWND Create(HWND parent, int x, int y, int w, int h, DWORD style, DWORD exStyle = 0);
    bool InsertBand(const char* text, HWND child, int minChildWidth, int minChildHeight,
                    int width, UINT style, COLORREF fore = CLR_DEFAULT, COLORREF back = CLR_DEFAULT);
    // The child size and width of an inserted band.
    bool SetBandChildSize(int band, int minChildWidth, int minChildHeight, int width);
    int Height() const;
    void Show(bool visible);
};

class CStatusBarCtl : public CControlBase {
public:
    HWND Create(HWND parent, DWORD style, const char* text, int minHeight);
    void SetParts(const int* edges, int count);
    void SetMinHeight(int height) { Send(SB_SETMINHEIGHT, height); }
    void Simple(bool on);
    void SetText(int part, const std::string& text);
    std::string Text() const { return text_; }
    void ResizeToParent();
    void Show(bool visible);

private:
    std::string text_;
};

class CTabStripCtl : public CControlBase {
public:
    HWND Create(HWND parent, int x, int y, int w, int h, DWORD style, DWORD exStyle = 0);
    int InsertTab(const std::string& text, int position, int image = -1, LPARAM data = 0);
    void DeleteAll();
    int Selected() const;
    void Select(int index);
};

class CTrackBarCtl : public CControlBase {
public:
    HWND Create(HWND parent, int x, int y, int w, int h, DWORD style, DWORD exStyle = 0);
    void SetRange(int minimum, int maximum);
    void SetLineAndPage(int line, int page);
    void SetPos(int pos);
    int Pos() const;
};

class CUpDownCtl : public CControlBase {
public:
    HWND Create(HWND parent, int x, int y, int w, int h, DWORD style, DWORD exStyle = 0);
    void SetRange(int minimum, int maximum);
    void SetBuddy(HWND buddy);
};

}  // namespace plenvue
