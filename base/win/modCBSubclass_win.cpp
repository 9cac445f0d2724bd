#include "base/win/modCBSubclass_win.h"

#include <array>
#include <utility>

#include "base/win/WindowThunk_win.h"

namespace plenvue {

namespace {

struct Slot {
    WNDPROC oldProc = nullptr;  // null marks a free slot
    IMessageTarget* target = nullptr;
    HWND window = nullptr;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    unsigned generation = 0;  // tells a delivery whether its slot was reused meanwhile
};

std::array<Slot, kMessageTargetSlots> g_slots;

int32_t SlotOf(HWND window) {
    if (!window) return 0;
    auto v = reinterpret_cast<INT_PTR>(GetPropA(window, kHookIdProperty));
    return v > 0 && v <= kMessageTargetSlots ? static_cast<int32_t>(v) : 0;
}

LRESULT Deliver(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    int32_t n = SlotOf(window);
    if (n == 0) return 0;
    Slot& s = g_slots[n - 1];
    if (!s.oldProc || s.window != window) return 0;
    // A handler may send a message to its own window: the inner delivery records its own message
    // and the outer one gets its record back afterwards, so its DefaultProcessing stays right.
    const UINT savedMessage = s.message;
    const WPARAM savedW = s.wParam;
    const LPARAM savedL = s.lParam;
    const unsigned generation = s.generation;
    s.message = message;
    s.wParam = wParam;
    s.lParam = lParam;
    LRESULT result = 0;
    try {
        s.target->Message(n, window, message, wParam, lParam, result);
    } catch (...) {
        // Shown as every window procedure shows it; the result so far stands.
        ShowWindowException(window);
    }
    if (s.generation != generation) return result;  // detached meanwhile
    s.message = savedMessage;
    s.wParam = savedW;
    s.lParam = savedL;
    if (message == WM_NCDESTROY) DetachMessageTarget(window);  // the last message: free the slot
    return result;
}

template <int N>
LRESULT CALLBACK SlotProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    return Deliver(window, message, wParam, lParam);
}

template <std::size_t... I>
constexpr std::array<WNDPROC, sizeof...(I)> MakeProcs(std::index_sequence<I...>) {
    return {&SlotProc<static_cast<int>(I) + 1>...};
}

constexpr std::array<WNDPROC, kMessageTargetSlots> kSlotProcs =
    MakeProcs(std::make_index_sequence<kMessageTargetSlots>{});

}  // namespace

int32_t AttachMessageTarget(HWND window, IMessageTarget* target) {
    if (!window || !target || !IsWindow(window) || SlotOf(window) != 0) return 0;
    for (int32_t n = 1; n <= kMessageTargetSlots; ++n) {
        Slot& s = g_slots[n - 1];
        if (s.oldProc) continue;
        // The property goes on first: the slot procedure may be entered as soon as it is installed.
        if (!SetPropA(window, kHookIdProperty, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(n)))) return 0;
        s.target = target;
        s.window = window;
        s.message = 0;
        s.wParam = 0;
        s.lParam = 0;
        ++s.generation;
        SetLastError(0);
        auto old = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(kSlotProcs[n - 1])));
        if (!old) {
            RemovePropA(window, kHookIdProperty);
            s = Slot{.generation = s.generation};
            return 0;
        }
        s.oldProc = old;
        return n;
    }
    return 0;
}

void DetachMessageTarget(HWND window) {
    int32_t n = SlotOf(window);
    if (n == 0) return;
    Slot& s = g_slots[n - 1];
    if (s.oldProc && s.window == window) {
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(s.oldProc));
        s = Slot{.generation = s.generation + 1};
    }
    RemovePropA(window, kHookIdProperty);
}

LRESULT DefaultProcessing(int32_t slot) {
    if (slot < 1 || slot > kMessageTargetSlots) return 0;
    const Slot& s = g_slots[slot - 1];
    if (!s.oldProc) return 0;
    return CallWindowProcW(s.oldProc, s.window, s.message, s.wParam, s.lParam);
}

int32_t MessageTargetAttachment::Attach(HWND window, IMessageTarget* target) {
    Reset();
    slot_ = AttachMessageTarget(window, target);
    window_ = slot_ ? window : nullptr;
    return slot_;
}

void MessageTargetAttachment::Reset() noexcept {
    // After the window's last message the slot is free already, and the handle may be reused.
    if (window_ && IsWindow(window_) && SlotOf(window_) == slot_) DetachMessageTarget(window_);
    window_ = nullptr;
    slot_ = 0;
}

}  // namespace plenvue
