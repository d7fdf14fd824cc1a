// The post-render effects on the device: the film band's black bars, and
// the glow around the visible parts of glow nodes, with shaders and with
// the renderer reporting none (the glow is then the film effect).
#include <gtest/gtest.h>

#include <cstdlib>

#include "engine/render/Technique.h"
#include "engine/render/effects/ColorEffect.h"
#include "engine/render/effects/CustomGlowPostRenderEffect.h"
#include "engine/scene/SceneNode.h"
#include "tests/win/DeviceFixture.h"

namespace zav {
namespace {

using test::PixelNear;
using test::Rgb;

class DevicePostEffects : public test::DeviceFixture {
protected:
    Ref<GeometryNode> Colored(float grey, float z, float half, float x = 0, float y = 0) {
        Ref<ColorEffect> effect(new ColorEffect("colour"));
        effect->SetColor({grey, grey, grey, 1});
        return Square(effect.Get(), z, half, x, y);
    }
    static Ref<SceneNode> Holder(SceneNodeEffect* effect, std::initializer_list<Node*> children) {
        Ref<SceneNode> node(new SceneNode("holder"));
        if (effect) node->AddEffect(effect);
        for (Node* child : children) node->AddChild(child);
        return node;
    }
    // The largest difference of one channel between two frames in the
    // square of columns and rows [from, to).
    static int Difference(const Image& a, const Image& b, int from, int to) {
        int largest = 0;
        for (int y = from; y < to; ++y)
            for (int x = from; x < to; ++x) {
                const Rgb p = Pixel(a, x, y), q = Pixel(b, x, y);
                largest = std::max({largest, std::abs(p.r - q.r), std::abs(p.g - q.g), std::abs(p.b - q.b)});
            }
        return largest;
    }
    static std::string Technique(Effect& effect) {
        return effect.GetCurrentTechnique() ? effect.GetCurrentTechnique()->GetName() : "";
    }
    // Rows 0-7 and 56-63 of the 64 rows are the bars, 8-55 the band.
    static void ExpectBand(const Image& frame, const Rgb& scene) {
        for (int x : {0, 31, 63}) {
            for (int y : {0, 7, 56, 63}) EXPECT_TRUE(PixelNear(Pixel(frame, x, y), {0, 0, 0}, 2)) << x << ", " << y;
            for (int y : {8, 31, 55}) EXPECT_TRUE(PixelNear(Pixel(frame, x, y), scene, 3)) << x << ", " << y;
        }
    }
};

TEST_F(DevicePostEffects, WithFilmTheTopAndBottomEighthsAreBlackAndTheSceneFillsTheBand) {
    Ref<PostRenderEffect> film(new PostRenderEffect("film"));
    film->SetFilm(true);
    Ref<GeometryNode> backdrop = Colored(0.6f, 5.0f, 20.0f);
    Ref<SceneNode> root = Holder(film.Get(), {backdrop.Get()});
    for (int frame = 0; frame < 2; ++frame) ExpectBand(*Frame({root.Get()}), {153, 153, 153});
    EXPECT_FALSE(renderer->IsFilm());
    EXPECT_EQ(renderer->GetViewportHeight(), kSize);

    film->SetFilm(false);
    Ref<Image> whole = Frame({root.Get()});
    for (int y : {0, 31, 63}) EXPECT_TRUE(PixelNear(Pixel(*whole, 31, y), {153, 153, 153}, 3)) << y;
}

// With shaders, the glow technique; without, the film effect.
class DeviceGlow : public DevicePostEffects, public ::testing::WithParamInterface<bool> {
protected:
    void SetUp() override {
        DevicePostEffects::SetUp();
        if (!GetParam()) renderer->DisableShaders(true);
    }
};

TEST_P(DeviceGlow, AGlowNodeLightsItsSurroundingsAndNothingFarAway) {
    Ref<GeometryNode> backdrop = Colored(0.2f, 6.0f, 20.0f);
    Ref<GeometryNode> lamp = Colored(1.0f, 3.0f, 0.25f);
    Ref<SceneNode> plain = Holder(nullptr, {backdrop.Get(), lamp.Get()});
    Ref<Image> unlit = Frame({plain.Get()});

    Ref<CustomGlowPostRenderEffect> glow(new CustomGlowPostRenderEffect("glow"));
    glow->AddGlowNode(lamp.Get());
    Ref<SceneNode> glowing = Holder(glow.Get(), {backdrop.Get(), lamp.Get()});
    Ref<Image> lit = Frame({glowing.Get()});
    lit = Frame({glowing.Get()});  // the second frame replays what the first recorded
    EXPECT_EQ(Technique(*glow), GetParam() ? "glow" : "film band");
    // The lamp covers columns and rows 27-36; a few pixels beside it.
    const Rgb beside = Pixel(*lit, 40, 32), besideUnlit = Pixel(*unlit, 40, 32);
    EXPECT_TRUE(PixelNear(Pixel(*lit, 32, 32), {255, 255, 255}, 3));
    EXPECT_TRUE(PixelNear(Pixel(*lit, 2, 2), Pixel(*unlit, 2, 2), 3));
    EXPECT_TRUE(PixelNear(Pixel(*lit, 60, 32), Pixel(*unlit, 60, 32), 3));
    if (GetParam()) {
        EXPECT_GT(beside.r, besideUnlit.r + 12) << "no glow beside the lamp";
        EXPECT_GT(Pixel(*lit, 32, 24).g, Pixel(*unlit, 32, 24).g + 12) << "no glow above the lamp";
    } else {
        EXPECT_TRUE(PixelNear(beside, besideUnlit, 3)) << "glow without shaders";
        EXPECT_LE(Difference(*lit, *unlit, 0, kSize), 3);
    }
}

TEST_P(DeviceGlow, AGlowNodeHiddenBehindTheSceneAddsNoGlow) {
    Ref<GeometryNode> backdrop = Colored(0.2f, 6.0f, 20.0f);
    Ref<GeometryNode> lamp = Colored(1.0f, 4.0f, 0.25f);
    Ref<GeometryNode> wall = Colored(0.5f, 2.0f, 0.6f);
    Ref<SceneNode> plain = Holder(nullptr, {backdrop.Get(), lamp.Get(), wall.Get()});
    Ref<Image> unlit = Frame({plain.Get()});
    Ref<CustomGlowPostRenderEffect> glow(new CustomGlowPostRenderEffect("glow"));
    glow->AddGlowNode(lamp.Get());
    Ref<SceneNode> glowing = Holder(glow.Get(), {backdrop.Get(), lamp.Get(), wall.Get()});
    Ref<Image> lit = Frame({glowing.Get()});
    EXPECT_LE(Difference(*lit, *unlit, 0, kSize), 3);
}

TEST_P(DeviceGlow, WithFilmTheGlowKeepsTheBand) {
    Ref<GeometryNode> backdrop = Colored(0.6f, 5.0f, 20.0f);
    Ref<CustomGlowPostRenderEffect> glow(new CustomGlowPostRenderEffect("glow"));
    glow->SetFilm(true);
    Ref<SceneNode> root = Holder(glow.Get(), {backdrop.Get()});
    for (int frame = 0; frame < 2; ++frame) ExpectBand(*Frame({root.Get()}), {153, 153, 153});
}

INSTANTIATE_TEST_SUITE_P(Paths, DeviceGlow, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? "Shaders" : "FixedFunction";
                         });

}  // namespace
}  // namespace zav
