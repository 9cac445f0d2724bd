#include "settings/CurrentSettings.h"

#include <map>
#include <string>

#include "settings/HotkeyNames.h"

#include <gtest/gtest.h>

using namespace plenvue;

namespace {
SettingReader From(std::map<std::string, std::string> values) {
    return [values = std::move(values)](std::string_view name) {
        auto it = values.find(std::string(name));
        return it == values.end() ? std::string() : it->second;
    };
}
}  // namespace

TEST(CurrentSettings, EmptyRegistryGivesFirstStartDefaults) {
    CurrentSettings s;
    s.LanguagePackagePath = "C:\\Prog\\Language\\English.dll";
    LoadCurrentSettings(From({}), "C:\\Prog\\", s);
    EXPECT_EQ(s.LanguagePackagePath, "C:\\Prog\\Language\\English.dll");
    EXPECT_EQ(s.BeepWhenSaving, "1");
    EXPECT_EQ(s.PrefixFileName, "");
    EXPECT_EQ(s.SuffixFileName, "");
    EXPECT_EQ(s.SavePath, "C:\\Prog\\");
    EXPECT_EQ(s.StartStatus, "0");
    EXPECT_EQ(s.ClipboardMonitorAtStart, -1);
    EXPECT_EQ(s.AutoSaveAtStart, -1);
    EXPECT_EQ(s.ShowHistoryList, "");
    EXPECT_EQ(s.HistoryListStatus, "PREVIEW");  // the mode in use when nothing is stored
    EXPECT_EQ(s.CanvasColor, "16777215");
}

TEST(CurrentSettings, StoredTextsAreNormalised) {
    CurrentSettings s;
    LoadCurrentSettings(From({{"BeepWhenSaving", "0"},
                              {"PrefixFileName", "  cap "},
                              {"SuffixFileName", " "},
                              {"SavePath", " D:\\Shots"},
                              {"StartStatus", " "},
                              {"Set Clipboard Monitor Active", "0"},
                              {"Set Auto Save When Startup", "1"},
                              {"Show History List", " 0 "},
                              {"History List Status", "list"},
                              {"ForeColor", "255"}}),
                        "C:\\Prog\\", s);
    EXPECT_EQ(s.BeepWhenSaving, "0");
    EXPECT_EQ(s.PrefixFileName, "cap");
    EXPECT_EQ(s.SuffixFileName, "");
    EXPECT_EQ(s.SavePath, " D:\\Shots");  // used with its leading blank
    EXPECT_EQ(s.StartStatus, "0");
    EXPECT_EQ(s.ClipboardMonitorAtStart, 0);
    EXPECT_EQ(s.AutoSaveAtStart, -1);
    EXPECT_EQ(s.ShowHistoryList, "0");
    EXPECT_EQ(s.HistoryListStatus, "LIST");
    EXPECT_EQ(s.CanvasColor, "255");
}

TEST(CurrentSettings, SingleValueRules) {
    EXPECT_EQ(NormaliseBeepWhenSaving(" 0"), "1");
    EXPECT_EQ(NormaliseSavePath("   ", "P\\"), "P\\");
    EXPECT_EQ(NormaliseStartStatus("2"), "2");
    EXPECT_EQ(NormaliseStartStatus("3"), "0");
    EXPECT_EQ(NormaliseCanvasColor("  "), "16777215");
    EXPECT_EQ(NormaliseHistoryListStatus(" preview"), "PREVIEW");
    EXPECT_EQ(NormaliseHistoryListStatus(" list "), "LIST");
    EXPECT_EQ(NormaliseWholeNumber(" 250 ", 1, 10000, "100"), "250");
    EXPECT_EQ(NormaliseWholeNumber("007", 1, 10000, "100"), "7");
    for (const char* odd : {"", "0", "10001", "-3", "+3", "3.5", "1e3", "99999999999999"})
        EXPECT_EQ(NormaliseWholeNumber(odd, 1, 10000, "100"), "100") << odd;
    for (const char* odd : {"", "thumbnails", "NONE!", "\xff"}) EXPECT_EQ(NormaliseHistoryListStatus(odd), "PREVIEW") << odd;
    EXPECT_EQ(NormaliseStartSwitch("-1"), -1);
    EXPECT_EQ(NormaliseStartSwitch("00"), -1);
}

