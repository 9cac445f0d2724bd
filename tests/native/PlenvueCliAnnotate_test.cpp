// plenvue-cli annotate, objects and render, run as a program on files.
#include <gtest/gtest.h>
#include <stb_image.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "image/clsDIBSection.h"
#include "markup/ObjectsJson.h"

using namespace plenvue;
using namespace plenvue::markup;
namespace fs = std::filesystem;

namespace {

class CliAnnotate : public ::testing::Test {
protected:
    void SetUp() override {
        cli_ = fs::read_symlink("/proc/self/exe").parent_path() / "plenvue-cli";
        ASSERT_TRUE(fs::exists(cli_)) << "plenvue-cli is missing beside the tests: " << cli_;
        dir_ = fs::temp_directory_path() / ("plenvue-annotate-" + std::to_string(::getpid()) + "-" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        clsDIBSection d;
        ASSERT_TRUE(d.Create(160, 120));
        for (int y = 0; y < 120; ++y)
            for (int x = 0; x < 160; ++x) {
                d.PixelPtr(x, y)[0] = static_cast<uint8_t>(x);
                d.PixelPtr(x, y)[1] = static_cast<uint8_t>(y * 2);
                d.PixelPtr(x, y)[2] = static_cast<uint8_t>((x / 10 + y / 10) % 2 ? 230 : 40);
            }
        ASSERT_TRUE(d.SavePicture(Path("in.bmp")));
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    std::string Path(const std::string& name) const { return (dir_ / name).string(); }
    int Run(const std::string& args) {
        const std::string cmd = cli_.string() + " " + args + " 2>" + Path("stderr.txt") + " >" + Path("stdout.txt");
        const int status = std::system(cmd.c_str());
        stderr_ = Read(Path("stderr.txt"));
        stdout_ = Read(Path("stdout.txt"));
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    static std::string Read(const std::string& p) {
        std::ifstream f(p, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(f), {});
    }
    void Write(const std::string& name, const std::string& text) { std::ofstream(Path(name), std::ios::binary) << text; }
    std::vector<MarkupObject> Listed(const std::string& file) {
        EXPECT_EQ(Run("objects " + Path(file)), 0) << stderr_;
        std::vector<ListEntry> entries;
        JsonError error;
        EXPECT_TRUE(ParseObjectList(stdout_, entries, error)) << error.line << ":" << error.column << " " << error.message << "\n"
                                                              << stdout_;
        std::vector<MarkupObject> out;
        for (const ListEntry& e : entries) out.push_back(e.object);
        return out;
    }
    // RGB bytes of a picture file, decoded by an independent decoder.
    static std::vector<uint8_t> Decoded(const std::string& path, int& w, int& h) {
        int n = 0;
        stbi_uc* px = stbi_load(path.c_str(), &w, &h, &n, 3);
        if (!px) return {};
        std::vector<uint8_t> out(px, px + static_cast<size_t>(w) * h * 3);
        stbi_image_free(px);
        return out;
    }
    fs::path cli_, dir_;
    std::string stderr_, stdout_;
};

const char* kEveryShape = R"({"version": 1, "objects": [
  {"type": "rect", "x": 10, "y": 10, "w": 60, "h": 40, "stroke": "#ff0000", "fill": "#ffff0040", "width": 3, "radius": 6},
  {"type": "ellipse", "x": 80, "y": 10, "w": 50, "h": 30, "stroke": "#0000ff", "width": 2},
  {"type": "line", "x1": 5, "y1": 100, "x2": 150, "y2": 60, "width": 2.5},
  {"type": "arrow", "x1": 140, "y1": 110, "x2": 90, "y2": 70, "width": 3, "heads": "both", "head": 12},
  {"type": "pen", "points": [[20, 80], [30, 70], [45, 90], [60, 75]], "stroke": "#00aa00", "width": 4},
  {"type": "highlight", "points": [[10, 60], [150, 62]], "stroke": "#ffee00", "width": 12},
  {"type": "step", "x": 100, "y": 50, "w": 28, "h": 28, "start": 3},
  {"type": "step", "x": 120, "y": 80, "w": 28, "h": 28, "label": "numbers"},
  {"type": "text", "x": 12, "y": 14, "text": "Hällo\nwörld 李", "size": 14, "bold": true, "outline": "#ffffff"}
]})";

}  // namespace

