#include "engine/animation/BlendStage.h"

#include <cmath>

namespace zav {

int32_t FindKey(const Animation& animation, double x) {
    const int32_t count = animation.GetKeyCount();
    if (animation.KeyTime(0) > x) return count - 1;
    int32_t low = 0;
    int32_t high = count - 1;
    int32_t mid = low + (high - low) / 2;
    while (mid != low) {
        if (x > animation.KeyTime(mid)) {
            low = mid;
            mid = high;
        }
        high = mid;
        mid = low + (high - low) / 2;
    }
    return x >= animation.KeyTime(high) ? high : mid;
}

void BlendStage::Evaluate(double stageTime) {
    if (!animation) return;
    const int32_t count = animation->GetKeyCount();
    if (count == 0) return;
    keyIndex = FindKey(*animation, stageTime);
    nextKeyIndex = (keyIndex + 1) % count;
    const double start = animation->KeyTime(keyIndex);
    double span = animation->KeyTime(nextKeyIndex) - start;
    if (span < 0) span += 1.0;  // across the end of the cycle
    if (span == 0) {
        fraction = 0.0;  // one key, or two at the same time
        return;
    }
    double done = stageTime - start;
    if (done < 0) done += 1.0;
    fraction = done / span;
    // Key times a file made up (not numbers, infinite) give no position
    // between the keys: the stage stays on its key.
    if (!std::isfinite(fraction)) fraction = 0.0;
}

}  // namespace zav
