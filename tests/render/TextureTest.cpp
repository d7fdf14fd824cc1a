// Textures: their records and images, the composite texture's slices, what
// a renderer makes of them, and the texel layout of uploads and mip levels.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "engine/core/Log.h"
#include "engine/render/CompositeTexture.h"
#include "engine/render/CubeTexture.h"
#include "engine/render/Texture.h"
#include "engine/render/TextureUpload.h"
#include "engine/render/VolumeTexture.h"
#include "tests/render/RenderTestSupport.h"
#include "tests/support/LogCapture.h"
#include "tests/support/StreamBytes.h"

namespace zav {
namespace {

using test::LogCapture;

Ref<Image> Picture(int32_t format, int32_t width, int32_t height, std::vector<uint8_t> pixels) {
    Ref<Image> image(new Image("picture", format, width, height));
    EXPECT_EQ(static_cast<size_t>(image->GetDataSize()), pixels.size());
    std::memcpy(image->GetPixels(), pixels.data(), pixels.size());
    return image;
}

// A locked region of `rows` rows of `pitch` bytes, filled with 0xEE so that
// bytes nothing writes stand out.
struct Region {
    Region(int32_t width, int32_t height, int64_t pitch, int32_t depth = 1)
        : bytes(static_cast<size_t>(pitch * height * depth), 0xEE) {
        region.bits = bytes.data();
        region.width = width;
        region.height = height;
        region.depth = depth;
        region.rowPitch = pitch;
        region.slicePitch = pitch * height;
    }
    std::vector<uint8_t> bytes;
    TexelRegion region;
};

TEST(TextureUpload, ImagesBecomeBgraRowsTopDownWithinThePitch) {
    // 2 × 1 RGB8: B, G, R and an opaque alpha per texel.
    Ref<Image> row = Picture(RGB8, 2, 1, {1, 2, 3, 4, 5, 6});
    Region two(2, 1, 12);
    ASSERT_TRUE(WriteImageTexels(*row, 0, two.region));
    EXPECT_EQ(two.bytes, (std::vector<uint8_t>{3, 2, 1, 255, 6, 5, 4, 255, 0xEE, 0xEE, 0xEE, 0xEE}));

    // 1 × 2: image row 0 (the bottom) is the device's second row.
    Ref<Image> column = Picture(RGBA8, 1, 2, {10, 20, 30, 40, 50, 60, 70, 80});
    Region tall(1, 2, 4);
    ASSERT_TRUE(WriteImageTexels(*column, 0, tall.region));
    EXPECT_EQ(tall.bytes, (std::vector<uint8_t>{70, 60, 50, 80, 30, 20, 10, 40}));

    // A8 byte for byte; a volume slice by slice.
    Ref<VolumeImage> volume(new VolumeImage("volume", A8, 2, 1, 2));
    const uint8_t slices[] = {1, 2, 3, 4};
    std::memcpy(volume->GetPixels(), slices, sizeof slices);
    Region box(2, 1, 3, 2);
    ASSERT_TRUE(WriteImageTexels(*volume, 0, box.region));
    EXPECT_EQ(box.bytes, (std::vector<uint8_t>{1, 2, 0xEE, 3, 4, 0xEE}));
    Region second(2, 1, 2);
    ASSERT_TRUE(WriteImageTexels(*volume, 1, second.region));
    EXPECT_EQ(second.bytes, (std::vector<uint8_t>{3, 4}));

    // Nothing is written for another size, a slice past the end, a format
    // the device does not take or no pixels.
    EXPECT_FALSE(WriteImageTexels(*row, 0, Region(1, 1, 4).region));
    EXPECT_FALSE(WriteImageTexels(*volume, 1, box.region));
    Ref<Image> half(new Image("half", RGBA16F, 1, 1));
    EXPECT_FALSE(WriteImageTexels(*half, 0, Region(1, 1, 8).region));
    Ref<Image> empty(new Image("empty"));
    EXPECT_FALSE(WriteImageTexels(*empty, 0, Region(0, 0, 0).region));
    EXPECT_EQ(DeviceTexelBytes(RGB8), 4);
    EXPECT_EQ(DeviceTexelBytes(A8), 1);
    EXPECT_EQ(DeviceTexelBytes(7), 0);
}

TEST(TextureUpload, MipLevelsAverageTwoByTwoBlocksRoundedToNearest) {
    // A one-texel checker becomes grey, not black or white.
    Region checker(2, 2, 2);
    checker.bytes = {0, 255, 255, 0};
    Region grey(1, 1, 1);
    FilterMipLevel(checker.region, grey.region, 1);
    EXPECT_EQ(grey.bytes[0], 128);

    // Per channel, over a padded pitch; 1 + 2 + 3 + 5 = 11 rounds to 3.
    Region rgba(2, 2, 12);
    const uint8_t texels[2][8] = {{1, 10, 0, 255, 2, 20, 0, 255}, {3, 30, 0, 255, 5, 40, 255, 255}};
    std::memcpy(rgba.bytes.data(), texels[0], 8);
    std::memcpy(rgba.bytes.data() + 12, texels[1], 8);
    Region one(1, 1, 4);
    FilterMipLevel(rgba.region, one.region, 4);
    EXPECT_EQ(one.bytes, (std::vector<uint8_t>{3, 25, 64, 255}));

    // An odd side: the last column pairs with itself.
    Region odd(3, 1, 3);
    odd.bytes = {0, 100, 200};
    Region halved(1, 1, 1);
    FilterMipLevel(odd.region, halved.region, 1);
    EXPECT_EQ(halved.bytes[0], 50);

    // Volumes halve their depth too: eight texels average into one.
    Region cube(2, 2, 2, 2);
    cube.bytes = {0, 0, 0, 0, 80, 80, 80, 80};
    Region point(1, 1, 1, 1);
    FilterMipLevel(cube.region, point.region, 1);
    EXPECT_EQ(point.bytes[0], 40);
}

class TextureTest : public test::RenderFixture {};

TEST_F(TextureTest, SetImageDropsTheDeviceTextureEvenForTheSameImage) {
    Ref<Image> image = Picture(RGB8, 1, 1, {1, 2, 3});
    Ref<Texture> texture(new Texture("stone", image.Get(), 4));
    renderer->BindTexture(texture.Get(), 0);
    ASSERT_NE(texture->GetHandle(), nullptr);
    EXPECT_FALSE(texture->IsDirty());
    EXPECT_EQ(renderer->GetDeviceObjectCount(), 1);
    texture->SetImage(image.Get());
    EXPECT_EQ(texture->GetHandle(), nullptr);
    EXPECT_EQ(texture->GetOwner(), nullptr);
    EXPECT_TRUE(texture->IsDirty());
    EXPECT_EQ(texture->GetMipLevels(), 0);
    EXPECT_EQ(renderer->GetDeviceObjectCount(), 0);
    EXPECT_EQ(renderer->CallsStartingWith("ReleaseTexture"), std::vector<std::string>{"ReleaseTexture stone"});

    // A texture going away takes its device texture with it.
    renderer->BindTexture(texture.Get(), 0);
    texture = nullptr;
    EXPECT_EQ(renderer->GetDeviceObjectCount(), 0);
}

TEST_F(TextureTest, TexturesWithoutPicturesOrWithBrokenCubesGetNoDeviceTexture) {
    Ref<Texture> bare(new Texture("bare"));
    Ref<Texture> empty(new Texture("empty", Ref<Image>(new Image("nothing")).Get()));
    Ref<VolumeImage> strip(new VolumeImage("strip", RGB8, 4, 2, 6));
    Ref<CubeTexture> notSquare(new CubeTexture("not square", strip.Get()));
    Ref<VolumeImage> five(new VolumeImage("five", RGB8, 2, 2, 5));
    Ref<CubeTexture> fiveFaces(new CubeTexture("five faces", five.Get()));
    LogCapture log;
    for (int frame = 0; frame < 2; ++frame)
        for (BaseTexture* texture : std::initializer_list<BaseTexture*>{bare.Get(), empty.Get(), notSquare.Get(),
                                                                        fiveFaces.Get()})
            renderer->BindTexture(texture, 0);
    EXPECT_EQ(renderer->GetDeviceObjectCount(), 0);
    int warnings = 0;
    for (const auto& line : log.Lines()) warnings += line.level == kLogWarning;
    EXPECT_EQ(warnings, 2);  // once per cube, not once per bind
    EXPECT_TRUE(log.HasPrefix(kLogWarning, "Изображение кубической текстуры не состоит из шести квадратных граней. "
                                           "Имя[not square]"));

    Ref<VolumeImage> six(new VolumeImage("six", RGB8, 2, 2, 6));
    Ref<CubeTexture> cube(new CubeTexture("cube", six.Get()));
    renderer->BindTexture(cube.Get(), 0);
    EXPECT_NE(cube->GetHandle(), nullptr);
    EXPECT_TRUE(cube->HasCubeImage());
}

TEST_F(TextureTest, CompositeTexturesBuildTheirSlicesOnceAfterEachChange) {
    Ref<VolumeImage> volume(new VolumeImage("volume", A8, 2, 1, 4));
    for (int i = 0; i < 8; ++i) volume->GetPixels()[i] = static_cast<uint8_t>(i + 1);
    Ref<CompositeTexture> composite(new CompositeTexture("composite", volume.Get()));
    EXPECT_FALSE(composite->AreSlicesBuilt());
    EXPECT_EQ(composite->GetImage(false), volume.Get());
    ASSERT_EQ(composite->GetSliceCount(), 4);
    Ref<Texture> third(composite->GetSlice(2));  // held, so a rebuilt slice is a new object
    ASSERT_NE(third->GetImage(), nullptr);
    EXPECT_EQ(third->GetImage()->GetWidth(), 2);
    EXPECT_EQ(third->GetImage()->GetPixels()[0], 5);
    EXPECT_EQ(third->GetImage()->GetPixels()[1], 6);

    // Another read keeps the slices; a write or a new image builds them again.
    composite->GetImage(false);
    EXPECT_EQ(composite->GetSlice(2), third.Get());
    composite->SetDirty(false);
    composite->GetImage(true)->GetPixels()[4] = 50;
    EXPECT_TRUE(composite->IsDirty());
    EXPECT_FALSE(composite->AreSlicesBuilt());
    composite->GetImage(false);
    EXPECT_NE(composite->GetSlice(2), third.Get());
    EXPECT_EQ(composite->GetSlice(2)->GetImage()->GetPixels()[0], 50);
    Ref<VolumeImage> smaller(new VolumeImage("smaller", A8, 1, 1, 2));
    composite->SetImage(smaller.Get());
    EXPECT_FALSE(composite->AreSlicesBuilt());
    composite->GetImage(false);
    EXPECT_EQ(composite->GetSliceCount(), 2);
    composite->SetImage(nullptr);
    composite->GetImage(false);
    EXPECT_TRUE(composite->AreSlicesBuilt());
    EXPECT_EQ(composite->GetSliceCount(), 0);
}

TEST_F(TextureTest, RecordsKeepTheImageAndAlwaysAskForTheFullChain) {
    Ref<Image> image(new Image("pixels", RGBA8, 4, 2));
    Ref<Texture> texture(new Texture("wood", image.Get(), 5));
    Ref<Object> loaded = test::LoadFromBytes(test::SaveToBytes(texture.Get()));
    auto* read = ObjectCast<Texture>(loaded.Get());
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->GetMipLevels(), 0);
    ASSERT_NE(read->GetImage(), nullptr);
    EXPECT_EQ(read->GetImage()->GetWidth(), 4);
    EXPECT_EQ(read->FindObject("pixels"), read->GetImage());
    Array<Object*> images;
    read->CollectObjects(&Image::StaticType(), images);
    EXPECT_EQ(images.Count(), 1);

    Ref<VolumeImage> faces(new VolumeImage("faces", RGB8, 2, 2, 6));
    Ref<CubeTexture> sky(new CubeTexture("sky", faces.Get()));
    Ref<Object> cube = test::LoadFromBytes(test::SaveToBytes(sky.Get()));
    ASSERT_NE(ObjectCast<CubeTexture>(cube.Get()), nullptr);
    EXPECT_EQ(ObjectCast<CubeTexture>(cube.Get())->GetImage(false)->GetDepth(), 6);

    // A cube or volume texture's image must be a volume image.
    std::string wrong = test::SaveToBytes(Ref<VolumeTexture>(new VolumeTexture("fog", nullptr)).Get());
    // The null image reference becomes a plain image of stream ID 77.
    wrong.replace(wrong.size() - 4, 4, test::Int32Bytes(77) + test::SaveToBytes(image.Get()).substr(4));
    LogCapture log;
    EXPECT_EQ(test::LoadFromBytes(wrong).Get(), nullptr);
    EXPECT_TRUE(log.HasPrefix(kLogError, "Невозможно загрузить изображение текстуры. "));
}

}  // namespace
}  // namespace zav
