// The four image codecs of the engine: chosen by extension through the codec
// manager, decoding memory and disk files into images and encoding images
// into disk files.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "engine/core/Log.h"
#include "engine/core/Result.h"
#include "engine/platform/Platform.h"
#include "tests/images/ImageCodecRun.h"
#include "tests/images/PictureBytes.h"
#include "tests/support/LogCapture.h"

namespace zav {
namespace {

using test::Append;
using test::Bytes;
using test::LogCapture;

// Six one-pixel faces; face f is (f, 10 f, 100 + f) as B, G, R. The fourth
// face may claim another depth.
Bytes Cube(uint8_t fourthFaceBits = 24) {
    Bytes file;
    for (uint8_t face = 0; face < 6; ++face) {
        Append(file, test::TgaHeader(2, 1, 1, face == 3 ? fourthFaceBits : 24));
        Append(file, {face, uint8_t(10 * face), uint8_t(100 + face)});
    }
    return file;
}

class ImageCodecs : public test::ImageCodecRun {
protected:
    void TearDown() override {
        for (const std::string& path : paths_) std::remove(path.c_str());
        test::ImageCodecRun::TearDown();
    }

    // A fresh path in the temporary folder ending in `suffix`.
    std::string TempPath(const char* suffix) {
        const std::string base = platform::CreateTempFile("zavimg");
        paths_.push_back(base);
        paths_.push_back(base + suffix);
        return base + suffix;
    }

    static Bytes ReadDisk(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }

    static int EncodeToDisk(const std::string& path, Image* image) {
        File file(path.c_str());
        return test::EncodeWith(&file, image);
    }

    static int DecodeFromDisk(const std::string& path, Image* image) {
        File file(path.c_str());
        return test::DecodeWith(&file, image);
    }

