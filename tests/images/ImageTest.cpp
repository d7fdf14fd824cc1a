// Image and VolumeImage: sizes, the pixel block and the records, including
// images that come from a file of the virtual tree.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "engine/core/Log.h"
#include "engine/core/Result.h"
#include "engine/core/Stream.h"
#include "engine/files/Directory.h"
#include "engine/files/FileManager.h"
#include "engine/files/MemoryFile.h"
#include "tests/images/ImageCodecRun.h"
#include "tests/images/PictureBytes.h"
#include "tests/support/LogCapture.h"
#include "tests/support/StreamBytes.h"

namespace zav {
namespace {

using test::Append;
using test::Bytes;
using test::LoadFromBytes;
using test::LogCapture;
using test::SaveToBytes;

std::string IdAndName(const Object& object) {
    return "ID[" + std::to_string(object.GetId()) + "] Имя[" + object.GetName().CStr() + "]";
}

void PutInt32(std::string& bytes, size_t fromEnd, int32_t value) { std::memcpy(&bytes[bytes.size() - fromEnd], &value, 4); }

class Images : public test::ImageCodecRun {};

TEST_F(Images, ConstructedImagesOwnAZeroedBlockOfTheirDataSize) {
    Ref<Image> empty(new Image("empty"));
    EXPECT_EQ(empty->GetWidth(), 0);
    EXPECT_EQ(empty->GetFormat(), RGB8);
    EXPECT_EQ(empty->GetDataSize(), 0);
    EXPECT_EQ(empty->GetPixels(), nullptr);
    EXPECT_TRUE(empty->GetFileName().IsEmpty());

    Ref<Image> rgba(new Image("rgba", RGBA8, 5, 3));
    ASSERT_EQ(rgba->GetDataSize(), 60);
    ASSERT_NE(rgba->GetPixels(), nullptr);
    EXPECT_EQ(test::PixelsOf(*rgba), Bytes(60, 0));
    EXPECT_EQ(Image("a8", A8, 5, 3).GetDataSize(), 15);
    EXPECT_EQ(Image("half", RGBA16F, 2, 2).GetDataSize(), 32);

    Ref<VolumeImage> volume(new VolumeImage("cube", RGB8, 4, 2, 6));
    EXPECT_EQ(volume->GetDepth(), 6);
    EXPECT_EQ(volume->GetDataSize(), 4 * 2 * 6 * 3);
    EXPECT_EQ(test::PixelsOf(*volume).size(), size_t(144));

    // A format without a byte size has no pixels, and nothing went wrong.
    LogCapture log;
    log.Clear();
    Ref<Image> unknown(new Image("unknown", 7, 4, 4));
    EXPECT_EQ(unknown->GetDataSize(), 0);
    EXPECT_EQ(unknown->GetPixels(), nullptr);
    EXPECT_TRUE(log.Lines().empty());
}

TEST_F(Images, ASizeBeyondThirtyTwoBitsIsReportedAndLeavesNoPixels) {
    LogCapture log;
    Ref<Image> huge(new Image("huge", RGBA8, 65536, 65536));
    EXPECT_EQ(huge->GetPixels(), nullptr);
    EXPECT_EQ(huge->GetDataSize(), 0);
    EXPECT_TRUE(log.Has(kLogError, "Недостаточно памяти для создания изображения. " + IdAndName(*huge)));

    Ref<VolumeImage> deep(new VolumeImage("deep", RGBA8, 8192, 8192, 64));
    EXPECT_EQ(deep->GetPixels(), nullptr);
}

TEST_F(Images, SetPixelsTakesOnlyABlockOfTheRightSize) {
    Ref<Image> image(new Image("image", A8, 2, 2));
    ByteBlock three;
    ASSERT_TRUE(three.Allocate(3));
    EXPECT_EQ(image->SetPixels(2, 1, 1, RGB8, std::move(three)), kFailed);
    EXPECT_EQ(image->GetFormat(), A8);
    EXPECT_EQ(image->GetDataSize(), 4);

    ByteBlock six;
    ASSERT_TRUE(six.Allocate(6));
    six.Data()[5] = 9;
    EXPECT_EQ(image->SetPixels(2, 1, 1, RGB8, std::move(six)), kOk);
    EXPECT_EQ(test::PixelsOf(*image), (Bytes{0, 0, 0, 0, 0, 9}));

    // Slices: only a volume takes them, and it takes one as well.
    ByteBlock twelve;
    ASSERT_TRUE(twelve.Allocate(12));
    EXPECT_EQ(image->SetPixels(2, 1, 2, RGB8, std::move(twelve)), kFailed);
    Ref<VolumeImage> volume(new VolumeImage("volume", RGB8, 1, 1, 6));
    ASSERT_TRUE(twelve.Allocate(12));
    EXPECT_EQ(volume->SetPixels(2, 1, 2, RGB8, std::move(twelve)), kOk);
    EXPECT_EQ(volume->GetDepth(), 2);
    ASSERT_TRUE(six.Allocate(6));
    EXPECT_EQ(volume->SetPixels(2, 1, 1, RGB8, std::move(six)), kOk);
    EXPECT_EQ(volume->GetDepth(), 1);
    EXPECT_EQ(volume->GetDataSize(), 6);
}

TEST_F(Images, AnImageBuiltInMemoryStoresItsSizeButNoPixels) {
    Ref<Image> image(new Image("sky", RGBA8, 3, 2));
    image->GetPixels()[0] = 77;
    const std::string record = SaveToBytes(image.Get());
    // The record ends with the empty file name, width, height and format.
    Bytes tail;
    Append(tail, {0, 0, 0, 0, 3, 0, 0, 0, 2, 0, 0, 0, 1, 0, 0, 0});
    ASSERT_GT(record.size(), tail.size());
    EXPECT_EQ(Bytes(record.end() - tail.size(), record.end()), tail);

    LogCapture log;
    Ref<Object> object = LoadFromBytes(record);
    Image* loaded = ObjectCast<Image>(object.Get());
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->GetType()->GetName(), "ZAV.Image");
    EXPECT_EQ(loaded->GetName(), "sky");
    EXPECT_EQ(loaded->GetWidth(), 3);
    EXPECT_EQ(loaded->GetHeight(), 2);
    EXPECT_EQ(loaded->GetFormat(), RGBA8);
    EXPECT_EQ(test::PixelsOf(*loaded), Bytes(24, 0));
    EXPECT_TRUE(log.Has(kLogInfo, "Изображение [sky] загружено."));
}

TEST_F(Images, AVolumeRecordKeepsItsDepthAfterTheHeightAndLogsNoLoadLine) {
    Ref<VolumeImage> volume(new VolumeImage("stack", A8, 2, 3, 4));
    const std::string record = SaveToBytes(volume.Get());
    Bytes tail;
    Append(tail, {2, 0, 0, 0, 3, 0, 0, 0, 4, 0, 0, 0, 2, 0, 0, 0});
    EXPECT_EQ(Bytes(record.end() - tail.size(), record.end()), tail);

    LogCapture log;
    Ref<Object> object = LoadFromBytes(record);
    VolumeImage* loaded = ObjectCast<VolumeImage>(object.Get());
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->GetType()->GetName(), "ZAV.VolumeImage");
    EXPECT_EQ(loaded->GetDepth(), 4);
    EXPECT_EQ(loaded->GetDataSize(), 24);
    EXPECT_NE(loaded->GetPixels(), nullptr);
    EXPECT_FALSE(log.HasPrefix(kLogInfo, "Изображение ["));
}

