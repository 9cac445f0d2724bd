#include "base/win/modCBSubclass_win.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <vector>

#include "WinTestSupport.h"

using namespace plenvue;

namespace {

constexpr UINT kProbe = WM_APP + 1;
constexpr UINT kInner = WM_APP + 2;
constexpr UINT kThrow = WM_APP + 3;

// The window's own procedure answers kProbe and kInner with wParam + 1000.
LRESULT CALLBACK BaseProc(HWND h, UINT m, WPARAM w, LPARAM l) noexcept {
    if (m == kProbe || m == kInner) return static_cast<LRESULT>(w) + 1000;
    return DefWindowProcA(h, m, w, l);
}

HWND MakeWindow() {
    static bool registered = false;
    if (!registered) {
        WNDCLASSA wc{};
        wc.lpfnWndProc = BaseProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "MsgTargetTestWindow";
        RegisterClassA(&wc);
        registered = true;
    }
    return CreateWindowExA(0, "MsgTargetTestWindow", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

struct Window {
    HWND h = MakeWindow();
    ~Window() {
        if (IsWindow(h)) DestroyWindow(h);
    }
};

class Recorder : public IMessageTarget {
public:
    void Message(int32_t slot, HWND window, UINT message, WPARAM wParam, LPARAM,
                 LRESULT& result) override {
        if (message == kProbe) {
            seen.push_back(static_cast<int>(wParam));
            if (wParam == 1) {
                // Re-entered: the inner message must not disturb this one's default processing.
                innerResult = SendMessageA(window, kInner, 7, 0);
            }
            if (wParam == 2) {
                result = 5;
                return;
            }
            result = DefaultProcessing(slot);
            return;
        }
        if (message == kInner) {
            seen.push_back(-static_cast<int>(wParam));
            result = DefaultProcessing(slot);
            return;
        }
        if (message == kThrow) {
            result = 42;
            throw std::runtime_error("handler failed");
        }
        result = DefaultProcessing(slot);
    }
    std::vector<int> seen;
    LRESULT innerResult = 0;
};

WNDPROC ProcOf(HWND h) { return reinterpret_cast<WNDPROC>(GetWindowLongPtrA(h, GWLP_WNDPROC)); }

}  // namespace

TEST(MessageTarget, AttachRoutesMessagesAndDetachRestoresTheOriginalProcedure) {
    Window w;
    Recorder target;
    WNDPROC original = ProcOf(w.h);
    int32_t slot = AttachMessageTarget(w.h, &target);
    ASSERT_EQ(slot, 1);
    EXPECT_NE(ProcOf(w.h), original);
    EXPECT_EQ(reinterpret_cast<INT_PTR>(GetPropA(w.h, "Prop_HookID")), 1);
    EXPECT_EQ(SendMessageA(w.h, kProbe, 3, 0), 1003);  // default processing reaches the old procedure
    EXPECT_EQ(SendMessageA(w.h, kProbe, 2, 0), 5);     // the handler's own result
    EXPECT_EQ(AttachMessageTarget(w.h, &target), 0);    // a window takes one slot only
    DetachMessageTarget(w.h);
    EXPECT_EQ(ProcOf(w.h), original);
    EXPECT_EQ(GetPropA(w.h, "Prop_HookID"), nullptr);
    EXPECT_EQ(SendMessageA(w.h, kProbe, 2, 0), 1002);
    EXPECT_EQ(target.seen, (std::vector<int>{3, 2}));
    DetachMessageTarget(w.h);  // a second detach leaves the window alone
    EXPECT_EQ(ProcOf(w.h), original);
}

TEST(MessageTarget, WindowWithoutSlotNumberIsAnsweredWithZero) {
    Window w;
    Recorder target;
    ASSERT_EQ(AttachMessageTarget(w.h, &target), 1);
    WNDPROC slotProc = ProcOf(w.h);
    // Another window handed to the slot procedure, and the subscribed one after losing its property.
    Window other;
    EXPECT_EQ(CallWindowProcA(slotProc, other.h, kProbe, 9, 0), 0);
    RemovePropA(w.h, "Prop_HookID");
    EXPECT_EQ(SendMessageA(w.h, kProbe, 9, 0), 0);
    EXPECT_TRUE(target.seen.empty());
    SetPropA(w.h, "Prop_HookID", reinterpret_cast<HANDLE>(1));
    DetachMessageTarget(w.h);
}

TEST(MessageTarget, SlotsAreLimitedAndAFreedSlotIsTakenAgain) {
    std::vector<std::unique_ptr<Window>> windows;
    Recorder target;
    for (int i = 1; i <= kMessageTargetSlots; ++i) {
        windows.push_back(std::make_unique<Window>());
        EXPECT_EQ(AttachMessageTarget(windows.back()->h, &target), i);
    }
    Window extra;
    WNDPROC original = ProcOf(extra.h);
    EXPECT_EQ(AttachMessageTarget(extra.h, &target), 0);
    EXPECT_EQ(ProcOf(extra.h), original);
    EXPECT_EQ(GetPropA(extra.h, "Prop_HookID"), nullptr);
    DetachMessageTarget(windows[2]->h);
    EXPECT_EQ(AttachMessageTarget(extra.h, &target), 3);
    EXPECT_EQ(SendMessageA(extra.h, kProbe, 4, 0), 1004);
    DetachMessageTarget(extra.h);
    for (auto& w : windows) DetachMessageTarget(w->h);
}

TEST(MessageTarget, HandlerSendingToItsOwnWindowKeepsTheOuterMessage) {
    Window w;
    Recorder target;
    ASSERT_GT(AttachMessageTarget(w.h, &target), 0);
    // The outer default processing must still see message kProbe with wParam 1.
    EXPECT_EQ(SendMessageA(w.h, kProbe, 1, 0), 1001);
    EXPECT_EQ(target.innerResult, 1007);
    EXPECT_EQ(target.seen, (std::vector<int>{1, -7}));
    DetachMessageTarget(w.h);
}

TEST(MessageTarget, FailingHandlerReturnsTheResultSetSoFar) {
    Window w;
    Recorder target;
    ASSERT_GT(AttachMessageTarget(w.h, &target), 0);
    plenvue::test::MessageBoxCloser closer;
    EXPECT_EQ(SendMessageA(w.h, kThrow, 0, 0), 42);
    EXPECT_EQ(closer.Wait(), "handler failed");  // shown, not swallowed
    DetachMessageTarget(w.h);
}

TEST(MessageTarget, OwnerDetachesOnDestructionAndDestroyedWindowFreesItsSlot) {
    Recorder target;
    Window w;
    WNDPROC original = ProcOf(w.h);
    {
        MessageTargetAttachment owner;
        EXPECT_EQ(owner.Attach(w.h, &target), 1);
    }
    EXPECT_EQ(ProcOf(w.h), original);
    EXPECT_EQ(GetPropA(w.h, "Prop_HookID"), nullptr);

    MessageTargetAttachment owner;
    HWND doomed = MakeWindow();
    ASSERT_EQ(owner.Attach(doomed, &target), 1);
    DestroyWindow(doomed);
    // The slot came free with the window's last message.
    EXPECT_EQ(AttachMessageTarget(w.h, &target), 1);
    owner.Reset();  // must not touch the slot now held by another window
    EXPECT_EQ(SendMessageA(w.h, kProbe, 6, 0), 1006);
    DetachMessageTarget(w.h);
}

TEST(MessageTarget, WordHelpersSplitAndJoinSixteenBitHalves) {
    EXPECT_EQ(LoWord(static_cast<int32_t>(0xFFFF8001u)), 0x8001);
    EXPECT_EQ(HiWord(static_cast<int32_t>(0xFFFF8001u)), -1);
    EXPECT_EQ(HiWord(0x12345678), 0x1234);
    EXPECT_EQ(MakeDWord(0x12345, -2), static_cast<int32_t>(0xFFFE2345u));
}
