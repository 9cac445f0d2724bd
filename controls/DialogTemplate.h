// An in-memory dialog template, so a dialog needs no resource of the executable (and the Windows
// tests, which link no resources, can show the same dialogs). Layout in dialog units.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace plenvue {

// Predefined control classes of a template item.
inline constexpr uint16_t kDlgButton = 0x0080;
inline constexpr uint16_t kDlgEdit = 0x0081;
inline constexpr uint16_t kDlgStatic = 0x0082;
inline constexpr uint16_t kDlgListBox = 0x0083;

class DialogTemplate {
public:
    // `style` should carry DS_SETFONT (0x40) when a font is given.
    DialogTemplate(uint32_t style, int16_t x, int16_t y, int16_t cx, int16_t cy, std::string_view title,
                   uint16_t pointSize = 8, std::string_view fontName = "MS Shell Dlg");
    // A control of a predefined class.
    void Add(uint16_t atom, std::string_view text, uint16_t id, uint32_t style, int16_t x, int16_t y,
             int16_t cx, int16_t cy, uint32_t exStyle = 0);
    // A control of a named window class ("msctls_hotkey32").
    void Add(std::string_view className, std::string_view text, uint16_t id, uint32_t style, int16_t x,
             int16_t y, int16_t cx, int16_t cy, uint32_t exStyle = 0);
    uint16_t Count() const { return count_; }
    // The template as the platform reads it; its storage is 4-byte aligned.
    const std::vector<uint32_t>& Data();

private:
    void Word(uint16_t w);
    void DWord(uint32_t d);
    void Text(std::string_view s);  // UTF-8 (else Windows-1252 bytes widened as Latin-1), zero-terminated
    void Align4();
    void BeginItem(uint32_t style, uint32_t exStyle, int16_t x, int16_t y, int16_t cx, int16_t cy, uint16_t id);

    std::vector<uint16_t> words_;
    std::vector<uint32_t> data_;
    uint16_t count_ = 0;
};

}  // namespace plenvue
