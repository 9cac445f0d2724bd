// End-to-end runs of the built plenvue-cli beside this test program.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>
#include <sstream>
#include <vector>

#include "effects/clsColourReduceDIB.h"
#include "effects/clsImageProcessDIB.h"
#include "effects/clsPalette.h"
#include "effects/modMirror.h"
#include "image/ImageFileReader.h"
#include "image/Rnd.h"
#include "image/clsDIBSection.h"
#include "image/clsDIBSectionSave.h"
#include "PlenvueVersion.h"

using namespace plenvue;
namespace fs = std::filesystem;

namespace {

class PlenvueCli : public ::testing::Test {
protected:
    void SetUp() override {
        cli_ = fs::read_symlink("/proc/self/exe").parent_path() / "plenvue-cli";
        ASSERT_TRUE(fs::exists(cli_)) << "plenvue-cli is missing beside the tests: " << cli_;
        dir_ = fs::temp_directory_path() / ("plenvue-cli-" + std::to_string(::getpid()) + "-" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    std::string Path(const char* name) const { return (dir_ / name).string(); }
    // Runs the tool; returns its exit code and keeps what it wrote to stderr.
    int Run(const std::string& args) {
        std::string cmd = cli_.string() + " " + args + " 2>" + Path("stderr.txt") + " >/dev/null";
        int status = std::system(cmd.c_str());
        std::ifstream f(Path("stderr.txt"));
        stderr_.assign(std::istreambuf_iterator<char>(f), {});
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    fs::path cli_, dir_;
    std::string stderr_;
};

std::vector<uint8_t> ReadAll(const std::string& p) {
    std::ifstream f(p, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(f), {});
}

void MakeGradient(clsDIBSection& d) {
    ASSERT_TRUE(d.Create(23, 9));
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 23; ++x) {
            d.PixelPtr(x, y)[0] = static_cast<uint8_t>(x * 11);
            d.PixelPtr(x, y)[1] = static_cast<uint8_t>(y * 28);
            d.PixelPtr(x, y)[2] = 90;
        }
}

}  // namespace

TEST_F(PlenvueCli, BmpToBmpIsByteExact) {
    clsDIBSection d;
    MakeGradient(d);
    ASSERT_TRUE(d.SavePicture(Path("in.bmp")));
    ASSERT_EQ(Run(Path("in.bmp") + " " + Path("out.bmp")), 2) << "command name is required";
    ASSERT_EQ(Run("convert " + Path("in.bmp") + " " + Path("out.bmp")), 0) << stderr_;
    EXPECT_EQ(ReadAll(Path("in.bmp")), ReadAll(Path("out.bmp")));
}

TEST_F(PlenvueCli, JpegRoundTripStaysClose) {
    clsDIBSection d;
    MakeGradient(d);
    ASSERT_TRUE(d.SavePicture(Path("in.bmp")));
    ASSERT_EQ(Run("convert " + Path("in.bmp") + " " + Path("out.JPG")), 0) << stderr_;
    ASSERT_EQ(Run("convert --quality 100 " + Path("out.JPG") + " " + Path("back.bmp")), 2);  // not JPEG output
    ASSERT_EQ(Run("convert " + Path("out.JPG") + " " + Path("back.bmp")), 0) << stderr_;
    clsDIBSection back;
    std::string error;
    ASSERT_TRUE(ReadImageWithStb(Path("back.bmp"), back, error)) << error;
    ASSERT_EQ(back.Width(), 23);
    double worst = 0;
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 23; ++x)
            for (int c = 0; c < 3; ++c)
                worst = std::max(worst, std::abs(double(back.PixelPtr(x, y)[c]) - d.PixelPtr(x, y)[c]));
    EXPECT_LT(worst, 40);
}

TEST_F(PlenvueCli, PcxConvertsThroughTheProgramsReader) {
    std::vector<uint8_t> pcx(128, 0);
    pcx[0] = 10;
    pcx[3] = 8;
    pcx[8] = 1;   // x max 1: width 2
    pcx[65] = 1;
    pcx[66] = 2;  // bytes per line
    pcx.insert(pcx.end(), {0xC2, 0x03});
    pcx.push_back(12);
    for (int i = 0; i < 256; ++i) pcx.insert(pcx.end(), {uint8_t(i * 2), 0, 255});
    std::ofstream(Path("in.pcx"), std::ios::binary).write(reinterpret_cast<const char*>(pcx.data()), pcx.size());
    ASSERT_EQ(Run("convert " + Path("in.pcx") + " " + Path("out.bmp")), 0) << stderr_;
    std::vector<uint8_t> bmp = ReadAll(Path("out.bmp"));
    ASSERT_EQ(bmp.size(), 62u);
    EXPECT_EQ((std::vector<uint8_t>(bmp.begin() + 54, bmp.end())), (std::vector<uint8_t>{255, 0, 6, 255, 0, 6, 0, 0}));
}

TEST_F(PlenvueCli, PngOutAndInAreLossless) {
    clsDIBSection d;
    MakeGradient(d);
    ASSERT_TRUE(d.SavePicture(Path("in.bmp")));
    ASSERT_EQ(Run("convert " + Path("in.bmp") + " " + Path("out.PNG")), 0) << stderr_;
    const std::vector<uint8_t> png = ReadAll(Path("out.PNG"));
    ASSERT_GE(png.size(), 8u);
    EXPECT_EQ(std::vector<uint8_t>(png.begin(), png.begin() + 4), (std::vector<uint8_t>{0x89, 'P', 'N', 'G'}));
    ASSERT_EQ(Run("convert " + Path("out.PNG") + " " + Path("back.bmp")), 0) << stderr_;
    EXPECT_EQ(ReadAll(Path("in.bmp")), ReadAll(Path("back.bmp")));
    EXPECT_EQ(Run("convert " + Path("in.bmp") + " " + Path("no/o.png")), 3);
    EXPECT_NE(stderr_.find("Failed to save to PNG 3"), std::string::npos) << stderr_;
}

TEST_F(PlenvueCli, NativeBuildHasNoCaptureButDocumentsItAndTellsItsVersion) {
    EXPECT_EQ(Run("capture screen --out " + Path("s.png")), 2);
    EXPECT_NE(stderr_.find("Windows build"), std::string::npos) << stderr_;
    EXPECT_FALSE(fs::exists(Path("s.png")));
    const std::string out = Path("out.txt");
    EXPECT_EQ(std::system((cli_.string() + " capture --help >" + out + " 2>/dev/null").c_str()), 0);
    std::ifstream help(out);
    const std::string text(std::istreambuf_iterator<char>(help), {});
    for (const char* word : {"screen", "monitor N", "window TITLE", "region X,Y,W,H", "pick", "--out PATH", "--json"})
        EXPECT_NE(text.find(word), std::string::npos) << word;
    EXPECT_EQ(std::system((cli_.string() + " --version >" + out + " 2>/dev/null").c_str()), 0);
    std::ifstream version(out);
    std::string line;
    std::getline(version, line);
    EXPECT_EQ(line, std::string("plenvue-cli ") + PLENVUE_VERSION_TEXT);
}

TEST_F(PlenvueCli, UsageErrorsExitTwoAndFailuresExitThreeWithOneLine) {
    EXPECT_EQ(Run(""), 2);
    EXPECT_EQ(Run("frobnicate"), 2);
    EXPECT_EQ(Run("convert onlyone"), 2);
    EXPECT_EQ(Run("convert a b c"), 2);
    EXPECT_EQ(Run("convert a.bmp b.jpg --quality 0"), 2);
    EXPECT_EQ(Run("convert a.bmp b.jpg --quality"), 2);
    EXPECT_EQ(Run("convert a.bmp b.jpg --colour 3"), 2);

    auto oneLine = [this] { return !stderr_.empty() && stderr_.find('\n') == stderr_.size() - 1; };
    EXPECT_EQ(Run("convert " + Path("missing.png") + " " + Path("o.bmp")), 3);
    EXPECT_TRUE(oneLine()) << stderr_;
    std::ofstream(Path("bad.pcx")) << "short";
    EXPECT_EQ(Run("convert " + Path("bad.pcx") + " " + Path("o.bmp")), 3);
    EXPECT_TRUE(oneLine()) << stderr_;
    clsDIBSection d;
    MakeGradient(d);
    ASSERT_TRUE(d.SavePicture(Path("in.bmp")));
    EXPECT_EQ(Run("convert " + Path("in.bmp") + " " + Path("no/o.bmp")), 3);
    EXPECT_TRUE(oneLine()) << stderr_;
    EXPECT_EQ(Run("convert " + Path("in.bmp") + " " + Path("no/o.jpg")), 3);
    EXPECT_TRUE(oneLine()) << stderr_;
}

namespace {

// Random pixels with smooth runs and hard edges, so filters, dithering and palettes all have
// something to do.
void MakeNoisy(clsDIBSection& d, int w = 29, int h = 13) {
    ASSERT_TRUE(d.Create(w, h));
    std::mt19937 rng(5);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < 3; ++c)
                d.PixelPtr(x, y)[c] = static_cast<uint8_t>(x < w / 3 ? (x * 9 + y * 5 + c * 70) : rng());
}

// The events as plenvue-cli's --progress writes them, the elapsed time left out.
struct TextRecorder : IProgressListener {
    std::string text;
    void InitProgress(int32_t lMax) override { text += "InitProgress " + std::to_string(lMax) + "\n"; }
    void Progress(int32_t lPosition) override { text += "Progress " + std::to_string(lPosition) + "\n"; }
    void Complete(int32_t) override { text += "Complete\n"; }
};

std::string WithoutTimes(const std::string& progress) {
    std::istringstream in(progress);
    std::string line, out;
    while (std::getline(in, line)) out += (line.rfind("Complete ", 0) == 0 ? "Complete" : line) + "\n";
    return out;
}

}  // namespace

