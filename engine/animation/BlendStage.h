#pragma once

#include <cstdint>

#include "engine/animation/Animation.h"
#include "engine/core/RefCounted.h"

namespace zav {

// One animation as an animation controller plays it: where on the
// animation's cycle the stage is (the key at or before the stage time, the
// one after it, cyclically, and the fraction between them) and how strongly
// its value is blended in. A value record of its controller.
struct BlendStage {
    Ref<Animation> animation;
    float weight = 1.0f;
    int32_t keyIndex = 0;
    int32_t nextKeyIndex = 0;
    double fraction = 0.0;

    // Finds the keys around `stageTime` (a fraction of the cycle) and the
    // fraction between them. Nothing without an animation or keys.
    void Evaluate(double stageTime);

    // Whether the stage plays keys of `kind` from key positions inside its
    // animation: only then are KeyAt and NextKeyAt of that kind valid.
    bool Plays(KeyframeKind kind) const {
        if (!animation || animation->GetKeyKind() != kind) return false;
        const int32_t count = animation->GetKeyCount();
        return keyIndex >= 0 && keyIndex < count && nextKeyIndex >= 0 && nextKeyIndex < count;
    }
    template <class K>
    const K& KeyAt() const {
        return static_cast<const K&>(*animation->GetKey(keyIndex));
    }
    template <class K>
    const K& NextKeyAt() const {
        return static_cast<const K&>(*animation->GetKey(nextKeyIndex));
    }
};

// The key search of Evaluate: the last key whose time is at or before `x`,
// or the last key when the first one comes after `x` (between the last key
// and the first, across the end of the cycle). The animation has keys.
int32_t FindKey(const Animation& animation, double x);

}  // namespace zav
