#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <regex>
#include <string>

#include "engine/core/Log.h"
#include "engine/core/Result.h"
#include "engine/files/PictureFormats.h"
#include "tests/images/PictureBytes.h"
#include "tests/support/LogCapture.h"

namespace zav {
namespace {

using test::Bytes;

// A w × h RGB8 picture: red rises along x, green along y, blue is constant.
Picture Gradient(int32_t width, int32_t height) {
    Picture picture;
    picture.width = width;
    picture.height = height;
    picture.format = RGB8;
    EXPECT_TRUE(picture.pixels.Allocate(size_t(width) * height * 3));
    uint8_t* p = picture.pixels.Data();
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x, p += 3) {
            p[0] = uint8_t(x * 255 / (width - 1));
            p[1] = uint8_t(y * 255 / (height - 1));
            p[2] = 90;
        }
    return picture;
}

Bytes Encoded(const PictureView& view) {
    ByteBlock file;
    EXPECT_EQ(EncodeJpeg(view, file), kOk);
    return Bytes(file.Data(), file.Data() + file.Size());
}

int LargestDifference(const Picture& a, const Picture& b) {
    EXPECT_EQ(a.pixels.Size(), b.pixels.Size());
    int largest = 0;
    for (size_t i = 0; i < a.pixels.Size() && i < b.pixels.Size(); ++i)
        largest = std::max(largest, std::abs(int(a.pixels.Data()[i]) - int(b.pixels.Data()[i])));
    return largest;
}

// Lines logged at WARNING in the library's "code text" form.
int LibraryWarnings(const test::LogCapture& log, const std::string& text) {
    int count = 0;
    const std::regex line("[0-9]+ " + text + ".*");
    for (const auto& entry : log.Lines())
        if (entry.level == kLogWarning && std::regex_match(entry.text, line)) ++count;
    return count;
}

TEST(JpegCodec, EncodesRgbThatDecodesCloseWithRowsInPlace) {
    const Picture source = Gradient(64, 48);
    const Bytes file = Encoded(source.View());
    ASSERT_GT(file.size(), 100u);
    EXPECT_EQ(file[0], 0xFF);
    EXPECT_EQ(file[1], 0xD8);
    Picture back;
    ASSERT_EQ(DecodeJpeg(file.data(), file.size(), back), kOk);
    EXPECT_EQ(back.width, 64);
    EXPECT_EQ(back.height, 48);
    EXPECT_EQ(back.format, RGB8);
    // Quality 50 on a smooth gradient; a flipped picture would be far off.
    EXPECT_LT(LargestDifference(source, back), 24);
}

TEST(JpegCodec, HeightTwoPutsTheBottomRowFirst) {
    // Dark bottom row, bright top row (colour would be averaged by the
    // chroma subsampling across both rows).
    Picture source;
    source.width = 8;
    source.height = 2;
    ASSERT_TRUE(source.pixels.Allocate(48));
    std::fill(source.pixels.Data(), source.pixels.Data() + 24, uint8_t(20));
    std::fill(source.pixels.Data() + 24, source.pixels.Data() + 48, uint8_t(230));
    const Bytes file = Encoded(source.View());
    Picture back;
    ASSERT_EQ(DecodeJpeg(file.data(), file.size(), back), kOk);
    EXPECT_LT(LargestDifference(source, back), 40);
    EXPECT_LT(back.pixels.Data()[0], 60);
    EXPECT_GT(back.pixels.Data()[24], 190);
}

TEST(JpegCodec, A8IsEncodedAsGreyRgb) {
    Picture grey;
    grey.width = 16;
    grey.height = 16;
    grey.format = A8;
    ASSERT_TRUE(grey.pixels.Allocate(256));
    for (int i = 0; i < 256; ++i) grey.pixels.Data()[i] = uint8_t(i % 16 * 16);
    const Bytes file = Encoded(grey.View());
    Picture back;
    ASSERT_EQ(DecodeJpeg(file.data(), file.size(), back), kOk);
    ASSERT_EQ(back.format, RGB8);
    for (int i = 0; i < 256; ++i) {
        const uint8_t* rgb = back.pixels.Data() + 3 * i;
        EXPECT_LE(std::abs(rgb[0] - rgb[1]), 2) << i;
        EXPECT_LE(std::abs(rgb[2] - rgb[1]), 2) << i;
        EXPECT_LE(std::abs(rgb[1] - grey.pixels.Data()[i]), 40) << i;
    }
}

TEST(JpegCodec, EncoderRefusesOtherFormatsAndEmptyPictures) {
    static const uint8_t pixels[16] = {};
    ByteBlock file;
    EXPECT_EQ(EncodeJpeg({2, 2, 1, RGBA8, pixels}, file), kNotFound);
    EXPECT_EQ(EncodeJpeg({1, 1, 1, RGBA16F, pixels}, file), kNotFound);
    EXPECT_EQ(EncodeJpeg({2, 2, 1, RGB8, nullptr}, file), kFailed);
    EXPECT_EQ(EncodeJpeg({0, 2, 1, RGB8, pixels}, file), kFailed);
    EXPECT_EQ(file.Data(), nullptr);
}

TEST(JpegCodec, LibraryErrorsAreLoggedAndFailTheDecode) {
    test::LogCapture log;
    const Bytes notJpeg = {'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd'};
    Picture picture;
    picture.width = 5;
    EXPECT_EQ(DecodeJpeg(notJpeg.data(), notJpeg.size(), picture), kFailed);
    EXPECT_EQ(LibraryWarnings(log, "Not a JPEG file"), 1);
    EXPECT_EQ(picture.width, 5);
    EXPECT_EQ(DecodeJpeg(nullptr, 0, picture), kFailed);

    // Headers without any scan: the supplied end marker ends the picture.
    const Bytes full = Encoded(Gradient(32, 32).View());
    size_t scanStart = 0;
    for (size_t i = 0; i + 1 < full.size(); ++i)
        if (full[i] == 0xFF && full[i + 1] == 0xDA) scanStart = i;
    ASSERT_GT(scanStart, 0u);
    log.Clear();
    EXPECT_EQ(DecodeJpeg(full.data(), scanStart, picture), kFailed);
    EXPECT_EQ(LibraryWarnings(log, "Premature end of JPEG file"), 1);
    EXPECT_EQ(LibraryWarnings(log, "Invalid JPEG file structure"), 1);
}

TEST(JpegCodec, SkipsPastTheEndStopAtTheEnd) {
    // An application segment claiming 65533 bytes in a file of 16.
    const Bytes file = {0xFF, 0xD8, 0xFF, 0xE1, 0xFF, 0xFF, 'E', 'x', 'i', 'f', 0, 0, 1, 2, 3, 4};
    test::LogCapture log;
    Picture picture;
    EXPECT_EQ(DecodeJpeg(file.data(), file.size(), picture), kFailed);
    EXPECT_EQ(LibraryWarnings(log, "Premature end of JPEG file"), 1);
}

TEST(JpegCodec, TruncatedScanEndsWithAWarningInsteadOfRereadingTheStart) {
    // Busy content, so that most of the file is scan data.
    Picture source = Gradient(128, 128);
    for (size_t i = 0; i < source.pixels.Size(); ++i) source.pixels.Data()[i] ^= uint8_t(i * 2654435761u >> 13);
    const Bytes full = Encoded(source.View());
    Picture whole;
    ASSERT_EQ(DecodeJpeg(full.data(), full.size(), whole), kOk);

    test::LogCapture log;
    Picture cut;
    ASSERT_EQ(DecodeJpeg(full.data(), full.size() / 2, cut), kOk);
    EXPECT_EQ(LibraryWarnings(log, "Premature end of JPEG file"), 1);
    EXPECT_EQ(LibraryWarnings(log, ""), 1);  // nothing else went wrong
    // The top rows (last in memory) were in the file and decode as before;
    // the bottom rows differ instead of repeating the picture.
    const size_t stride = 128 * 3, size = whole.pixels.Size();
    const Bytes top(whole.pixels.Data() + size - 16 * stride, whole.pixels.Data() + size);
    EXPECT_EQ(Bytes(cut.pixels.Data() + size - 16 * stride, cut.pixels.Data() + size), top);
    EXPECT_NE(Bytes(cut.pixels.Data(), cut.pixels.Data() + 16 * stride), top);
    EXPECT_NE(Bytes(cut.pixels.Data(), cut.pixels.Data() + 16 * stride),
              Bytes(whole.pixels.Data(), whole.pixels.Data() + 16 * stride));
}

TEST(JpegCodec, RespectsTheByteLimit) {
    const Bytes file = Encoded(Gradient(16, 16).View());
    Picture picture;
    EXPECT_EQ(DecodeJpeg(file.data(), file.size(), picture, 16 * 16 * 3 - 1), kFailed);
    EXPECT_EQ(DecodeJpeg(file.data(), file.size(), picture, 16 * 16 * 3), kOk);
}

}  // namespace
}  // namespace zav
