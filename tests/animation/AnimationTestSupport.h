#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "engine/animation/Animation.h"
#include "engine/animation/AnimationController.h"
#include "engine/core/Values.h"
#include "engine/render/null/NullRenderer.h"

namespace zav::test {

// A key of a node animation with only a translation.
struct TranslationKey {
    double time;
    Vector3 translation;
};

Ref<NodeAnimation> MoveAnimation(const char* name, std::initializer_list<TranslationKey> keys);
Ref<ColorAnimation> ColorKeys(const char* name, std::initializer_list<std::pair<double, Color>> keys);
Ref<FloatAnimation> FloatKeys(const char* name, std::initializer_list<std::pair<double, float>> keys);
Ref<BoolAnimation> BoolKeys(const char* name, std::initializer_list<std::pair<double, bool>> keys);
// Keys at these times and nothing else.
Ref<Animation> TimeKeys(std::initializer_list<double> times);

AnimationFrame Frame(Animation* animation, double start, double end, int32_t mode = AnimationFrame::kLoop,
                     double speed = 1.0, double offset = 0.0);

// Each component within `tolerance`.
::testing::AssertionResult Near(const Vector3& actual, const Vector3& expected, float tolerance = 1e-5f);
::testing::AssertionResult Near(const Quaternion& actual, const Quaternion& expected, float tolerance = 1e-5f);
::testing::AssertionResult Near(const Color& actual, const Color& expected, float tolerance = 1e-5f);

// A null renderer made current for the object's lifetime.
class CurrentNullRenderer {
public:
    CurrentNullRenderer();
    ~CurrentNullRenderer();
    NullRenderer* operator->() const { return renderer_.Get(); }

private:
    Ref<NullRenderer> renderer_;
};

}  // namespace zav::test