    std::vector<std::string> paths_;
};

TEST_F(ImageCodecs, ExtensionsChooseTheirCodecExactly) {
    const struct {
        const char* codec;
        std::vector<const char*> extensions;
    } codecs[] = {
        {"BMPImageCodec", {"BMP", "bmp", "Bmp"}},
        {"JPGImageCodec", {"JPG", "jpg", "Jpg", "JPEG", "jpeg", "Jpeg"}},
        {"TGAImageCodec", {"TGA", "tga", "Tga"}},
        {"CUBEImageCodec", {"CUBE", "cube", "Cube"}},
    };
    for (const auto& c : codecs) {
        Codec* codec = nullptr;
        ASSERT_EQ(LoadCodec(c.codec, &codec), kOk);
        EXPECT_EQ(codec->GetKind(), kImageCodecKind);
        ASSERT_EQ(codec->GetExtensions().Count(), int32_t(c.extensions.size()));
        for (size_t i = 0; i < c.extensions.size(); ++i) {
            EXPECT_EQ(codec->GetExtensions()[int32_t(i)], c.extensions[i]);
            MemoryFile file((std::string("picture.") + c.extensions[i]).c_str());
            EXPECT_EQ(FindCodecForFile<ImageCodec>(&file), codec);
        }
    }
    for (const char* name : {"picture.bMp", "picture.png", "picture", "picture.tga.gz"}) {
        MemoryFile file(name);
        EXPECT_EQ(FindCodecForFile(&file), nullptr) << name;
    }
}

TEST_F(ImageCodecs, DecodeMemoryFilesIntoImages) {
    Bytes bmp = test::BmpHeaders(3, 1, 24);
    Append(bmp, {1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 0, 0});
    Ref<Image> image(new Image());
    ASSERT_EQ(test::DecodeBytes("row.bmp", bmp, image.Get()), kOk);
    EXPECT_EQ(image->GetWidth(), 3);
    EXPECT_EQ(image->GetHeight(), 1);
    EXPECT_EQ(image->GetFormat(), RGB8);
    EXPECT_EQ(test::PixelsOf(*image), (Bytes{3, 2, 1, 6, 5, 4, 9, 8, 7}));

    Bytes tga = test::TgaHeader(2, 1, 1, 32);
    Append(tga, {10, 20, 30, 40});
    ASSERT_EQ(test::DecodeBytes("dot.Tga", tga, image.Get()), kOk);
    EXPECT_EQ(image->GetFormat(), RGBA8);
    EXPECT_EQ(test::PixelsOf(*image), (Bytes{30, 20, 10, 40}));

    // A plain picture turns a volume into one slice.
    Ref<VolumeImage> volume(new VolumeImage("volume", RGB8, 1, 1, 6));
    ASSERT_EQ(test::DecodeBytes("dot.tga", tga, volume.Get()), kOk);
    EXPECT_EQ(volume->GetDepth(), 1);
    EXPECT_EQ(volume->GetDataSize(), 4);
}

TEST_F(ImageCodecs, AShortFileDecodesWithZerosAndOneStreamWarning) {
    Bytes tga = test::TgaHeader(2, 100, 100, 24);
    Append(tga, {1, 2, 3, 4, 5, 6, 7});
    Ref<Image> image(new Image());
    LogCapture log;
    ASSERT_EQ(test::DecodeBytes("short.tga", tga, image.Get()), kOk);
    const Bytes pixels = test::PixelsOf(*image);
    ASSERT_EQ(pixels.size(), 30000u);
    EXPECT_EQ(Bytes(pixels.begin(), pixels.begin() + 7), (Bytes{3, 2, 1, 6, 5, 4, 0}));
    EXPECT_EQ(Bytes(pixels.begin() + 6, pixels.end()), Bytes(pixels.size() - 6, 0));
    int warnings = 0;
    for (const auto& line : log.Lines()) warnings += line.level == kLogWarning;
    EXPECT_EQ(warnings, 1);
    EXPECT_TRUE(log.Has(kLogWarning, "Невозможно считать данные. Буффер переполнен."));

    // A complete file leaves no warning.
    log.Clear();
    Bytes whole = test::TgaHeader(2, 1, 1, 24);
    Append(whole, {1, 2, 3});
    ASSERT_EQ(test::DecodeBytes("whole.tga", whole, image.Get()), kOk);
    for (const auto& line : log.Lines()) EXPECT_NE(line.level, kLogWarning) << line.text;
}

TEST_F(ImageCodecs, FailedDecodesLeaveTheImageAsItWas) {
    Ref<Image> image(new Image("kept", A8, 2, 1));
    image->GetPixels()[1] = 5;
    Bytes huge = test::TgaHeader(2, 65535, 65535, 32);
    for (const auto& [name, bytes] : {std::pair<const char*, Bytes>{"huge.tga", huge},
                                      {"negative.bmp", test::BmpHeaders(4, -1, 24)},
                                      {"empty.jpg", Bytes()},
                                      {"words.jpeg", Bytes{'n', 'o', 't', ' ', 'j', 'p', 'e', 'g'}},
                                      {"sixteen.cube", Cube(16)}}) {
        SCOPED_TRACE(name);
        Ref<VolumeImage> volume(new VolumeImage());
        EXPECT_EQ(test::DecodeBytes(name, bytes, image.Get()), kFailed);
        EXPECT_EQ(test::DecodeBytes(name, bytes, volume.Get()), kFailed);
        EXPECT_EQ(volume->GetDepth(), 0);
        EXPECT_EQ(volume->GetPixels(), nullptr);
    }
    EXPECT_EQ(image->GetFormat(), A8);
    EXPECT_EQ(test::PixelsOf(*image), (Bytes{0, 5}));

    Codec* bmp = nullptr;
    ASSERT_EQ(LoadCodec("BMPImageCodec", &bmp), kOk);
    auto* codec = static_cast<ImageCodec*>(bmp);
    MemoryFile file("a.bmp");
    EXPECT_EQ(codec->DecodeImage(nullptr, image.Get()), kNotFound);
    EXPECT_EQ(codec->DecodeImage(&file, nullptr), kNotFound);
    EXPECT_EQ(codec->DecodeImage(&file, image.Get()), kFailed);  // no content to open
}

TEST_F(ImageCodecs, CubeMapsNeedAVolumeAndSetTheDepthOnlyOnSuccess) {
    Ref<Image> flat(new Image());
    EXPECT_EQ(test::DecodeBytes("sky.cube", Cube(), flat.Get()), kFailed);
    EXPECT_EQ(flat->GetPixels(), nullptr);

    Ref<VolumeImage> sky(new VolumeImage());
    ASSERT_EQ(test::DecodeBytes("sky.CUBE", Cube(), sky.Get()), kOk);
    EXPECT_EQ(sky->GetDepth(), 6);
    EXPECT_EQ(sky->GetWidth(), 1);
    EXPECT_EQ(test::PixelsOf(*sky), (Bytes{100, 0, 0, 101, 10, 1, 102, 20, 2, 103, 30, 3, 104, 40, 4, 105, 50, 5}));
}

TEST_F(ImageCodecs, EncodedDiskFilesDecodeBack) {
    Ref<Image> rgb(new Image("rgb", RGB8, 5, 3));
    for (int i = 0; i < rgb->GetDataSize(); ++i) rgb->GetPixels()[i] = uint8_t(i * 7);
    Ref<Image> rgba(new Image("rgba", RGBA8, 3, 2));
    for (int i = 0; i < rgba->GetDataSize(); ++i) rgba->GetPixels()[i] = uint8_t(255 - i * 9);
    Ref<Image> grey(new Image("grey", A8, 6, 2));
    for (int i = 0; i < grey->GetDataSize(); ++i) grey->GetPixels()[i] = uint8_t(i * 20);
    Ref<VolumeImage> cube(new VolumeImage("cube", RGBA8, 2, 2, 6));
    for (int i = 0; i < cube->GetDataSize(); ++i) cube->GetPixels()[i] = uint8_t(i);

    const struct {
        Image* image;
        const char* suffix;
    } lossless[] = {{rgb.Get(), ".bmp"}, {grey.Get(), ".BMP"}, {rgb.Get(), ".tga"}, {rgba.Get(), ".Tga"},
                    {cube.Get(), ".cube"}};
    for (const auto& c : lossless) {
        SCOPED_TRACE(c.suffix);
        const std::string path = TempPath(c.suffix);
        ASSERT_EQ(EncodeToDisk(path, c.image), kOk);
        Ref<VolumeImage> back(new VolumeImage());
        ASSERT_EQ(DecodeFromDisk(path, back.Get()), kOk);
        EXPECT_EQ(back->GetWidth(), c.image->GetWidth());
        EXPECT_EQ(back->GetHeight(), c.image->GetHeight());
        EXPECT_EQ(back->GetFormat(), c.image->GetFormat());
        EXPECT_EQ(test::PixelsOf(*back), test::PixelsOf(*c.image));
    }

    const std::string jpeg = TempPath(".jpg");
    ASSERT_EQ(EncodeToDisk(jpeg, rgb.Get()), kOk);
    Ref<Image> back(new Image());
    ASSERT_EQ(DecodeFromDisk(jpeg, back.Get()), kOk);
    EXPECT_EQ(back->GetFormat(), RGB8);
    EXPECT_EQ(back->GetDataSize(), rgb->GetDataSize());
}

TEST_F(ImageCodecs, RefusedEncodesLeaveTheTargetFileUntouched) {
    Ref<Image> grey(new Image("grey", A8, 2, 2));
    Ref<Image> rgba(new Image("rgba", RGBA8, 2, 2));
    Ref<Image> none(new Image("none"));
    Ref<VolumeImage> four(new VolumeImage("four", RGB8, 2, 2, 4));
    const struct {
        Image* image;
        const char* suffix;
        int result;
    } cases[] = {
        {grey.Get(), ".tga", kNotFound}, {rgba.Get(), ".bmp", kNotFound}, {rgba.Get(), ".jpg", kNotFound},
        {none.Get(), ".bmp", kFailed},   {grey.Get(), ".cube", kFailed},  {four.Get(), ".cube", kFailed},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.image->GetName().CStr()) + c.suffix);
        const std::string path = TempPath(c.suffix);
        std::ofstream(path, std::ios::binary) << "keep";
        EXPECT_EQ(EncodeToDisk(path, c.image), c.result);
        EXPECT_EQ(ReadDisk(path), (Bytes{'k', 'e', 'e', 'p'}));
    }

    // A memory file cannot be written; A8 goes to JPEG as grey colour.
    MemoryFile memory("out.jpg");
    EXPECT_EQ(test::EncodeWith(&memory, grey.Get()), kFailed);
    EXPECT_EQ(test::EncodeWith(&memory, nullptr), kNotFound);
    EXPECT_EQ(EncodeToDisk(TempPath(".jpg"), grey.Get()), kOk);
}

}  // namespace
}  // namespace zav