TEST(CurrentSettings, CanvasColorValueTakesDecimalAndFallsBackToWhite) {
    EXPECT_EQ(CanvasColorValue("255"), 255);
    EXPECT_EQ(CanvasColorValue(" 65280 "), 65280);
    EXPECT_EQ(CanvasColorValue("-2147483643"), -2147483643);  // a system colour
    EXPECT_EQ(CanvasColorValue("16777215"), 16777215);
    for (const char* bad : {"", "  ", "red", "12x", "&HFF", "99999999999", "1 2"})
        EXPECT_EQ(CanvasColorValue(bad), 16777215) << bad;
}

TEST(HotkeyTable, ModifierTextRules) {
    EXPECT_EQ(HotkeyModifierFromText(""), 6);
    EXPECT_EQ(HotkeyModifierFromText("0"), 8);
    EXPECT_EQ(HotkeyModifierFromText("12"), 6);
    EXPECT_EQ(HotkeyModifierFromText("x"), 6);
    EXPECT_EQ(HotkeyModifierFromText(" "), 6);
    EXPECT_EQ(HotkeyModifierFromText("3"), 3);
    EXPECT_EQ(HotkeyModifierFromText("-1"), 6);
}

TEST(HotkeyTable, KeyTextRules) {
    EXPECT_EQ(HotkeyKeyFromText("", 0), 48);
    EXPECT_EQ(HotkeyKeyFromText("1234", 4), 52);
    EXPECT_EQ(HotkeyKeyFromText("255", 4), 255);
    EXPECT_EQ(HotkeyKeyFromText("261", 1), 261);  // a REG_DWORD read back as text
    EXPECT_EQ(HotkeyKeyFromText("x", 2), 50);
    EXPECT_EQ(HotkeyKeyFromText(" ", 5), 53);
    EXPECT_EQ(HotkeyKeyFromText("-1", 3), 51);
    EXPECT_EQ(HotkeyKeyFromText("1e2", 3), 51);
    EXPECT_EQ(HotkeyKeyFromText(" 65", 3), 65);
}

TEST(HotkeyTable, FreshInstallRegistersCtrlAlt0To5) {
    CurrentSettings s;
    std::vector<std::tuple<int, int32_t, int32_t>> calls;
    auto failed = LoadHotkeyTable(From({}),
                                  [&](int i, int32_t m, int32_t k) {
                                      calls.emplace_back(i, m, k);
                                      return true;
                                  },
                                  s);
    EXPECT_TRUE(failed.empty());
    ASSERT_EQ(calls.size(), 6u);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(calls[i], std::make_tuple(i, 6, 48 + i));
        EXPECT_EQ(s.HotkeyModifiers[i], 6);
        EXPECT_EQ(s.HotkeyKeys[i], 48 + i);
    }
}

// Guards against a key another program held at start being replaced by no key, which the next
// stored change would have made permanent.
TEST(HotkeyTable, FailedRegistrationsKeepTheirWantedKeyAndAreMarkedInUse) {
    CurrentSettings s;
    s.HotkeyInUse = {true, true, true, true, true, true};
    auto failed = LoadHotkeyTable(From({{"Hotkey2Prefix", "0"}, {"Hotkey2Value", "65"}, {"Hotkey4Value", "74"}}),
                                  [](int i, int32_t, int32_t) { return i != 1 && i != 4; }, s);
    EXPECT_EQ(failed, (std::vector<int>{1, 4}));
    EXPECT_EQ(s.HotkeyInUse, (std::array<bool, 6>{false, true, false, false, true, false}));
    EXPECT_EQ(s.HotkeyModifiers[1], 6);
    EXPECT_EQ(s.HotkeyKeys[1], 49);
    EXPECT_EQ(s.HotkeyModifiers[4], 6);
    EXPECT_EQ(s.HotkeyKeys[4], 74);
    EXPECT_EQ(s.HotkeyModifiers[2], 8);
    EXPECT_EQ(s.HotkeyKeys[2], 65);
    // Once the other program lets them go, the next load registers them.
    failed = LoadHotkeyTable(From({{"Hotkey4Value", "74"}}), [](int, int32_t, int32_t) { return true; }, s);
    EXPECT_TRUE(failed.empty());
    EXPECT_EQ(s.HotkeyInUse, (std::array<bool, 6>{}));
    EXPECT_EQ(s.HotkeyKeys[4], 74);
    // A stored "no key" is never reported as held by another program.
    failed = LoadHotkeyTable(From({{"Hotkey3Value", "0"}}), [](int i, int32_t, int32_t) { return i != 3; }, s);
    EXPECT_TRUE(failed.empty());
    EXPECT_FALSE(s.HotkeyInUse[3]);
    EXPECT_EQ(s.HotkeyKeys[3], 0);
}

