#include "tests/animation/AnimationTestSupport.h"

#include <cmath>
#include <sstream>

namespace zav::test {

namespace {

template <class Key, class Value>
void Fill(Animation& animation, std::initializer_list<std::pair<double, Value>> keys) {
    for (const auto& [time, value] : keys) {
        auto* key = new Key();
        key->time = time;
        if constexpr (std::is_same_v<Key, ColorKeyframe>)
            key->color = value;
        else
            key->value = value;
        EXPECT_EQ(animation.AddKey(key), kOk);
    }
}

template <class T>
std::string Text(const T& value, int components) {
    std::ostringstream out;
    const float* parts = reinterpret_cast<const float*>(&value);
    out << "(";
    for (int i = 0; i < components; ++i) out << (i ? ", " : "") << parts[i];
    out << ")";
    return out.str();
}

template <class T>
::testing::AssertionResult NearComponents(const T& actual, const T& expected, float tolerance) {
    constexpr int kComponents = sizeof(T) / sizeof(float);
    const float* a = reinterpret_cast<const float*>(&actual);
    const float* e = reinterpret_cast<const float*>(&expected);
    for (int i = 0; i < kComponents; ++i)
        if (!(std::fabs(a[i] - e[i]) <= tolerance))
            return ::testing::AssertionFailure()
                   << Text(actual, kComponents) << " is not " << Text(expected, kComponents);
    return ::testing::AssertionSuccess();
}

}  // namespace

Ref<NodeAnimation> MoveAnimation(const char* name, std::initializer_list<TranslationKey> keys) {
    Ref<NodeAnimation> animation(new NodeAnimation(name));
    for (const TranslationKey& k : keys) {
        auto* key = new NodeKeyframe();
        key->time = k.time;
        key->translation = k.translation;
        EXPECT_EQ(animation->AddKey(key), kOk);
    }
    return animation;
}

Ref<ColorAnimation> ColorKeys(const char* name, std::initializer_list<std::pair<double, Color>> keys) {
    Ref<ColorAnimation> animation(new ColorAnimation(name));
    Fill<ColorKeyframe>(*animation, keys);
    return animation;
}

Ref<FloatAnimation> FloatKeys(const char* name, std::initializer_list<std::pair<double, float>> keys) {
    Ref<FloatAnimation> animation(new FloatAnimation(name));
    Fill<FloatKeyframe>(*animation, keys);
    return animation;
}

Ref<BoolAnimation> BoolKeys(const char* name, std::initializer_list<std::pair<double, bool>> keys) {
    Ref<BoolAnimation> animation(new BoolAnimation(name));
    Fill<BoolKeyframe>(*animation, keys);
    return animation;
}

Ref<Animation> TimeKeys(std::initializer_list<double> times) {
    Ref<Animation> animation(new Animation("times"));
    for (double time : times) {
        auto* key = new Keyframe();
        key->time = time;
        EXPECT_EQ(animation->AddKey(key), kOk);
    }
    return animation;
}

AnimationFrame Frame(Animation* animation, double start, double end, int32_t mode, double speed, double offset) {
    AnimationFrame frame;
    frame.animation = animation;
    frame.start = start;
    frame.end = end;
    frame.mode = mode;
    frame.speed = speed;
    frame.offset = offset;
    return frame;
}

::testing::AssertionResult Near(const Vector3& actual, const Vector3& expected, float tolerance) {
    return NearComponents(actual, expected, tolerance);
}
::testing::AssertionResult Near(const Quaternion& actual, const Quaternion& expected, float tolerance) {
    return NearComponents(actual, expected, tolerance);
}
::testing::AssertionResult Near(const Color& actual, const Color& expected, float tolerance) {
    return NearComponents(actual, expected, tolerance);
}

CurrentNullRenderer::CurrentNullRenderer() : renderer_(new NullRenderer()) { MakeRendererCurrent(renderer_.Get()); }

CurrentNullRenderer::~CurrentNullRenderer() {
    renderer_->SetCamera(nullptr);
    MakeRendererCurrent(nullptr);
}

}  // namespace zav::test
