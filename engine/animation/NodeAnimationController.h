#pragma once

#include "engine/animation/AnimationController.h"

namespace zav {

// Moves its owner node: the node animations' translations, rotations and
// scales blended into the node's local transform, whose world transform is
// then composed again.
class NodeAnimationController : public AnimationController {
    ZAV_OBJECT_CLASS(NodeAnimationController, AnimationController)

    explicit NodeAnimationController(const String& name = String()) : AnimationController(name) {}

protected:
    void Play(double time) override;
};

}  // namespace zav
