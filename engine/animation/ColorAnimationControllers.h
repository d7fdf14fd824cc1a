#pragma once

#include "engine/animation/AnimationController.h"

namespace zav {

// Controllers that blend colour animations into one colour of their owner,
// starting from the colour it has: a colour effect's colour, a light's
// diffuse, ambient or specular colour, a flare's colour. An owner of another
// class is left alone.

class ColorAnimationController : public AnimationController {
    ZAV_OBJECT_CLASS(ColorAnimationController, AnimationController)
    explicit ColorAnimationController(const String& name = String()) : AnimationController(name) {}

protected:
    void Play(double time) override;
};

class DiffuseLightAnimationController : public AnimationController {
    ZAV_OBJECT_CLASS(DiffuseLightAnimationController, AnimationController)
    explicit DiffuseLightAnimationController(const String& name = String()) : AnimationController(name) {}

protected:
    void Play(double time) override;
};

class AmbientLightAnimationController : public AnimationController {
    ZAV_OBJECT_CLASS(AmbientLightAnimationController, AnimationController)
    explicit AmbientLightAnimationController(const String& name = String()) : AnimationController(name) {}

protected:
    void Play(double time) override;
};

class SpecularLightAnimationController : public AnimationController {
    ZAV_OBJECT_CLASS(SpecularLightAnimationController, AnimationController)
    explicit SpecularLightAnimationController(const String& name = String()) : AnimationController(name) {}

protected:
    void Play(double time) override;
};

class FlareColorController : public AnimationController {
    ZAV_OBJECT_CLASS(FlareColorController, AnimationController)
    explicit FlareColorController(const String& name = String()) : AnimationController(name) {}

protected:
    void Play(double time) override;
};

// Blends float animations into its owner flare's size; below 0 is 0.
class FlareSizeController : public AnimationController {
    ZAV_OBJECT_CLASS(FlareSizeController, AnimationController)
    explicit FlareSizeController(const String& name = String()) : AnimationController(name) {}

protected:
    void Play(double time) override;
};

}  // namespace zav
