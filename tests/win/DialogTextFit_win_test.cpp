// Every label, check box, radio button, group box and push button of every dialog shows its whole
// text, in each language package, at 96 DPI and at 144 DPI. Both are measured by scaling, as one
// process cannot change the system DPI: the dialog font made at that DPI, the dialog base units
// Windows derives from it, and each control's dialog-unit rectangle converted with them.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/win/Dpi_win.h"
#include "base/win/Handles_win.h"
#include "base/win/Wide_win.h"
#include "base/win/WideText_win.h"
#include "base/win/modDeclare_win.h"
#include "effects/FilterControls.h"
#include "effects/frmFilters_win.h"
#include "settings/CurrentSettings.h"
#include "settings/cMultiLanguage_win.h"
#include "settings/frmChoLan_win.h"
#include "settings/frmHotKey_win.h"
#include "settings/frmOptions_win.h"
#include "shell/AboutBox_win.h"

using namespace plenvue;

namespace {

std::string BinPath(const std::string& relative) {
    std::string p = "Z:" + std::string(PLENVUE_BIN_DIR) + "/" + relative;
    for (char& c : p)
        if (c == '/') c = '\\';
    return p;
}

const char* const kLanguages[] = {"English", "German"};

// How a dialog's controls grow with the DPI: by the dialog units of a template, or (dialogs laid
// out in code) by their pixels scaled from the system DPI.
enum class Layout { DialogUnits, Pixels };

// Horizontal and vertical dialog base units of a font, by the rule Windows applies to dialogs.
SIZE BaseUnits(HDC dc, HFONT font) {
    SelectedObject chosen(dc, font);
    SIZE letters{};
    GetTextExtentPoint32W(dc, L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", 52, &letters);
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    return SIZE{(letters.cx / 26 + 1) / 2, tm.tmHeight};
}

// A font made at `fromDpi` made again for `toDpi`: the dialog's from its point size, as Windows
// makes a template's font, any other by scaling its height.
UniqueFont FontAtDpi(HFONT font, bool dialogFont, int fromDpi, int toDpi) {
    LOGFONTW lf{};
    GetObjectW(font, sizeof lf, &lf);
    if (dialogFont && lf.lfHeight < 0) {
        const int points = MulDiv(-lf.lfHeight, 72, fromDpi);
        lf.lfHeight = -MulDiv(points, toDpi, 72);
    } else {
        lf.lfHeight = MulDiv(lf.lfHeight, toDpi, fromDpi);
    }
    return UniqueFont(CreateFontIndirectW(&lf));
}

// The room a control's text needs, beside the room it has; empty when it has no text to measure.
struct Need {
    bool measured = false;
    SIZE need{}, have{};
};

Need Measure(HWND control, HDC dc, HFONT font, SIZE have, int dpi) {
    Need n;
    wchar_t cls[32] = {};
    GetClassNameW(control, cls, 32);
    const LONG style = GetWindowLongW(control, GWL_STYLE);
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    if (text.empty()) return n;
    SelectedObject chosen(dc, font);
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    int padX = 0, padY = 0;  // what the control draws beside its text
    bool wraps = false;
    UINT flags = DT_CALCRECT;
    if (lstrcmpiW(cls, L"Static") == 0) {
        const LONG type = style & SS_TYPEMASK;
        if (type != SS_LEFT && type != SS_CENTER && type != SS_RIGHT) return n;
        if (style & SS_NOPREFIX) flags |= DT_NOPREFIX;
        wraps = have.cy >= 2 * tm.tmHeight;
    } else if (lstrcmpiW(cls, L"Button") == 0) {
        const LONG type = style & BS_TYPEMASK;
        if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON) {
            padX = 2 * MulDiv(4, dpi, 96);  // edge and focus frame on each side
            padY = 2 * MulDiv(2, dpi, 96);
        } else if (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_3STATE || type == BS_AUTO3STATE ||
                   type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON) {
            INT zero = 0;
            GetCharWidth32W(dc, L'0', L'0', &zero);
            padX = MulDiv(13, dpi, 96) + zero / 2 + 1;  // the glyph, its gap and the focus frame
        } else if (type == BS_GROUPBOX) {
            padX = 2 * MulDiv(8, dpi, 96);  // the caption sits inside the frame's corners
        } else {
            return n;
        }
        wraps = (style & BS_MULTILINE) != 0;
    } else {
        return n;
    }
    RECT r{0, 0, have.cx - padX, 0};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, flags | (wraps ? DT_WORDBREAK : DT_SINGLELINE));
    n.measured = true;
    n.need = SIZE{r.right + padX, r.bottom + padY};
    n.have = have;
    return n;
}