// Guards against Ctrl+Right (the control's 10: Ctrl with the extended-key flag) coming back as
// Ctrl+Alt after a restart: every set the hot key control can report is stored so that the load
// step registers the same combination again.
TEST(HotkeyTable, WhatOptionsStoresLoadsBackAsTheSameCombination) {
    for (int32_t chosen = 0; chosen <= 15; ++chosen) {
        std::string stored = std::to_string(StoredHotkeyModifier(chosen));
        CurrentSettings s;
        int32_t registered = -1;
        LoadHotkeyTable(From({{"Hotkey0Prefix", stored}, {"Hotkey0Value", "39"}}),
                        [&](int i, int32_t m, int32_t) {
                            if (i == 0) registered = ControlToRegisterModifiers(m);
                            return true;
                        },
                        s);
        EXPECT_EQ(registered, ControlToRegisterModifiers(chosen)) << "chosen " << chosen << ", stored " << stored;
        EXPECT_EQ(s.HotkeyKeys[0], 39);
    }
    EXPECT_EQ(StoredHotkeyModifier(10), kHkCtrl);
    EXPECT_EQ(StoredHotkeyModifier(8), 0);
    EXPECT_EQ(StoredHotkeyModifier(6), 6);
    // Older stored texts load as they always did.
    EXPECT_EQ(HotkeyModifierFromText("10"), 6);
    EXPECT_EQ(HotkeyModifierFromText("12"), 6);
}

TEST(CurrentSettings, SavedValuesComeInWritingOrderWithBlankForEmpty) {
    CurrentSettings s;
    s.BeepWhenSaving = "1";
    s.PrefixFileName = "";
    s.SuffixFileName = "_a";
    s.SavePath = "C:\\S\\";
    s.StartStatus = "";
    s.ClipboardMonitorAtStart = 1;
    s.AutoSaveAtStart = 0;
    s.ShowHistoryList = "";
    s.HistoryListStatus = "LIST";
    auto v = SettingsToStore(s);
    s.KeptPictures = "40";
    ASSERT_EQ(v.size(), 11u);
    EXPECT_EQ(v[0], (std::pair<std::string, std::string>{"BeepWhenSaving", "1"}));
    EXPECT_EQ(v[1].second, " ");
    EXPECT_EQ(v[4], (std::pair<std::string, std::string>{"StartStatus", " "}));
    EXPECT_EQ(v[5], (std::pair<std::string, std::string>{"Set Clipboard Monitor Active", "1"}));
    EXPECT_EQ(v[8], (std::pair<std::string, std::string>{"History List Status", "LIST"}));
    EXPECT_EQ(v[9], (std::pair<std::string, std::string>{"Kept Pictures", "100"}));
    EXPECT_EQ(SettingsToStore(s)[9].second, "40");
    EXPECT_EQ(v[10], (std::pair<std::string, std::string>{"Kept Megabytes", "500"}));
    CurrentSettings read;
    LoadCurrentSettings(From({{"Kept Pictures", "0"}, {"Kept Megabytes", " 64 "}}), "C:\\Prog\\", read);
    EXPECT_EQ(read.KeptPictures, "100");
    EXPECT_EQ(read.KeptMegabytes, "64");
    EXPECT_EQ(HotkeyKeyValueName(3), "Hotkey3Value");
    EXPECT_EQ(HotkeyPrefixValueName(0), "Hotkey0Prefix");
}

TEST(CurrentSettings, CaptureSettingsDefaultWhenMissingOrOdd) {
    CurrentSettings s;
    LoadCurrentSettings(From({}), "C:\\Prog\\", s);
    EXPECT_EQ(s.CopyEveryCapture, -1);
    EXPECT_EQ(s.AutoSaveFormat, "PNG");  // a fresh installation saves PNG
    EXPECT_EQ(s.CaptureDelay, 0);
    LoadCurrentSettings(From({{"Auto Save Format", " bmp "}}), "C:\\Prog\\", s);
    EXPECT_EQ(s.AutoSaveFormat, "BMP");  // a stored choice keeps its meaning
    LoadCurrentSettings(From({{"Copy Every Capture", "x"}, {"Auto Save Format", "gif"}, {"Capture Delay", "4"}}),
                        "C:\\Prog\\", s);
    EXPECT_EQ(s.CopyEveryCapture, -1);
    EXPECT_EQ(s.AutoSaveFormat, "PNG");
    EXPECT_EQ(s.CaptureDelay, 0);
    LoadCurrentSettings(From({{"Copy Every Capture", " 0 "}, {"Auto Save Format", " png"}, {"Capture Delay", "10 "}}),
                        "C:\\Prog\\", s);
    EXPECT_EQ(s.CopyEveryCapture, 0);
    EXPECT_EQ(s.AutoSaveFormat, "PNG");
    EXPECT_EQ(s.CaptureDelay, 10);
    EXPECT_EQ(NormaliseAutoSaveFormat("jpg"), "JPEG");
    EXPECT_EQ(NormaliseAutoSaveFormat("Jpeg"), "JPEG");
    EXPECT_EQ(NormaliseCaptureDelay("-3"), 0);
    EXPECT_EQ(NormaliseCaptureDelay("03"), 0);
    EXPECT_EQ(NormaliseCaptureDelay("5"), 5);
    EXPECT_EQ(AutoSaveExtension("PNG"), "png");
    EXPECT_EQ(AutoSaveExtension("JPEG"), "jpg");
    EXPECT_EQ(AutoSaveExtension("odd"), "png");
    EXPECT_EQ(AutoSaveExtension("bmp"), "bmp");
}

