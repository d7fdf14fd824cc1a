// Pictures written by ImageMagick decode through the engine's image codecs to
// ImageMagick's own decoding of them (NAME.ref, made at build time by
// make-test-pictures.sh), and, on the host, files the codecs write read back
// in ImageMagick with the same pixels.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "engine/core/Result.h"
#include "engine/files/File.h"
#include "tests/images/ImageCodecRun.h"
#include "tests/images/PictureBytes.h"

namespace zav {
namespace {

using test::Bytes;

const std::string kPictures = ZAV_TEST_PICTURES;

Bytes ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Decodes NAME.EXT from the test pictures, held in a memory file, with the
// codec its extension picks.
bool DecodeTestPicture(const std::string& name, VolumeImage& image) {
    const Bytes file = ReadFile(kPictures + "/" + name);
    return !file.empty() && test::DecodeBytes(name.c_str(), file, &image) == kOk;
}

Bytes Reference(const std::string& name) { return ReadFile(kPictures + "/" + name.substr(0, name.rfind('.')) + ".ref"); }

int LargestDifference(const Bytes& a, const Bytes& b) {
    int largest = 0;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) largest = std::max(largest, std::abs(int(a[i]) - int(b[i])));
    return largest;
}

class ImageMagickPictures : public test::ImageCodecRun {
protected:
    void SetUp() override {
        if (kPictures.empty() || !std::ifstream(kPictures + "/stamp"))
            GTEST_SKIP() << "test pictures were not made (ImageMagick's convert was not found at configure time)";
        test::ImageCodecRun::SetUp();
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
        VolumeImage picture;
        ASSERT_TRUE(DecodeTestPicture(c.name, picture));
        EXPECT_EQ(picture.GetFormat(), c.format);
        EXPECT_EQ(picture.GetDepth(), c.depth);
        const Bytes reference = Reference(c.name);
        ASSERT_FALSE(reference.empty());
        EXPECT_EQ(test::PixelsOf(picture), reference);
    }
}

TEST_F(ImageMagickPictures, EightBitBmpIndicesPointAtImageMagicksColours) {
    for (const char* name : {"bmp8_7x3.bmp", "bmp8_13x7.bmp"}) {
        SCOPED_TRACE(name);
        VolumeImage picture;
        ASSERT_TRUE(DecodeTestPicture(name, picture));
        ASSERT_EQ(picture.GetFormat(), A8);
        // The palette (B, G, R, 0 entries) sits between the headers and the pixels.
        const Bytes file = ReadFile(kPictures + "/" + name);
        const size_t pixelOffset = file[10] | file[11] << 8;
        Bytes colours;
        for (int i = 0; i < picture.GetDataSize(); ++i) {
            const size_t entry = 54 + 4 * size_t(picture.GetPixels()[i]);
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
        VolumeImage picture;
        ASSERT_TRUE(DecodeTestPicture(c.name, picture));
        EXPECT_EQ(picture.GetFormat(), c.format);
        const Bytes reference = Reference(c.name);
        ASSERT_EQ(size_t(picture.GetDataSize()), reference.size());
        EXPECT_LE(LargestDifference(test::PixelsOf(picture), reference), 1);
    }
    // Two rows: the top one red, the bottom one blue; row 0 is the bottom.
    VolumeImage rows;
    ASSERT_TRUE(DecodeTestPicture("jpg_rows.jpg", rows));
    ASSERT_EQ(rows.GetHeight(), 2);
    EXPECT_GT(rows.GetPixels()[2], 200);
    EXPECT_GT(rows.GetPixels()[16 * 3], 200);
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

// Writes the image with the codec that NAME's extension selects into a disk
// file beside the test pictures; returns its path.
std::string WriteEncoded(const std::string& name, Image& image) {
    const std::string path = kPictures + "/encoded_" + name;
    File file(path.c_str());
    EXPECT_EQ(test::EncodeWith(&file, &image), kOk) << name;
    return path;
}

TEST_F(ImageMagickPictures, ImageMagickReadsEncodedFilesWithTheSamePixels) {
    VolumeImage rgb, rgba, cube, colour;
    ASSERT_TRUE(DecodeTestPicture("bmp24_13x7.bmp", rgb));
    ASSERT_TRUE(DecodeTestPicture("tga32_rle_bu.tga", rgba));
    ASSERT_TRUE(DecodeTestPicture("cube.cube", cube));
    ASSERT_TRUE(DecodeTestPicture("jpg_colour.jpg", colour));

    EXPECT_EQ(ImageMagickPixels(WriteEncoded("rgb.bmp", rgb), "rgb"), test::PixelsOf(rgb));
    EXPECT_EQ(ImageMagickPixels(WriteEncoded("rgb.tga", rgb), "rgb"), test::PixelsOf(rgb));
    EXPECT_EQ(ImageMagickPixels(WriteEncoded("rgba.tga", rgba), "rgba"), test::PixelsOf(rgba));

    // Each face of an encoded cube is a TGA of its own.
    const Bytes cubeFile = ReadFile(WriteEncoded("cube.cube", cube));
    ASSERT_EQ(cubeFile.size() % 6, 0u);
    const size_t faceFile = cubeFile.size() / 6, faceBytes = size_t(cube.GetDataSize()) / 6;
    for (size_t face = 0; face < 6; ++face) {
        const std::string path = kPictures + "/encoded_face" + std::to_string(face) + ".tga";
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(cubeFile.data() + face * faceFile), std::streamsize(faceFile));
        const Bytes expected(cube.GetPixels() + face * faceBytes, cube.GetPixels() + (face + 1) * faceBytes);
        EXPECT_EQ(ImageMagickPixels(path, "rgb"), expected) << "face " << face;
    }

    // JPEG is lossy: ImageMagick must see what the engine sees.
    const std::string jpeg = WriteEncoded("colour.jpg", colour);
    VolumeImage ours;
    ASSERT_TRUE(DecodeTestPicture("encoded_colour.jpg", ours));
    const Bytes theirs = ImageMagickPixels(jpeg, "rgb");
    ASSERT_EQ(theirs.size(), size_t(ours.GetDataSize()));
    EXPECT_LE(LargestDifference(theirs, test::PixelsOf(ours)), 1);
    EXPECT_LT(LargestDifference(test::PixelsOf(ours), test::PixelsOf(colour)), 64);
}

#endif

}  // namespace
}  // namespace zav
