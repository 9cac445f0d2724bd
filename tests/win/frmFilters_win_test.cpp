// The effects dialog in-process: what each type starts with, the results the main window reads,
// and the amount box kept in step with the track bar.
#include "effects/frmFilters_win.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <memory>
#include <string>

#include "shell/ImageCommands_win.h"
#include "base/win/modDeclare_win.h"
#include "settings/cMultiLanguage_win.h"

using namespace plenvue;

namespace {

// Runs `inside` once the dialog is up (from a timer of the modal loop), then the dialog closes
// through the button `closeWith`.
std::function<void(HWND)> g_inside;
int g_closeWith = IDCANCEL;

void CALLBACK OnTimer(HWND, UINT, UINT_PTR id, DWORD) {
    HWND dlg = FindWindowA("#32770", nullptr);
    if (!dlg || !IsWindowVisible(dlg)) return;
    KillTimer(nullptr, id);
    if (g_inside) g_inside(dlg);
    SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(g_closeWith, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dlg, g_closeWith)));
}

void Show(frmFilters& form, int32_t type, int closeWith, std::function<void(HWND)> inside) {
    clsDIBSection dib;
    dib.Create(20, 10);
    for (int32_t y = 0; y < 10; ++y)
        for (int32_t x = 0; x < 20; ++x) dib.PixelPtr(x, y)[2] = static_cast<uint8_t>(x * 12);
    form.PreviewPicture(PictureFromDib(dib));
    form.FilterType(type);
    form.BaseResID(FilterBaseResID(type));
    g_inside = std::move(inside);
    g_closeWith = closeWith;
    SetTimer(nullptr, 0, 50, OnTimer);
    form.ShowModal(nullptr);
    g_inside = nullptr;
}

std::string Text(HWND w) {
    char t[64] = {};
    GetWindowTextA(w, t, sizeof t);
    return t;
}

HWND Track(HWND dlg) { return FindWindowExA(dlg, nullptr, TRACKBAR_CLASSA, nullptr); }

TEST(frmFilters, OkUntouchedGivesTheNeutralValueOfEachType) {
    frmFilters noise;
    Show(noise, eFilterNoise, IDOK, [](HWND dlg) {
        EXPECT_EQ(Text(GetDlgItem(dlg, frmFilters::kPercentId)), "0");
        EXPECT_EQ(SendMessageA(Track(dlg), TBM_GETRANGEMAX, 0, 0), 99);
        EXPECT_TRUE(IsWindowVisible(GetDlgItem(dlg, frmFilters::kRandomId)));
    });
    EXPECT_FALSE(noise.Cancelled());
    EXPECT_EQ(noise.Percentage(), 0);
    EXPECT_FALSE(noise.Random());

    frmFilters fade;
    Show(fade, eFilterFade, IDOK, [](HWND dlg) {
        EXPECT_EQ(Text(GetDlgItem(dlg, frmFilters::kPercentId)), "255");
        EXPECT_EQ(SendMessageA(Track(dlg), TBM_GETPOS, 0, 0), 255);
        EXPECT_EQ(SendMessageA(Track(dlg), TBM_GETRANGEMAX, 0, 0), 255);
        EXPECT_FALSE(IsWindowVisible(GetDlgItem(dlg, frmFilters::kRandomId)));
    });
    EXPECT_EQ(fade.Percentage(), 255);

    frmFilters glasses;
    Show(glasses, eFilterColourGlasses, IDOK, [](HWND dlg) {
        EXPECT_EQ(Track(dlg), nullptr);
        EXPECT_TRUE(IsWindowVisible(GetDlgItem(dlg, frmFilters::kHueId)));
        EXPECT_FALSE(IsWindowVisible(GetDlgItem(dlg, frmFilters::kPercentId)));
    });
    EXPECT_EQ(glasses.Hue(), -1.0f);
    EXPECT_FALSE(glasses.Cancelled());
}

