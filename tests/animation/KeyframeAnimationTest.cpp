#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <string>

#include "engine/animation/Animation.h"
#include "engine/animation/BlendStage.h"
#include "engine/animation/Interpolation.h"
#include "engine/render/Texture.h"
#include "engine/scene/Camera.h"
#include "engine/scene/TransformMath.h"
#include "tests/animation/AnimationTestSupport.h"
#include "tests/scene/SceneTestSupport.h"
#include "tests/support/LogCapture.h"

namespace zav {
namespace {

using test::BytesStream;
using test::FloatBytes;
using test::Int32Bytes;
using test::LoadFromBytes;
using test::Near;
using test::RecordHeader;
using test::SaveToBytes;
using test::TimeKeys;

std::string DoubleBytes(double value) { return std::string(reinterpret_cast<const char*>(&value), 8); }

BlendStage StageAt(Animation* animation, double x) {
    BlendStage stage;
    stage.animation = animation;
    stage.Evaluate(x);
    return stage;
}

TEST(BlendStage, OneKeyIsEveryStageTimesKeyWithNoFraction) {
    Ref<Animation> one = TimeKeys({0.4});
    for (double x : {0.0, 0.4, 0.7, 0.99}) {
        BlendStage stage = StageAt(one.Get(), x);
        EXPECT_EQ(stage.keyIndex, 0);
        EXPECT_EQ(stage.nextKeyIndex, 0);
        EXPECT_EQ(stage.fraction, 0.0);
    }
}

TEST(BlendStage, BeforeTheFirstKeyTheStageIsBetweenTheLastKeyAndTheFirst) {
    Ref<Animation> keys = TimeKeys({0.25, 0.75});
    BlendStage stage = StageAt(keys.Get(), 0.1);
    EXPECT_EQ(stage.keyIndex, 1);
    EXPECT_EQ(stage.nextKeyIndex, 0);
    EXPECT_NEAR(stage.fraction, (0.1 - 0.75 + 1) / 0.5, 1e-12);
    // After the last key it moves on towards the first key too.
    stage = StageAt(keys.Get(), 0.95);
    EXPECT_EQ(stage.keyIndex, 1);
    EXPECT_NEAR(stage.fraction, 0.2 / 0.5, 1e-12);
}

TEST(BlendStage, ATimeOnAKeySelectsThatKey) {
    Ref<Animation> keys = TimeKeys({0.0, 0.2, 0.5, 0.9, 1.0});
    for (int i = 0; i < 5; ++i) {
        BlendStage stage = StageAt(keys.Get(), keys->KeyTime(i));
        EXPECT_EQ(stage.keyIndex, i);
        EXPECT_EQ(stage.nextKeyIndex, (i + 1) % 5);
        EXPECT_EQ(stage.fraction, 0.0);
    }
}

TEST(BlendStage, TheSearchFindsTheLastKeyAtOrBeforeTheTimeForAnyNumberOfKeys) {
    std::mt19937 random(7);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    for (int count = 1; count <= 40; ++count) {
        std::vector<double> times;
        for (int i = 0; i < count; ++i) times.push_back(unit(random));
        std::sort(times.begin(), times.end());
        Ref<Animation> animation(new Animation());
        for (double time : times) {
            auto* key = new Keyframe();
            key->time = time;
            animation->AddKey(key);
        }
        for (int probe = 0; probe < 200; ++probe) {
            const double x = unit(random);
            int expected = count - 1;  // before the first key: the last one
            for (int i = 0; i < count; ++i)
                if (times[i] <= x) expected = i;
            ASSERT_EQ(FindKey(*animation, x), expected) << count << " keys, x " << x;
        }
    }
}

TEST(BlendStage, KeysAtOneTimeGiveNoFractionAndMadeUpTimesNoNumber) {
    BlendStage stage = StageAt(TimeKeys({0.5, 0.5}).Get(), 0.7);
    EXPECT_EQ(stage.fraction, 0.0);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    for (auto times : {std::initializer_list<double>{0.0, nan}, {nan, 0.5}, {0.0, inf}, {-inf, 0.5}}) {
        stage = StageAt(TimeKeys(times).Get(), 0.3);
        EXPECT_TRUE(std::isfinite(stage.fraction));
        EXPECT_GE(stage.keyIndex, 0);
        EXPECT_LT(stage.keyIndex, 2);
    }
}

TEST(BlendStage, WithoutAnimationOrKeysNothingChanges) {
    BlendStage stage;
    stage.keyIndex = 3;
    stage.fraction = 0.5;
    stage.Evaluate(0.2);
    stage.animation = new NodeAnimation();
    stage.Evaluate(0.2);
    EXPECT_EQ(stage.keyIndex, 3);
    EXPECT_EQ(stage.fraction, 0.5);
}

Quaternion AboutY(float radians) { return {0.0f, std::sin(radians / 2), 0.0f, std::cos(radians / 2)}; }

TEST(Slerp, InterpolatesAlongTheArcAndTakesTheShorterOne) {
    const Quaternion q90 = AboutY(1.5707964f);
    EXPECT_TRUE(Near(Slerp(Quaternion(), q90, 0.5f), AboutY(0.7853982f)));
    EXPECT_TRUE(Near(Slerp(Quaternion(), q90, 0.0f), Quaternion()));
    EXPECT_TRUE(Near(Slerp(Quaternion(), q90, 1.0f), q90));
    // -q90 is the same rotation: the blend goes the short way and gives the
    // same rotations as towards q90, with the sign of the first quaternion.
    const Quaternion minus{-q90.x, -q90.y, -q90.z, -q90.w};
    EXPECT_TRUE(Near(Slerp(Quaternion(), minus, 0.5f), AboutY(0.7853982f)));
}

TEST(Slerp, TheSameRotationOrANearlyEqualOneIsTheFirstQuaternion) {
    const Quaternion q = AboutY(1.0f);
    const Quaternion minus{-q.x, -q.y, -q.z, -q.w};
    EXPECT_EQ(Slerp(q, minus, 0.5f), q);
    EXPECT_EQ(Slerp(q, q, 0.3f), q);
    EXPECT_EQ(Slerp(q, AboutY(1.0001f), 0.5f), q);
}

class AnimationRecord : public test::EngineFixture {};

TEST_F(AnimationRecord, EveryKindRoundTripsItsKeys) {
    Ref<NodeAnimation> node(new NodeAnimation("walk"));
    auto* step = new NodeKeyframe();
    step->time = 0.25;
    step->translation = {1, 2, 3};
    step->rotation = AboutY(0.5f);
    step->scale = {2, 2, 0.5f};
    ASSERT_EQ(node->AddKey(step), kOk);
    Ref<NodeAnimation> nodeCopy = test::RoundTrip(node.Get());
    ASSERT_TRUE(nodeCopy);
    ASSERT_EQ(nodeCopy->GetKeyCount(), 1);
    const auto* copied = static_cast<NodeKeyframe*>(nodeCopy->GetKey(0));
    EXPECT_EQ(copied->time, 0.25);
    EXPECT_EQ(copied->translation, (Vector3{1, 2, 3}));
    EXPECT_EQ(copied->rotation, AboutY(0.5f));
    EXPECT_EQ(copied->scale, (Vector3{2, 2, 0.5f}));
    EXPECT_EQ(nodeCopy->GetName(), "walk");

    Ref<ColorAnimation> color = test::ColorKeys("glow", {{0.0, {1, 0.5f, 0.25f, 1}}, {0.5, {0, 0, 1, 0.5f}}});
    Ref<ColorAnimation> colorCopy = test::RoundTrip(color.Get());
    ASSERT_EQ(colorCopy->GetKeyCount(), 2);
    EXPECT_EQ(static_cast<ColorKeyframe*>(colorCopy->GetKey(1))->color, (Color{0, 0, 1, 0.5f}));

    Ref<FloatAnimation> size = test::FloatKeys("size", {{0.1, 2.5f}});
    EXPECT_EQ(static_cast<FloatKeyframe*>(test::RoundTrip(size.Get())->GetKey(0))->value, 2.5f);

    Ref<BoolAnimation> on = test::BoolKeys("on", {{0.0, false}, {0.5, true}});
    Ref<BoolAnimation> onCopy = test::RoundTrip(on.Get());
    EXPECT_FALSE(static_cast<BoolKeyframe*>(onCopy->GetKey(0))->value);
    EXPECT_TRUE(static_cast<BoolKeyframe*>(onCopy->GetKey(1))->value);

    Ref<SoundNodeAnimation> sound(new SoundNodeAnimation("sound"));
    auto* off = new BoolKeyframe();
    off->value = false;
    sound->AddKey(off);
    EXPECT_FALSE(static_cast<BoolKeyframe*>(test::RoundTrip(sound.Get())->GetKey(0))->value);

    Ref<Texture> first(new Texture("first"));
    Ref<Texture> second(new Texture("second"));
    Ref<TextureAnimation> textures(new TextureAnimation("cycle"));
    for (Texture* texture : {first.Get(), second.Get(), first.Get()}) {
        auto* key = new TextureKeyframe();
        key->texture = texture;
        textures->AddKey(key);
    }
    Ref<TextureAnimation> texturesCopy = test::RoundTrip(textures.Get());
    ASSERT_EQ(texturesCopy->GetKeyCount(), 3);
    auto textureOf = [&](int i) { return static_cast<TextureKeyframe*>(texturesCopy->GetKey(i))->texture.Get(); };
    EXPECT_EQ(textureOf(0)->GetName(), "first");
    EXPECT_EQ(textureOf(1)->GetName(), "second");
    EXPECT_EQ(textureOf(2), textureOf(0));  // one texture, referred to twice
}

TEST_F(AnimationRecord, ANodeKeyIsStoredAsTimeTranslationRotationScale) {
    std::string record =
        RecordHeader(0, "ZAV.NodeAnimation") + test::EmptyObjectRecord() + Int32Bytes(1) + DoubleBytes(0.5);
    for (float value : {1.0f, 2.0f, 3.0f, 0.0f, 0.6f, 0.0f, 0.8f, 4.0f, 5.0f, 6.0f}) record += FloatBytes(value);
    Ref<Object> loaded = LoadFromBytes(record);
    auto* animation = ObjectCast<NodeAnimation>(loaded.Get());
    ASSERT_TRUE(animation);
    const auto* key = static_cast<NodeKeyframe*>(animation->GetKey(0));
    EXPECT_EQ(key->time, 0.5);
    EXPECT_EQ(key->translation, (Vector3{1, 2, 3}));
    EXPECT_EQ(key->rotation, (Quaternion{0, 0.6f, 0, 0.8f}));
    EXPECT_EQ(key->scale, (Vector3{4, 5, 6}));
    EXPECT_EQ(SaveToBytes(animation).substr(4), record.substr(4));  // the first four bytes are the ID
}

TEST_F(AnimationRecord, AKeyCountTheRecordCannotHoldIsRefusedBeforeAnyKeyIsMade) {
    const std::string head = RecordHeader(0, "ZAV.ColorAnimation") + test::EmptyObjectRecord();
    // Two keys of 24 bytes need 48; 47 are there.
    for (int32_t count : {-1, 2, 0x7fffffff}) {
        test::LogCapture capture;
        int state = 0;
        EXPECT_FALSE(LoadFromBytes(head + Int32Bytes(count) + std::string(47, '\0'), &state));
        EXPECT_NE(state, kOk);
        EXPECT_TRUE(capture.HasPrefix(kLogError, "Невозможно загрузить количество кифреймов анимации. ID["));
        EXPECT_FALSE(capture.HasPrefix(kLogError, "Невозможно загрузить данные кифрейма."));
    }
    EXPECT_TRUE(LoadFromBytes(head + Int32Bytes(2) + std::string(48, '\0')));
}

TEST(Keyframe, ATimeOrValueThatDoesNotFitFailsWithTheKeysMessages) {
    test::LogCapture capture;
    NodeKeyframe key;
    BytesStream empty("");
    EXPECT_EQ(key.Load(empty), kFailed);
    EXPECT_TRUE(capture.Has(kLogError, "Невозможно загрузить родительские данные кифрейма."));
    BytesStream shortValue(DoubleBytes(0.5) + std::string(39, '\0'));
    EXPECT_EQ(key.Load(shortValue), kFailed);
    EXPECT_TRUE(capture.Has(kLogError, "Невозможно загрузить данные кифрейма."));

    TextureKeyframe texture;
    Stream timeOnly(8, 0);  // the time fits, the texture does not
    EXPECT_EQ(texture.Save(timeOnly), kFailed);
    EXPECT_TRUE(capture.Has(kLogError, "Невозможно сохранить текстуру кифрейма."));
}

TEST_F(AnimationRecord, ATextureKeyMustReferToATexture) {
    Ref<Camera> camera(new Camera("not a texture"));
    const std::string record = RecordHeader(0, "ZAV.TextureAnimation") + test::EmptyObjectRecord() + Int32Bytes(1) +
                               DoubleBytes(0.0) + SaveToBytes(camera.Get()).replace(0, 4, Int32Bytes(1));
    test::LogCapture capture;
    int state = 0;
    EXPECT_FALSE(LoadFromBytes(record, &state));
    EXPECT_EQ(state, kFailed);
    EXPECT_TRUE(capture.Has(kLogError, "Невозможно загрузить текстуру кифрейма."));
    EXPECT_TRUE(capture.HasPrefix(kLogError, "Невозможно загрузить кифрейм анимации. Имя[] ID["));
}

TEST_F(AnimationRecord, TheBaseClassCannotBeCreatedFromAFile) {
    test::LogCapture capture;
    EXPECT_FALSE(LoadFromBytes(RecordHeader(0, "ZAV.Animation") + test::EmptyObjectRecord() + Int32Bytes(0)));
}

TEST(Animation, KeepsKeysOfItsOwnKindAndFindsObjectsThroughTextureKeys) {
    Ref<TextureAnimation> animation(new TextureAnimation("cycle"));
    EXPECT_EQ(animation->AddKey(new NodeKeyframe()), kFailed);
    EXPECT_EQ(animation->AddKey(nullptr), kNotFound);
    auto* key = new TextureKeyframe();
    key->texture = new Texture("stone");
    ASSERT_EQ(animation->AddKey(key), kOk);
    EXPECT_EQ(animation->GetKeyCount(), 1);
    EXPECT_EQ(animation->FindObject("stone"), key->texture.Get());
    EXPECT_EQ(animation->FindObject("cycle"), animation.Get());
    EXPECT_EQ(animation->FindObject("brick"), nullptr);
    Array<Object*> found;
    animation->CollectObjects(&BaseTexture::StaticType(), found);
    ASSERT_EQ(found.Count(), 1);
    EXPECT_EQ(found[0], key->texture.Get());
    animation->DropReferences();
    EXPECT_EQ(animation->GetKeyCount(), 0);
}

}  // namespace
}  // namespace zav
