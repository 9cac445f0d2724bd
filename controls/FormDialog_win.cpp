#include "controls/FormDialog_win.h"

#include <vector>

#include "base/win/WindowThunk_win.h"
#include "base/win/WideText_win.h"
#include "base/win/Wide_win.h"

namespace plenvue {
namespace {

// A resource's name in the wide form; a number stays a number.
struct ResourceId {
    explicit ResourceId(const char* name) : text(IS_INTRESOURCE(name) ? std::wstring() : Widen(name)), id(name) {}
    LPCWSTR c_str() const { return IS_INTRESOURCE(id) ? reinterpret_cast<LPCWSTR>(id) : text.c_str(); }
    std::wstring text;
    const char* id;
};

}  // namespace

FormDialog::~FormDialog() {
    if (hwnd_ && !modal_) DestroyWindow(hwnd_);
}

void FormDialog::ShowModal(HWND owner) {
    modal_ = true;
    if (const char* name = ResourceName()) {
        DialogBoxParamW(ResourceModule(), ResourceId(name).c_str(), owner, Proc, reinterpret_cast<LPARAM>(this));
    } else {
        DialogTemplate t = Template();
        DialogBoxIndirectParamW(GetModuleHandleW(nullptr), reinterpret_cast<const DLGTEMPLATE*>(t.Data().data()),
                                owner, Proc, reinterpret_cast<LPARAM>(this));
    }
    hwnd_ = nullptr;
    modal_ = false;
}

HWND FormDialog::CreateModeless(HWND owner) {
    modal_ = false;
    if (const char* name = ResourceName())
        return CreateDialogParamW(ResourceModule(), ResourceId(name).c_str(), owner, Proc,
                                  reinterpret_cast<LPARAM>(this));
    DialogTemplate t = Template();
    return CreateDialogIndirectParamW(GetModuleHandleW(nullptr),
                                      reinterpret_cast<const DLGTEMPLATE*>(t.Data().data()), owner, Proc,
                                      reinterpret_cast<LPARAM>(this));
}

void FormDialog::Close() {
    if (!hwnd_) return;
    OnUnload();
    if (modal_) {
        EndDialog(hwnd_, 0);
    } else {
        HWND h = hwnd_;
        hwnd_ = nullptr;
        DestroyWindow(h);
    }
}

INT_PTR CALLBACK FormDialog::Proc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
    if (msg == WM_INITDIALOG) {
        auto* self = reinterpret_cast<FormDialog*>(lParam);
        SetWindowLongPtrW(dlg, DWLP_USER, lParam);
        self->hwnd_ = dlg;
        GuardedCall(dlg, 0, [self] {
            self->OnInit();
            return 0;
        });
        // A form that put the focus somewhere itself keeps it.
        HWND focus = GetFocus();
        return focus && IsChild(dlg, focus) ? FALSE : TRUE;
    }
    auto* self = reinterpret_cast<FormDialog*>(GetWindowLongPtrW(dlg, DWLP_USER));
    if (!self || self->hwnd_ != dlg) return FALSE;
    // A handler that threw has had the message: TRUE.
    return GuardedCall<INT_PTR>(dlg, TRUE, [&]() -> INT_PTR {
        if (msg == WM_COMMAND) {
            self->OnCommand(LOWORD(wParam), HIWORD(wParam));
            return TRUE;
        }
        INT_PTR result = 0;
        if (self->OnMessage(msg, wParam, lParam, result)) {
            SetWindowLongPtrW(dlg, DWLP_MSGRESULT, result);
            return TRUE;
        }
        return FALSE;
    });
}

void SetItemText(HWND dialog, int id, std::string_view text) { SetDlgItemTextW(dialog, id, Widen(text).c_str()); }

std::string ItemText(HWND dialog, int id) {
    HWND item = GetDlgItem(dialog, id);
    return item ? WindowTextOf(item) : std::string();
}

}  // namespace plenvue
