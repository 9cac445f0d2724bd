#include "markup/ObjectsJson.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

using namespace plenvue::markup;

namespace {

// One object of every type, each field of the type away from its default.
std::vector<MarkupObject> EveryTypeChanged() {
    std::vector<MarkupObject> v;
    MarkupObject rect = DefaultObject(ObjectType::Rect);
    rect.x = -12.5;
    rect.y = 1e-7;
    rect.w = 0.1;
    rect.h = 123456789.125;
    rect.stroke = {1, 2, 3, 255};
    rect.fill = {10, 20, 30, 40};
    rect.width = 0;
    rect.radius = 7.25;
    v.push_back(rect);

    MarkupObject ellipse = DefaultObject(ObjectType::Ellipse);
    ellipse.x = 5e-324;
    ellipse.y = -1e300;
    ellipse.w = 1.0 / 3;
    ellipse.h = 2;
    ellipse.stroke = {0xAB, 0xCD, 0xEF, 0x01};
    ellipse.fill = {255, 255, 255, 255};
    ellipse.width = 11;
    v.push_back(ellipse);

    MarkupObject line = DefaultObject(ObjectType::Line);
    line.x1 = 1;
    line.y1 = 2;
    line.x2 = -3;
    line.y2 = 4.5;
    line.stroke = {0, 0, 0, 0};
    line.width = 0.5;
    v.push_back(line);

    MarkupObject arrow = DefaultObject(ObjectType::Arrow);
    arrow.x1 = 10;
    arrow.y1 = 20;
    arrow.x2 = 30;
    arrow.y2 = 40;
    arrow.stroke = {9, 8, 7, 255};
    arrow.width = 6;
    arrow.head = 18.5;
    arrow.heads = ArrowHeads::Both;
    v.push_back(arrow);

    MarkupObject pen = DefaultObject(ObjectType::Pen);
    pen.points = {{0, 0}, {1.5, -2.25}, {1e10, 3}};
    pen.stroke = {0, 128, 0, 255};
    pen.width = 2;
    v.push_back(pen);

    MarkupObject highlight = DefaultObject(ObjectType::Highlight);
    highlight.points = {{4, 5}};
    highlight.stroke = {255, 0, 255, 100};
    highlight.width = 30;
    v.push_back(highlight);

    MarkupObject text = DefaultObject(ObjectType::Text);
    text.x = 3;
    text.y = 4;
    text.w = 200;
    text.h = 50;
    text.text = "Line one\nZeile zwei: \xC3\xBC\xC3\x9F \"quoted\" back\\slash\ttab \x01 \xF0\x9F\x98\x80";
    text.font = "Consolas \xE6\x97\xA5";
    text.size = 13.5;
    text.bold = true;
    text.stroke = {1, 1, 1, 255};
    text.fill = {2, 2, 2, 2};
    text.outline = {3, 3, 3, 255};
    v.push_back(text);

    MarkupObject step = DefaultObject(ObjectType::Step);
    step.x = 100;
    step.y = 200;
    step.w = 40;
    step.h = 41;
    step.value = -2147483647 - 1;
    step.start = 2147483647;
    step.series = 3;
    step.label = StepLabel::Letters;
    step.stroke = {5, 6, 7, 255};
    step.fill = {8, 9, 10, 255};
    v.push_back(step);

    MarkupObject redact = DefaultObject(ObjectType::Redact);
    redact.x = 1;
    redact.y = 2;
    redact.w = 3;
    redact.h = 4;
    redact.style = RedactStyle::Mosaic;
    redact.fill = {50, 60, 70, 255};
    redact.seed = 4294967295u;
    redact.cell = 64;
    v.push_back(redact);
    return v;
}

std::vector<MarkupObject> Objects(const std::vector<ListEntry>& entries) {
    std::vector<MarkupObject> out;
    for (const ListEntry& e : entries)
        if (!e.isCrop) out.push_back(e.object);
    return out;
}

JsonError ErrorOf(const std::string& json) {
    std::vector<ListEntry> entries;
    JsonError error;
    EXPECT_FALSE(ParseObjectList(json, entries, error)) << json;
    EXPECT_TRUE(entries.empty());
    return error;
}

std::string List(const std::string& objects) { return "{\"version\": 1, \"objects\": [" + objects + "]}"; }

}  // namespace

