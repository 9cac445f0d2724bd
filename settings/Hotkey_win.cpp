#include "settings/Hotkey_win.h"

#include <commctrl.h>

#include "settings/HotkeyNames.h"

namespace plenvue {

namespace {
void InitHotkeyClassOnce() {
    static bool done = false;
    if (done) return;
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_HOTKEY_CLASS};
    done = InitCommonControlsEx(&icc) != FALSE;
}
}  // namespace

HWND Hotkey::Create(HWND parent, int x, int y, int width, int height, int id) {
    if (hwnd_) return hwnd_;
    InitHotkeyClassOnce();
    hwnd_ = CreateWindowExW(WS_EX_CLIENTEDGE, HOTKEY_CLASSW, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, x, y, width,
                            height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                            GetModuleHandleW(nullptr), nullptr);
    if (!hwnd_) return nullptr;
    font_ = HotkeyFont{};
    ApplyFont();
    SetWord(WithHotkeyModifier(WithHotkeyKey(0, kHotkeyDefaultKey), kHotkeyDefaultModifier));
    SetFocus(hwnd_);
    return hwnd_;
}

void Hotkey::Destroy() {
    if (hwnd_ && IsWindow(hwnd_)) DestroyWindow(hwnd_);
    hwnd_ = nullptr;
    fontHandle_.reset();
}

void Hotkey::Move(int x, int y, int width, int height) {
    if (hwnd_) MoveWindow(hwnd_, x, y, width, height, TRUE);
}

int32_t Hotkey::HotKeyAndModifier() const {
    return hwnd_ ? static_cast<int32_t>(SendMessageW(hwnd_, HKM_GETHOTKEY, 0, 0) & 0xFFFF) : 0;
}

void Hotkey::SetWord(uint16_t word) {
    if (hwnd_) SendMessageW(hwnd_, HKM_SETHOTKEY, word, 0);
}

void Hotkey::Key(int32_t key) {
    if ((key & 0xFF) == Key()) return;
    SetWord(WithHotkeyKey(static_cast<uint16_t>(HotKeyAndModifier()), key));
}

void Hotkey::HotkeyModifier(int32_t modifier) {
    if ((modifier & 0xFF) == HotkeyModifier()) return;
    SetWord(WithHotkeyModifier(static_cast<uint16_t>(HotKeyAndModifier()), modifier));
}

std::string Hotkey::GetHotkeyName() const {
    if (!hwnd_) return {};
    return plenvue::GetHotkeyName(HotkeyModifier(), Key());
}

void Hotkey::Font(const HotkeyFont& font) {
    if (font == font_) return;
    font_ = font;
    ApplyFont();
}

void Hotkey::ApplyFont() {
    if (!hwnd_) return;
    int dpi = 96;
    if (WindowDC screen = WindowDC::Client(nullptr); screen.get()) dpi = GetDeviceCaps(screen.get(), LOGPIXELSY);
    LOGFONTA lf{};
    lf.lfHeight = -MulDiv(font_.Size, dpi, 72);
    lf.lfWeight = font_.Bold ? 700 : 400;
    lf.lfItalic = font_.Italic;
    lf.lfUnderline = font_.Underline;
    lf.lfStrikeOut = font_.Strikethrough;
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(lf.lfFaceName, font_.Name.c_str(), LF_FACESIZE);
    UniqueFont next(CreateFontIndirectA(&lf));
    SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(next.get()), TRUE);
    fontHandle_ = std::move(next);  // the previous font is deleted only after the control let go of it
}

void Hotkey::InvalidHotKeyOperation(int32_t invalidCombinations, int32_t replacementModifiers, bool state) {
    invalidRules_ = HotkeyRuleWord(invalidRules_, invalidCombinations, state);
    replacementRules_ = HotkeyRuleWord(replacementRules_, replacementModifiers, state);
    if (hwnd_) SendMessageW(hwnd_, HKM_SETRULES, static_cast<WPARAM>(invalidRules_), replacementRules_);
}

void Hotkey::SetApplicationHotKey(HWND window) {
    auto result = static_cast<int32_t>(SendMessageW(window, WM_SETHOTKEY, static_cast<WPARAM>(HotKeyAndModifier()), 0));
    if (auto error = SetApplicationHotKeyError(result)) throw *error;
}

bool RegisterCaptureHotKey(HWND window, int id, int32_t modifier, int32_t key) {
    return RegisterHotKey(window, id, static_cast<UINT>(ControlToRegisterModifiers(modifier)),
                          static_cast<UINT>(key)) != FALSE;
}

}  // namespace plenvue
