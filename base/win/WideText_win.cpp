#include "base/win/WideText_win.h"

#include <vector>

#include "base/MessageText.h"
#include "base/win/Wide_win.h"

namespace plenvue {

std::string ModulePath(HMODULE module) {
    // Long program folders exceed MAX_PATH; the buffer grows until the name fits.
    for (DWORD size = MAX_PATH; size <= 32768 * 2; size *= 2) {
        std::vector<wchar_t> buffer(size);
        DWORD n = GetModuleFileNameW(module, buffer.data(), size);
        if (n == 0) return {};
        if (n < size) return NarrowChecked(std::wstring_view(buffer.data(), n)).value_or(std::string());
    }
    return {};
}

std::string TempFolderPath() {
    wchar_t buffer[MAX_PATH + 1] = {};
    DWORD n = GetTempPathW(MAX_PATH + 1, buffer);
    if (n == 0 || n > MAX_PATH) return {};
    std::string path = NarrowChecked(std::wstring_view(buffer, n)).value_or(std::string());
    if (!path.empty() && path.back() != '\\') path += '\\';
    return path;
}

std::string SystemErrorText(uint32_t code) {
    wchar_t buffer[256];
    DWORD n = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, buffer,
                             256, nullptr);
    return n ? Narrow(std::wstring_view(buffer, n)) : std::string();
}

std::string SystemErrorLine(uint32_t code) { return TrimLineEnd(SystemErrorText(code)); }

int ShowMessageBox(HWND owner, std::string_view text, std::string_view caption, UINT type) {
    return MessageBoxW(owner, Widen(text).c_str(), Widen(caption).c_str(), type);
}

std::string WindowTextOf(HWND window) {
    int n = GetWindowTextLengthW(window);
    if (n <= 0) return {};
    std::wstring text(static_cast<size_t>(n) + 1, L'\0');
    int got = GetWindowTextW(window, text.data(), n + 1);
    text.resize(got > 0 ? static_cast<size_t>(got) : 0);
    return Narrow(text);
}

BOOL SetWindowTextUtf8(HWND window, std::string_view text) { return SetWindowTextW(window, Widen(text).c_str()); }

}  // namespace plenvue
