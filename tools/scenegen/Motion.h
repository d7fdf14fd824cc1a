#pragma once

#include <initializer_list>
#include <vector>

#include "engine/animation/Animation.h"
#include "engine/animation/AnimationController.h"
#include "engine/core/RefCounted.h"
#include "engine/core/Values.h"

namespace zav {
class BaseTexture;
}

namespace zav::scenegen {

// A place and orientation of a node animation, at a fraction of its cycle.
struct Pose {
    double time;
    Vector3 translation;
    Quaternion rotation{0, 0, 0, 1};
};

// Keyframe animations of each kind, their keys at the given cycle times.
Ref<NodeAnimation> NodePath(const char* name, std::initializer_list<Pose> poses);
Ref<ColorAnimation> ColorCycle(const char* name, std::initializer_list<std::pair<double, Color>> keys);
Ref<FloatAnimation> FloatCycle(const char* name, std::initializer_list<std::pair<double, float>> keys);
Ref<BoolAnimation> BoolCycle(const char* name, std::initializer_list<std::pair<double, bool>> keys);
Ref<SoundNodeAnimation> SoundCycle(const char* name, std::initializer_list<std::pair<double, bool>> keys);
Ref<TextureAnimation> TextureCycle(const char* name, const std::vector<BaseTexture*>& textures);

// Gives `controller` the one animation, playing over the whole track of
// `period` seconds from `phase` on, and attaches it to `owner`.
template <class ControllerClass>
Ref<ControllerClass> Play(Object& owner, const char* name, Animation* animation, double period, double phase = 0.0);

}  // namespace zav::scenegen