TEST(ObjectsJson, EveryTypeWithEveryFieldRoundTrips) {
    const auto objects = EveryTypeChanged();
    const std::string json = WriteObjectList(objects);
    std::vector<ListEntry> entries;
    JsonError error;
    ASSERT_TRUE(ParseObjectList(json, entries, error)) << error.line << ":" << error.column << " " << error.message << "\n" << json;
    ASSERT_EQ(entries.size(), objects.size());
    for (size_t i = 0; i < objects.size(); ++i) {
        EXPECT_FALSE(entries[i].isCrop);
        EXPECT_EQ(entries[i].object, objects[i]) << TypeName(objects[i].type);
    }
    // One object a line, between the opening and the closing line.
    size_t lines = 0;
    for (char c : json) lines += c == '\n';
    EXPECT_EQ(lines, objects.size() + 2);
    EXPECT_EQ(WriteObjectList(Objects(entries)), json);
}

TEST(ObjectsJson, WriterUsesShortFormsForNumbersAndColours) {
    MarkupObject r = DefaultObject(ObjectType::Rect);
    r.x = 0.1;
    r.y = 3;
    r.w = 1e21;
    r.fill = {0x12, 0xAB, 0xFF, 0x80};
    const std::string json = WriteObjectList({r});
    EXPECT_NE(json.find("\"x\": 0.1,"), std::string::npos) << json;
    EXPECT_NE(json.find("\"y\": 3,"), std::string::npos) << json;
    EXPECT_NE(json.find("\"w\": 1e+21,"), std::string::npos) << json;
    EXPECT_NE(json.find("\"stroke\": \"#ff0000\""), std::string::npos) << json;
    EXPECT_NE(json.find("\"fill\": \"#12abff80\""), std::string::npos) << json;
    EXPECT_EQ(WriteObjectList({}), "{\"version\": 1, \"objects\": []}\n");
}

// Values no list can hold still give text that reads: ill-formed UTF-8 becomes U+FFFD, a
// non-finite number 0.
TEST(ObjectsJson, WriterKeepsItsOutputReadable) {
    MarkupObject t = DefaultObject(ObjectType::Text);
    t.text = "a\xFF" "b";
    t.x = std::numeric_limits<double>::infinity();
    t.y = std::numeric_limits<double>::quiet_NaN();
    std::vector<ListEntry> entries;
    JsonError error;
    ASSERT_TRUE(ParseObjectList(WriteObjectList({t}), entries, error)) << error.message;
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].object.text, "a\xEF\xBF\xBD" "b");
    EXPECT_EQ(entries[0].object.x, 0);
    EXPECT_EQ(entries[0].object.y, 0);
}

TEST(ObjectsJson, MissingFieldsTakeTheDefaultsOfTheType) {
    std::vector<ListEntry> entries;
    JsonError error;
    ASSERT_TRUE(ParseObjectList(List(R"({"type": "highlight", "points": [[1, 2]]}, {"type": "step", "value": 5},
        {"type": "step"}, {"type": "step", "value": 5, "start": 2}, {"type": "redact", "fill": null})"),
                                entries, error))
        << error.message;
    ASSERT_EQ(entries.size(), 5u);
    MarkupObject want = DefaultObject(ObjectType::Highlight);
    want.points = {{1, 2}};
    EXPECT_EQ(entries[0].object, want);
    EXPECT_EQ(entries[1].object.value, 5);
    EXPECT_EQ(entries[1].object.start, 5);  // a missing start follows the value
    EXPECT_EQ(entries[2].object, DefaultObject(ObjectType::Step));
    EXPECT_EQ(entries[3].object.start, 2);
    EXPECT_EQ(entries[4].object.fill, (Rgba{0, 0, 0, 0}));
}

