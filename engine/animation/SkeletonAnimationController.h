#pragma once

#include "engine/animation/AnimationController.h"
#include "engine/core/ObjectList.h"

namespace zav {

// Plays a skeleton: its bone controllers (node animation controllers of the
// bones, in practice) run only through it, each switched on for its update
// and off again, and its stages and phase are handed on to them.
class SkeletonAnimationController : public AnimationController {
    ZAV_OBJECT_CLASS(SkeletonAnimationController, AnimationController)

    explicit SkeletonAnimationController(const String& name = String()) : AnimationController(name) {}

    // Own reset; the bones' stages are emptied, their phases stay.
    void Reset() override;
    // Each of these sets its own stage (or phase), then the bones'.
    int SetStage(Animation* animation, int32_t index, float weight) override;
    // A bone gets its own animation of that name; one without such an
    // animation gets none and keeps the stage's weight.
    int SetStageByName(const String& name, int32_t index, float weight) override;
    void SetStageWeight(int32_t index, float weight) override;
    void SetPhase(double phase) override;

    void DropReferences() override;
    int Save(Stream& stream) override;
    int Load(Stream& stream) override;

    int32_t GetBoneControllerCount() const { return boneControllers_.Count(); }
    AnimationController* GetBoneController(int32_t index) const { return boneControllers_.Get(index); }
    // Each controller once; 0, or 2 when memory runs out.
    int AddBoneController(AnimationController* controller) { return boneControllers_.AddUnique(controller); }

protected:
    void Play(double time) override;

private:
    ObjectList<AnimationController> boneControllers_;
};

}  // namespace zav
