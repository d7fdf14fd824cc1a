#pragma once

#include "engine/animation/AnimationController.h"
#include "engine/core/ObjectList.h"

namespace zav {

// Switches other animation controllers with its owner camera's shots.
// While the owner is the renderer's current camera, the camera's controller
// and its target's controller run, this controller follows the camera's
// track (its own phase is the camera controller's) and the on/off key of its
// last playing stage switches each of `controllers`. While another camera is
// current, the two are stopped and reset, and each of `controllers` shows
// its starting pose and stays switched off.
class CameraActivateAnimationController : public AnimationController {
    ZAV_OBJECT_CLASS(CameraActivateAnimationController, AnimationController)

    explicit CameraActivateAnimationController(const String& name = String()) : AnimationController(name) {}

    void DropReferences() override;
    int Save(Stream& stream) override;
    int Load(Stream& stream) override;

    AnimationController* GetCameraController() const { return cameraController_.Get(); }
    void SetCameraController(AnimationController* controller) { cameraController_ = controller; }
    AnimationController* GetTargetController() const { return targetController_.Get(); }
    void SetTargetController(AnimationController* controller) { targetController_ = controller; }
    int32_t GetSwitchedCount() const { return controllers_.Count(); }
    AnimationController* GetSwitched(int32_t index) const { return controllers_.Get(index); }
    // Each controller once; 0, or 2 when memory runs out.
    int AddSwitched(AnimationController* controller) { return controllers_.AddUnique(controller); }

protected:
    void Play(double time) override;

private:
    ObjectList<AnimationController> controllers_;
    Ref<AnimationController> cameraController_;
    Ref<AnimationController> targetController_;
};

}  // namespace zav