TEST(ObjectsJson, CropsStandWhereTheyAreInTheList) {
    std::vector<ListEntry> entries;
    JsonError error;
    ASSERT_TRUE(ParseObjectList(List(R"({"type": "rect"}, {"type": "crop", "x": -1, "y": 2, "w": 30.5, "h": 4}, {"type": "line"})"),
                                entries, error))
        << error.message;
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_FALSE(entries[0].isCrop);
    ASSERT_TRUE(entries[1].isCrop);
    EXPECT_EQ(entries[1].cropX, -1);
    EXPECT_EQ(entries[1].cropY, 2);
    EXPECT_EQ(entries[1].cropW, 30.5);
    EXPECT_EQ(entries[1].cropH, 4);
    EXPECT_EQ(entries[2].object.type, ObjectType::Line);
}

TEST(ObjectsJson, ColoursAndTextAcceptEveryWrittenForm) {
    std::vector<ListEntry> entries;
    JsonError error;
    // A byte order mark, upper-case hex, escapes of every kind and a surrogate pair.
    ASSERT_TRUE(ParseObjectList("\xEF\xBB\xBF" + List(R"({"type": "text", "stroke": "#AbCdEf", "fill": "#0102037F",
        "text": "a\"\\\/\b\f\n\r\t\u00e9\uD83D\uDE00\u0000z"})"),
                                entries, error))
        << error.message;
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].object.stroke, (Rgba{0xAB, 0xCD, 0xEF, 255}));
    EXPECT_EQ(entries[0].object.fill, (Rgba{1, 2, 3, 0x7F}));
    EXPECT_EQ(entries[0].object.text, std::string("a\"\\/\b\f\n\r\t\xC3\xA9\xF0\x9F\x98\x80\0z", 17));
    const std::string again = WriteObjectList(Objects(entries));
    ASSERT_TRUE(ParseObjectList(again, entries, error)) << error.message;
    EXPECT_EQ(entries[0].object.text, std::string("a\"\\/\b\f\n\r\t\xC3\xA9\xF0\x9F\x98\x80\0z", 17));
}

// `json` holds one '`' where the error is expected; it is taken out before parsing.
struct ErrorCase {
    const char* json;
    const char* message;
};

void ExpectError(const std::string& marked, const char* message) {
    const size_t at = marked.find('`');
    ASSERT_NE(at, std::string::npos) << marked;
    int line = 1, column = 1;
    for (size_t i = 0; i < at; ++i) {
        if (marked[i] == '\n') {
            ++line;
            column = 1;
        } else if ((static_cast<uint8_t>(marked[i]) & 0xC0) != 0x80) {
            ++column;
        }
    }
    const std::string json = marked.substr(0, at) + marked.substr(at + 1);
    const JsonError e = ErrorOf(json);
    EXPECT_EQ(e.line, line) << json << "\n" << e.message;
    EXPECT_EQ(e.column, column) << json << "\n" << e.message;
    EXPECT_NE(e.message.find(message), std::string::npos) << json << "\n" << e.message;
}

