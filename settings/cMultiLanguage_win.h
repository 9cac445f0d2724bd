// A language package: a module of numbered strings, loaded as data so no code in it ever runs,
// and the walk that puts its texts on a form's controls and menu items.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "shell/Handles_win.h"

namespace plenvue {

// One control or menu item of a form with its tag ("1103", "2017|2019", "|2019").
struct LanguageControl {
    HWND Window = nullptr;  // a control, or nullptr for a menu item
    HMENU Menu = nullptr;   // the menu holding the item
    UINT MenuId = 0;
    std::string Tag;
};

// What setLanguage walks: the form's window and tag, its controls in control order, and the
// tool-tip window that shows its controls' tips (none: tool-tip items are skipped).
struct LanguageForm {
    HWND Window = nullptr;
    std::string Tag;
    std::vector<LanguageControl> Controls;
    HWND ToolTips = nullptr;

    void Add(HWND control, std::string tag) { Controls.push_back({control, nullptr, 0, std::move(tag)}); }
    void AddMenuItem(HMENU menu, UINT id, std::string tag) {
        Controls.push_back({nullptr, menu, id, std::move(tag)});
    }
    // The tag of a control; an untagged control gets an entry.
    std::string& TagOf(HWND control);
};

// A tool-tip window for a form's controls, owned by the form (destroyed with it).
HWND CreateFormToolTips(HWND form);
// Sets or replaces the tip of one control.
void SetControlToolTip(HWND toolTips, HWND control, const std::string& text);
// The tip currently set for a control ("" when none).
std::string ControlToolTip(HWND toolTips, HWND control);

class cMultiLanguage {
public:
    cMultiLanguage() = default;
    ~cMultiLanguage();
    cMultiLanguage(const cMultiLanguage&) = delete;
    cMultiLanguage& operator=(const cMultiLanguage&) = delete;

    // A different name loads that file as a data file (resources only), releasing the previous
    // module; an empty name releases it. The same name again changes nothing.
    void LanguagePackageFileName(const std::string& path);
    const std::string& LanguagePackageFileName() const { return file_; }
    HMODULE LanguagePackageInstance() const;

    // The item's text in the ANSI code page, cut at 254 characters; sDefault when missing or empty.
    std::string getItemValue(int lID, const std::string& sDefault = std::string()) const;

    // Puts the package's texts on the form: its caption, then each control's caption and tool tip
    // by its tag. Text boxes and empty items are left alone; a failing step is skipped.
    void setLanguage(const LanguageForm& form) const;

private:
    std::string file_;
    UniqueModule module_;
};

}  // namespace plenvue
