// The mediagen tool: every picture of the CustomData archive decodes through
// the engine's codecs with the size and format the application expects,
// the right way up, and two runs give the same bytes.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "engine/core/Result.h"
#include "tests/images/ImageCodecRun.h"

namespace zav {
namespace {

const std::string kWork = ZAV_MEDIAGEN_WORK;

struct Expected {
    std::string name;
    int32_t width, height, format;
};

std::vector<Expected> ExpectedPictures() {
    std::vector<Expected> pictures = {
        {"preview.bmp", 152, 112, RGB8},        {"settings.bmp", 200, 384, RGB8},
        {"logo.bmp", 360, 72, RGB8},            {"loader.jpg", 1024, 768, RGB8},
        {"4loader_ld.tga", 128, 128, RGBA8},    {"4loader_rd.tga", 128, 128, RGBA8},
        {"4loader_lu.tga", 128, 128, RGBA8},    {"4loader_ru.tga", 128, 128, RGBA8},
    };
    for (const char* c : {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "a", "p", "m", "dot", "ddot"})
        pictures.push_back({std::string("Digits/digit_") + c + ".tga", 64, 128, RGBA8});
    return pictures;
}

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Sum of alpha over a rectangle of an RGBA8 image (rows from the bottom).
long AlphaIn(const Image& image, int x0, int y0, int x1, int y1) {
    long sum = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) sum += image.GetPixels()[(size_t(y) * size_t(image.GetWidth()) + size_t(x)) * 4 + 3];
    return sum;
}

// Each test paints into a folder of its own: ctest runs them side by side.
class Mediagen : public test::ImageCodecRun {
protected:
    void SetUp() override {
        test::ImageCodecRun::SetUp();
        folder_ = kWork + "/" + ::testing::UnitTest::GetInstance()->current_test_info()->name();
        ASSERT_EQ(Paint("/first"), 0);
    }

    int Paint(const char* run) {
        const std::string command = "rm -rf '" + folder_ + run + "' && '" + ZAV_MEDIAGEN + "' '" + folder_ + run + "'";
        return std::system(command.c_str());
    }

    Ref<Image> Decode(const std::string& name) {
        Ref<Image> image(new Image());
        File file((folder_ + "/first/" + name).c_str());
        EXPECT_EQ(test::DecodeWith(&file, image.Get()), kOk) << name;
        return image;
    }

    std::string folder_;
};

TEST_F(Mediagen, EveryPictureDecodesWithItsSizeAndFormat) {
    for (const Expected& expected : ExpectedPictures()) {
        SCOPED_TRACE(expected.name);
        Ref<Image> image = Decode(expected.name);
        EXPECT_EQ(image->GetWidth(), expected.width);
        EXPECT_EQ(image->GetHeight(), expected.height);
        EXPECT_EQ(image->GetFormat(), expected.format);
        ASSERT_NE(image->GetPixels(), nullptr);
    }
}

TEST_F(Mediagen, TwoRunsWriteTheSameBytes) {
    ASSERT_EQ(Paint("/second"), 0);
    for (const Expected& expected : ExpectedPictures()) {
        const std::string first = ReadBytes(folder_ + "/first/" + expected.name);
        EXPECT_FALSE(first.empty()) << expected.name;
        EXPECT_TRUE(first == ReadBytes(folder_ + "/second/" + expected.name)) << expected.name;
    }
}

TEST_F(Mediagen, PicturesDecodeTheRightWayUp) {
    // The seven's bar is at the top (the glyph spans rows 25 to 103), the dot
    // sits on the baseline; cells keep transparent corners.
    Ref<Image> seven = Decode("Digits/digit_7.tga");
    EXPECT_GT(AlphaIn(*seven, 0, 96, 64, 110), 2 * AlphaIn(*seven, 0, 18, 64, 32));
    Ref<Image> dot = Decode("Digits/digit_dot.tga");
    EXPECT_GT(AlphaIn(*dot, 0, 0, 64, 64), 10 * (AlphaIn(*dot, 0, 64, 64, 128) + 1));
    EXPECT_EQ(AlphaIn(*seven, 0, 0, 2, 2) + AlphaIn(*seven, 62, 126, 64, 128), 0);

    // Each corner piece is drawn in its own corner of the screen.
    const struct {
        const char* name;
        int x, y;  // the quarter that holds the ornament
    } corners[] = {{"4loader_ld.tga", 0, 0}, {"4loader_rd.tga", 64, 0}, {"4loader_lu.tga", 0, 64}, {"4loader_ru.tga", 64, 64}};
    for (const auto& corner : corners) {
        SCOPED_TRACE(corner.name);
        Ref<Image> image = Decode(corner.name);
        EXPECT_GT(AlphaIn(*image, corner.x, corner.y, corner.x + 64, corner.y + 64),
                  4 * AlphaIn(*image, 64 - corner.x, 64 - corner.y, 128 - corner.x, 128 - corner.y));
    }

    // The loading screen: the moon high on the right, dark water below it.
    Ref<Image> loader = Decode("loader.jpg");
    auto brightness = [&](int x0, int y0) {
        long sum = 0;
        for (int y = y0; y < y0 + 20; ++y)
            for (int x = x0; x < x0 + 20; ++x) sum += loader->GetPixels()[(size_t(y) * 1024 + size_t(x)) * 3];
        return sum / 400;
    };
    EXPECT_GT(brightness(870, 666), 150);
    EXPECT_LT(brightness(870, 82), 100);
}

}  // namespace
}  // namespace zav