TEST(ObjectsJson, ErrorsNameTheirLineAndColumn) {
    const ErrorCase cases[] = {
        // Syntax.
        {"{\"version\": 1,\n \"objects\": [\n {\"type\":\"rect\" `\"x\": 1}]}", "expected ',' or '}'"},
        {"{\"version\": 1, \"objects\": [{\"type\": \"rect\",`}]}", "field name"},
        {"{\"version\": 1, \"objects\": [{\"type\": \"rect\"},`]}", "expected an object"},
        {"{\"version\": 1, \"objects\": [{\"type\" `\"rect\"}]}", "expected ':'"},
        {"{\"version\": 1, \"objects\": [{\"type\": \"rect\"}`}", "expected ',' or ']'"},
        {"{\"version\": 1, \"objects\": []} `x", "after the end"},
        {"`[]", "expected '{'"},
        {"`", "expected '{'"},
        {"\xEF\xBB\xBF \n `x", "expected '{'"},
        {"{\"version\": 1, \"objects\": [{\"type\": \"rect\", \"x\": `01}]}", "leading 0"},
        {"{\"version\": 1, \"objects\": [{\"type\": \"rect\", \"x\": `1.}]}", "'.'"},
        {"{\"version\": 1, \"objects\": [{\"type\": \"rect\", \"x\": `-1e}]}", "exponent"},
        {"{\"version\": 1, \"objects\": [{\"type\": \"rect\", \"x\": `+1}]}", "must be a number"},
        {"{\"version\": 1, \"objects\": [{\"type\": \"rect\", \"x\": `NaN}]}", "must be a number"},
        {"{\"version\": 1, \"objects\": [{\"type\": \"rect\", \"x\": 1`", "the end of the text"},
        // Columns count characters, not bytes.
        {"{\"version\": 1, \"objects\": [{\"type\": \"text\", \"text\": \"\xC3\xBC\xE6\x97\xA5\xF0\x9F\x98\x80\", \"x\": `true}]}", "must be a number"},
        // The list.
        {"{\"version\": `2, \"objects\": []}", "unsupported version 2"},
        {"{\"version\": `\"1\", \"objects\": []}", "must be a number"},
        {"`{\"objects\": []}", "no \"version\""},
        {"`{\"version\": 1}", "no \"objects\""},
        {"{\"version\": 1, \"objects\": [], `\"extra\": 0}", "unknown top-level field \"extra\""},
        {"{\"version\": 1, `\"version\": 1, \"objects\": []}", "given twice"},
        {"{\"version\": 1, \"objects\": `{}}", "must be an array"},
        {"{\"version\": 1, \"objects\": [`[]]}", "expected an object"},
        // Types and fields.
        {"{\"version\": 1, \"objects\": [`{\"x\": 1}]}", "no \"type\""},
        {"{\"version\": 1, \"objects\": [{\"type\": `\"blob\"}]}", "unknown type \"blob\""},
        {"{\"version\": 1, \"objects\": [{\"type\": `\"Rect\"}]}", "unknown type"},
        {"{\"version\": 1, \"objects\": [{\"type\": `7}]}", "\"type\" must be a string"},
        {"{\"version\": 1, \"objects\": [{\"type\": \"rect\", `\"colour\": 1}]}", "unknown field \"colour\""},
        {"{\"version\": 1, \"objects\": [{`\"radius\": 2, \"type\": \"ellipse\"}]}", "does not belong to type \"ellipse\""},
        {"{\"version\": 1, \"objects\": [{\"type\": \"redact\", `\"stroke\": null}]}", "does not belong to type \"redact\""},
        {"{\"version\": 1, \"objects\": [{\"type\": \"crop\", `\"fill\": null}]}", "does not belong to type \"crop\""},
        {"{\"version\": 1, \"objects\": [{\"type\": \"rect\", \"x\": 1, `\"x\": 2}]}", "given twice"},
        {"{\"version\": 1, \"objects\": [{\"type\": \"crop\", `\"w\": 0, \"h\": 1}]}", "\"w\" greater than 0"},
        {"{\"version\": 1, \"objects\": [`{\"type\": \"crop\", \"w\": 1}]}", "\"h\" greater than 0"},
        // Kinds and ranges.
        {"{\"version\": 1, \"objects\": [{\"type\": \"rect\", \"x\": `\"1\"}]}", "\"x\" must be a number"},
        {"{\"version\": 1, \"objects\": [{\"type\": \"rect\", \"width\": `-1}]}", "must not be negative"},
        {"{\"version\": 1, \"objects\": [{\"type\": \"arrow\", \"head\": `-0.5}]}", "must not be negative"},
        {"{\"version\": 1, \"objects\": [{\"type\": \"text\", \"size\": `0}]}", "greater than 0"},
        {"{\"version\": 1, \"objects\": [{\"type\": \"text\", \"font\": `null}]}", "must be a string"},
        {"{\"version\": 1, \"objects\": [{\"type\": \"rect\", \"stroke\": `\"#12345\"}]}", "must be a colour"},
        {"{\"version\": 1, \"objects\": [{\"type\": \"rect\", \"stroke\": `\"#12345g\"}]}", "must be a colour"},
        {"{\"version\": 1, \"objects\": [{\"type\": \"rect\", \"fill\": `0}]}", "must be a colour"},
        {"{\"version\": 1, \"objects\": [{\"type\": \"arrow\", \"heads\": `\"none\"}]}", "\"end\", \"start\", \"both\""},
        {"{\"version\": 1, \"objects\": [{\"type\": \"step\", \"label\": `\"roman\"}]}", "\"numbers\", \"letters\""},
        {"{\"version\": 1, \"objects\": [{\"type\": \"redact\", \"style\": `\"blur\"}]}", "\"solid\", \"mosaic\""},
        {"{\"version\": 1, \"objects\": [{\"type\": \"step\", \"value\": `2147483648}]}", "integer from"},
        {"{\"version\": 1, \"objects\": [{\"type\": \"step\", \"start\": `-2147483649}]}", "integer from"},
        {"{\"version\": 1, \"objects\": [{\"type\": \"step\", \"series\": `1.5}]}", "integer from"},
        {"{\"version\": 1, \"objects\": [{\"type\": \"step\", \"series\": `1e2}]}", "integer from"},
        {"{\"version\": 1, \"objects\": [{\"type\": \"redact\", \"seed\": `-1}]}", "from 0 to 4294967295"},
        {"{\"version\": 1, \"objects\": [{\"type\": \"redact\", \"seed\": `4294967296}]}", "from 0 to 4294967295"},
        {"{\"version\": 1, \"objects\": [{\"type\": \"redact\", \"cell\": `65}]}", "from 2 to 64"},
        {"{\"version\": 1, \"objects\": [{\"type\": \"redact\", \"cell\": `1}]}", "from 2 to 64"},
        {"{\"version\": 1, \"objects\": [{\"type\": \"text\", \"bold\": `1}]}", "true or false"},
        {"{\"version\": 1, \"objects\": [{\"type\": \"pen\", \"points\": [`]}]}", "at least one point"},
        // Found by the fuzzer: a pen without points was read but could not be written back.
        {"{\"version\": 1, \"objects\": [`{\"type\": \"highlight\", \"width\": 3}]}", "needs \"points\""},
        {"{\"version\": 1, \"objects\": [{\"type\": \"pen\", \"points\": [[1, 2`, 3]]}]}", "exactly two"},
        {"{\"version\": 1, \"objects\": [{\"type\": \"pen\", \"points\": [`1, 2]}]}", "expected a point"},
        {"{\"version\": 1, \"objects\": [{\"type\": \"pen\", \"points\": `{}}]}", "array of points"},
        {"{\"version\": 1, \"objects\": [{\"type\": \"pen\", \"points\": [[1`]]}]}", "expected ','"},
    };
    for (const ErrorCase& c : cases) ExpectError(c.json, c.message);
}