TEST(CurrentSettings, CaptureSettingsStoreAsTheyReadBack) {
    CurrentSettings s;
    s.CopyEveryCapture = 0;
    s.AutoSaveFormat = "png";
    s.CaptureDelay = 7;  // not offered: stored as no delay
    auto v = CaptureSettingsToStore(s);
    ASSERT_EQ(v.size(), 3u);
    EXPECT_EQ(v[0], (std::pair<std::string, std::string>{"Copy Every Capture", "0"}));
    EXPECT_EQ(v[1], (std::pair<std::string, std::string>{"Auto Save Format", "PNG"}));
    EXPECT_EQ(v[2], (std::pair<std::string, std::string>{"Capture Delay", "0"}));
    s.CopyEveryCapture = -1;
    s.CaptureDelay = 3;
    v = CaptureSettingsToStore(s);
    EXPECT_EQ(v[0].second, "1");
    EXPECT_EQ(v[2].second, "3");
}

TEST(CurrentSettings, FullScreenAreaDefaultsToTheWholeDesktopAndStoresAsItReadsBack) {
    CurrentSettings s;
    LoadCurrentSettings(From({}), "C:\\Prog\\", s);
    EXPECT_EQ(s.FullScreen, FullScreenArea::WholeDesktop);
    for (const char* odd : {"3", "-1", "01", "primary", "1.0"}) {
        s.FullScreen = FullScreenArea::PrimaryMonitor;
        LoadCurrentSettings(From({{"Full Screen Area", odd}}), "C:\\Prog\\", s);
        EXPECT_EQ(s.FullScreen, FullScreenArea::WholeDesktop) << odd;
    }
    LoadCurrentSettings(From({{"Full Screen Area", " 1 "}}), "C:\\Prog\\", s);
    EXPECT_EQ(s.FullScreen, FullScreenArea::MonitorUnderPointer);
    for (FullScreenArea a : {FullScreenArea::WholeDesktop, FullScreenArea::MonitorUnderPointer,
                             FullScreenArea::PrimaryMonitor}) {
        s.FullScreen = a;
        const auto stored = FullScreenAreaToStore(s);
        EXPECT_EQ(stored.first, "Full Screen Area");
        CurrentSettings back;
        LoadCurrentSettings(From({stored}), "C:\\Prog\\", back);
        EXPECT_EQ(back.FullScreen, a);
    }
}

TEST(CurrentSettings, CloseToTrayIsOffUnlessStoredAsOneAndStoresAsItReadsBack) {
    CurrentSettings s;
    LoadCurrentSettings(From({}), "C:\\Prog\\", s);
    EXPECT_FALSE(s.CloseToTray);
    for (const char* odd : {"", "0", "2", "-1", "yes", "01", "1x", "true"}) {
        s.CloseToTray = true;
        LoadCurrentSettings(From({{"Close To Notification Area", odd}}), "C:\\Prog\\", s);
        EXPECT_FALSE(s.CloseToTray) << odd;
    }
    LoadCurrentSettings(From({{"Close To Notification Area", " 1 "}}), "C:\\Prog\\", s);
    EXPECT_TRUE(s.CloseToTray);
    for (bool on : {false, true}) {
        s.CloseToTray = on;
        const auto stored = CloseToTrayToStore(s);
        EXPECT_EQ(stored.first, "Close To Notification Area");
        CurrentSettings back;
        LoadCurrentSettings(From({stored}), "C:\\Prog\\", back);
        EXPECT_EQ(back.CloseToTray, on);
    }
}
