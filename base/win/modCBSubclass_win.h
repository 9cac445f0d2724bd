// Routes a window's raw messages to an object: the window is subclassed with one of a few slot
// procedures, and the object decides per message whether the previous procedure sees it too.
#pragma once
#include <windows.h>

#include <cstdint>

namespace plenvue {

class IMessageTarget {
public:
    // Sets result; calls DefaultProcessing(slot) for the window's ordinary behaviour.
    virtual void Message(int32_t slot, HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                         LRESULT& result) = 0;

protected:
    ~IMessageTarget() = default;
};

// Windows that can be subscribed at the same time.
constexpr int32_t kMessageTargetSlots = 5;
// The window property holding a subscribed window's slot number.
constexpr const char* kHookIdProperty = "Prop_HookID";

// Returns the slot (1..kMessageTargetSlots), or 0 when every slot is taken, the window is already
// subscribed or cannot be subclassed. The target must outlive the subscription.
int32_t AttachMessageTarget(HWND window, IMessageTarget* target);
// Puts the previous procedure back; a window without a slot is left alone.
void DetachMessageTarget(HWND window);
// Hands the message being delivered through the slot to the previous procedure.
LRESULT DefaultProcessing(int32_t slot);

// High and low words of a 32-bit value, and a value built from two words.
inline int32_t HiWord(int32_t v) { return static_cast<int16_t>(static_cast<uint32_t>(v) >> 16); }
inline int32_t LoWord(int32_t v) { return static_cast<int32_t>(static_cast<uint32_t>(v) & 0xFFFFu); }
inline int32_t MakeDWord(int32_t x, int32_t y) {
    return static_cast<int32_t>((static_cast<uint32_t>(y) << 16) | (static_cast<uint32_t>(x) & 0xFFFFu));
}

// Owns one subscription: detaches when reset or destroyed, unless the window went first.
class MessageTargetAttachment {
public:
    MessageTargetAttachment() = default;
    ~MessageTargetAttachment() { Reset(); }
    MessageTargetAttachment(const MessageTargetAttachment&) = delete;
    MessageTargetAttachment& operator=(const MessageTargetAttachment&) = delete;

    // Returns the slot, or 0 on failure; an earlier subscription is ended first.
    int32_t Attach(HWND window, IMessageTarget* target);
    void Reset() noexcept;
    int32_t Slot() const { return slot_; }
    HWND Window() const { return window_; }

private:
    HWND window_ = nullptr;
    int32_t slot_ = 0;
};

}  // namespace plenvue
