#include "settings/cMultiLanguage_win.h"

#include <commctrl.h>

#include <cwchar>

#include "settings/LanguageTag.h"
#include "base/ErrorObject.h"
#include "base/win/WideText_win.h"
#include "base/win/Wide_win.h"

namespace plenvue {

namespace {

// Failures are reported to the caller as one error number with the procedure as its source.
[[noreturn]] void RaiseLanguageError(const char* procedure) {
    std::string description = SystemErrorLine(9999);
    if (description.empty()) description = kLanguageUnknownError;
    throw ErrorObject(kLanguageErrorNumber, procedure, description);
}

bool IsTextBox(HWND control) {
    wchar_t cls[32] = {};
    GetClassNameW(control, cls, 32);
    return lstrcmpiW(cls, L"Edit") == 0 || lstrcmpiW(cls, L"RichEdit20A") == 0 || lstrcmpiW(cls, L"RichEdit20W") == 0;
}

void SetMenuItemCaption(HMENU menu, UINT id, const std::string& text) {
    wchar_t current[512] = {};
    GetMenuStringW(menu, id, current, 512, MF_BYCOMMAND);
    std::wstring caption = Widen(text);
    // A shortcut shown after a tab belongs to the item, not to its caption.
    if (const wchar_t* tab = wcschr(current, L'\t')) caption += tab;
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STRING;
    info.dwTypeData = caption.data();
    SetMenuItemInfoW(menu, id, FALSE, &info);
}

}  // namespace

HWND CreateFormToolTips(HWND form) {
    return CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                           CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, form, nullptr, GetModuleHandleW(nullptr),
                           nullptr);
}

void SetControlToolTip(HWND toolTips, HWND control, const std::string& text) {
    if (!toolTips || !control) return;
    std::wstring wide = Widen(text);
    TTTOOLINFOW info{};
    info.cbSize = TTTOOLINFOW_V1_SIZE;
    info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    info.hwnd = GetParent(control);
    info.uId = reinterpret_cast<UINT_PTR>(control);
    info.lpszText = wide.data();
    if (!SendMessageW(toolTips, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&info)) ||
        ControlToolTip(toolTips, control) != Narrow(wide))
        SendMessageW(toolTips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
}

std::string ControlToolTip(HWND toolTips, HWND control) {
    wchar_t text[512] = {};
    TTTOOLINFOW info{};
    info.cbSize = TTTOOLINFOW_V1_SIZE;
    info.hwnd = GetParent(control);
    info.uId = reinterpret_cast<UINT_PTR>(control);
    info.lpszText = text;
    if (!SendMessageW(toolTips, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&info))) return {};
    SendMessageW(toolTips, TTM_GETTEXTW, 512, reinterpret_cast<LPARAM>(&info));
    return Narrow(text);
}

cMultiLanguage::~cMultiLanguage() {
    try {
        module_.reset();
    } catch (...) {
        // Nothing may leave a destructor; the loader releases the mapping at exit anyway.
    }
}

void cMultiLanguage::LanguagePackageFileName(const std::string& path) {
    try {
        if (path == file_) return;
        file_ = path;
        module_.reset();
        if (path.empty()) return;
        // As data only: an entry point in a file put into the Language folder never runs.
        std::wstring name = WideName(path);
        module_.reset(LoadLibraryExW(name.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
        if (!module_) module_.reset(LoadLibraryExW(name.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    } catch (const ErrorObject&) {
        throw;
    } catch (...) {
        RaiseLanguageError("LanguagePackageFileName Property");
    }
}

HMODULE cMultiLanguage::LanguagePackageInstance() const { return module_.get(); }

std::string cMultiLanguage::getItemValue(int lID, const std::string& sDefault) const {
    try {
        if (!module_) return sDefault;
        // The package holds UTF-16; the narrow form would lose what the ANSI code page lacks.
        wchar_t buf[255] = {};
        int n = LoadStringW(module_.get(), static_cast<UINT>(lID), buf, 255);
        std::string text = Narrow(ItemTextSpan(buf, n > 0 ? static_cast<size_t>(n) : 0));
        return text.empty() ? sDefault : text;
    } catch (...) {
        RaiseLanguageError("getItemValue Function");
    }
}

void cMultiLanguage::setLanguage(const LanguageForm& form) const {
    auto lookup = [this](const std::optional<int32_t>& item) -> std::string {
        if (!item) return {};
        try {
            return getItemValue(*item, "");
        } catch (...) {
            return {};
        }
    };
    if (form.Window) {
        std::string caption = lookup(ParseLanguageTag(form.Tag).Caption);
        if (!caption.empty()) SetWindowTextUtf8(form.Window, caption);
    }
    for (const LanguageControl& c : form.Controls) {
        if (c.Window && IsTextBox(c.Window)) continue;
        LanguageTag tag = ParseLanguageTag(c.Tag);
        std::string caption = lookup(tag.Caption);
        if (!caption.empty()) {
            if (c.Window) SetWindowTextUtf8(c.Window, caption);
            else if (c.Menu) SetMenuItemCaption(c.Menu, c.MenuId, caption);
        }
        std::string tip = lookup(tag.ToolTip);
        if (!tip.empty() && c.Window && form.ToolTips) SetControlToolTip(form.ToolTips, c.Window, tip);
    }
}

}  // namespace plenvue
