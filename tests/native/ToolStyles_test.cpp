#include "markup/ToolStyles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

using namespace plenvue::markup;

namespace {

constexpr Tool kDrawingTools[] = {Tool::Rect, Tool::Ellipse, Tool::Line, Tool::Arrow, Tool::Pen,
                                  Tool::Highlight, Tool::Text, Tool::Step, Tool::Redact};

MarkupObject DefaultFor(Tool tool) { return DefaultObject(TypeOfTool(tool).value_or(ObjectType::Rect)); }

// A style unlike every default in each stored field.
MarkupObject Chosen(Tool tool) {
    MarkupObject o = DefaultFor(tool);
    o.stroke = {1, 2, 3, 128};
    o.fill = {250, 251, 252, 255};
    o.width = 7.25;
    o.font = " Caf\xC3\xA9 %;=Sans ";
    o.size = 0.1;
    o.bold = true;
    o.style = RedactStyle::Mosaic;
    return o;
}

}  // namespace

// The names are registry values already written on users' machines.
TEST(ToolStyles, ValueNamesAreFixedAndOnlyForDrawingTools) {
    const char* names[kToolCount] = {"", "Draw Style Rectangle", "Draw Style Ellipse", "Draw Style Line",
                                     "Draw Style Arrow", "Draw Style Pen", "Draw Style Highlighter",
                                     "Draw Style Text", "Draw Style Step", "Draw Style Redact", ""};
    for (int i = 0; i < kToolCount; ++i) EXPECT_EQ(ToolStyleValueName(static_cast<Tool>(i)), names[i]);
}

TEST(ToolStyles, EveryToolsStyleRoundTrips) {
    for (Tool t : kDrawingTools) {
        SCOPED_TRACE(ToolName(t));
        EXPECT_EQ(ParseToolStyle(t, FormatToolStyle(Chosen(t))), Chosen(t));
        EXPECT_EQ(ParseToolStyle(t, FormatToolStyle(DefaultFor(t))), DefaultFor(t));
    }
    // Colours that are invisible but not all zero keep their channels.
    MarkupObject o = DefaultFor(Tool::Rect);
    o.fill = {9, 8, 7, 0};
    o.stroke = {};
    EXPECT_EQ(ParseToolStyle(Tool::Rect, FormatToolStyle(o)), o);
}

TEST(ToolStyles, GeometryAndTextAreNeverRead) {
    MarkupObject drawn = Chosen(Tool::Step);
    drawn.x = 50;
    drawn.w = drawn.h = 90;
    drawn.points = {{1, 2}, {3, 4}};
    drawn.text = "hello";
    drawn.value = 9;
    EXPECT_EQ(ParseToolStyle(Tool::Step, FormatToolStyle(drawn) + "x=5;w=9;h=9;text=hi;value=4;"), Chosen(Tool::Step));
    // Select and Crop have no style to read.
    EXPECT_EQ(ParseToolStyle(Tool::Crop, "width=5;bold=1"), DefaultObject(ObjectType::Rect));
}

TEST(ToolStyles, PartialTextKeepsDefaultsForTheRest) {
    MarkupObject want = DefaultFor(Tool::Text);
    want.size = 40;
    want.bold = true;
    EXPECT_EQ(ParseToolStyle(Tool::Text, "size=40;bold=1"), want);
    EXPECT_EQ(ParseToolStyle(Tool::Text, "  size = 40 ; bold=1"), want);  // hand-edited spacing
    EXPECT_EQ(ParseToolStyle(Tool::Text, "bold=1;size=40;future=3;"), want);
}

TEST(ToolStyles, BadFieldFallsBackAloneToItsDefault) {
    const std::vector<std::string> good = {"stroke=#010203", "fill=#fafbfc80", "width=7", "font=Arial",
                                           "size=40", "bold=1", "redact=mosaic"};
    const auto without = [&](std::string_view key) {
        std::string text;
        for (const auto& pair : good)
            if (pair.compare(0, key.size() + 1, std::string(key) + "=") != 0) text += pair + ";";
        return text;
    };
    const char* bad[] = {
        "width=0", "width=-3", "width=100.0001", "width=1e400", "width=nan", "width=inf", "width=3px",
        "width=", "width=+3", "width=0x10", "size=0", "size=400.5", "size=99999999999999999999999999999",
        "size=-1e-300", "font=", "font=%", "font=%4", "font=%zz", "font=\xff\xfe", "font=A%00B",
        "font=\xC3", "font=\xED\xA0\x80", "stroke=#12345", "stroke=#gggggg", "stroke=red",
        "stroke=#1234567", "fill=#", "fill=", "fill=##000000", "bold=2", "bold=yes", "redact=blur", "redact=",
    };
    const MarkupObject allGood = ParseToolStyle(Tool::Text, without(""));
    for (const char* field : bad) {
        SCOPED_TRACE(field);
        const std::string_view key = std::string_view(field).substr(0, std::string_view(field).find('='));
        const std::string rest = without(key);
        // The good fields apply whatever order the bad one comes in.
        const MarkupObject want = ParseToolStyle(Tool::Text, rest);
        ASSERT_NE(want, allGood);  // the field was really left out
        EXPECT_EQ(ParseToolStyle(Tool::Text, rest + field), want);
        EXPECT_EQ(ParseToolStyle(Tool::Text, std::string(field) + ";" + rest), want);
        // A bad later copy does not undo a good earlier one.
        EXPECT_EQ(ParseToolStyle(Tool::Text, without("") + field), allGood);
    }
    // The font's limit counts characters, not bytes.
    std::string font;
    for (int i = 0; i < 64; ++i) font += "\xE6\x97\xA5";
    EXPECT_EQ(ParseToolStyle(Tool::Text, "font=" + font).font, font);
    EXPECT_EQ(ParseToolStyle(Tool::Text, "font=" + font + "x").font, "Segoe UI");
    EXPECT_EQ(ParseToolStyle(Tool::Text, "font=" + std::string(65, 'a')).font, "Segoe UI");
}

