// A language package: a module of numbered strings, loaded as data so no code in it ever runs,
// and the walk that puts its texts on a form's controls and menu items.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "base/win/Handles_win.h"
#include "base/win/Language_win.h"

namespace plenvue {

// A tool-tip window for a form's controls, owned by the form (destroyed with it).
HWND CreateFormToolTips(HWND form);
// Sets or replaces the tip of one control.
void SetControlToolTip(HWND toolTips, HWND control, const std::string& text);
// The tip currently set for a control ("" when none).
std::string ControlToolTip(HWND toolTips, HWND control);

class cMultiLanguage final : public ILanguage {
public:
    cMultiLanguage() = default;
    ~cMultiLanguage() override;
    cMultiLanguage(const cMultiLanguage&) = delete;
    cMultiLanguage& operator=(const cMultiLanguage&) = delete;

    // A different name loads that file as a data file (resources only), releasing the previous
    // module; an empty name releases it. The same name again changes nothing.
    void LanguagePackageFileName(const std::string& path) override;
    const std::string& LanguagePackageFileName() const override { return file_; }
    HMODULE LanguagePackageInstance() const override;

    // The item's text in the ANSI code page, cut at 254 characters; sDefault when missing or empty.
    std::string getItemValue(int lID, const std::string& sDefault = std::string()) const override;

    // Puts the package's texts on the form: its caption, then each control's caption and tool tip
    // by its tag. Text boxes and empty items are left alone; a failing step is skipped.
    void setLanguage(const LanguageForm& form) const override;

private:
    std::string file_;
    UniqueModule module_;
};

}  // namespace plenvue
