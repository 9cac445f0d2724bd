// What the program's windows need of the shared language object: numbered texts and the walk that
// puts them on a form. The language packages themselves live with the settings; every layer below
// them reaches the texts through this interface.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

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

class ILanguage {
public:
    virtual ~ILanguage() = default;
    // A different name loads that package, an empty one releases it; the same name changes nothing.
    virtual void LanguagePackageFileName(const std::string& path) = 0;
    virtual const std::string& LanguagePackageFileName() const = 0;
    virtual HMODULE LanguagePackageInstance() const = 0;
    // The item's text; sDefault when missing or empty.
    virtual std::string getItemValue(int lID, const std::string& sDefault = std::string()) const = 0;
    // Puts the package's texts on the form's caption, controls and tool tips by their tags.
    virtual void setLanguage(const LanguageForm& form) const = 0;
};

}  // namespace plenvue
