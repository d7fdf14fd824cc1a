// The colour and texture effects on a renderer without shaders: their
// records and fixed-function passes.
#include <gtest/gtest.h>

#include "engine/core/Log.h"
#include "engine/render/Texture.h"
#include "engine/render/effects/TextureEffect.h"
#include "tests/render/RenderTestSupport.h"
#include "tests/support/LogCapture.h"
#include "tests/support/StreamBytes.h"

namespace zav {
namespace {

class ColorTextureEffectTest : public test::RenderFixture {};

TEST_F(ColorTextureEffectTest, TheColourPassFillsTheNodesColoursEveryTime) {
    Ref<ColorEffect> effect(new ColorEffect("paint"));
    EXPECT_EQ(effect->GetColor(), (Color{1, 1, 1, 1}));  // opaque white until told otherwise
    effect->SetColor({1, 0.5f, 0, 1});
    Ref<Triangles> node = Triangle("node", effect.Get());
    ASSERT_EQ(node->GetColors(), nullptr);
    node->Render(*renderer);
    ColorBuffer* colors = node->GetColors();
    ASSERT_NE(colors, nullptr);
    ASSERT_EQ(colors->GetCount(), 3);
    EXPECT_EQ((*colors)[2], (Color{1, 0.5f, 0, 1}));
    (*colors)[0] = {0, 0, 0, 0};
    effect->SetColor({0, 0, 1, 1});
    node->Render(*renderer);
    EXPECT_EQ(node->GetColors(), colors);
    EXPECT_EQ((*colors)[0], (Color{0, 0, 1, 1}));
    EXPECT_EQ(renderer->CallsStartingWith("DrawCurrent").size(), 2u);

    Ref<Object> loaded = test::LoadFromBytes(test::SaveToBytes(effect.Get()));
    ASSERT_NE(ObjectCast<ColorEffect>(loaded.Get()), nullptr);
    EXPECT_EQ(ObjectCast<ColorEffect>(loaded.Get())->GetColor(), (Color{0, 0, 1, 1}));
}

TEST_F(ColorTextureEffectTest, TheTexturePassNeedsTextureStagesAndReadsTheChosenSet) {
    Ref<Image> image(new Image("bricks", RGB8, 2, 2));
    Ref<TextureEffect> effect(new TextureEffect("wall"));
    effect->SetTexture(new Texture("bricks", image.Get()));
    effect->SetTexCoordSet(9);
    EXPECT_EQ(effect->GetTexCoordSet(), 7);
    effect->SetTexCoordSet(-1);
    EXPECT_EQ(effect->GetTexCoordSet(), 0);
    effect->SetTexCoordSet(2);
    Ref<Triangles> node = Triangle("node", effect.Get());
    node->SetTexCoords(2, test::BufferOf<Vector2Buffer, Vector2>({{0, 0}, {1, 0}, {1, 1}}).Get());
    node->Render(*renderer);
    EXPECT_EQ(renderer->CallsStartingWith("BindTexture"), std::vector<std::string>{"BindTexture bricks 0"});
    EXPECT_NE(node->GetTexCoords(2)->GetHandle(), nullptr);
    EXPECT_EQ(effect->FindObject("bricks"), effect->GetTexture());

    // Without texture stages the colour pass draws instead.
    RendererCaps caps = renderer->GetCaps();
    caps.maxTextures = 0;
    renderer->SetCaps(caps);
    Ref<TextureEffect> untextured(new TextureEffect("plain"));
    Ref<Triangles> other = Triangle("other", untextured.Get());
    renderer->calls.clear();
    other->Render(*renderer);
    EXPECT_TRUE(renderer->CallsStartingWith("BindTexture").empty());
    EXPECT_EQ(renderer->CallsStartingWith("DrawCurrent"), std::vector<std::string>{"DrawCurrent other"});

    Ref<Object> loaded = test::LoadFromBytes(test::SaveToBytes(effect.Get()));
    auto* read = ObjectCast<TextureEffect>(loaded.Get());
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->GetTexCoordSet(), 2);
    ASSERT_NE(read->GetTexture(), nullptr);
    EXPECT_EQ(read->GetTexture()->GetName(), String("bricks"));
}

}  // namespace
}  // namespace zav