// Results of the effect commands are compared with the library's own result on the same pixels,
// written by the same BMP writer; a few known values pin the arguments down.
class PlenvueCliResults : public PlenvueCli {
protected:
    void SetUp() override {
        PlenvueCli::SetUp();
        if (HasFatalFailure()) return;  // no tool, no folder
        clsDIBSection d;
        MakeNoisy(d);
        ASSERT_TRUE(d.SavePicture(Path("in.bmp")));
        Input(in_);
    }
    clsDIBSection in_;
    // The input as the tool reads it.
    void Input(clsDIBSection& d) {
        std::string error;
        ASSERT_TRUE(ReadImageWithStb(Path("in.bmp"), d, error)) << error;
    }
    // Runs `words IN OUT extra` and expects OUT to be the bytes of `expected` written as BMP.
    void ExpectSame(const std::string& words, const std::string& extra, clsDIBSection& expected) {
        SCOPED_TRACE(words + " " + extra);
        ASSERT_EQ(Run(words + " " + Path("in.bmp") + " " + Path("out.bmp") + " " + extra), 0) << stderr_;
        ASSERT_TRUE(expected.SavePicture(Path("expected.bmp")));
        EXPECT_EQ(ReadAll(Path("out.bmp")), ReadAll(Path("expected.bmp")));
    }
    uint8_t OutByte(int x, int y, int c) {
        clsDIBSection d;
        std::string error;
        EXPECT_TRUE(ReadImageWithStb(Path("out.bmp"), d, error)) << error;
        return d.PixelPtr(x, y)[c];
    }
};

