// The five built-in effects on the device, on the shader path and with the
// renderer reporting no shaders (their fixed-function techniques).
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "engine/animation/SkinController.h"
#include "engine/core/Log.h"
#include "engine/render/CubeTexture.h"
#include "engine/render/Technique.h"
#include "engine/render/Texture.h"
#include "engine/render/VolumeImage.h"
#include "engine/render/effects/SpriteEffect.h"
#include "engine/render/effects/Texture1DL1PLEffect.h"
#include "engine/render/effects/Texture1DLEffect.h"
#include "engine/scene/Flare.h"
#include "engine/scene/Light.h"
#include "engine/scene/SceneNode.h"
#include "tests/support/LogCapture.h"
#include "tests/win/DeviceFixture.h"

namespace zav {
namespace {

using test::PixelNear;
using test::Rgb;

// A picture of `rows` colours, the first the top row.
Ref<Texture> Stripes(std::initializer_list<Rgb> rows) {
    const int32_t height = static_cast<int32_t>(rows.size());
    Ref<Image> image(new Image("stripes", RGB8, 2, height));
    int32_t row = height - 1;  // image row 0 is the bottom
    for (const Rgb& color : rows) {
        for (int x = 0; x < 2; ++x) {
            uint8_t* texel = image->GetPixels() + (row * 2 + x) * 3;
            texel[0] = static_cast<uint8_t>(color.r);
            texel[1] = static_cast<uint8_t>(color.g);
            texel[2] = static_cast<uint8_t>(color.b);
        }
        --row;
    }
    return Ref<Texture>(new Texture("stripes", image.Get()));
}

Ref<Light> MakeLight(int32_t kind, const Color& diffuse, const Quaternion& rotation, const Vector3& position) {
    Ref<Light> light(new Light(kind, "light"));
    light->diffuse = diffuse;
    light->ambient = {0, 0, 0, 1};
    light->SetLocalTransform(MakeTransform({1, 1, 1}, rotation, position));
    light->UpdateSubtree(0.0, true);
    return light;
}

// The shader path (true) or the fixed-function one.
class DeviceEffects : public test::DeviceFixture, public ::testing::WithParamInterface<bool> {
protected:
    void SetUp() override {
        DeviceFixture::SetUp();
        if (!GetParam()) renderer->DisableShaders(true);
        ASSERT_EQ(renderer->GetCaps().HasShaders(), GetParam());
    }
    static std::string Technique(Effect& effect) {
        return effect.GetCurrentTechnique() ? effect.GetCurrentTechnique()->GetName() : "";
    }
};

TEST_P(DeviceEffects, ColourAndTextureDrawTheirColourAndThePictureUpright) {
    Ref<ColorEffect> color(new ColorEffect("color"));
    color->SetColor({0.2f, 0.6f, 0.9f, 1});
    Ref<GeometryNode> left = Square(color.Get(), 3.0f, 0.8f, -1.0f);
    Ref<TextureEffect> texture(new TextureEffect("texture"));
    texture->SetTexture(Stripes({{255, 0, 0}, {0, 0, 255}}).Get());
    Ref<GeometryNode> right = Square(texture.Get(), 3.0f, 0.8f, 1.0f);
    Ref<Image> frame = Frame({left.Get(), right.Get()});
    EXPECT_EQ(Technique(*color), GetParam() ? "colour shader" : "colour fixed function");
    EXPECT_EQ(Technique(*texture), GetParam() ? "texture shader" : "texture fixed function");
    const int leftColumn = static_cast<int>(Column(-1, 3)), rightColumn = static_cast<int>(Column(1, 3));
    EXPECT_TRUE(PixelNear(Pixel(*frame, leftColumn, 32), {51, 153, 230}, 2));
    // At the texel centres (a quarter of the way from each edge), where the
    // filter does not blend the two rows.
    EXPECT_TRUE(PixelNear(Pixel(*frame, rightColumn, static_cast<int>(Row(0.4f, 3))), {255, 0, 0}, 12));
    EXPECT_TRUE(PixelNear(Pixel(*frame, rightColumn, static_cast<int>(Row(-0.4f, 3))), {0, 0, 255}, 12));
}

TEST_P(DeviceEffects, ATextureEffectLooksUpACubeMapByItsThreeCoordinates) {
    // Faces +X, -X, +Y, -Y, +Z, -Z in six colours; the square's coordinates
    // all point mostly along +z (without their third one they would point
    // up), so it shows the +Z face.
    static const uint8_t kFaces[6][3] = {{255, 0, 0}, {0, 255, 255}, {0, 255, 0},
                                         {255, 0, 255}, {0, 0, 255}, {255, 255, 0}};
    Ref<VolumeImage> faces(new VolumeImage("faces", RGB8, 4, 4, 6));
    for (int face = 0; face < 6; ++face)
        for (int texel = 0; texel < 16; ++texel)
            std::memcpy(faces->GetPixels() + (face * 16 + texel) * 3, kFaces[face], 3);
    Ref<TextureEffect> sky(new TextureEffect("sky"));
    sky->SetTexture(Ref<CubeTexture>(new CubeTexture("cube", faces.Get())).Get());
    Ref<GeometryNode> square = Square(sky.Get(), 3.0f, 1.0f);
    Ref<Vector3Buffer> ahead(new Vector3Buffer(square->GetVertices()->GetCount()));
    for (int i = 0; i < ahead->GetCount(); ++i) (*ahead)[i] = {0.1f, 0.2f, 1.0f};
    square->SetTexCoords(0, ahead.Get());
    Ref<Image> frame = Frame({square.Get()});
    EXPECT_TRUE(PixelNear(Pixel(*frame, 32, 32), {0, 0, 255}, 8));
}

TEST_P(DeviceEffects, LitEffectsLightBySurfaceNormalDotLight) {
    // The directional light turned 60 degrees from the normal: half.
    const float angle = 3.14159265f / 3;
    Ref<Light> sun = MakeLight(Light::kDirectional, {1, 1, 1, 1}, {0, std::sin(angle / 2), 0, std::cos(angle / 2)}, {});
    Ref<Texture1DLEffect> lit(new Texture1DLEffect("lit"));
    lit->SetTexture(Stripes({{255, 255, 255}}).Get());
    lit->SetDirectionalLight(sun.Get());
    lit->diffuse = {1, 1, 1, 1};
    lit->ambient = {0, 0, 0, 1};
    Ref<GeometryNode> square = Square(lit.Get(), 4.0f, 0.5f);
    SetNormals(*square, {0, 0, -1});
    Ref<Image> frame = Frame({square.Get()});
    EXPECT_EQ(Technique(*lit), GetParam() ? "lit shader" : "lit fixed function");
    EXPECT_TRUE(PixelNear(Pixel(*frame, 32, 32), {128, 128, 128}, 3));

    // The two-light effect with its sun off: the point light at (3, 0, 0)
    // meets the centre of a square at depth 4 at cos = 4 / 5.
    Ref<Light> off = MakeLight(Light::kDirectional, {0, 0, 0, 1}, {}, {});
    Ref<Light> lamp = MakeLight(Light::kPoint, {1, 1, 1, 1}, {}, {3, 0, 0});
    Ref<Texture1DL1PLEffect> twoLights(new Texture1DL1PLEffect("two lights"));
    twoLights->SetTexture(Stripes({{255, 255, 255}}).Get());
    twoLights->SetDirectionalLight(off.Get());
    twoLights->SetPointLight(lamp.Get());
    twoLights->diffuse = {1, 1, 1, 1};
    twoLights->ambient = {0, 0, 0, 1};
    Ref<GeometryNode> small = Square(twoLights.Get(), 4.0f, 0.05f);
    SetNormals(*small, {0, 0, -1});
    frame = Frame({small.Get()});
    EXPECT_EQ(Technique(*twoLights), GetParam() ? "two-light shader" : "two-light fixed function");
    EXPECT_TRUE(PixelNear(Pixel(*frame, 32, 32), {204, 204, 204}, 4));
}

TEST_P(DeviceEffects, SpritesAddTheirColourToWhatIsBehindThem) {
    if (!renderer->SupportsPointSprites()) GTEST_SKIP() << "no point sprites";
    Ref<ColorEffect> grey(new ColorEffect("grey"));
    grey->SetColor({0.25f, 0.25f, 0.25f, 1});
    Ref<GeometryNode> back = Square(grey.Get(), 8.0f, 4.0f);
    Ref<Flare> flare(new Flare("flare"));
    auto* sprite = ObjectCast<SpriteEffect>(flare->GetEffect());
    ASSERT_NE(sprite, nullptr);
    sprite->SetTexture(Stripes({{255, 255, 255}}).Get());
    sprite->SetBlending(true);
    flare->SetColor({0.5f, 0, 0, 1});
    flare->SetSize(2.0f);
    flare->SetLocalTransform(MakeTransform({1, 1, 1}, {}, {0, 0, 5}));
    Ref<Image> frame = Frame({back.Get(), flare.Get()});
    // Source alpha times the sprite, plus what was there.
    EXPECT_TRUE(PixelNear(Pixel(*frame, 32, 32), {191, 64, 64}, 3));
    EXPECT_TRUE(PixelNear(Pixel(*frame, 4, 4), {64, 64, 64}, 2));
}

TEST_P(DeviceEffects, ASpritesPictureAlphaWeighsWhatItAdds) {
    if (!renderer->SupportsPointSprites()) GTEST_SKIP() << "no point sprites";
    // White everywhere, alpha a quarter: a quarter of the colour is added.
    Ref<Image> glow(new Image("glow", RGBA8, 2, 2));
    for (int i = 0; i < 4; ++i) std::memcpy(glow->GetPixels() + 4 * i, "\xff\xff\xff\x40", 4);
    Ref<Flare> flare(new Flare("flare"));
    auto* sprite = ObjectCast<SpriteEffect>(flare->GetEffect());
    ASSERT_NE(sprite, nullptr);
    sprite->SetTexture(Ref<Texture>(new Texture("glow", glow.Get())).Get());
    sprite->SetBlending(true);
    flare->SetColor({1, 1, 1, 1});
    flare->SetSize(2.0f);
    flare->SetLocalTransform(MakeTransform({1, 1, 1}, {}, {0, 0, 5}));
    // After a lit node, whose lighting must not reach the sprite.
    Ref<Light> sun = MakeLight(Light::kDirectional, {1, 1, 1, 1}, {}, {});
    Ref<Texture1DLEffect> lit(new Texture1DLEffect("lit"));
    lit->SetTexture(Stripes({{0, 0, 0}}).Get());
    lit->SetDirectionalLight(sun.Get());
    Ref<GeometryNode> square = Square(lit.Get(), 8.0f, 0.5f, 3.0f);  // off to the side
    SetNormals(*square, {0, 0, -1});
    Ref<SceneNode> root(new SceneNode("root", 2, 0));
    root->SetChild(0, square.Get());
    root->SetChild(1, flare.Get());
    root->UpdateSubtree(0.0, true);
    Ref<Image> frame = Frame({root.Get()});
    EXPECT_TRUE(PixelNear(Pixel(*frame, 32, 32), {64, 64, 64}, 3));
}

INSTANTIATE_TEST_SUITE_P(Paths, DeviceEffects, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? "Shaders" : "FixedFunction";
                         });

class DeviceShaders : public test::DeviceFixture {};

TEST_F(DeviceShaders, FogFollowsOneOverEToTheDensityTimesDepthToTheExponent) {
    const float density = 0.05f, depth = 10.0f;
    for (float exponent : {1.0f, 1.5f, 2.5f}) {
        SCOPED_TRACE(exponent);
        Ref<ColorEffect> effect(new ColorEffect("fog"));
        effect->fogColor = {0, 0, 0, 1};
        effect->fogDensity = density;
        effect->fogExponent = exponent;
        effect->SetFog(true);
        Ref<GeometryNode> wall = Square(effect.Get(), depth, 20.0f);
        Ref<Image> frame = Frame({wall.Get()});
        const int expected = static_cast<int>(std::lround(255 / std::exp(std::pow(density * depth, exponent))));
        EXPECT_TRUE(PixelNear(Pixel(*frame, 32, 32), {expected, expected, expected}, 3));
    }
}

// The leftmost covered column of a row.
int LeftEdge(const Image& frame, int row) {
    for (int x = 0; x < test::DeviceFixture::kSize; ++x)
        if (test::DeviceFixture::Pixel(frame, x, row).r > 128) return x;
    return -1;
}

TEST_F(DeviceShaders, AWavingMeshMovesItsUpperVerticesAndKeepsItsBase) {
    Ref<ColorEffect> effect(new ColorEffect("reed"));
    effect->waveAmplitude = 0.4f;
    effect->waveSpeed = 1.0f;
    effect->SetWave(true);
    // From y = 0 (the base) to y = 1, at depth 3.
    Ref<GeometryNode> reed = Mesh(effect.Get(), {{-0.5f, 1, 3}, {0.5f, 1, 3}, {0.5f, 0, 3}, {-0.5f, 0, 3}},
                                  {0, 1, 2, 0, 2, 3});
    const int top = static_cast<int>(Row(0.9f, 3)), base = static_cast<int>(Row(0.05f, 3));
    Ref<Image> first = Frame({reed.Get()});
    std::vector<int> tops{LeftEdge(*first, top)};
    const int baseEdge = LeftEdge(*first, base);
    for (int step = 0; step < 4; ++step) {
        reed->UpdateSubtree(0.7, true);
        Ref<Image> frame = Frame({reed.Get()});
        tops.push_back(LeftEdge(*frame, top));
        EXPECT_NEAR(LeftEdge(*frame, base), baseEdge, 1);
    }
    EXPECT_GE(*std::max_element(tops.begin(), tops.end()) - *std::min_element(tops.begin(), tops.end()), 3);
}

TEST_F(DeviceShaders, SkinningOnTheDeviceAndOnTheProcessorGiveTheSamePixels) {
    // A strip of two bones: the upper half follows a bone turned about z.
    const std::vector<Vector3> positions = {{-0.3f, -1, 0}, {0.3f, -1, 0}, {0.3f, 0, 0},
                                            {-0.3f, 0, 0},  {0.3f, 1, 0},  {-0.3f, 1, 0}};
    const std::vector<int32_t> indices = {0, 3, 2, 0, 2, 1, 3, 5, 4, 3, 4, 2};
    auto skinned = [&](bool onDevice, Ref<Node>& rootBone, Ref<Node>& turnedBone) {
        Ref<TextureEffect> effect(new TextureEffect(onDevice ? "device" : "processor"));
        effect->SetTexture(Stripes({{255, 255, 255}}).Get());
        effect->SetColor({1, 0.5f, 0, 1});
        Ref<GeometryNode> mesh = Mesh(effect.Get(), positions, indices);
        Ref<SkinController> skin(new SkinController("skin"));
        rootBone = new Light(Light::kPoint, "root");
        turnedBone = new Light(Light::kPoint, "turned");
        rootBone->SetLocalTransform(MakeTransform({1, 1, 1}, {}, {0, 0, 4}));
        turnedBone->SetLocalTransform(MakeTransform({1, 1, 1}, {0, 0, 0.3826834f, 0.9238795f}, {0, 0, 4}));
        rootBone->UpdateSubtree(0.0, true);
        turnedBone->UpdateSubtree(0.0, true);
        skin->AddBone(rootBone.Get(), Transform());
        skin->AddBone(turnedBone.Get(), Transform());
        Ref<Vector3Buffer> bindPose(new Vector3Buffer(6));
        Ref<Vector4Buffer> weights(new Vector4Buffer(6)), bones(new Vector4Buffer(6));
        for (int i = 0; i < 6; ++i) {
            (*bindPose)[i] = positions[static_cast<size_t>(i)];
            (*weights)[i] = {1, 0, 0, 0};
            (*bones)[i] = {positions[static_cast<size_t>(i)].y > 0.5f ? 1.0f : 0.0f, 0, 0, 0};
        }
        skin->SetSourceVertices(bindPose.Get());
        skin->SetWeights(weights.Get());
        skin->SetBoneIndices(bones.Get());
        mesh->AddController(skin.Get());
        if (onDevice) effect->SetSkin(skin.Get());
        return mesh;
    };
    Ref<Node> bonesA[2], bonesB[2];
    Ref<GeometryNode> device = skinned(true, bonesA[0], bonesA[1]);
    Ref<Image> onDevice = Frame({device.Get()});
    auto* skin = static_cast<SkinController*>(device->GetController(0));
    EXPECT_FALSE(skin->IsActive());  // the vertex shader skinned
    device->RemoveAllControllers();
    Ref<GeometryNode> processor = skinned(false, bonesB[0], bonesB[1]);
    Ref<Image> onProcessor = Frame({processor.Get()});
    processor->RemoveAllControllers();
    int differing = 0, covered = 0;
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) {
            const Rgb a = Pixel(*onDevice, x, y), b = Pixel(*onProcessor, x, y);
            covered += a.r > 128;
            differing += !test::Near(a, b, 8);
        }
    EXPECT_GT(covered, 100);
    EXPECT_LE(differing, 4);  // edge pixels may round differently
}

int gShaderErrorsShown = 0;

TEST_F(DeviceShaders, ATextThatDoesNotAssembleIsShownOnceAndTheDrawGoesOn) {
    D3D9Renderer::SetShaderErrorDisplay([](const char*) { ++gShaderErrorsShown; });
    Ref<VertexShader> broken(new VertexShader("broken"));
    static const char kBroken[] = "vs_1_1\nmov oPos, c300\n";
    broken->SetSource(kBroken);
    test::LogCapture log;
    for (int i = 0; i < 3; ++i) renderer->SetVertexShader(broken.Get());
    D3D9Renderer::SetShaderErrorDisplay(nullptr);
    EXPECT_EQ(gShaderErrorsShown, 1);
    EXPECT_TRUE(log.HasPrefix(kLogError, "Невозможно собрать шейдер [broken]: Строка 2"));
    IDirect3DVertexShader9* bound = nullptr;
    device->GetVertexShader(&bound);
    EXPECT_EQ(bound, nullptr);
}

}  // namespace
}  // namespace zav
