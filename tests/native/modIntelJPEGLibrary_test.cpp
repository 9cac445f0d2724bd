#include "image/modIntelJPEGLibrary.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "image/ImageFileReader.h"
#include "image/clsDIBSection.h"
#include "base/ErrorObject.h"

#include "tests/support/TempFolder.h"

using namespace plenvue;
namespace fs = std::filesystem;

namespace {

class JpegWriter : public ::testing::Test {
protected:
    std::string Path(const char* name) const { return dir_ / name; }
    size_t Count() const { return dir_.Count(); }
    plenvue::test::TempFolder dir_{"jpg"};
};

// A smooth picture with some detail; pad bytes are filled with garbage that must not show.
void Paint(clsDIBSection& d, int w, int h) {
    ASSERT_TRUE(d.Create(w, h));
    std::memset(d.DIBSectionBitsPtr(), 0xEE, d.Header().biSizeImage);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t* p = d.PixelPtr(x, y);
            p[0] = static_cast<uint8_t>(x * 255 / w);
            p[1] = static_cast<uint8_t>(y * 255 / h);
            p[2] = static_cast<uint8_t>(128 + 60 * std::sin(x * 0.2) * std::cos(y * 0.15));
        }
}

double Psnr(const clsDIBSection& a, const clsDIBSection& b) {
    double sum = 0;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            for (int c = 0; c < 3; ++c) {
                double d = a.PixelPtr(x, y)[c] - b.PixelPtr(x, y)[c];
                sum += d * d;
            }
    double mse = sum / (3.0 * a.Width() * a.Height());
    return mse == 0 ? 99.0 : 10 * std::log10(255.0 * 255.0 / mse);
}

std::vector<uint8_t> ReadAll(const std::string& p) {
    std::ifstream f(p, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(f), {});
}

}  // namespace

TEST_F(JpegWriter, QualityNinetyDecodesBackClose) {
    for (int w : {64, 61}) {  // pad bytes 0 and 1
        clsDIBSection d;
        Paint(d, w, 40);
        ASSERT_TRUE(SaveJPEG(d, Path("a.jpg"), 90));
        std::vector<uint8_t> bytes = ReadAll(Path("a.jpg"));
        ASSERT_GT(bytes.size(), 4u);
        EXPECT_EQ(bytes[0], 0xFF);
        EXPECT_EQ(bytes[1], 0xD8);
        bool baseline = false;  // SOF0
        for (size_t i = 0; i + 1 < bytes.size(); ++i) baseline |= bytes[i] == 0xFF && bytes[i + 1] == 0xC0;
        EXPECT_TRUE(baseline);
        clsDIBSection back;
        std::string error;
        ASSERT_TRUE(ReadImageWithStb(Path("a.jpg"), back, error)) << error;
        ASSERT_EQ(back.Width(), w);
        ASSERT_EQ(back.Height(), 40);
        EXPECT_GT(Psnr(d, back), 32.0) << w;
    }
}

TEST_F(JpegWriter, BottomUpRowsComeOutTopFirst) {
    clsDIBSection d;
    ASSERT_TRUE(d.Create(16, 16));
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) d.PixelPtr(x, y)[y < 8 ? 0 : 2] = 255;  // memory rows 0..7 blue
    ASSERT_TRUE(SaveJPEG(d, Path("o.jpg"), 95));
    clsDIBSection back;
    std::string error;
    ASSERT_TRUE(ReadImageWithStb(Path("o.jpg"), back, error)) << error;
    EXPECT_GT(back.PixelPtr(4, 2)[0], 200);   // bottom stays blue
    EXPECT_GT(back.PixelPtr(4, 13)[2], 200);  // top stays red
    EXPECT_LT(back.PixelPtr(4, 13)[0], 60);
}

TEST_F(JpegWriter, ReplacedFileKeepsTimeAndPermissions) {
    {
        std::ofstream(Path("r.jpg")) << std::string(10, 'x');
    }
    auto old = fs::file_time_type::clock::now() - std::chrono::hours(24 * 400);
    fs::last_write_time(Path("r.jpg"), old);
    fs::permissions(Path("r.jpg"), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    clsDIBSection d;
    Paint(d, 8, 8);
    ASSERT_TRUE(SaveJPEG(d, Path("r.jpg"), 90));
    EXPECT_GT(fs::file_size(Path("r.jpg")), 100u);
    EXPECT_EQ(fs::last_write_time(Path("r.jpg")), old);
    EXPECT_EQ(fs::status(Path("r.jpg")).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(Count(), 1u);
}

TEST_F(JpegWriter, ReadOnlyTargetFailsBeforeWriting) {
    {
        std::ofstream(Path("ro.jpg")) << "keep";
    }
    fs::permissions(Path("ro.jpg"), fs::perms::owner_read);
    clsDIBSection d;
    Paint(d, 8, 8);
    try {
        SaveJPEG(d, Path("ro.jpg"), 90);
        FAIL() << "no error raised";
    } catch (const ErrorObject& e) {
        EXPECT_EQ(e.Number, kErrPathFileAccess);
    }
    EXPECT_EQ(ReadAll(Path("ro.jpg")).size(), 4u);
    EXPECT_EQ(Count(), 1u);
}

TEST_F(JpegWriter, FailuresRaise26001AndLeaveNoFile) {
    clsDIBSection big;
    ASSERT_TRUE(big.Create(65501, 1));
    try {
        SaveJPEG(big, Path("big.jpg"), 90);
        FAIL() << "no error raised";
    } catch (const ErrorObject& e) {
        EXPECT_EQ(e.Number, 26001);
        EXPECT_EQ(e.Source, "Plenvue.mIntelJPEGLibrary");
        EXPECT_EQ(e.Description.rfind("Failed to save to JPG 2", 0), 0u) << e.Description;
    }
    clsDIBSection d;
    Paint(d, 4, 4);
    try {
        SaveJPEG(d, Path("missing/x.jpg"), 90);
        FAIL() << "no error raised";
    } catch (const ErrorObject& e) {
        EXPECT_EQ(e.Number, 26001);
        EXPECT_EQ(e.Description, std::string("Failed to save to JPG 3: ") + std::strerror(ENOENT));
    }
    clsDIBSection empty;
    try {
        SaveJPEG(empty, Path("e.jpg"), 90);
        FAIL() << "no error raised";
    } catch (const ErrorObject& e) {
        EXPECT_EQ(e.Description, "Failed to initialise the IJL library: 1");
    }
    EXPECT_EQ(Count(), 0u);
}
