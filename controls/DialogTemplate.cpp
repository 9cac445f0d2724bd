#include "controls/DialogTemplate.h"

#include "base/Utf.h"

#include <cstring>

namespace plenvue {

namespace {
constexpr size_t kCountWord = 4;  // after style (2 words) and extended style (2 words)
}

DialogTemplate::DialogTemplate(uint32_t style, int16_t x, int16_t y, int16_t cx, int16_t cy,
                               std::string_view title, uint16_t pointSize, std::string_view fontName) {
    DWord(style);
    DWord(0);
    Word(0);  // item count, filled in by Add
    Word(static_cast<uint16_t>(x));
    Word(static_cast<uint16_t>(y));
    Word(static_cast<uint16_t>(cx));
    Word(static_cast<uint16_t>(cy));
    Word(0);  // no menu
    Word(0);  // default class
    Text(title);
    if (style & 0x40) {
        Word(pointSize);
        Text(fontName);
    }
}

void DialogTemplate::Word(uint16_t w) { words_.push_back(w); }

void DialogTemplate::DWord(uint32_t d) {
    Word(static_cast<uint16_t>(d & 0xFFFF));
    Word(static_cast<uint16_t>(d >> 16));
}

void DialogTemplate::Text(std::string_view s) {
    // The program's texts are UTF-8; text that is not (Windows-1252 bytes) is widened as Latin-1.
    if (auto wide = Utf8ToUtf16(s)) {
        for (char16_t c : *wide) Word(static_cast<uint16_t>(c));
    } else {
        for (char c : s) Word(static_cast<uint8_t>(c));
    }
    Word(0);
}

void DialogTemplate::Align4() {
    if (words_.size() % 2) Word(0);
}

void DialogTemplate::BeginItem(uint32_t style, uint32_t exStyle, int16_t x, int16_t y, int16_t cx, int16_t cy,
                               uint16_t id) {
    Align4();
    DWord(style);
    DWord(exStyle);
    Word(static_cast<uint16_t>(x));
    Word(static_cast<uint16_t>(y));
    Word(static_cast<uint16_t>(cx));
    Word(static_cast<uint16_t>(cy));
    Word(id);
    words_[kCountWord] = ++count_;
}

void DialogTemplate::Add(uint16_t atom, std::string_view text, uint16_t id, uint32_t style, int16_t x, int16_t y,
                         int16_t cx, int16_t cy, uint32_t exStyle) {
    BeginItem(style, exStyle, x, y, cx, cy, id);
    Word(0xFFFF);
    Word(atom);
    Text(text);
    Word(0);  // no creation data
}

void DialogTemplate::Add(std::string_view className, std::string_view text, uint16_t id, uint32_t style, int16_t x,
                         int16_t y, int16_t cx, int16_t cy, uint32_t exStyle) {
    BeginItem(style, exStyle, x, y, cx, cy, id);
    Text(className);
    Text(text);
    Word(0);
}

const std::vector<uint32_t>& DialogTemplate::Data() {
    data_.assign((words_.size() + 1) / 2, 0);
    std::memcpy(data_.data(), words_.data(), words_.size() * sizeof(uint16_t));
    return data_;
}

}  // namespace plenvue