TEST_F(PlenvueCliResults, EveryFilterNameRunsItsFilterType) {
    const char* names[] = {"blur", "blur-more", "soften", "soften-more", "sharpen", "sharpen-more",
                           "unsharpen", "emboss", "average", "minimum", "maximum"};
    for (int32_t type = 1; type <= 11; ++type) {
        clsDIBSection d, scratch;
        Input(d);
        ASSERT_TRUE(scratch.Create(d.Width(), d.Height()));
        clsImageProcessDIB fx;
        fx.FilterType(type);
        fx.ProcessImage(d, scratch);
        ExpectSame(std::string("filter ") + names[type - 1], "", d);
    }
    EXPECT_EQ(Run("filter fuzzy " + Path("in.bmp") + " " + Path("o.bmp")), 2);
}

TEST_F(PlenvueCliResults, PointEffectsMatchTheLibraryAndKnownValues) {
    {
        clsDIBSection d;
        Input(d);
        clsImageProcessDIB().Fade(d, 100);
        ExpectSame("fade 100", "", d);
        EXPECT_EQ(OutByte(0, 0, 1), in_.PixelPtr(0, 0)[1] * 100 / 255);
    }
    for (int32_t amount : {40, -60}) {
        clsDIBSection d;
        Input(d);
        clsImageProcessDIB().Lighten(d, amount);
        ExpectSame("lighten " + std::to_string(amount), "", d);
    }
    {
        clsDIBSection d;
        Input(d);
        clsImageProcessDIB().Colourise(d, 2.5f, 0.5f);
        ExpectSame("colourise 2.5", "", d);
        Input(d);
        clsImageProcessDIB().Colourise(d, 4.0f, 0.8f);
        ExpectSame("colourise 4", "--saturation 0.8", d);
    }
    for (bool random : {false, true}) {
        clsDIBSection d;
        Input(d);
        Randomize(7);
        clsImageProcessDIB().AddNoise(d, 40, random);
        ExpectSame("noise 40", random ? "--random --seed 7" : "--seed 7", d);
    }
    {
        clsDIBSection d;
        Input(d);
        NegativeDIB(d);
        ExpectSame("negative", "", d);
        EXPECT_EQ(OutByte(3, 2, 0), 255 - in_.PixelPtr(3, 2)[0]);
    }
    const char* mirrors[] = {"mirror-h", "mirror-v", "mirror-hv"};
    for (int32_t m = 0; m < 3; ++m) {
        clsDIBSection d;
        Input(d);
        MirrorDIB(d, m);
        ExpectSame(mirrors[m], "", d);
    }
    EXPECT_EQ(OutByte(0, 0, 2), in_.PixelPtr(28, 12)[2]);  // both ways: corner to corner

    // Lighten by 50 % turns mid grey into 192.
    clsDIBSection grey;
    ASSERT_TRUE(grey.Create(1, 1));
    grey.PixelPtr(0, 0)[0] = grey.PixelPtr(0, 0)[1] = grey.PixelPtr(0, 0)[2] = 128;
    ASSERT_TRUE(grey.SavePicture(Path("in.bmp")));
    ASSERT_EQ(Run("lighten 50 " + Path("in.bmp") + " " + Path("out.bmp")), 0) << stderr_;
    EXPECT_EQ(OutByte(0, 0, 0), 192);
}

