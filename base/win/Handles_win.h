// Owned Win32 handles: one move-only wrapper per way of releasing a handle.
#pragma once
#include <windows.h>
#include <ole2.h>
#include <olectl.h>

#include <utility>

namespace plenvue {

template <typename H, typename Traits>
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(H h) : h_(h) {}
    ~UniqueHandle() { reset(); }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& o) noexcept : h_(o.release()) {}
    UniqueHandle& operator=(UniqueHandle&& o) noexcept {
        if (this != &o) reset(o.release());
        return *this;
    }
    H get() const { return h_; }
    explicit operator bool() const { return Traits::Valid(h_); }
    H release() { return std::exchange(h_, Traits::None()); }
    void reset(H h = Traits::None()) {
        if (Traits::Valid(h_)) Traits::Close(h_);
        h_ = h;
    }

private:
    H h_ = Traits::None();
};

template <typename H, BOOL(WINAPI* CloseFn)(H)>
struct SimpleTraits {
    static H None() { return nullptr; }
    static bool Valid(H h) { return h != nullptr; }
    static void Close(H h) { CloseFn(h); }
};
// Any GDI object released with DeleteObject, kept as its own handle type so callers need no cast.
template <typename H>
struct GdiTraits {
    static H None() { return nullptr; }
    static bool Valid(H h) { return h != nullptr; }
    static void Close(H h) { DeleteObject(h); }
};
struct KernelTraits {
    static HANDLE None() { return nullptr; }
    static bool Valid(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) { CloseHandle(h); }
};
struct RegKeyTraits {
    static HKEY None() { return nullptr; }
    static bool Valid(HKEY h) { return h != nullptr; }
    static void Close(HKEY h) { RegCloseKey(h); }
};

template <typename H>
using UniqueGdiObject = UniqueHandle<H, GdiTraits<H>>;
using UniqueBitmap = UniqueGdiObject<HBITMAP>;
using UniquePen = UniqueGdiObject<HPEN>;
using UniqueBrush = UniqueGdiObject<HBRUSH>;
using UniqueFont = UniqueGdiObject<HFONT>;
using UniquePalette = UniqueGdiObject<HPALETTE>;
using UniqueRegion = UniqueGdiObject<HRGN>;
using MemoryDC = UniqueHandle<HDC, SimpleTraits<HDC, DeleteDC>>;
using UniqueModule = UniqueHandle<HMODULE, SimpleTraits<HMODULE, FreeLibrary>>;
using UniqueHook = UniqueHandle<HHOOK, SimpleTraits<HHOOK, UnhookWindowsHookEx>>;
using UniqueKernel = UniqueHandle<HANDLE, KernelTraits>;
using UniqueRegKey = UniqueHandle<HKEY, RegKeyTraits>;
using UniqueIcon = UniqueHandle<HICON, SimpleTraits<HICON, DestroyIcon>>;

// A DC obtained with GetDC/GetWindowDC: released to its window.
class WindowDC {
public:
    WindowDC(HWND w, HDC dc) : wnd_(w), dc_(dc) {}
    static WindowDC Client(HWND w) { return WindowDC(w, GetDC(w)); }
    static WindowDC Whole(HWND w) { return WindowDC(w, GetWindowDC(w)); }
    ~WindowDC() { if (dc_) ReleaseDC(wnd_, dc_); }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    WindowDC(WindowDC&& o) noexcept : wnd_(o.wnd_), dc_(std::exchange(o.dc_, nullptr)) {}
    HDC get() const { return dc_; }

private:
    HWND wnd_;
    HDC dc_;
};

// An object selected into a DC; the previous one goes back on destruction.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ obj) : dc_(dc), old_(obj ? SelectObject(dc, obj) : nullptr) {}
    ~SelectedObject() { if (old_) SelectObject(dc_, old_); }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

// A timer of a window, killed on destruction.
class WindowTimer {
public:
    WindowTimer() = default;
    WindowTimer(HWND w, UINT_PTR id, UINT ms) : wnd_(w), id_(SetTimer(w, id, ms, nullptr)) {}
    ~WindowTimer() { reset(); }
    WindowTimer(const WindowTimer&) = delete;
    WindowTimer& operator=(const WindowTimer&) = delete;
    WindowTimer(WindowTimer&& o) noexcept : wnd_(o.wnd_), id_(std::exchange(o.id_, 0)) {}
    WindowTimer& operator=(WindowTimer&& o) noexcept {
        if (this != &o) { reset(); wnd_ = o.wnd_; id_ = std::exchange(o.id_, 0); }
        return *this;
    }
    void reset() { if (id_) KillTimer(wnd_, id_); id_ = 0; }
    explicit operator bool() const { return id_ != 0; }

private:
    HWND wnd_ = nullptr;
    UINT_PTR id_ = 0;
};

// A COM interface pointer, released on destruction.
template <typename T>
class ComPtr {
public:
    ComPtr() = default;
    explicit ComPtr(T* p) : p_(p) {}
    ~ComPtr() { reset(); }
    ComPtr(const ComPtr& o) : p_(o.p_) { if (p_) p_->AddRef(); }
    ComPtr& operator=(const ComPtr& o) {
        if (this != &o) { if (o.p_) o.p_->AddRef(); reset(); p_ = o.p_; }
        return *this;
    }
    ComPtr(ComPtr&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
    ComPtr& operator=(ComPtr&& o) noexcept {
        if (this != &o) { reset(); p_ = std::exchange(o.p_, nullptr); }
        return *this;
    }
    T* get() const { return p_; }
    T* operator->() const { return p_; }
    T** put() { reset(); return &p_; }
    explicit operator bool() const { return p_ != nullptr; }
    void reset() { if (p_) p_->Release(); p_ = nullptr; }

private:
    T* p_ = nullptr;
};

}  // namespace plenvue
