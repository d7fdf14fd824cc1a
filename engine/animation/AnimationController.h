#pragma once

#include <cstdint>

#include "engine/animation/Animation.h"
#include "engine/animation/BlendStage.h"
#include "engine/animation/Controller.h"
#include "engine/core/Array.h"
#include "engine/core/ObjectList.h"
#include "engine/core/Stream.h"
#include "engine/core/Transform.h"

namespace zav {

// A piece of an animation controller's track, [start, end] in phase, and
// the animation that plays while the track is inside it.
struct AnimationFrame {
    enum Mode : int32_t { kClamp = 0, kLoop = 1, kPingPong = 2 };

    Ref<Animation> animation;
    double start = 0.0;
    double end = 0.0;
    int32_t mode = kLoop;
    double speed = 1.0;   // cycles of the animation per frame length
    double offset = 0.0;  // added to the animation time
};

// Plays keyframe animations on a looping track of `period` seconds: each
// update advances the phase, gives the (at most two) frames that contain it
// a blend stage each, cross-fades the stages across the frames' overlap and
// evaluates them at their stage times. The subclasses then blend the stage
// values into their owner. Only the subclasses occur in scene files.
class AnimationController : public Controller {
    ZAV_OBJECT_CLASS(AnimationController, Controller)

    explicit AnimationController(const String& name = String());
    ~AnimationController() override;

    // The track (nothing while inactive), then what the class drives. A
    // controller that is being updated already (one whose driven controllers
    // lead back to it), or was driven already during the update that drives
    // it now, is skipped.
    void Update(double time) final;
    // No stages (their animations released) and phase 0.
    void Reset() override;

    // Grows the stages to more than `index` and sets stage `index`'s
    // animation and weight; its key positions stay. 0, 1 for a negative
    // index, 2 when memory runs out.
    virtual int SetStage(Animation* animation, int32_t index, float weight);
    // As SetStage with the last of `animations` named `name`, or none.
    virtual int SetStageByName(const String& name, int32_t index, float weight);
    // Nothing for a stage that does not exist.
    virtual void SetStageWeight(int32_t index, float weight);
    virtual void SetPhase(double phase);

    void DropReferences() override;
    int Save(Stream& stream) override;
    int Load(Stream& stream) override;

    int32_t GetAnimationCount() const { return animations_.Count(); }
    Animation* GetAnimation(int32_t index) const { return animations_.Get(index); }
    // Each animation once; 0, or 2 when memory runs out.
    int AddAnimation(Animation* animation) { return animations_.AddUnique(animation); }
    // The last animation of the list named `name`, or null.
    Animation* FindAnimation(const String& name) const;

    int32_t GetStageCount() const { return stages_.Count(); }
    const BlendStage& GetStage(int32_t index) const { return stages_[index]; }
    // Empties the stages, releasing their animations; the phase stays.
    void ClearStages() { stages_.Clear(); }

    int32_t GetFrameCount() const { return frames_.Count(); }
    const AnimationFrame& GetFrame(int32_t index) const { return frames_[index]; }
    int AddFrame(const AnimationFrame& frame) { return frames_.Append(frame); }

    double GetPeriod() const { return period_; }
    void SetPeriod(double seconds) { period_ = seconds; }
    double GetPhase() const { return phase_; }
    bool IsUpdating() const { return updating_; }

protected:
    // What Update does once the controller is to run: the track alone here;
    // subclasses apply the stages after it.
    virtual void Play(double time);
    // The track's part of every update, nothing while inactive: the phase
    // advances by time / period (a period that is not a positive number
    // leaves it), the frames that contain it get their stages and weights,
    // and each matched stage is evaluated at its frame's stage time.
    void UpdateTrack(double time);
    // The track, then `apply` (Owner&) when the controller is active and its
    // owner is an Owner: the Play of a controller that drives its owner.
    template <class Owner, class Apply>
    void PlayOn(double time, Apply apply) {
        UpdateTrack(time);
        if (auto* owner = ObjectCast<Owner>(GetOwner()); owner && IsActive()) apply(*owner);
    }

    // The blend of the stages of `kind` into a value of the owner: each
    // stage that plays moves the value towards the stage's value by its
    // weight, in stage order.
    void BlendNode(Transform& transform) const;
    Color BlendColor(Color color) const;
    float BlendFloat(float value) const;
    // The key at the position of the last stage that plays bool keys, or
    // null when none does.
    const BoolKeyframe* LastBoolKey() const;

    // A list of the record: its count, then each reference. A failure logs
    // `countMessage` or `itemMessage` with this object's name and ID (the
    // load's item message with the name first when `itemNameFirst`).
    template <class T>
    int SaveReferences(Stream& stream, const ObjectList<T>& list, const char* countMessage,
                       const char* itemMessage) const;
    int LoadReferences(Stream& stream, ObjectListBase& list, const char* countMessage, const char* itemMessage,
                       bool itemNameFirst);

private:
    // Stage `index`, the stages grown to hold it; null for a negative index
    // or when memory runs out.
    BlendStage* GrowStages(int32_t index);

    ObjectList<Animation> animations_;
    Array<BlendStage> stages_{1, 1};
    double period_ = 0.0;
    double phase_ = 0.0;
    Array<AnimationFrame> frames_{1, 1};
    bool updating_ = false;
    // The drive (an update from outside any animation controller and what
    // it drives) this controller last ran in.
    uint64_t lastDrive_ = 0;
};

template <class T>
int AnimationController::SaveReferences(Stream& stream, const ObjectList<T>& list, const char* countMessage,
                                        const char* itemMessage) const {
    if (stream.WriteInt32(list.Count()) != kOk) return FailedNameId(countMessage);
    for (int32_t i = 0; i < list.Count(); ++i)
        if (stream.WriteObject(list.Get(i)) != kOk) return FailedNameId(itemMessage);
    return kOk;
}

}  // namespace zav