TEST_F(CliAnnotate, ObjectsThenReplaceGivesBackEveryObjectExactly) {
    Write("shapes.json", kEveryShape);
    ASSERT_EQ(Run("annotate " + Path("in.bmp") + " " + Path("a.png") + " --objects " + Path("shapes.json")), 0) << stderr_;
    EXPECT_NE(stderr_.find("text objects are kept but not drawn"), std::string::npos) << stderr_;
    const std::vector<MarkupObject> first = Listed("a.png");
    ASSERT_EQ(first.size(), 9u);
    EXPECT_EQ(first[0].type, ObjectType::Rect);
    EXPECT_EQ(first[0].radius, 6);
    EXPECT_EQ(first[2].width, 2.5);
    EXPECT_EQ(first[3].heads, ArrowHeads::Both);
    EXPECT_EQ(first[6].value, 3);
    EXPECT_EQ(first[7].value, 4);  // the series counts on from the first step's start
    EXPECT_EQ(first[8].text, "Hällo\nwörld 李");

    Write("listed.json", stdout_);
    ASSERT_EQ(Run("annotate " + Path("a.png") + " " + Path("b.png") + " --objects " + Path("listed.json") + " --replace"), 0)
        << stderr_;
    EXPECT_EQ(Listed("b.png"), first);
    // Without --replace the file's objects stay and the new ones go above them.
    ASSERT_EQ(Run("annotate " + Path("a.png") + " " + Path("c.png") + " --objects " + Path("listed.json")), 0) << stderr_;
    EXPECT_EQ(Listed("c.png").size(), 18u);
}

TEST_F(CliAnnotate, RenderGivesThePixelsEveryViewerShows) {
    std::string shapes = kEveryShape;
    shapes.erase(shapes.find(",\n  {\"type\": \"text\""), std::string::npos);
    Write("shapes.json", shapes + "\n]}");
    ASSERT_EQ(Run("annotate " + Path("in.bmp") + " " + Path("a.png") + " --objects " + Path("shapes.json")), 0) << stderr_;
    ASSERT_EQ(Run("render " + Path("a.png") + " " + Path("r.png")), 0) << stderr_;
    int w1 = 0, h1 = 0, w2 = 0, h2 = 0;
    const std::vector<uint8_t> shown = Decoded(Path("a.png"), w1, h1);
    const std::vector<uint8_t> rendered = Decoded(Path("r.png"), w2, h2);
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(w1, 160);
    EXPECT_EQ(h1, 120);
    EXPECT_EQ(shown, rendered);
    int w0 = 0, h0 = 0;
    EXPECT_NE(Decoded(Path("in.bmp"), w0, h0), shown);  // something was drawn
    ASSERT_EQ(Run("annotate " + Path("in.bmp") + " " + Path("a.bmp") + " --objects " + Path("shapes.json")), 0) << stderr_;
    EXPECT_EQ(Decoded(Path("a.bmp"), w0, h0), shown);  // BMP gets the flattened picture
}

TEST_F(CliAnnotate, ACropAppliesWhereItStandsInTheList) {
    Write("crop.json", R"({"version": 1, "objects": [
      {"type": "rect", "x": 50, "y": 40, "w": 20, "h": 20},
      {"type": "crop", "x": 40, "y": 30, "w": 100, "h": 60},
      {"type": "ellipse", "x": 0, "y": 0, "w": 10, "h": 10}
    ]})");
    ASSERT_EQ(Run("annotate " + Path("in.bmp") + " " + Path("c.png") + " --objects " + Path("crop.json")), 0) << stderr_;
    const std::vector<MarkupObject> listed = Listed("c.png");
    ASSERT_EQ(listed.size(), 2u);  // a crop is never listed
    EXPECT_EQ(listed[0].x, 10);
    EXPECT_EQ(listed[0].y, 10);
    EXPECT_EQ(listed[1].x, 0);
    int w = 0, h = 0;
    Decoded(Path("c.png"), w, h);
    EXPECT_EQ(w, 100);
    EXPECT_EQ(h, 60);
}