TEST_F(PlenvueCliResults, ColourReductionAndPalettesMatchTheLibrary) {
    {
        clsDIBSection d;
        Input(d);
        clsColourReduceDIB().GrayScale(d);
        ExpectSame("grayscale", "", d);
    }
    {
        clsDIBSection d, scratch;
        Input(d);
        ASSERT_TRUE(scratch.Create(d.Width(), d.Height()));
        clsColourReduceDIB().BlackAndWhite(d, scratch);
        ExpectSame("bw", "", d);
    }
    // A text palette file of three colours, as KIND.
    clsPalette three;
    three.Add(250, 10, 10);
    three.Add(10, 250, 10);
    three.Add(20, 20, 200);
    three.SaveToJASCFile(Path("three.pal"));
    const std::vector<std::string> kinds = {"mono", "16", "halftone", "websafe", "optimal:64:5", Path("three.pal")};
    for (const std::string& kind : kinds)
        for (bool diffuse : {false, true}) {
            clsDIBSection d, scratch;
        Input(d);
            ASSERT_TRUE(scratch.Create(d.Width(), d.Height()));
            clsPalette pal;
            if (kind == "mono") pal.CreateMono();
            if (kind == "16") pal.Create16Colour();
            if (kind == "halftone") pal.CreateHalfTone();
            if (kind == "websafe") pal.CreateWebSafe();
            if (kind == "optimal:64:5") pal.CreateOptimal(d, 64, 5);
            if (kind == Path("three.pal")) pal.LoadFromJASCFile(kind);
            clsColourReduceDIB().ApplyPalette(d, scratch, pal, diffuse);
            ExpectSame("palette " + kind, diffuse ? "--diffuse" : "", d);
        }
    const uint8_t green = OutByte(0, 0, 1);  // one of the three palette colours
    EXPECT_TRUE(green == 250 || green == 10 || green == 20) << int{green};
    EXPECT_EQ(Run("palette optimal:64 " + Path("in.bmp") + " " + Path("o.bmp")), 2);
    EXPECT_EQ(Run("palette optimal:64:9 " + Path("in.bmp") + " " + Path("o.bmp")), 2);
    EXPECT_EQ(Run("palette " + Path("missing.pal") + " " + Path("in.bmp") + " " + Path("o.bmp")), 3);
}