TEST_F(Images, DamagedRecordsFailWithTheFieldsOwnMessage) {
    const std::string image = SaveToBytes(Ref<Image>(new Image("bad", RGB8, 2, 2)).Get());
    const std::string volume = SaveToBytes(Ref<VolumeImage>(new VolumeImage("bad", RGB8, 2, 2, 2)).Get());
    const struct {
        std::string record;
        size_t fromEnd;  // where the damage goes, counted from the end
        int32_t value;
        const char* message;
    } cases[] = {
        {image, 12, -1, "Невозможно загрузить ширину изображения. "},
        {image, 8, -2, "Невозможно загрузить высоту изображения. "},
        {volume, 8, -6, "Невозможно загрузить высоту изображения. "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        std::string record = c.record;
        PutInt32(record, c.fromEnd, c.value);
        LogCapture log;
        EXPECT_EQ(LoadFromBytes(record).Get(), nullptr);
        EXPECT_TRUE(log.HasPrefix(kLogError, c.message));
    }

    // Sizes a record may not describe fail before anything is allocated: a
    // side beyond the largest texture, a block beyond what a record may ask
    // for (16384 × 16384 × 3 bytes), a side of 0 beside one that is not.
    const struct {
        int32_t width, height;
        const char* message;
    } refused[] = {
        {40000, 40000, "Невозможно загрузить ширину изображения. "},
        {16384, 40000, "Невозможно загрузить высоту изображения. "},
        {16384, 16384, "Невозможно загрузить высоту изображения. "},
        {0, 5, "Невозможно загрузить ширину изображения. "},
        {5, 0, "Невозможно загрузить высоту изображения. "},
    };
    for (const auto& c : refused) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
        std::string record = image;
        PutInt32(record, 12, c.width);
        PutInt32(record, 8, c.height);
        LogCapture log;
        EXPECT_EQ(LoadFromBytes(record).Get(), nullptr);
        EXPECT_TRUE(log.HasPrefix(kLogError, c.message));
        EXPECT_FALSE(log.HasPrefix(kLogError, "Недостаточно памяти"));
    }
    std::string flatVolume = volume;
    PutInt32(flatVolume, 8, 0);  // the depth
    {
        LogCapture log;
        EXPECT_EQ(LoadFromBytes(flatVolume).Get(), nullptr);
        EXPECT_TRUE(log.HasPrefix(kLogError, "Невозможно загрузить высоту изображения. "));
    }
    // An accepted size gets a zeroed block of its own size.
    std::string large = image;
    PutInt32(large, 12, 1024);
    PutInt32(large, 8, 512);
    Ref<Image> loaded(ObjectCast<Image>(LoadFromBytes(large).Get()));
    ASSERT_TRUE(loaded);
    ASSERT_EQ(loaded->GetDataSize(), 1024 * 512 * 3);
    const uint8_t* pixels = loaded->GetPixels();
    EXPECT_TRUE(std::all_of(pixels, pixels + loaded->GetDataSize(), [](uint8_t byte) { return byte == 0; }));

    LogCapture log;
    // Cut inside the format.
    EXPECT_EQ(LoadFromBytes(image.substr(0, image.size() - 2)).Get(), nullptr);
    EXPECT_TRUE(log.HasPrefix(kLogError, "Невозможно загрузить формат изображения. "));
}