TEST(ToolStyles, GarbageGivesTheDefaults) {
    const std::string garbage[] = {
        "", ";", ";;;;", "====", "=;=;=", "stroke", "hello world", "\xff\xfe\x00\x01", std::string(100000, ';'),
        std::string(5000, '='), "{\"stroke\":\"#000000\"}", "stroke:#000000,width:4",
        "\x80\xff=\xfe;stroke\xff=#000000;width=\xc0\xaf",
    };
    for (Tool t : kDrawingTools)
        for (const auto& g : garbage) EXPECT_EQ(ParseToolStyle(t, g), DefaultFor(t)) << ToolName(t);
}

TEST(ToolStyles, RandomTextNeverThrowsAndStaysInRange) {
    const char* pieces[] = {"stroke=", "fill=", "width=", "size=", "font=", "bold=", "redact=", "#", "ff", "0",
                            "1e3", "-", ".", ";", "=", "%", "%3b", "\xc3", "\x80", "none", "mosaic", " ", "400"};
    std::mt19937 rng(7);
    for (int i = 0; i < 3000; ++i) {
        std::string text;
        for (uint32_t k = rng() % 12; k > 0; --k)
            text += rng() % 5 == 0 ? std::string(1, static_cast<char>(rng())) : pieces[rng() % std::size(pieces)];
        const Tool t = kDrawingTools[rng() % std::size(kDrawingTools)];
        MarkupObject o;
        ASSERT_NO_THROW(o = ParseToolStyle(t, text)) << text;
        EXPECT_TRUE(o.width > 0 && o.width <= 100) << text;
        EXPECT_TRUE(o.size > 0 && o.size <= 400) << text;
        EXPECT_FALSE(o.font.empty());
        // What was read writes back and reads again unchanged.
        EXPECT_EQ(ParseToolStyle(t, FormatToolStyle(o)), o) << text;
    }
}

TEST(RecentColours, ReadingAndWritingSkipBadEntriesAndRepeatsAndKeepEight) {
    EXPECT_TRUE(ParseRecentColours(",,,").empty());
    const std::vector<Rgba> rgb = {{255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255}};
    EXPECT_EQ(ParseRecentColours("#FF0000, #00ff00,bad,#ff0000,#12345,#0000ff80,#0000FF"), rgb);
    EXPECT_EQ(FormatRecentColours({{255, 0, 0, 90}, {255, 0, 0, 255}, {9, 9, 9, 0}, {0, 255, 0, 255}, {0, 0, 255, 255}}),
              "#ff0000,#00ff00,#0000ff");

    std::vector<Rgba> many;
    std::string text = "#000000,#000000,";  // repeats use up no places
    for (uint8_t i = 0; i < 12; ++i) {
        many.push_back({0, 0, i, 255});
        text += FormatRecentColours({many.back()}) + ",";
    }
    const std::vector<Rgba> first8(many.begin(), many.begin() + 8);
    EXPECT_EQ(ParseRecentColours(text), first8);
    EXPECT_EQ(ParseRecentColours(FormatRecentColours(many)), first8);
}

TEST(RecentColours, PushMovesToFrontWithoutRepeatsAndKeepsEight) {
    std::vector<Rgba> recent;
    for (uint8_t i = 1; i <= 9; ++i) PushRecentColour(recent, {i, 0, 0, 255});
    ASSERT_EQ(recent.size(), 8u);
    EXPECT_EQ(recent.front(), (Rgba{9, 0, 0, 255}));
    EXPECT_EQ(recent.back(), (Rgba{2, 0, 0, 255}));  // the oldest went

    PushRecentColour(recent, {3, 0, 0, 40});  // a translucent pick is the same swatch
    ASSERT_EQ(recent.size(), 8u);
    EXPECT_EQ(recent[0], (Rgba{3, 0, 0, 255}));
    EXPECT_EQ(recent[1], (Rgba{9, 0, 0, 255}));
    EXPECT_EQ(std::count(recent.begin(), recent.end(), Rgba{3, 0, 0, 255}), 1);

    const auto before = recent;
    PushRecentColour(recent, {});
    EXPECT_EQ(recent, before);
}
