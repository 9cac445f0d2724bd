// End-to-end runs of the built plenvue-cli beside this test program.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "image/ImageFileReader.h"
#include "image/clsDIBSection.h"

using namespace plenvue;
namespace fs = std::filesystem;

namespace {

class PlenvueCli : public ::testing::Test {
protected:
    void SetUp() override {
        cli_ = fs::read_symlink("/proc/self/exe").parent_path() / "plenvue-cli";
        if (!fs::exists(cli_)) GTEST_SKIP() << "plenvue-cli not built beside the tests";
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
    EXPECT_EQ(Run("convert " + Path("in.bmp") + " " + Path("no/o.png")), 1);
    EXPECT_NE(stderr_.find("Failed to save to PNG 3"), std::string::npos) << stderr_;
}

TEST_F(PlenvueCli, UsageErrorsExitTwoAndFailuresExitOneWithOneLine) {
    EXPECT_EQ(Run(""), 2);
    EXPECT_EQ(Run("frobnicate"), 2);
    EXPECT_EQ(Run("convert onlyone"), 2);
    EXPECT_EQ(Run("convert a b c"), 2);
    EXPECT_EQ(Run("convert a.bmp b.jpg --quality 0"), 2);
    EXPECT_EQ(Run("convert a.bmp b.jpg --quality"), 2);
    EXPECT_EQ(Run("convert a.bmp b.jpg --colour 3"), 2);

    auto oneLine = [this] { return !stderr_.empty() && stderr_.find('\n') == stderr_.size() - 1; };
    EXPECT_EQ(Run("convert " + Path("missing.png") + " " + Path("o.bmp")), 1);
    EXPECT_TRUE(oneLine()) << stderr_;
    std::ofstream(Path("bad.pcx")) << "short";
    EXPECT_EQ(Run("convert " + Path("bad.pcx") + " " + Path("o.bmp")), 1);
    EXPECT_TRUE(oneLine()) << stderr_;
    clsDIBSection d;
    MakeGradient(d);
    ASSERT_TRUE(d.SavePicture(Path("in.bmp")));
    EXPECT_EQ(Run("convert " + Path("in.bmp") + " " + Path("no/o.bmp")), 1);
    EXPECT_TRUE(oneLine()) << stderr_;
    EXPECT_EQ(Run("convert " + Path("in.bmp") + " " + Path("no/o.jpg")), 1);
    EXPECT_TRUE(oneLine()) << stderr_;
}
