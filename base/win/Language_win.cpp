#include "base/win/Language_win.h"

namespace plenvue {

std::string& LanguageForm::TagOf(HWND control) {
    for (LanguageControl& c : Controls)
        if (c.Window == control) return c.Tag;
    Controls.push_back({control, nullptr, 0, {}});
    return Controls.back().Tag;
}

}  // namespace plenvue