// Measures every text control the dialog shows (itself created hidden) at 96 and 144 DPI, whatever
// DPI the system has; returns one line per control whose text does not fit.
std::vector<std::string> Misfits(const std::string& name, HWND dialog, Layout layout) {
    std::vector<std::string> found;
    if (!dialog) return {name + ": the dialog was not created"};
    const int systemDpi = SystemDpi();
    HFONT dialogFont = reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0));
    MemoryDC dc(CreateCompatibleDC(nullptr));
    RECT units{0, 0, 4, 8};
    MapDialogRect(dialog, &units);
    const SIZE systemBase = BaseUnits(dc.get(), dialogFont);
    if (layout == Layout::DialogUnits && (systemBase.cx != units.right || systemBase.cy != units.bottom))
        found.push_back(name + ": the base units rule gives " + std::to_string(systemBase.cx) + "x" +
                        std::to_string(systemBase.cy) + ", the dialog has " + std::to_string(units.right) + "x" +
                        std::to_string(units.bottom));
    int measured = 0;
    for (int dpi : {96, 144}) {
        UniqueFont dpiDialogFont = FontAtDpi(dialogFont, true, systemDpi, dpi);
        const SIZE base = BaseUnits(dc.get(), dpiDialogFont.get());
        for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
            if (!(GetWindowLongW(c, GWL_STYLE) & WS_VISIBLE)) continue;
            RECT rc{};
            GetWindowRect(c, &rc);
            SIZE have{rc.right - rc.left, rc.bottom - rc.top};
            if (layout == Layout::Pixels) {
                have = SIZE{MulDiv(have.cx, dpi, systemDpi), MulDiv(have.cy, dpi, systemDpi)};
            } else {
                // Back to the template's dialog units (exact: a unit is over a pixel wide), then out
                // again with the units of the font at this DPI, as Windows places controls.
                const int cx = MulDiv(have.cx, 4, units.right), cy = MulDiv(have.cy, 8, units.bottom);
                have = SIZE{MulDiv(cx, base.cx, 4), MulDiv(cy, base.cy, 8)};
            }
            HFONT font = reinterpret_cast<HFONT>(SendMessageW(c, WM_GETFONT, 0, 0));
            UniqueFont ownFont;
            if (font && font != dialogFont) ownFont = FontAtDpi(font, false, systemDpi, dpi);
            const Need n = Measure(c, dc.get(), ownFont ? ownFont.get() : dpiDialogFont.get(), have, dpi);
            measured += n.measured ? 1 : 0;
            if (!n.measured || (n.need.cx <= n.have.cx && n.need.cy <= n.have.cy)) continue;
            found.push_back(name + ", " + std::to_string(dpi) + " DPI, control " +
                            std::to_string(GetDlgCtrlID(c)) + " \"" + WindowTextOf(c) + "\": needs " +
                            std::to_string(n.need.cx) + "x" + std::to_string(n.need.cy) + ", has " +
                            std::to_string(n.have.cx) + "x" + std::to_string(n.have.cy));
        }
    }
    if (measured == 0) found.push_back(name + ": no text control was measured");
    return found;
}

std::string Lines(const std::vector<std::string>& lines) {
    std::string all;
    for (const std::string& l : lines) all += l + "\n";
    return all;
}

// The About box over the executable's own template, read as data.
class ExecutableAboutBox : public AboutBox {
public:
    explicit ExecutableAboutBox(HMODULE exe) : exe_(exe) {}

protected:
    HINSTANCE ResourceModule() const override { return exe_; }

private:
    HMODULE exe_;
};