// An archive-like directory under the root holding pictures.
class ImagesFromFiles : public Images {
protected:
    void SetUp() override {
        Images::SetUp();
        pictures_ = new Directory("Pictures.rar2", GetRoot());
        Bytes tga = test::TgaHeader(2, 2, 1, 32);
        Append(tga, {10, 20, 30, 40, 1, 2, 3, 4});
        MemoryFile* file = new MemoryFile("sign.tga");
        char* bytes = new char[tga.size()];
        std::memcpy(bytes, tga.data(), tga.size());
        ASSERT_EQ(file->SetSource(bytes, static_cast<int32_t>(tga.size())), kOk);
        Directory* folder = new Directory("Signs", pictures_);
        ASSERT_EQ(folder->AttachFile(file), kOk);
        file_ = file;
    }
    void TearDown() override {
        delete pictures_;
        Images::TearDown();
    }

    Directory* pictures_ = nullptr;
    File* file_ = nullptr;
};

TEST_F(ImagesFromFiles, AnImageFromAFileIsNamedAfterItsPathAndStoresOnlyThePath) {
    Ref<Image> image(new Image(file_, String()));
    EXPECT_EQ(image->GetFileName(), "Pictures.rar2/Signs/sign.tga");
    EXPECT_EQ(image->GetName(), "Pictures.rar2/Signs/sign.tga");
    EXPECT_EQ(test::PixelsOf(*image), (Bytes{30, 20, 10, 40, 3, 2, 1, 4}));
    EXPECT_EQ(Ref<Image>(new Image(file_, "sign"))->GetName(), "sign");

    const std::string record = SaveToBytes(image.Get());
    const std::string path = "Pictures.rar2/Signs/sign.tga";
    EXPECT_EQ(std::string(record.end() - path.size(), record.end()), path);

    LogCapture log;
    Ref<Object> object = LoadFromBytes(record);
    Image* loaded = ObjectCast<Image>(object.Get());
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->GetFileName(), path.c_str());
    EXPECT_EQ(loaded->GetWidth(), 2);
    EXPECT_EQ(test::PixelsOf(*loaded), test::PixelsOf(*image));
    EXPECT_TRUE(log.Has(kLogInfo, "Изображение [" + path + "] загружено."));
}

TEST_F(ImagesFromFiles, ARecordWhoseFileIsGoneFailsTheRead) {
    const std::string record = SaveToBytes(Ref<Image>(new Image(file_, "sign")).Get());
    delete file_;
    LogCapture log;
    EXPECT_EQ(LoadFromBytes(record).Get(), nullptr);
    EXPECT_TRUE(log.Has(kLogWarning, "Указатель на файл равен 0 при загрузке изображения [sign]."));
    bool named = false;
    for (const auto& line : log.Lines())
        named |= line.level == kLogError && line.text.rfind("Невозможно загрузить изображение из файла. ID[", 0) == 0 &&
                 line.text.find("Имя[sign] Файл[Pictures.rar2/Signs/sign.tga]") != std::string::npos;
    EXPECT_TRUE(named);
}

TEST_F(ImagesFromFiles, LoadFromFileReportsAMissingFileCodecOrDecoder) {
    Ref<Image> image(new Image("target", A8, 1, 1));
    LogCapture log;
    EXPECT_EQ(image->LoadFromFile(nullptr), kNotFound);
    EXPECT_TRUE(log.Has(kLogWarning, "Указатель на файл равен 0 при загрузке изображения [target]."));

    MemoryFile png("picture.png");
    png.SetBorrowedSource("x", 1);
    EXPECT_EQ(image->LoadFromFile(&png), kNotFound);
    EXPECT_TRUE(log.Has(kLogWarning, "Не найден кодек для файла при загрузке изображения [target]."));

    MemoryFile damaged("picture.bmp");
    damaged.SetBorrowedSource("BM", 2);
    EXPECT_EQ(image->LoadFromFile(&damaged), kFailed);
    EXPECT_TRUE(log.Has(kLogError, "Неудачна загрузка изображения [target]."));
    // Every failure left the image as it was.
    EXPECT_EQ(image->GetFormat(), A8);
    EXPECT_EQ(test::PixelsOf(*image), Bytes{0});
}

}  // namespace
}  // namespace zav