TEST_F(CliAnnotate, ExitCodesAndMessagesForEveryFailureClass) {
    // Malformed JSON: 2, with the line and column.
    Write("bad.json", "{\"version\": 1,\n \"objects\": [\n {\"type\": \"rect\" \"x\": 1}]}");
    EXPECT_EQ(Run("annotate " + Path("in.bmp") + " " + Path("o.png") + " --objects " + Path("bad.json")), 2);
    EXPECT_NE(stderr_.find("bad.json:3:"), std::string::npos) << stderr_;
    EXPECT_FALSE(fs::exists(Path("o.png")));
    Write("type.json", R"({"version": 1, "objects": [{"type": "star"}]})");
    EXPECT_EQ(Run("annotate " + Path("in.bmp") + " " + Path("o.png") + " --objects " + Path("type.json")), 2);
    EXPECT_EQ(Run("annotate " + Path("in.bmp") + " " + Path("o.png")), 2);  // no --objects
    EXPECT_EQ(Run("annotate " + Path("in.bmp") + " " + Path("o.gif") + " --objects " + Path("type.json")), 2);
    EXPECT_EQ(Run("objects"), 2);

    // Files: 3, one line on stderr.
    Write("ok.json", R"({"version": 1, "objects": []})");
    EXPECT_EQ(Run("annotate " + Path("missing.bmp") + " " + Path("o.png") + " --objects " + Path("ok.json")), 3);
    EXPECT_EQ(Run("annotate " + Path("in.bmp") + " " + Path("o.png") + " --objects " + Path("missing.json")), 3);
    EXPECT_EQ(Run("annotate " + Path("in.bmp") + " " + Path("no/o.png") + " --objects " + Path("ok.json")), 3);
    EXPECT_EQ(std::count(stderr_.begin(), stderr_.end(), '\n'), 1) << stderr_;
    ASSERT_EQ(Run("convert " + Path("in.bmp") + " " + Path("plain.png")), 0) << stderr_;
    std::string png = Read(Path("plain.png"));
    std::string broken = png;
    broken[20] ^= 0x55;  // inside IHDR: its CRC no longer holds
    Write("broken.png", broken);
    EXPECT_EQ(Run("objects " + Path("broken.png")), 3);
    EXPECT_NE(stderr_.find("not a valid PNG"), std::string::npos) << stderr_;
    EXPECT_EQ(Run("render " + Path("broken.png") + " " + Path("r.png")), 3);
    Write("cut.png", png.substr(0, png.size() - 12));  // no IEND
    EXPECT_EQ(Run("objects " + Path("cut.png")), 3);

    // A plain picture has an empty list.
    ASSERT_EQ(Run("objects " + Path("plain.png")), 0) << stderr_;
    std::vector<ListEntry> entries;
    JsonError error;
    ASSERT_TRUE(ParseObjectList(stdout_, entries, error)) << stdout_;
    EXPECT_TRUE(entries.empty());
    ASSERT_EQ(Run("objects " + Path("in.bmp")), 0) << stderr_;
}

TEST_F(CliAnnotate, FarCoordinatesAreClippedNeverACrash) {
    Write("far.json", R"({"version": 1, "objects": [
      {"type": "rect", "x": -1e9, "y": -1e9, "w": 3e9, "h": 3e9, "width": 1e6},
      {"type": "line", "x1": -5e8, "y1": 3, "x2": 5e8, "y2": 4},
      {"type": "redact", "x": 150, "y": 110, "w": 1e8, "h": 1e8, "style": "mosaic"},
      {"type": "pen", "points": [[1e300, -1e300], [5, 5]]}
    ]})");
    EXPECT_EQ(Run("annotate " + Path("in.bmp") + " " + Path("far.png") + " --objects " + Path("far.json")), 0) << stderr_;
}
