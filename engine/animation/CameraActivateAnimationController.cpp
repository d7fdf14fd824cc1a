#include "engine/animation/CameraActivateAnimationController.h"

#include "engine/core/ClassRegistration.h"
#include "engine/core/Stream.h"
#include "engine/render/Renderer.h"
#include "engine/scene/Camera.h"

namespace zav {

ZAV_REGISTER_CLASS(CameraActivateAnimationController);

void CameraActivateAnimationController::Play(double) {
    if (!IsActive() || !cameraController_ || !GetOwner()) return;
    WalkLevel level;
    if (level.TooDeep()) return;
    const Renderer* renderer = GetRenderer();
    if (renderer && static_cast<Object*>(renderer->GetCamera()) == GetOwner()) {
        cameraController_->SetActive(true);
        if (targetController_) targetController_->SetActive(true);
        SetPhase(cameraController_->GetPhase());
        UpdateTrack(0.0);
        const BoolKeyframe* key = LastBoolKey();
        const bool on = !key || key->value;
        for (int32_t i = 0; i < controllers_.Count(); ++i) {
            AnimationController* controller = controllers_.Get(i);
            // One that is being updated (this one, or one driving it) is left alone.
            if (controller && !controller->IsUpdating()) controller->SetActive(on);
        }
        return;
    }
    cameraController_->SetActive(false);
    cameraController_->Reset();
    if (targetController_) {
        targetController_->SetActive(false);
        targetController_->Reset();
    }
    for (int32_t i = 0; i < controllers_.Count(); ++i) {
        AnimationController* controller = controllers_.Get(i);
        if (!controller || controller->IsUpdating()) continue;
        controller->SetActive(true);
        controller->SetPhase(0.0);
        controller->Update(0.0);
        controller->SetActive(false);
    }
}

void CameraActivateAnimationController::DropReferences() {
    AnimationController::DropReferences();
    controllers_.Clear();
    cameraController_ = nullptr;
    targetController_ = nullptr;
}

int CameraActivateAnimationController::Save(Stream& stream) {
    if (ParentClass::Save(stream) != kOk) return ParentSaveFailed();
    if (stream.WriteObject(cameraController_) != kOk)
        return FailedNameId("Невозможно сохранить контроллер анимации камеры.");
    if (stream.WriteObject(targetController_) != kOk)
        return FailedNameId("Невозможно сохранить контроллер анимации цели камеры.");
    return SaveReferences(stream, controllers_, "Невозможно сохранить количество дочерних узлов.",
                          "Невозможно сохранить ссылку на контроллер анимации.");
}

int CameraActivateAnimationController::Load(Stream& stream) {
    if (ParentClass::Load(stream) != kOk) return ParentLoadFailed();
    if (stream.ReadReference(cameraController_) != kOk)
        return FailedIdName("Невозможно загрузить контроллер анимации камеры.");
    if (stream.ReadReference(targetController_) != kOk)
        return FailedIdName("Невозможно загрузить контроллер анимации цели камеры.");
    return LoadReferences(stream, controllers_, "Невозможно загрузить количество контроллеров анимации.",
                          "Невозможно загрузить контроллер анимации.", false);
}

}  // namespace zav