// Each test runs once per language package, with the texts and messages the program loads for it.
class DialogTextFit : public ::testing::Test {
protected:
    void ForEachLanguage(const std::function<std::vector<std::string>(const std::string& language)>& check) {
        for (const char* language : kLanguages) {
            ScopedProgramState state;
            ScopedSettings settings;
            App().ProgramFolder = BinPath("");
            App().LanguagePackagePath = BinPath(std::string("Language/") + language + ".dll");
            App().Language = std::make_unique<cMultiLanguage>();
            App().Language->LanguagePackageFileName(App().LanguagePackagePath);
            ASSERT_FALSE(App().Language->getItemValue(100).empty()) << App().LanguagePackagePath;
            App().LanguageName = App().Language->getItemValue(100);
            LoadMessageTable(*App().Language);
            // Capture hot keys as a user might set them, so their buttons show real key names.
            Settings().HotkeyModifiers = {6, 6, 6, 6, 6, 6};
            Settings().HotkeyKeys = {VK_SNAPSHOT, 49, 50, 51, 52, 53};
            const std::vector<std::string> misfits = check(language);
            EXPECT_TRUE(misfits.empty()) << Lines(misfits);
        }
    }
};

}  // namespace

TEST_F(DialogTextFit, OptionsOnEveryPage) {
    ForEachLanguage([](const std::string& language) {
        std::vector<std::string> all;
        for (int page = 0; page < frmOptions::kPages; ++page) {
            frmOptions f;
            f.StartPage = page;
            const auto found = Misfits("Options page " + std::to_string(page) + ", " + language,
                                       f.CreateModeless(nullptr), Layout::DialogUnits);
            all.insert(all.end(), found.begin(), found.end());
        }
        return all;
    });
}

TEST_F(DialogTextFit, LanguageChooserInEveryMode) {
    ForEachLanguage([](const std::string& language) {
        std::vector<std::string> all;
        for (int mode = 0; mode < 3; ++mode) {
            frmChoLan chooser;
            chooser.ShowType = mode;
            chooser.BaseFolder = BinPath("Language/");
            const auto found = Misfits("Language chooser mode " + std::to_string(mode) + ", " + language,
                                       chooser.CreateModeless(nullptr), Layout::DialogUnits);
            all.insert(all.end(), found.begin(), found.end());
        }
        return all;
    });
}

TEST_F(DialogTextFit, HotKeyDialog) {
    ForEachLanguage([](const std::string& language) {
        // Filled as the Options dialog fills it (the capture kind is named only in the caption).
        const ILanguage& lang = *App().Language;
        frmHotKey dialog;
        dialog.Caption = lang.getItemValue(5001, "");
        dialog.OkCaption = lang.getItemValue(101, "OK");
        dialog.CancelCaption = lang.getItemValue(102, "Cancel");
        dialog.Prompt = lang.getItemValue(5003, "");
        return Misfits("Hot key dialog, " + language, dialog.CreateModeless(nullptr), Layout::DialogUnits);
    });
}

TEST_F(DialogTextFit, EffectsDialogOfEveryType) {
    ForEachLanguage([](const std::string& language) {
        std::vector<std::string> all;
        for (int32_t type : {eFilterColourGlasses, eFilterNoise, eFilterFade, eFilterLighten}) {
            frmFilters form;
            form.FilterType(type);
            form.BaseResID(FilterBaseResID(type));
            const auto found = Misfits("Effects dialog " + std::to_string(type) + ", " + language,
                                       form.CreateModeless(nullptr), Layout::Pixels);
            form.Click(IDCANCEL);  // its unloading releases the subclasses before the window goes
            all.insert(all.end(), found.begin(), found.end());
        }
        return all;
    });
}

TEST_F(DialogTextFit, AboutBox) {
    UniqueModule exe(LoadLibraryExW(Widen(BinPath("Plenvue.exe")).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    ASSERT_TRUE(exe) << "Plenvue.exe must be built beside the tests";
    ForEachLanguage([&](const std::string& language) {
        ExecutableAboutBox box(exe.get());
        return Misfits("About box, " + language, box.CreateModeless(nullptr), Layout::DialogUnits);
    });
}
