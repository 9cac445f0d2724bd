// The hot key control: hosts the platform's "msctls_hotkey32" window and turns its value into a
// modifier set, a key code and a display name.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

#include "settings/Hotkey.h"
#include "base/win/Handles_win.h"

namespace plenvue {

struct HotkeyFont {
    std::string Name = kHotkeyDefaultFontName;
    int32_t Size = kHotkeyDefaultFontSize;  // points
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool Strikethrough = false;
    bool operator==(const HotkeyFont&) const = default;
};

class Hotkey {
public:
    Hotkey() = default;
    ~Hotkey() { Destroy(); }
    Hotkey(const Hotkey&) = delete;
    Hotkey& operator=(const Hotkey&) = delete;

    // Creates the hosted window (pixels) with the defaults: font "MS Sans Serif" 8, key 0,
    // modifier 4; gives it the focus. Nothing happens when it exists already.
    HWND Create(HWND parent, int x, int y, int width, int height, int id = 0);
    void Destroy();
    HWND hWnd() const { return hwnd_; }
    void Move(int x, int y, int width, int height);

    // The value word: key code in the low byte, modifier set in the high byte (0 without window).
    int32_t HotKeyAndModifier() const;
    // The key code (the control's `Hotkey` property; a member cannot share the class's name).
    int32_t Key() const { return HotKeyAndModifier() & 0xFF; }
    void Key(int32_t key);
    int32_t HotkeyModifier() const { return (HotKeyAndModifier() >> 8) & 0xFF; }
    // The new set is taken modulo 256; the same set again changes nothing.
    void HotkeyModifier(int32_t modifier);
    std::string GetHotkeyName() const;

    const HotkeyFont& Font() const { return font_; }
    void Font(const HotkeyFont& font);

    // Sets or clears bits of the rules for invalid combinations and their replacement modifiers.
    void InvalidHotKeyOperation(int32_t invalidCombinations, int32_t replacementModifiers, bool state);
    // Makes the current value the activation hot key of a top-level window; raises
    // ErrorObject (source "Plenvue.cHotKey") when the platform refuses.
    void SetApplicationHotKey(HWND window);

private:
    void ApplyFont();
    void SetWord(uint16_t word);

    HWND hwnd_ = nullptr;
    UniqueFont fontHandle_;
    HotkeyFont font_;
    int32_t invalidRules_ = 0;
    int32_t replacementRules_ = 0;
};

// Registers a capture hot key given in the hot key control's modifier encoding.
bool RegisterCaptureHotKey(HWND window, int id, int32_t modifier, int32_t key);

}  // namespace plenvue
