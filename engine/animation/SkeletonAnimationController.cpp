#include "engine/animation/SkeletonAnimationController.h"

#include "engine/core/ClassRegistration.h"
#include "engine/core/Stream.h"

namespace zav {

ZAV_REGISTER_CLASS(SkeletonAnimationController);

namespace {

constexpr int64_t kStoredReferenceSize = 4;

}  // namespace

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
    if (stream.WriteInt32(boneControllers_.Count()) != kOk)
        return FailedNameId("Невозможно сохранить количество контроллеров анимации костей.");
    for (int32_t i = 0; i < boneControllers_.Count(); ++i)
        if (stream.WriteObject(boneControllers_.Get(i)) != kOk)
            return FailedNameId("Невозможно сохранить контроллер анимации костей.");
    return kOk;
}

int SkeletonAnimationController::Load(Stream& stream) {
    if (ParentClass::Load(stream) != kOk) return ParentLoadFailed();
    int32_t count = 0;
    if (stream.ReadInt32(count) != kOk || count < 0 || count * kStoredReferenceSize > stream.Remaining())
        return FailedIdName("Невозможно загрузить количество контроллеров анимации костей.");
    if (boneControllers_.LoadElements(stream, count) != kOk)
        return FailedNameId("Невозможно загрузить контроллер анимации костей.");
    return kOk;
}

}  // namespace zav
