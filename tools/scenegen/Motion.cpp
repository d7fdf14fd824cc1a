#include "tools/scenegen/Motion.h"

#include "engine/animation/CameraActivateAnimationController.h"
#include "engine/animation/ColorAnimationControllers.h"
#include "engine/animation/Keyframe.h"
#include "engine/animation/NodeAnimationController.h"
#include "engine/animation/SkeletonAnimationController.h"
#include "engine/animation/SoundNodeAnimationController.h"
#include "engine/animation/TextureAnimationController.h"
#include "engine/render/BaseTexture.h"

namespace zav::scenegen {

namespace {

template <class AnimationClass, class Key, class Value, class Fill>
Ref<AnimationClass> Keys(const char* name, std::initializer_list<std::pair<double, Value>> keys, Fill fill) {
    Ref<AnimationClass> animation(new AnimationClass(name));
    for (const auto& [time, value] : keys) {
        auto* key = new Key();
        key->time = time;
        fill(*key, value);
        animation->AddKey(key);
    }
    return animation;
}

}  // namespace

Ref<NodeAnimation> NodePath(const char* name, std::initializer_list<Pose> poses) {
    Ref<NodeAnimation> animation(new NodeAnimation(name));
    for (const Pose& pose : poses) {
        auto* key = new NodeKeyframe();
        key->time = pose.time;
        key->translation = pose.translation;
        key->rotation = pose.rotation;
        animation->AddKey(key);
    }
    return animation;
}

Ref<ColorAnimation> ColorCycle(const char* name, std::initializer_list<std::pair<double, Color>> keys) {
    return Keys<ColorAnimation, ColorKeyframe>(name, keys, [](ColorKeyframe& k, const Color& c) { k.color = c; });
}

Ref<FloatAnimation> FloatCycle(const char* name, std::initializer_list<std::pair<double, float>> keys) {
    return Keys<FloatAnimation, FloatKeyframe>(name, keys, [](FloatKeyframe& k, float v) { k.value = v; });
}

Ref<BoolAnimation> BoolCycle(const char* name, std::initializer_list<std::pair<double, bool>> keys) {
    return Keys<BoolAnimation, BoolKeyframe>(name, keys, [](BoolKeyframe& k, bool v) { k.value = v; });
}

Ref<SoundNodeAnimation> SoundCycle(const char* name, std::initializer_list<std::pair<double, bool>> keys) {
    return Keys<SoundNodeAnimation, BoolKeyframe>(name, keys, [](BoolKeyframe& k, bool v) { k.value = v; });
}

Ref<TextureAnimation> TextureCycle(const char* name, const std::vector<BaseTexture*>& textures) {
    Ref<TextureAnimation> animation(new TextureAnimation(name));
    for (size_t i = 0; i < textures.size(); ++i) {
        auto* key = new TextureKeyframe();
        key->time = static_cast<double>(i) / static_cast<double>(textures.size());
        key->texture = textures[i];
        animation->AddKey(key);
    }
    return animation;
}

template <class ControllerClass>
Ref<ControllerClass> Play(Object& owner, const char* name, Animation* animation, double period, double phase) {
    Ref<ControllerClass> controller(new ControllerClass(name));
    controller->SetPeriod(period);
    if (animation) {
        controller->AddAnimation(animation);
        AnimationFrame frame;
        frame.animation = animation;
        frame.start = 0.0;
        frame.end = 1.0;
        controller->AddFrame(frame);
    }
    controller->SetPhase(phase);
    owner.AddController(controller.Get());
    return controller;
}

#define ZAV_PLAY(Class) template Ref<Class> Play<Class>(Object&, const char*, Animation*, double, double);
ZAV_PLAY(NodeAnimationController)
ZAV_PLAY(ColorAnimationController)
ZAV_PLAY(DiffuseLightAnimationController)
ZAV_PLAY(AmbientLightAnimationController)
ZAV_PLAY(SpecularLightAnimationController)
ZAV_PLAY(FlareColorController)
ZAV_PLAY(FlareSizeController)
ZAV_PLAY(TextureAnimationController)
ZAV_PLAY(SoundNodeAnimationController)
ZAV_PLAY(SkeletonAnimationController)
ZAV_PLAY(CameraActivateAnimationController)
#undef ZAV_PLAY

}  // namespace zav::scenegen
