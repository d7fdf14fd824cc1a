// Pictures written by ImageMagick decode to ImageMagick's own decoding of them
// (NAME.ref, made at build time by make-test-pictures.sh), and, on the host,
// files the encoders write read back in ImageMagick with the same pixels.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "engine/core/Result.h"
#include "engine/files/PictureFormats.h"
#include "tests/images/PictureBytes.h"

namespace zav {
namespace {

using test::Bytes;

const std::string kPictures = ZAV_TEST_PICTURES;

Bytes ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

Bytes PixelsOf(const Picture& picture) {
    return Bytes(picture.pixels.Data(), picture.pixels.Data() + picture.pixels.Size());
}

// Decodes NAME.EXT from the test pictures with the codec its extension picks.
bool DecodeTestPicture(const std::string& name, Picture& picture) {
    const Bytes file = ReadFile(kPictures + "/" + name);
    const PictureFormat* format = FindPictureFormat(name.substr(name.rfind('.') + 1).c_str());
    if (file.empty() || !format) return false;
    return format->decode(file.data(), file.size(), picture, kMaxPictureBytes) == kOk;
}

Bytes Reference(const std::string& name) { return ReadFile(kPictures + "/" + name.substr(0, name.rfind('.')) + ".ref"); }

int LargestDifference(const Bytes& a, const Bytes& b) {
    int largest = 0;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) largest = std::max(largest, std::abs(int(a[i]) - int(b[i])));
    return largest;
}

class ImageMagickPictures : public ::testing::Test {
protected:
    void SetUp() override {
        if (kPictures.empty() || !std::ifstream(kPictures + "/stamp"))
            GTEST_SKIP() << "test pictures were not made (ImageMagick's convert was not found at configure time)";
    }
};

TEST_F(ImageMagickPictures, LosslessFormatsDecodeExactly) {
    const struct {
        const char* name;
        int32_t format;
        int32_t depth;
    } cases[] = {
        {"bmp24_1x1.bmp", RGB8, 1},      {"bmp24_3x2.bmp", RGB8, 1},      {"bmp24_5x3.bmp", RGB8, 1},
        {"bmp24_13x7.bmp", RGB8, 1},     {"tga24_none_bu.tga", RGB8, 1},  {"tga24_rle_bu.tga", RGB8, 1},
        {"tga24_none_td.tga", RGB8, 1},  {"tga24_rle_td.tga", RGB8, 1},   {"tga24_runs_bu.tga", RGB8, 1},
        {"tga32_none_bu.tga", RGBA8, 1}, {"tga32_rle_bu.tga", RGBA8, 1},  {"tga32_none_td.tga", RGBA8, 1},
        {"tga32_rle_td.tga", RGBA8, 1},  {"cube.cube", RGB8, 6},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Picture picture;
        ASSERT_TRUE(DecodeTestPicture(c.name, picture));
        EXPECT_EQ(picture.format, c.format);
        EXPECT_EQ(picture.depth, c.depth);
        const Bytes reference = Reference(c.name);
        ASSERT_FALSE(reference.empty());
        EXPECT_EQ(PixelsOf(picture), reference);
    }
}

TEST_F(ImageMagickPictures, EightBitBmpIndicesPointAtImageMagicksColours) {
    for (const char* name : {"bmp8_7x3.bmp", "bmp8_13x7.bmp"}) {
        SCOPED_TRACE(name);
        Picture picture;
        ASSERT_TRUE(DecodeTestPicture(name, picture));
        ASSERT_EQ(picture.format, A8);
        // The palette (B, G, R, 0 entries) sits between the headers and the pixels.
        const Bytes file = ReadFile(kPictures + "/" + name);
        const size_t pixelOffset = file[10] | file[11] << 8;
        Bytes colours;
        for (size_t i = 0; i < picture.pixels.Size(); ++i) {
            const size_t entry = 54 + 4 * size_t(picture.pixels.Data()[i]);
            ASSERT_LT(entry + 2, pixelOffset);
            colours.insert(colours.end(), {file[entry + 2], file[entry + 1], file[entry]});
        }
        EXPECT_EQ(colours, Reference(name));
    }
}

TEST_F(ImageMagickPictures, JpegDecodesWithinIdctRounding) {
    const struct {
        const char* name;
        int32_t format;
    } cases[] = {{"jpg_colour.jpg", RGB8}, {"jpg_grey.jpg", A8}, {"jpg_rows.jpg", RGB8}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Picture picture;
        ASSERT_TRUE(DecodeTestPicture(c.name, picture));
        EXPECT_EQ(picture.format, c.format);
        const Bytes reference = Reference(c.name);
        ASSERT_EQ(picture.pixels.Size(), reference.size());
        EXPECT_LE(LargestDifference(PixelsOf(picture), reference), 1);
    }
    // Two rows: the top one red, the bottom one blue; row 0 is the bottom.
    Picture rows;
    ASSERT_TRUE(DecodeTestPicture("jpg_rows.jpg", rows));
    ASSERT_EQ(rows.height, 2);
    EXPECT_GT(rows.pixels.Data()[2], 200);
    EXPECT_GT(rows.pixels.Data()[16 * 3], 200);
}

#ifndef _WIN32

// ImageMagick's decoding of a file, bottom row first.
Bytes ImageMagickPixels(const std::string& path, const char* map) {
    const std::string command = std::string(ZAV_CONVERT) + " '" + path + "' -auto-orient -flip -depth 8 " + map + ":-";
    Bytes pixels;
    if (std::FILE* pipe = popen(command.c_str(), "r")) {
        uint8_t chunk[4096];
        size_t count;
        while ((count = std::fread(chunk, 1, sizeof chunk, pipe)) > 0) pixels.insert(pixels.end(), chunk, chunk + count);
        pclose(pipe);
    }
    return pixels;
}

std::string WriteEncoded(const std::string& name, const ByteBlock& file) {
    const std::string path = kPictures + "/encoded_" + name;
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(file.Data()), std::streamsize(file.Size()));
    return path;
}

