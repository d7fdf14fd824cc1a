#include <gtest/gtest.h>

#include "engine/core/Result.h"
#include "engine/files/PictureFormats.h"
#include "tests/images/PictureBytes.h"

namespace zav {
namespace {

using test::Append;
using test::BmpHeaders;
using test::Bytes;
using test::TgaHeader;

Bytes PixelsOf(const Picture& picture) {
    return Bytes(picture.pixels.Data(), picture.pixels.Data() + picture.pixels.Size());
}

int Decode(int (*decode)(const uint8_t*, size_t, Picture&, uint64_t), const Bytes& file, Picture& picture) {
    return decode(file.data(), file.size(), picture, kMaxPictureBytes);
}

// A picture that a failed decode must leave alone.
Picture Untouched() {
    Picture picture;
    picture.width = 7;
    picture.height = 9;
    picture.format = A8;
    return picture;
}

void ExpectUntouched(const Picture& picture) {
    EXPECT_EQ(picture.width, 7);
    EXPECT_EQ(picture.height, 9);
    EXPECT_EQ(picture.depth, 1);
    EXPECT_EQ(picture.format, A8);
    EXPECT_EQ(picture.pixels.Data(), nullptr);
}

TEST(BmpDecode, OddWidthRowsDropTheirPaddingAndBecomeRgb) {
    Bytes file = BmpHeaders(3, 2, 24);
    Append(file, {1, 2, 3, 4, 5, 6, 7, 8, 9, 0xEE, 0xEE, 0xEE});             // bottom row, 3 fill bytes
    Append(file, {11, 12, 13, 14, 15, 16, 17, 18, 19, 0xEE, 0xEE, 0xEE});    // top row
    Picture picture;
    ASSERT_EQ(Decode(DecodeBmp, file, picture), kOk);
    EXPECT_EQ(picture.width, 3);
    EXPECT_EQ(picture.height, 2);
    EXPECT_EQ(picture.format, RGB8);
    EXPECT_EQ(PixelsOf(picture), (Bytes{3, 2, 1, 6, 5, 4, 9, 8, 7, 13, 12, 11, 16, 15, 14, 19, 18, 17}));
    EXPECT_FALSE(picture.shortData);

    // Every pixel present, only the last row's padding missing: not short.
    file.resize(file.size() - 3);
    ASSERT_EQ(Decode(DecodeBmp, file, picture), kOk);
    EXPECT_FALSE(picture.shortData);
}

TEST(BmpDecode, EightBitPicturesGivePaletteIndicesAsA8) {
    Bytes file = BmpHeaders(2, 2, 8, 54 + 4 * 256);
    for (int i = 0; i < 256; ++i) Append(file, {uint8_t(255 - i), 0x40, 0x80, 0});  // palette, skipped
    Append(file, {5, 6, 0, 0, 7, 8, 0, 0});
    Picture picture;
    ASSERT_EQ(Decode(DecodeBmp, file, picture), kOk);
    EXPECT_EQ(picture.format, A8);
    EXPECT_EQ(PixelsOf(picture), (Bytes{5, 6, 7, 8}));
}

TEST(BmpDecode, ImpossibleHeadersFailAndLeaveThePicture) {
    const Bytes whole = BmpHeaders(4, 4, 24);
    const Bytes cases[] = {
        BmpHeaders(4, -1, 24),          // rows stored top first
        BmpHeaders(0, 4, 24),
        BmpHeaders(-3, 4, 8),
        BmpHeaders(65535, 65535, 24),   // 12 GiB claimed by a 54-byte file
        BmpHeaders(4, 4, 16),
        BmpHeaders(4, 4, 32),
        Bytes(whole.begin(), whole.begin() + 30),  // header cut short
        Bytes(),
    };
    for (const Bytes& file : cases) {
        Picture picture = Untouched();
        EXPECT_EQ(Decode(DecodeBmp, file, picture), kFailed);
        ExpectUntouched(picture);
    }
}

TEST(BmpDecode, ShortFilesLeaveTheMissingPixelsZero) {
    Bytes file = BmpHeaders(2, 3, 24);
    Append(file, {1, 2, 3, 4, 5, 6, 0, 0});  // row 0 complete
    Append(file, {7, 8, 9, 10});             // row 1: one pixel and a stray byte
    Picture picture;
    ASSERT_EQ(Decode(DecodeBmp, file, picture), kOk);
    EXPECT_EQ(PixelsOf(picture), (Bytes{3, 2, 1, 6, 5, 4, 9, 8, 7, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_TRUE(picture.shortData);

    // Headers alone: every pixel missing.
    ASSERT_EQ(Decode(DecodeBmp, BmpHeaders(2, 1, 8), picture), kOk);
    EXPECT_EQ(PixelsOf(picture), (Bytes{0, 0}));
    EXPECT_TRUE(picture.shortData);
}

TEST(BmpDecode, PixelOffsetIsClampedToTheHeadersAndTheEnd) {
    Bytes intoHeaders = BmpHeaders(1, 1, 8, 10);
    Append(intoHeaders, {42, 0, 0, 0});
    Picture picture;
    ASSERT_EQ(Decode(DecodeBmp, intoHeaders, picture), kOk);
    EXPECT_EQ(PixelsOf(picture), Bytes{42});

    Bytes pastTheEnd = BmpHeaders(2, 1, 8, 0xFFFFFFF0u);
    Append(pastTheEnd, {42, 43, 0, 0});
    ASSERT_EQ(Decode(DecodeBmp, pastTheEnd, picture), kOk);
    EXPECT_EQ(PixelsOf(picture), (Bytes{0, 0}));
}

TEST(BmpDecode, RespectsTheByteLimit) {
    Bytes file = BmpHeaders(4, 4, 24);
    file.resize(file.size() + 48);
    Picture picture;
    EXPECT_EQ(DecodeBmp(file.data(), file.size(), picture, 47), kFailed);
    EXPECT_EQ(DecodeBmp(file.data(), file.size(), picture, 48), kOk);
}

TEST(BmpEncode, WritesHeadersPaddedBgrRowsAndDecodesBack) {
    const uint8_t pixels[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18};
    ByteBlock file;
    ASSERT_EQ(EncodeBmp({3, 2, 1, RGB8, pixels}, file), kOk);
    Bytes expected = BmpHeaders(3, 2, 24);
    expected[2] = 78;        // file size: 54 + 2 rows of 12
    expected[34] = 24;       // image size
    expected[38] = expected[42] = 0xC4;  // 3780 pixels per metre
    expected[39] = expected[43] = 0x0E;
    Append(expected, {3, 2, 1, 6, 5, 4, 9, 8, 7, 0, 0, 0, 12, 11, 10, 15, 14, 13, 18, 17, 16, 0, 0, 0});
    EXPECT_EQ(Bytes(file.Data(), file.Data() + file.Size()), expected);

    Picture back;
    ASSERT_EQ(DecodeBmp(file.Data(), file.Size(), back), kOk);
    EXPECT_EQ(PixelsOf(back), Bytes(pixels, pixels + sizeof pixels));
}

TEST(BmpEncode, A8IsWrittenAsEightBitsAndOtherFormatsAreRefused) {
    const uint8_t pixels[] = {9, 8, 7, 6, 5};
    ByteBlock file;
    ASSERT_EQ(EncodeBmp({5, 1, 1, A8, pixels}, file), kOk);
    ASSERT_EQ(file.Size(), 54u + 8u);
    EXPECT_EQ(file.Data()[28], 8);
    Picture back;
    ASSERT_EQ(DecodeBmp(file.Data(), file.Size(), back), kOk);
    EXPECT_EQ(PixelsOf(back), Bytes(pixels, pixels + 5));

    EXPECT_EQ(EncodeBmp({1, 1, 1, RGBA8, pixels}, file), kNotFound);
    EXPECT_EQ(EncodeBmp({1, 1, 1, RGBA16F, pixels}, file), kNotFound);
    EXPECT_EQ(EncodeBmp({1, 1, 1, RGB8, nullptr}, file), kFailed);
    EXPECT_EQ(EncodeBmp({0, 1, 1, RGB8, pixels}, file), kFailed);
}

TEST(TgaDecode, BottomUpPixelsTurnFromBgrToRgb) {
    Bytes file = TgaHeader(2, 2, 1, 32);
    Append(file, {10, 20, 30, 40, 1, 2, 3, 4});
    Picture picture;
    ASSERT_EQ(Decode(DecodeTga, file, picture), kOk);
    EXPECT_EQ(picture.format, RGBA8);
    EXPECT_EQ(PixelsOf(picture), (Bytes{30, 20, 10, 40, 3, 2, 1, 4}));
}

TEST(TgaDecode, TopDownRowsStayInFileOrder) {
    Bytes file = TgaHeader(2, 1, 2, 24, 0x20);
    Append(file, {1, 2, 3, 4, 5, 6});  // top row first
    Picture picture;
    ASSERT_EQ(Decode(DecodeTga, file, picture), kOk);
    EXPECT_EQ(PixelsOf(picture), (Bytes{3, 2, 1, 6, 5, 4}));
}

TEST(TgaDecode, RunLengthPacketsRepeatOrCopyPixels) {
    Bytes file = TgaHeader(10, 6, 1, 24);
    Append(file, {0x83, 1, 2, 3});           // one pixel, four times
    Append(file, {0x01, 4, 5, 6, 7, 8, 9});  // two literal pixels
    Picture picture;
    ASSERT_EQ(Decode(DecodeTga, file, picture), kOk);
    EXPECT_EQ(PixelsOf(picture), (Bytes{3, 2, 1, 3, 2, 1, 3, 2, 1, 3, 2, 1, 6, 5, 4, 9, 8, 7}));
}

TEST(TgaDecode, RunLengthPacketsStopAtTheEndOfTheBlock) {
    Bytes file = TgaHeader(10, 2, 1, 24);
    Append(file, {0xFF, 1, 2, 3});  // 128 copies into a block of two pixels
    Picture picture;
    ASSERT_EQ(Decode(DecodeTga, file, picture), kOk);
    EXPECT_EQ(PixelsOf(picture), (Bytes{3, 2, 1, 3, 2, 1}));

    file = TgaHeader(10, 2, 1, 24);
    Append(file, {0x7F, 1, 2, 3, 4, 5, 6, 7, 8, 9});  // 128 literal pixels, 3 present
    ASSERT_EQ(Decode(DecodeTga, file, picture), kOk);
    EXPECT_EQ(PixelsOf(picture), (Bytes{3, 2, 1, 6, 5, 4}));
}

TEST(TgaDecode, ShortFilesLeaveTheMissingPixelsZero) {
    Bytes raw = TgaHeader(2, 3, 1, 24);
    Append(raw, {1, 2, 3, 4, 5});
    Picture picture;
    ASSERT_EQ(Decode(DecodeTga, raw, picture), kOk);
    EXPECT_EQ(PixelsOf(picture), (Bytes{3, 2, 1, 0, 0, 0, 0, 0, 0}));
    EXPECT_TRUE(picture.shortData);

    Bytes runs = TgaHeader(10, 3, 1, 24);
    Append(runs, {0x80, 1, 2, 3, 0x81, 4});
    ASSERT_EQ(Decode(DecodeTga, runs, picture), kOk);
    EXPECT_EQ(PixelsOf(picture), (Bytes{3, 2, 1, 0, 0, 0, 0, 0, 0}));
    EXPECT_TRUE(picture.shortData);
}

TEST(TgaDecode, IdFieldIsSkippedOnlyWithinTheFile) {
    Bytes file = TgaHeader(2, 1, 1, 24, 0, 2);
    Append(file, {0xAA, 0xBB, 1, 2, 3});
    Picture picture;
    ASSERT_EQ(Decode(DecodeTga, file, picture), kOk);
    EXPECT_EQ(PixelsOf(picture), (Bytes{3, 2, 1}));

    file = TgaHeader(2, 1, 1, 24, 0, 200);
    Append(file, {1, 2, 3});
    ASSERT_EQ(Decode(DecodeTga, file, picture), kOk);
    EXPECT_EQ(PixelsOf(picture), (Bytes{3, 2, 1}));
}

TEST(TgaDecode, ColourMapIsNotSkipped) {
    Bytes file = TgaHeader(2, 2, 1, 24);
    file[1] = 1;                                // colour map present: two 24-bit entries
    file[5] = 2;
    file[7] = 24;
    Append(file, {1, 2, 3, 4, 5, 6, 7, 8, 9});  // the map, then the first pixel
    Picture picture;
    ASSERT_EQ(Decode(DecodeTga, file, picture), kOk);
    EXPECT_EQ(PixelsOf(picture), (Bytes{3, 2, 1, 6, 5, 4}));  // the map read as pixels
}

TEST(TgaDecode, UnsupportedOrImpossibleHeadersFail) {
    const Bytes cases[] = {
        TgaHeader(2, 65535, 65535, 32),  // 16 GiB claimed by an 18-byte file
        TgaHeader(2, 0, 5, 24),
        TgaHeader(2, 5, 0, 24),
        TgaHeader(2, 1, 1, 16),
        TgaHeader(2, 1, 1, 8),
        TgaHeader(1, 1, 1, 24),          // colour-mapped
        TgaHeader(3, 1, 1, 24),          // grey
        Bytes(10, 0),
    };
    for (const Bytes& file : cases) {
        Picture picture = Untouched();
        EXPECT_EQ(Decode(DecodeTga, file, picture), kFailed);
        ExpectUntouched(picture);
    }
}

TEST(TgaEncode, WritesABottomUpFileWithBgrPixelsThatReadsBackUnchanged) {
    const uint8_t pixels[] = {1, 2, 3, 4, 5, 6, 7, 8};  // 1x2 RGBA8, row 0 the bottom
    ByteBlock file;
    ASSERT_EQ(EncodeTga({1, 2, 1, RGBA8, pixels}, file), kOk);
    Bytes expected = TgaHeader(2, 1, 2, 32, 8);
    Append(expected, {3, 2, 1, 4, 7, 6, 5, 8});
    EXPECT_EQ(Bytes(file.Data(), file.Data() + file.Size()), expected);
    Picture back;
    ASSERT_EQ(DecodeTga(file.Data(), file.Size(), back), kOk);
    EXPECT_EQ(PixelsOf(back), Bytes(pixels, pixels + sizeof pixels));
    EXPECT_FALSE(back.shortData);

    // 24-bit pictures have no attribute bits.
    ASSERT_EQ(EncodeTga({2, 1, 1, RGB8, pixels}, file), kOk);
    expected = TgaHeader(2, 2, 1, 24, 0);
    Append(expected, {3, 2, 1, 6, 5, 4});
    EXPECT_EQ(Bytes(file.Data(), file.Data() + file.Size()), expected);
}

TEST(TgaEncode, RefusesOtherFormatsAndOversizedPictures) {
    static uint8_t pixels[70000 * 4];
    ByteBlock file;
    EXPECT_EQ(EncodeTga({1, 1, 1, A8, pixels}, file), kNotFound);
    EXPECT_EQ(EncodeTga({1, 1, 1, RGBA16F, pixels}, file), kNotFound);
    EXPECT_EQ(EncodeTga({70000, 1, 1, RGBA8, pixels}, file), kFailed);
    EXPECT_EQ(EncodeTga({1, 1, 1, RGB8, nullptr}, file), kFailed);
    EXPECT_EQ(file.Data(), nullptr);
}

TEST(TgaEncode, AVolumeWritesItsFirstSliceAndNothingAfterIt) {
    const uint8_t pixels[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};  // 2x1 RGB8, two slices
    ByteBlock file;
    ASSERT_EQ(EncodeTga({2, 1, 2, RGB8, pixels}, file), kOk);
    Bytes expected = TgaHeader(2, 2, 1, 24, 0);
    Append(expected, {3, 2, 1, 6, 5, 4});
    EXPECT_EQ(Bytes(file.Data(), file.Data() + file.Size()), expected);

    EXPECT_EQ(EncodeTga({2, 1, 0, RGB8, pixels}, file), kFailed);
}

// Six one-pixel faces, face f coloured (f, 10 f, 100 + f) as B, G, R.
Bytes CubeOfSixPixels() {
    Bytes file;
    for (uint8_t face = 0; face < 6; ++face) {
        Append(file, TgaHeader(2, 1, 1, 24));
        Append(file, {face, uint8_t(10 * face), uint8_t(100 + face)});
    }
    return file;
}

TEST(CubeDecode, SixFacesBecomeSlicesInFileOrder) {
    Picture picture;
    ASSERT_EQ(Decode(DecodeCube, CubeOfSixPixels(), picture), kOk);
    EXPECT_EQ(picture.depth, 6);
    EXPECT_EQ(picture.width, 1);
    EXPECT_EQ(picture.height, 1);
    EXPECT_EQ(PixelsOf(picture),
              (Bytes{100, 0, 0, 101, 10, 1, 102, 20, 2, 103, 30, 3, 104, 40, 4, 105, 50, 5}));
    EXPECT_FALSE(picture.shortData);

    // The last face cut inside its pixel: it stays zero.
    Bytes cut = CubeOfSixPixels();
    cut.pop_back();
    ASSERT_EQ(Decode(DecodeCube, cut, picture), kOk);
    EXPECT_TRUE(picture.shortData);
    EXPECT_EQ(PixelsOf(picture)[15], 0);
    EXPECT_EQ(PixelsOf(picture)[14], 4);
}

TEST(CubeDecode, BadOrMismatchedFacesFailAndLeaveThePicture) {
    Bytes sixteenBitFourth = CubeOfSixPixels();
    sixteenBitFourth[3 * 21 + 16] = 16;
    Bytes largerThird = CubeOfSixPixels();
    largerThird[2 * 21 + 12] = 2;
    Bytes alphaLast = CubeOfSixPixels();
    alphaLast[5 * 21 + 16] = 32;
    Bytes fiveFaces = CubeOfSixPixels();
    fiveFaces.resize(5 * 21);
    for (const Bytes& file : {sixteenBitFourth, largerThird, alphaLast, fiveFaces}) {
        Picture picture = Untouched();
        EXPECT_EQ(Decode(DecodeCube, file, picture), kFailed);
        ExpectUntouched(picture);
    }
}

TEST(CubeEncode, WritesSixBottomUpFacesThatDecodeBack) {
    Picture cube;
    ASSERT_EQ(Decode(DecodeCube, CubeOfSixPixels(), cube), kOk);
    ByteBlock file;
    ASSERT_EQ(EncodeCube(cube.View(), file), kOk);
    ASSERT_EQ(file.Size(), 6u * 21u);
    for (int face = 0; face < 6; ++face) EXPECT_EQ(file.Data()[face * 21 + 17], 0);
    Picture back;
    ASSERT_EQ(DecodeCube(file.Data(), file.Size(), back), kOk);
    EXPECT_EQ(PixelsOf(back), PixelsOf(cube));
}

TEST(CubeEncode, NeedsDepthSixAndTrueColour) {
    static uint8_t pixels[6 * 4];
    ByteBlock file;
    EXPECT_EQ(EncodeCube({1, 1, 1, RGB8, pixels}, file), kFailed);
    EXPECT_EQ(EncodeCube({1, 1, 4, RGB8, pixels}, file), kFailed);
    EXPECT_EQ(EncodeCube({1, 1, 6, A8, pixels}, file), kNotFound);
    EXPECT_EQ(EncodeCube({1, 1, 6, RGBA8, pixels}, file), kOk);
    EXPECT_EQ(file.Size(), 6u * 22u);
}

}  // namespace
}  // namespace zav
