#pragma once

#include <cstdint>
#include <vector>

#include "engine/animation/Controller.h"
#include "engine/core/Array.h"
#include "engine/core/RefCounted.h"

namespace zav {

class AnimationController;
class Camera;

// One shot: a camera, the animation controllers that fly it and move the
// point it looks at (found among the camera's controllers), and its timing
// in seconds.
struct CameraSet {
    CameraSet();
    ~CameraSet();
    CameraSet(const CameraSet& other);
    CameraSet& operator=(const CameraSet& other);

    Ref<Camera> camera;
    Ref<AnimationController> cameraController;
    Ref<AnimationController> targetController;
    // Into the shot, when the fade in from black begins.
    double fadeStart = 0.0;
    // The shot's length: the controllers' periods once the set is chosen.
    double duration = 1.0;
    // The length the record gives, used when the set has no controllers and
    // when their periods make no length.
    double storedDuration = 1.0;
};

// Cuts between camera sets: picks the next set at random while avoiding the
// most recently shown ones, makes its camera the renderer's current camera,
// restarts its animations and switches when the shot's time is up, the
// overshoot carried into the next shot. Sets without a camera are never
// chosen; without any other the controller stays idle.
class ScreensaverController : public Controller {
    ZAV_OBJECT_CLASS(ScreensaverController, Controller)

    explicit ScreensaverController(const String& name = String());
    ~ScreensaverController() override;

    // Advances the shot clock; the next set when the shot is over. Nothing
    // while inactive or idle.
    void Update(double time) override;
    // A new set, from its start.
    void Reset() override;
    // Chooses the next set as Update does when a shot ends (elapsed stays).
    void ChooseNextSet();

    // Appends a set of `camera`, its controllers found as a record's are. 0,
    // or 2 when memory runs out.
    int AddSet(Camera* camera, double fadeStart, double duration);
    int32_t GetSetCount() const { return sets_.Count(); }
    const CameraSet& GetSet(int32_t index) const { return sets_[index]; }
    // -1 while idle.
    int32_t GetCurrentSet() const { return currentSet_; }
    double GetElapsed() const { return elapsed_; }
    // The most recently chosen set indices, oldest first.
    const std::vector<int32_t>& GetHistory() const { return history_; }

    // The opacity of the black veil between shots for the current set: it
    // rises from 0 to 1 over the shot's last second, stays above 1 (opaque)
    // until `fadeStart` and falls back to 0 over the second after it; 0
    // while idle.
    double GetFadeOpacity() const;

    void DropReferences() override;
    int Save(Stream& stream) override;
    // Reads the sets, then chooses the first one.
    int Load(Stream& stream) override;

private:
    // The camera's controllers: its last animation controller flies it; a
    // target controller's target node's first one moves the look-at point.
    static void FindControllers(CameraSet& set);
    // The set index to show next (history updated), -1 without a camera.
    int32_t DrawSet(int32_t historyLength);
    bool InHistory(int32_t index) const;

    Array<CameraSet> sets_{1, 1};
    int32_t currentSet_ = -1;
    double elapsed_ = 0.0;
    std::vector<int32_t> history_;
    int32_t historySize_ = -1;
};

}  // namespace zav