TEST(ObjectsJson, StringErrorsPointAtTheBadPart) {
    const std::string head = "{\"version\": 1, \"objects\": [{\"type\": \"text\", \"text\": \"ab";
    const std::string tail = "\"}]}";
    const ErrorCase cases[] = {
        {"`\\q", "invalid escape \\q"},
        {"`\\u12G4", "four hex digits"},
        {"`\\u12", "four hex digits"},
        {"`\\uD83D", "lone high surrogate"},
        {"`\\uD83Dx", "lone high surrogate"},
        {"`\\uD83D\\u0041", "lone high surrogate"},
        {"`\\uDE00", "lone low surrogate"},
        {"`\xC3", "ill-formed UTF-8"},              // truncated sequence
        {"`\xC0\xAF", "ill-formed UTF-8"},          // overlong
        {"`\xE0\x80\xAF", "ill-formed UTF-8"},      // overlong
        {"`\xED\xA0\x80", "ill-formed UTF-8"},      // a surrogate in UTF-8
        {"`\xF4\x90\x80\x80", "ill-formed UTF-8"},  // past U+10FFFF
        {"`\xFF", "ill-formed UTF-8"},
        {"`\x80", "ill-formed UTF-8"},
        {"`\x01", "control character"},
        {"x`\ny", "control character"},
    };
    for (const ErrorCase& c : cases) ExpectError(head + c.json + tail, c.message);
    ExpectError(head + "`", "ends inside a string");
    ExpectError(head + "\\`", "ends inside a string");
}