TEST(frmFilters, CancelLeavesCancelledAfterChanges) {
    frmFilters form;
    Show(form, eFilterLighten, IDCANCEL, [](HWND dlg) {
        SetWindowTextA(GetDlgItem(dlg, frmFilters::kPercentId), "40");
    });
    EXPECT_TRUE(form.Cancelled());
    EXPECT_EQ(form.Percentage(), 40);  // results keep their last values
}

TEST(frmFilters, BoxAndTrackBarFollowEachOther) {
    frmFilters form;
    Show(form, eFilterNoise, IDOK, [](HWND dlg) {
        HWND box = GetDlgItem(dlg, frmFilters::kPercentId);
        SetWindowTextA(box, "40");
        EXPECT_EQ(SendMessageA(Track(dlg), TBM_GETPOS, 0, 0), 40);
        SetWindowTextA(box, "");
        EXPECT_EQ(Text(box), "0");
        EXPECT_EQ(SendMessageA(Track(dlg), TBM_GETPOS, 0, 0), 0);
        SendMessageA(Track(dlg), TBM_SETPOS, TRUE, 57);
        SendMessageA(dlg, WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, 57), reinterpret_cast<LPARAM>(Track(dlg)));
        EXPECT_EQ(Text(box), "57");
        SendMessageA(GetDlgItem(dlg, frmFilters::kRandomId), BM_CLICK, 0, 0);
    });
    EXPECT_EQ(form.Percentage(), 57);
    EXPECT_TRUE(form.Random());
}

TEST(frmFilters, FadeAboveTheRangeIsHeldAt255) {
    frmFilters form;
    Show(form, eFilterFade, IDOK, [](HWND dlg) {
        HWND box = GetDlgItem(dlg, frmFilters::kPercentId);
        SetWindowTextA(box, "999");
        EXPECT_EQ(Text(box), "255");
        SetWindowTextA(box, "100");
    });
    EXPECT_EQ(form.Percentage(), 100);
}

TEST(frmFilters, HueBarClickChoosesTheColumnsHue) {
    frmFilters form;
    Show(form, eFilterColourGlasses, IDOK, [](HWND dlg) {
        HWND hue = GetDlgItem(dlg, frmFilters::kHueId);
        SendMessageA(hue, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(120, 5));
        SendMessageA(hue, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(200, 5));  // not a choice
    });
    EXPECT_EQ(form.Hue(), 2.0f);
}

}  // namespace

TEST(frmFilters, NoiseModeCaptionsDefaultToUniformAndRandom) {
    // No language package: the form's own texts stand.
    ScopedProgramState state;
    frmFilters noise;
    std::string uniform, random;
    Show(noise, eFilterNoise, IDCANCEL, [&](HWND dlg) {
        uniform = Text(GetDlgItem(dlg, frmFilters::kUniformId));
        random = Text(GetDlgItem(dlg, frmFilters::kRandomId));
    });
    EXPECT_EQ(uniform, "Uniform");
    EXPECT_EQ(random, "Random");
    EXPECT_FALSE(noise.Random());  // "Uniform" is the mode selected at start
}


TEST(frmFilters, PreviewLabelFollowsTheLanguagePackage) {
    // It stayed English in the German window.
    ScopedProgramState state;
    std::string german = "Z:" + std::string(PLENVUE_BIN_DIR) + "/Language/German.dll";
    for (char& c : german)
        if (c == '/') c = '\\';
    App().Language = std::make_unique<cMultiLanguage>();
    App().Language->LanguagePackageFileName(german);
    ASSERT_EQ(App().Language->getItemValue(100), "Deutsch") << german;
    frmFilters fade;
    std::string label;
    Show(fade, eFilterFade, IDCANCEL, [&](HWND dlg) { label = Text(GetDlgItem(dlg, frmFilters::kPreviewLabelId)); });
    EXPECT_EQ(label, "Vorschau");
}
