#pragma once

#include "engine/animation/AnimationController.h"

namespace zav {

// Switches its owner sound node's playback with on/off keys (the key of the
// last stage that plays them; on without one): while on, a stream that is
// not playing starts from its beginning and the node plays; while off, the
// stream is stopped and the node does not play. An owner that is not a
// sound node is left alone.
class SoundNodeAnimationController : public AnimationController {
    ZAV_OBJECT_CLASS(SoundNodeAnimationController, AnimationController)

    explicit SoundNodeAnimationController(const String& name = String()) : AnimationController(name) {}

protected:
    void Play(double time) override;
};

}  // namespace zav
