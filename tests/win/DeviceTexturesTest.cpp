// Render targets and the other texture kinds on the device.
#include <gtest/gtest.h>

#include <cstring>

#include "engine/render/CubeTexture.h"
#include "engine/render/Texture.h"
#include "engine/render/VolumeTexture.h"
#include "engine/render/effects/TextureEffect.h"
#include "tests/win/DeviceFixture.h"

namespace zav {
namespace {

using test::FixedFunctionTestEffect;
using test::PixelNear;

class DeviceTextures : public test::DeviceFixture {
protected:
    static void Fill(Image& image, int slice, const uint8_t rgb[3]) {
        const int texels = image.GetWidth() * image.GetHeight();
        uint8_t* pixels = image.GetPixels() + slice * texels * 3;
        for (int i = 0; i < texels; ++i) std::memcpy(pixels + 3 * i, rgb, 3);
    }
};

TEST_F(DeviceTextures, WhatIsDrawnIntoATargetShowsWhenTheTextureIsDrawn) {
    Ref<Image> image(new Image("target image", RGBA8, 32, 32));
    Ref<Texture> target(new Texture("target", image.Get()));
    Ref<FixedFunctionTestEffect> greenEffect(new FixedFunctionTestEffect("green"));
    Ref<GeometryNode> triangle = Mesh(greenEffect.Get(), {{-1, -1, 3}, {0, 1, 3}, {1, -1, 3}});
    SetColors(*triangle, {0, 1, 0, 1});
    triangle->UpdateSubtree(0.0, true);

    renderer->Clear(kClearColor | kClearDepth, Color{0, 0, 0, 1}, 1.0f, 0);
    ASSERT_EQ(renderer->BeginRender(), kOk);
    renderer->PushTextureTarget(target.Get());
    EXPECT_EQ(renderer->GetViewportWidth(), 32);
    renderer->Clear(kClearColor | kClearDepth, Color{1, 0, 0, 1}, 1.0f, 0);
    triangle->Draw(*renderer);
    // A texture is not bound while it is being drawn into.
    renderer->BindTexture(nullptr, 3);
    renderer->BindTexture(target.Get(), 3);
    IDirect3DBaseTexture9* bound = nullptr;
    device->GetTexture(3, &bound);
    EXPECT_EQ(bound, nullptr);
    renderer->PushTextureTarget(nullptr);  // pops
    EXPECT_EQ(renderer->GetViewportWidth(), kSize);
    renderer->EndRender();

    Ref<TextureEffect> effect(new TextureEffect("shows target"));
    effect->SetTexture(target.Get());
    Ref<GeometryNode> square = Square(effect.Get(), 1.0f, 0.53f);
    Ref<Image> frame = Frame({square.Get()});
    EXPECT_TRUE(PixelNear(Pixel(*frame, 32, 36), {0, 255, 0}, 8));  // the triangle's middle
    EXPECT_TRUE(PixelNear(Pixel(*frame, 15, 15), {255, 0, 0}, 8));  // the target's clear colour
    EXPECT_TRUE(PixelNear(Pixel(*frame, 4, 4), {0, 0, 0}, 0));      // outside the square
}

TEST_F(DeviceTextures, CubeTexturesShowTheFaceTheirCoordinatesPointAt) {
    static const uint8_t kFaces[6][3] = {{255, 0, 0}, {0, 255, 255}, {0, 255, 0},
                                         {255, 0, 255}, {0, 0, 255}, {255, 255, 0}};
    Ref<VolumeImage> faces(new VolumeImage("faces", RGB8, 4, 4, 6));
    for (int face = 0; face < 6; ++face) Fill(*faces, face, kFaces[face]);
    Ref<CubeTexture> cube(new CubeTexture("cube", faces.Get()));
    // Coordinates from the camera-space normal: a square facing the camera
    // (normal -z) looks up the -Z face, one with normal +x the +X face.
    const struct {
        Vector3 normal;
        int face;
    } cases[] = {{{0, 0, -1}, 5}, {{1, 0, 0}, 0}, {{0, 1, 0}, 2}};
    for (const auto& c : cases) {
        Ref<FixedFunctionTestEffect> effect(new FixedFunctionTestEffect("cube"));
        effect->texture = cube.Get();
        effect->texGen = TextureStageState::kTexGenNormal;
        Ref<GeometryNode> square = Square(effect.Get(), 2.0f, 0.5f);
        SetNormals(*square, c.normal);
        Ref<Image> frame = Frame({square.Get()});
        const uint8_t* rgb = kFaces[c.face];
        EXPECT_TRUE(PixelNear(Pixel(*frame, 32, 32), {rgb[0], rgb[1], rgb[2]}, 3)) << "face " << c.face;
    }
    EXPECT_FALSE(cube->IsDirty());
    EXPECT_GE(cube->GetMipLevels(), 3);
}

TEST_F(DeviceTextures, VolumeTexturesShowTheSliceTheThirdCoordinatePicks) {
    static const uint8_t kRed[3] = {255, 0, 0}, kBlue[3] = {0, 0, 255};
    Ref<VolumeImage> slices(new VolumeImage("slices", RGB8, 2, 2, 2));
    Fill(*slices, 0, kRed);
    Fill(*slices, 1, kBlue);
    Ref<VolumeTexture> volume(new VolumeTexture("volume", slices.Get()));
    for (float w : {0.25f, 0.75f}) {
        Ref<FixedFunctionTestEffect> effect(new FixedFunctionTestEffect("volume"));
        effect->texture = volume.Get();
        Ref<GeometryNode> square = Square(effect.Get(), 2.0f, 0.5f);
        Ref<Vector3Buffer> uvw(new Vector3Buffer(4));
        for (int i = 0; i < 4; ++i) (*uvw)[i] = {0.5f, 0.5f, w};
        square->SetTexCoords(0, uvw.Get());
        Ref<Image> frame = Frame({square.Get()});
        EXPECT_TRUE(PixelNear(Pixel(*frame, 32, 32), w < 0.5f ? test::Rgb{255, 0, 0} : test::Rgb{0, 0, 255}, 3));
    }
    EXPECT_FALSE(volume->IsDirty());
}

TEST_F(DeviceTextures, DepthTargetsTakeTheViewportsSizeWithoutAnImage) {
    if (!renderer->GetCaps().hardwareShadowMaps) GTEST_SKIP() << "the device has no depth textures";
    Ref<Texture> shadow(new Texture("shadow"));
    ASSERT_EQ(renderer->BeginRender(), kOk);
    renderer->PushDepthTarget(shadow.Get(), 2.0f, 1.5f);
    ASSERT_NE(shadow->GetImage(), nullptr);
    EXPECT_EQ(shadow->GetImage()->GetWidth(), kSize);
    EXPECT_EQ(shadow->GetImage()->GetPixels(), nullptr);
    EXPECT_NE(shadow->GetHandle(), nullptr);
    DWORD slope = 0;
    device->GetRenderState(D3DRS_SLOPESCALEDEPTHBIAS, &slope);
    float slopeValue;
    std::memcpy(&slopeValue, &slope, sizeof slopeValue);
    EXPECT_EQ(slopeValue, 1.5f);
    renderer->PushDepthTarget(nullptr, 0, 0);
    device->GetRenderState(D3DRS_SLOPESCALEDEPTHBIAS, &slope);
    EXPECT_EQ(slope, 0u);
    renderer->EndRender();
}

}  // namespace
}  // namespace zav
