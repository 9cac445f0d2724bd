// Parts of the system's open and save dialogs that tests fill in, shared by the Windows tests and
// the end-to-end probe.
#pragma once
#include <windows.h>

namespace plenvue::test {

// The file-name edit of an open or save dialog, wherever the dialog nests it (a plain edit, or the
// edit inside a combo box, as the old and the new dialog layouts do).
inline HWND FileNameEdit(HWND dialog) {
    for (int id : {0x47C, 0x480}) {
        HWND c = GetDlgItem(dialog, id);
        if (!c) continue;
        char cls[64] = {};
        GetClassNameA(c, cls, sizeof cls);
        if (lstrcmpiA(cls, "Edit") == 0) return c;
        for (HWND inner = c; inner;) {
            if (HWND edit = FindWindowExA(inner, nullptr, "Edit", nullptr)) return edit;
            inner = FindWindowExA(inner, nullptr, "ComboBox", nullptr);
        }
    }
    return nullptr;
}

}  // namespace plenvue::test