TEST_F(ImageMagickPictures, ImageMagickReadsEncodedFilesWithTheSamePixels) {
    Picture rgb, rgba, cube, colour;
    ASSERT_TRUE(DecodeTestPicture("bmp24_13x7.bmp", rgb));
    ASSERT_TRUE(DecodeTestPicture("tga32_rle_bu.tga", rgba));
    ASSERT_TRUE(DecodeTestPicture("cube.cube", cube));
    ASSERT_TRUE(DecodeTestPicture("jpg_colour.jpg", colour));
    ByteBlock file;

    ASSERT_EQ(EncodeBmp(rgb.View(), file), kOk);
    EXPECT_EQ(ImageMagickPixels(WriteEncoded("rgb.bmp", file), "rgb"), PixelsOf(rgb));
    ASSERT_EQ(EncodeTga(rgb.View(), file), kOk);
    EXPECT_EQ(ImageMagickPixels(WriteEncoded("rgb.tga", file), "rgb"), PixelsOf(rgb));
    ASSERT_EQ(EncodeTga(rgba.View(), file), kOk);
    EXPECT_EQ(ImageMagickPixels(WriteEncoded("rgba.tga", file), "rgba"), PixelsOf(rgba));

    // Each face of an encoded cube is a TGA of its own.
    ASSERT_EQ(EncodeCube(cube.View(), file), kOk);
    const size_t faceFile = file.Size() / 6, faceBytes = cube.pixels.Size() / 6;
    for (int face = 0; face < 6; ++face) {
        ByteBlock one;
        ASSERT_TRUE(one.Allocate(faceFile));
        std::copy(file.Data() + face * faceFile, file.Data() + (face + 1) * faceFile, one.Data());
        const Bytes expected(cube.pixels.Data() + face * faceBytes, cube.pixels.Data() + (face + 1) * faceBytes);
        EXPECT_EQ(ImageMagickPixels(WriteEncoded("face" + std::to_string(face) + ".tga", one), "rgb"), expected)
            << "face " << face;
    }

    // JPEG is lossy: ImageMagick must see what the engine sees.
    ASSERT_EQ(EncodeJpeg(colour.View(), file), kOk);
    Picture ours;
    ASSERT_EQ(DecodeJpeg(file.Data(), file.Size(), ours), kOk);
    const Bytes theirs = ImageMagickPixels(WriteEncoded("colour.jpg", file), "rgb");
    ASSERT_EQ(theirs.size(), ours.pixels.Size());
    EXPECT_LE(LargestDifference(theirs, PixelsOf(ours)), 1);
    EXPECT_LT(LargestDifference(PixelsOf(ours), PixelsOf(colour)), 64);
}

#endif

}  // namespace
}  // namespace zav
