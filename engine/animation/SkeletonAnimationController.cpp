#include "engine/animation/SkeletonAnimationController.h"

#include "engine/core/ClassRegistration.h"
#include "engine/core/Stream.h"

namespace zav {

ZAV_REGISTER_CLASS(SkeletonAnimationController);

void SkeletonAnimationController::Play(double time) {
    UpdateTrack(time);
    if (!IsActive()) return;
    WalkLevel level;
    if (level.TooDeep()) return;
    for (int32_t i = 0; i < boneControllers_.Count(); ++i) {
        AnimationController* bone = boneControllers_.Get(i);
        // One that is being updated (this one, or one driving it) is skipped.
        if (!bone || bone->IsUpdating()) continue;
        bone->SetActive(true);
        bone->Update(time);
        bone->SetActive(false);
    }
}

void SkeletonAnimationController::Reset() {
    AnimationController::Reset();
    for (int32_t i = 0; i < boneControllers_.Count(); ++i)
        if (AnimationController* bone = boneControllers_.Get(i)) bone->ClearStages();
}

int SkeletonAnimationController::SetStage(Animation* animation, int32_t index, float weight) {
    int result = AnimationController::SetStage(animation, index, weight);
    for (int32_t i = 0; i < boneControllers_.Count() && result == kOk; ++i)
        if (AnimationController* bone = boneControllers_.Get(i))
            result = bone->AnimationController::SetStage(animation, index, weight);
    return result;
}

int SkeletonAnimationController::SetStageByName(const String& name, int32_t index, float weight) {
    int result = AnimationController::SetStageByName(name, index, weight);
    for (int32_t i = 0; i < boneControllers_.Count() && result == kOk; ++i) {
        AnimationController* bone = boneControllers_.Get(i);
        if (!bone) continue;
        Animation* animation = bone->FindAnimation(name);
        const float kept = index < bone->GetStageCount() ? bone->GetStage(index).weight : BlendStage().weight;
        result = bone->AnimationController::SetStage(animation, index, animation ? weight : kept);
    }
    return result;
}

void SkeletonAnimationController::SetStageWeight(int32_t index, float weight) {
    AnimationController::SetStageWeight(index, weight);
    for (int32_t i = 0; i < boneControllers_.Count(); ++i)
        if (AnimationController* bone = boneControllers_.Get(i))
            bone->AnimationController::SetStageWeight(index, weight);
}

void SkeletonAnimationController::SetPhase(double phase) {
    AnimationController::SetPhase(phase);
    for (int32_t i = 0; i < boneControllers_.Count(); ++i)
        if (AnimationController* bone = boneControllers_.Get(i)) bone->AnimationController::SetPhase(phase);
}

void SkeletonAnimationController::DropReferences() {
    AnimationController::DropReferences();
    boneControllers_.Clear();
}

int SkeletonAnimationController::Save(Stream& stream) {
    if (ParentClass::Save(stream) != kOk) return ParentSaveFailed();
    return SaveReferences(stream, boneControllers_, "Невозможно сохранить количество контроллеров анимации костей.",
                          "Невозможно сохранить контроллер анимации костей.");
}

int SkeletonAnimationController::Load(Stream& stream) {
    if (ParentClass::Load(stream) != kOk) return ParentLoadFailed();
    return LoadReferences(stream, boneControllers_, "Невозможно загрузить количество контроллеров анимации костей.",
                          "Невозможно загрузить контроллер анимации костей.", true);
}

}  // namespace zav