TEST_F(PlenvueCliResults, DepthWritesWhatTheBitmapWriterWritesForEachMethod) {
    const std::pair<int, eOutputColourDepth> depths[] = {
        {1, eOutput1Bit}, {4, eOutput4Bit}, {8, eOutput8Bit}, {24, eOutput24Bit}};
    for (const auto& [bpp, depth] : depths)
        for (int32_t method = 0; method <= 2; ++method) {
            SCOPED_TRACE("depth " + std::to_string(bpp) + " method " + std::to_string(method));
            clsDIBSection d;
        Input(d);
            std::unique_ptr<clsPalette> pal;
            ASSERT_TRUE(clsDIBSectionSave().Save(Path("expected.bmp"), d, pal, depth,
                                                 static_cast<eColourReductionMethod>(method)));
            ASSERT_EQ(Run("depth " + std::to_string(bpp) + " " + Path("in.bmp") + " " + Path("out.bmp") +
                          " --method " + std::to_string(method)),
                      0) << stderr_;
            const std::vector<uint8_t> out = ReadAll(Path("out.bmp"));
            EXPECT_EQ(out, ReadAll(Path("expected.bmp")));
            ASSERT_GT(out.size(), 30u);
            EXPECT_EQ(out[28], bpp);  // bits per pixel in the header
        }
    EXPECT_EQ(Run("depth 2 " + Path("in.bmp") + " " + Path("o.bmp")), 2);
    EXPECT_EQ(Run("depth 8 " + Path("in.bmp") + " " + Path("o.bmp") + " --method 3"), 2);
}

TEST_F(PlenvueCliResults, MakePaletteWritesTextOrBinaryPalettes) {
    ASSERT_EQ(Run("make-palette 16 " + Path("16.pal")), 0) << stderr_;
    clsPalette sixteen;
    sixteen.Create16Colour();
    const std::vector<uint8_t> text = ReadAll(Path("16.pal"));
    EXPECT_EQ(std::string(text.begin(), text.end()), sixteen.JASCText());

    ASSERT_EQ(Run("make-palette websafe " + Path("web.bin") + " --binary"), 0) << stderr_;
    clsPalette web;
    web.CreateWebSafe();
    int32_t pos = 0;
    ASSERT_TRUE(web.Save(Path("expected.bin"), pos));
    EXPECT_EQ(ReadAll(Path("web.bin")), ReadAll(Path("expected.bin")));
    EXPECT_EQ(ReadAll(Path("web.bin")).size(), 4u + 256 * 4);

    clsDIBSection d;
        Input(d);
    clsPalette optimal;
    optimal.CreateOptimal(d, 20, 4);
    ASSERT_EQ(Run("make-palette optimal:20:4 --from " + Path("in.bmp") + " " + Path("opt.pal")), 0) << stderr_;
    const std::vector<uint8_t> opt = ReadAll(Path("opt.pal"));
    EXPECT_EQ(std::string(opt.begin(), opt.end()), optimal.JASCText());
    EXPECT_LE(optimal.count(), 20);

    EXPECT_EQ(Run("make-palette optimal:20:4 " + Path("opt.pal")), 2);  // needs --from
    EXPECT_EQ(Run("make-palette mono"), 2);
    // The binary form holds at most 4097 entries; a longer text palette is refused for it.
    clsPalette big;
    for (int i = 0; i < 4098; ++i) big.Add(i % 256, i / 256, 9);
    big.SaveToJASCFile(Path("big.pal"));
    EXPECT_EQ(Run("make-palette " + Path("big.pal") + " " + Path("big.bin") + " --binary"), 3);
    EXPECT_NE(stderr_.find("cannot write"), std::string::npos) << stderr_;
}

// A text palette longer than 16 bits can index: the answers from its far end arrive whole.
TEST_F(PlenvueCliResults, PaletteOfMoreThan32767EntriesIsAppliedExactly) {
    clsPalette p;
    for (int i = 0; i < 40000; ++i) p.Add(0, 0, 0);
    for (int r = 0; r < 256; r += 3)
        for (int g = 0; g < 256; g += 17) p.Add(r, g, 255 - r);
    p.SaveToJASCFile(Path("long.pal"));
    clsDIBSection d, scratch;
        Input(d);
    ASSERT_TRUE(scratch.Create(d.Width(), d.Height()));
    clsColourReduceDIB().ApplyPalette(d, scratch, p, false);
    ExpectSame("palette " + Path("long.pal"), "", d);
    int farEntries = 0;  // pixels given a colour from past entry 40000 (blue is 255 - red there)
    for (int x = 0; x < 29; ++x) farEntries += d.PixelPtr(x, 5)[0] + d.PixelPtr(x, 5)[2] == 255;
    EXPECT_GT(farEntries, 20);
}