TEST(ObjectsJson, EveryTruncationIsRefused) {
    const std::string json = WriteObjectList(EveryTypeChanged());
    // Cutting anywhere before the final '}' leaves malformed text; none of it may crash.
    const size_t end = json.rfind('}');
    for (size_t n = 0; n < end; ++n) {
        std::vector<ListEntry> entries;
        JsonError error;
        ASSERT_FALSE(ParseObjectList(std::string_view(json).substr(0, n), entries, error)) << n;
        EXPECT_GE(error.line, 1);
        EXPECT_GE(error.column, 1);
        EXPECT_FALSE(error.message.empty());
    }
}

TEST(ObjectsJson, HostileInputsAreRefusedQuickly) {
    // Deep nesting is refused where the first unexpected bracket opens.
    const JsonError deep = ErrorOf("{\"version\": 1, \"objects\": [{\"type\": \"rect\", \"x\": " + std::string(1000000, '[') + "}]}");
    EXPECT_EQ(deep.column, 50);
    EXPECT_EQ(ErrorOf(std::string(1000000, '{')).message.find("field name") != std::string::npos, true);
    EXPECT_NE(ErrorOf(List("{\"type\": \"pen\", \"points\": [[[[[[[[1]]]]]]]]}")).message.find("must be a number"), std::string::npos);

    // Numbers past the range of a double, and absurdly long ones.
    EXPECT_NE(ErrorOf(List("{\"type\": \"rect\", \"x\": 1e400}")).message.find("out of range"), std::string::npos);
    EXPECT_NE(ErrorOf(List("{\"type\": \"rect\", \"x\": -1" + std::string(400, '0') + "}")).message.find("out of range"), std::string::npos);
    EXPECT_NE(ErrorOf(List("{\"type\": \"rect\", \"x\": 1" + std::string(5000, '0') + "}")).message.find("longer"), std::string::npos);
    EXPECT_NE(ErrorOf(List("{\"type\": \"step\", \"value\": 99999999999999999999999}")).message.find("integer from"), std::string::npos);

    // Strings and counts past their limits.
    const JsonError longText = ErrorOf(List("{\"type\": \"text\", \"text\": \"" + std::string(kMaxJsonStringBytes + 1, 'a') + "\"}"));
    EXPECT_NE(longText.message.find("longer than"), std::string::npos);
    EXPECT_EQ(longText.column, 53);  // the string's opening quote
    std::string many = "{\"type\": \"pen\", \"points\": [";
    for (size_t i = 0; i <= kMaxJsonPoints; ++i) many += i ? ",[0,0]" : "[0,0]";
    EXPECT_NE(ErrorOf(List(many + "]}")).message.find("points in all"), std::string::npos);
    std::string objects;
    for (size_t i = 0; i <= kMaxJsonObjects; ++i) objects += i ? ",{\"type\":\"line\"}" : "{\"type\":\"line\"}";
    EXPECT_NE(ErrorOf(List(objects)).message.find("objects"), std::string::npos);
}

TEST(ObjectsJson, LargeListsWithinTheLimitsAreRead) {
    MarkupObject pen = DefaultObject(ObjectType::Pen);
    for (int i = 0; i < 200000; ++i) pen.points.push_back({i * 0.25, -i * 1.5});
    std::vector<MarkupObject> objects(5, pen);
    const std::string json = WriteObjectList(objects);
    std::vector<ListEntry> entries;
    JsonError error;
    ASSERT_TRUE(ParseObjectList(json, entries, error)) << error.message;
    EXPECT_EQ(Objects(entries), objects);
}
