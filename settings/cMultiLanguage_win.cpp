#include "settings/cMultiLanguage_win.h"

#include <commctrl.h>

#include "settings/LanguageTag.h"
#include "base/ErrorObject.h"

namespace plenvue {

namespace {

// Failures are reported to the caller as one error number with the procedure as its source.
[[noreturn]] void RaiseLanguageError(const char* procedure) {
    char text[256] = {};
    DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, 9999, 0, text,
                             sizeof text, nullptr);
    std::string description = n ? std::string(text, n) : std::string(kLanguageUnknownError);
    while (!description.empty() && (description.back() == '\n' || description.back() == '\r'))
        description.pop_back();
    throw ErrorObject(kLanguageErrorNumber, procedure, description);
}

bool IsTextBox(HWND control) {
    char cls[32] = {};
    GetClassNameA(control, cls, sizeof cls);
    return lstrcmpiA(cls, "Edit") == 0 || lstrcmpiA(cls, "RichEdit20A") == 0;
}

void SetMenuItemCaption(HMENU menu, UINT id, const std::string& text) {
    char current[512] = {};
    GetMenuStringA(menu, id, current, sizeof current, MF_BYCOMMAND);
    std::string caption = text;
    // A shortcut shown after a tab belongs to the item, not to its caption.
    if (const char* tab = strchr(current, '\t')) caption += tab;
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STRING;
    info.dwTypeData = caption.data();
    SetMenuItemInfoA(menu, id, FALSE, &info);
}

}  // namespace

HWND CreateFormToolTips(HWND form) {
    return CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                           CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, form, nullptr, GetModuleHandleA(nullptr),
                           nullptr);
}

void SetControlToolTip(HWND toolTips, HWND control, const std::string& text) {
    if (!toolTips || !control) return;
    TTTOOLINFOA info{};
    info.cbSize = TTTOOLINFOA_V1_SIZE;
    info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    info.hwnd = GetParent(control);
    info.uId = reinterpret_cast<UINT_PTR>(control);
    info.lpszText = const_cast<char*>(text.c_str());
    if (!SendMessageA(toolTips, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&info)) ||
        ControlToolTip(toolTips, control) != text)
        SendMessageA(toolTips, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info));
}

std::string ControlToolTip(HWND toolTips, HWND control) {
    char text[512] = {};
    TTTOOLINFOA info{};
    info.cbSize = TTTOOLINFOA_V1_SIZE;
    info.hwnd = GetParent(control);
    info.uId = reinterpret_cast<UINT_PTR>(control);
    info.lpszText = text;
    if (!SendMessageA(toolTips, TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&info))) return {};
    SendMessageA(toolTips, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&info));
    return text;
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
        module_.reset(LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
        if (!module_) module_.reset(LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
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
        char buf[255] = {};
        int n = LoadStringA(module_.get(), static_cast<UINT>(lID), buf, sizeof buf);
        std::string text = n > 0 ? ItemTextFromBuffer(buf, sizeof buf) : std::string();
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
        if (!caption.empty()) SetWindowTextA(form.Window, caption.c_str());
    }
    for (const LanguageControl& c : form.Controls) {
        if (c.Window && IsTextBox(c.Window)) continue;
        LanguageTag tag = ParseLanguageTag(c.Tag);
        std::string caption = lookup(tag.Caption);
        if (!caption.empty()) {
            if (c.Window) SetWindowTextA(c.Window, caption.c_str());
            else if (c.Menu) SetMenuItemCaption(c.Menu, c.MenuId, caption);
        }
        std::string tip = lookup(tag.ToolTip);
        if (!tip.empty() && c.Window && form.ToolTips) SetControlToolTip(form.ToolTips, c.Window, tip);
    }
}

}  // namespace plenvue
