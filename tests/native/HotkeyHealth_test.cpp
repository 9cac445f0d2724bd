#include "settings/HotkeyHealth.h"

#include <gtest/gtest.h>

#include "base/Utf.h"

using namespace plenvue;

namespace {

CurrentSettings Table() {
    CurrentSettings s;
    s.HotkeyModifiers = {6, 6, 8, 0, 3, 6};
    s.HotkeyKeys = {48, 49, 123, 65, 74, 53};
    return s;
}

size_t Units(const std::string& text) { return *Utf16Length(text); }

}  // namespace

TEST(HotkeyHealth, OneLinePerFailedKeyNamesTheWantedKeyAndItsCapture) {
    const std::array<std::string, kCaptureKinds> names{"Vollbild", "", "Aktives Fenster", "D", "E", "F"};
    const auto lines = HotkeyInUseLines("%k (%c) is used by another program", {0, 1, 2, 3, 4}, Table(), names);
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0], "Ctrl+Alt+0 (Vollbild) is used by another program");
    EXPECT_EQ(lines[1], "Ctrl+Alt+1 (Capture Region) is used by another program") << "the built-in name without a package's";
    EXPECT_EQ(lines[2], "F12 (Aktives Fenster) is used by another program");
    EXPECT_EQ(lines[3], "A (D) is used by another program") << "0 and 8 are no modifier";
    EXPECT_EQ(lines[4], "Ctrl+Shift+J (E) is used by another program");
    // Indexes out of range are no line; a capture name holding "%k" stays as written.
    const std::array<std::string, kCaptureKinds> odd{"100%k", "", "", "", "", ""};
    EXPECT_EQ(HotkeyInUseLines("%c: %k", {-1, 0, 6}, Table(), odd), std::vector<std::string>{"100%k: Ctrl+Alt+0"});
}

TEST(HotkeyHealth, JoinedLinesStayWithinTheRoomAndSayWhenSomeAreLeftOut) {
    EXPECT_EQ(JoinWithin({}, "\r\n", 10), "");
    EXPECT_EQ(JoinWithin({"abc", "def"}, "\r\n", 8), "abc\r\ndef");
    EXPECT_EQ(JoinWithin({"abc", "def", "ghi"}, "\r\n", 12), "abc\r\n...") << "no room for two more lines";
    EXPECT_EQ(JoinWithin({"abcdefgh"}, "; ", 5), "abcde");
    EXPECT_EQ(JoinWithin({"abcdefgh", "x"}, "; ", 7), "ab; ...");
    // Six long lines as a balloon's 255 units take them, counted in UTF-16 units.
    std::vector<std::string> lines(6, "Strg+Alt+Umschalt+BackSpace (Aktives Fenster ohne Rahmen aufnehmen) wird von einem "
                                      "anderen Programm verwendet \xC3\xA4\xF0\x9F\x98\x80");
    for (size_t room : {255u, 127u, 60u, 3u}) {
        const std::string text = JoinWithin(lines, "\r\n", room);
        EXPECT_LE(Units(text), room) << room;
        ASSERT_TRUE(Utf8ToUtf16(text).has_value()) << "cut inside a character at " << room;
    }
    EXPECT_EQ(JoinWithin(lines, "\r\n", 255).substr(0, lines[0].size()), lines[0]);
    EXPECT_EQ(JoinWithin({"\xF0\x9F\x98\x80\xF0\x9F\x98\x80"}, "", 3), "\xF0\x9F\x98\x80") << "a pair is never split";
}

TEST(HotkeyHealth, AFailedChangeNamesTheKey) {
    EXPECT_EQ(HotkeyText("%s: register hotkey failed.\\nPlease retry.", 6, 48),
              "Ctrl+Alt+0: register hotkey failed.\r\nPlease retry.");
    EXPECT_EQ(HotkeyText("%s", 8, 123), "F12");
    // In the language's words, in the balloon's lines as in the message.
    const auto german = [](int item, const std::string& word) -> std::string { return item == 13052 ? "Strg" : word; };
    EXPECT_EQ(HotkeyText("%s", 6, 48, german), "Strg+Alt+0");
    const std::array<std::string, kCaptureKinds> names{"Vollbild", "", "", "", "", ""};
    EXPECT_EQ(HotkeyInUseLines("%k (%c)", {0}, Table(), names, german), std::vector<std::string>{"Strg+Alt+0 (Vollbild)"});
}
