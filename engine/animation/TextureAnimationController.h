#pragma once

#include "engine/animation/AnimationController.h"

namespace zav {

// Cycles its owner texture effect's texture: each stage that plays texture
// keys whose current key names a texture other than the one the effect had
// when the update began sets it, so the last such stage wins.
class TextureAnimationController : public AnimationController {
    ZAV_OBJECT_CLASS(TextureAnimationController, AnimationController)

    explicit TextureAnimationController(const String& name = String()) : AnimationController(name) {}

protected:
    void Play(double time) override;
};

}  // namespace zav