TEST_F(PlenvueCliResults, ProgressWritesThePassesEventsInOrder) {
    {
        clsDIBSection d;
        Input(d);
        TextRecorder rec;
        clsImageProcessDIB fx;
        fx.SetProgressListener(&rec);
        fx.Fade(d, 100);
        ASSERT_EQ(Run("fade 100 " + Path("in.bmp") + " " + Path("out.bmp") + " --progress"), 0) << stderr_;
        EXPECT_EQ(WithoutTimes(stderr_), rec.text);
        EXPECT_EQ(rec.text.rfind("InitProgress 84\n", 0), 0u) << rec.text;  // 3 * (29 - 1)
    }
    {
        clsDIBSection d, scratch;
        Input(d);
        ASSERT_TRUE(scratch.Create(d.Width(), d.Height()));
        TextRecorder rec;
        clsImageProcessDIB fx;
        fx.SetProgressListener(&rec);
        fx.FilterType(5);
        fx.ProcessImage(d, scratch);
        ASSERT_EQ(Run("filter sharpen " + Path("in.bmp") + " " + Path("out.bmp") + " --progress"), 0) << stderr_;
        EXPECT_EQ(WithoutTimes(stderr_), rec.text);
    }
    {
        clsDIBSection d, scratch;
        Input(d);
        ASSERT_TRUE(scratch.Create(d.Width(), d.Height()));
        TextRecorder rec;
        clsPalette pal;
        pal.SetProgressListener(&rec);
        pal.CreateOptimal(d, 30, 5);
        clsColourReduceDIB reduce;
        reduce.SetProgressListener(&rec);
        reduce.ApplyPalette(d, scratch, pal, true);
        ASSERT_EQ(Run("palette optimal:30:5 " + Path("in.bmp") + " " + Path("out.bmp") + " --diffuse --progress"), 0)
            << stderr_;
        EXPECT_EQ(WithoutTimes(stderr_), rec.text);
        EXPECT_GE(std::count(rec.text.begin(), rec.text.end(), 'C'), 2);  // both passes completed
    }
    ASSERT_EQ(Run("fade 100 " + Path("in.bmp") + " " + Path("out.bmp")), 0);
    EXPECT_EQ(stderr_, "");
}

TEST_F(PlenvueCliResults, UnknownOptionsAreUsageErrorsAndLoadErrorsNameThePathOnce) {
    const std::string io = " " + Path("in.bmp") + " " + Path("out.bmp");
    const std::string commands[] = {"filter blur", "fade 9", "lighten 9", "colourise 1", "noise 5", "negative",
                                    "mirror-h", "mirror-v", "mirror-hv", "grayscale", "bw", "palette 16", "depth 8",
                                    "convert"};
    for (const std::string& c : commands) {
        EXPECT_EQ(Run(c + io + " --frobnicate"), 2) << c;
        EXPECT_NE(stderr_.find("unknown option --frobnicate"), std::string::npos) << c << ": " << stderr_;
        EXPECT_EQ(Run(c + io + " --frobnicate=3"), 2) << c;
    }
    EXPECT_EQ(Run("negative" + io + " --progress"), 2);  // raises no events
    EXPECT_EQ(Run("fade 9" + io + " --seed 3"), 2);       // another command's option
    EXPECT_FALSE(fs::exists(Path("out.bmp")));
    EXPECT_EQ(Run("make-palette 16 " + Path("p.pal") + " --diffuse"), 2);

    const std::string missing = Path("missing.bmp");
    for (const std::string& c : {std::string("fade 9"), std::string("negative"), std::string("grayscale"),
                                 std::string("palette 16"), std::string("depth 8"), std::string("convert")}) {
        EXPECT_EQ(Run(c + " " + missing + " " + Path("out.bmp")), 3) << c;
        const size_t first = stderr_.find(missing);
        EXPECT_NE(first, std::string::npos) << c << ": " << stderr_;
        EXPECT_EQ(stderr_.find(missing, first + 1), std::string::npos) << c << ": " << stderr_;
    }
}
