#include "engine/animation/AnimationController.h"

#include <cmath>

#include "engine/animation/Interpolation.h"
#include "engine/animation/StoredCounts.h"
#include "engine/core/ClassRegistration.h"
#include "engine/core/Log.h"
#include "engine/core/Stream.h"

namespace zav {

ZAV_REGISTER_ABSTRACT_CLASS(AnimationController);

namespace {

// A stored frame: its animation reference at the shortest, the mode and four
// doubles.
constexpr int64_t kStoredFrameSize = kStoredReferenceSize + 4 + 4 * 8;

// Animation controllers drive one another (camera activation, skeletons).
// A drive is one update from outside any of them with everything it drives;
// in one drive each controller runs once.
uint64_t gDrive = 0;
int gDriveDepth = 0;

bool IsOdd(double whole) { return std::fmod(whole, 2.0) != 0.0; }

double PingPong(double t) {
    const double whole = std::floor(t);
    return IsOdd(whole) ? 1.0 - (t - whole) : t - whole;
}

// The stage time of the first matched frame: clamped frames end at 0, the
// others wrap into [0, 1).
double FirstStageTime(double t, int32_t mode) {
    switch (mode) {
        case AnimationFrame::kClamp: return t >= 1.0 || t < 0.0 ? 0.0 : t;
        case AnimationFrame::kPingPong: t = PingPong(t); break;
        default: t -= std::floor(t); break;  // loop, also for modes a file made up
    }
    return t >= 1.0 ? 0.0 : t;
}

// The stage time of the second matched frame: clamped frames stay at 1.
double SecondStageTime(double t, int32_t mode) {
    switch (mode) {
        case AnimationFrame::kClamp: return t < 0.0 ? 0.0 : t > 1.0 ? 1.0 : t;
        case AnimationFrame::kPingPong: return PingPong(t);
        default: return t - std::floor(t);
    }
}

}  // namespace

AnimationController::AnimationController(const String& name) : Controller(name) {}

AnimationController::~AnimationController() = default;

void AnimationController::Update(double time) {
    if (updating_) return;
    if (gDriveDepth == 0)
        ++gDrive;
    else if (lastDrive_ == gDrive)
        return;
    lastDrive_ = gDrive;
    updating_ = true;
    ++gDriveDepth;
    Play(time);
    --gDriveDepth;
    updating_ = false;
}

void AnimationController::Play(double time) { UpdateTrack(time); }

void AnimationController::Reset() {
    stages_.Clear();
    phase_ = 0.0;
}

BlendStage* AnimationController::GrowStages(int32_t index) {
    if (index < 0) return nullptr;
    while (stages_.Count() <= index)
        if (stages_.Append(BlendStage()) != kOk) return nullptr;
    return &stages_[index];
}

int AnimationController::SetStage(Animation* animation, int32_t index, float weight) {
    BlendStage* stage = GrowStages(index);
    if (!stage) return index < 0 ? kFailed : kOutOfMemory;
    stage->animation = animation;
    stage->weight = weight;
    return kOk;
}

Animation* AnimationController::FindAnimation(const String& name) const {
    Animation* found = nullptr;
    for (int32_t i = 0; i < animations_.Count(); ++i) {
        Animation* animation = animations_.Get(i);
        if (animation && animation->GetName() == name) found = animation;
    }
    return found;
}

int AnimationController::SetStageByName(const String& name, int32_t index, float weight) {
    return AnimationController::SetStage(FindAnimation(name), index, weight);
}

void AnimationController::SetStageWeight(int32_t index, float weight) {
    if (index >= 0 && index < stages_.Count()) stages_[index].weight = weight;
}

void AnimationController::SetPhase(double phase) { phase_ = phase; }

void AnimationController::UpdateTrack(double time) {
    if (!IsActive()) return;
    // A period that is not a positive number has no track to move along.
    if (period_ > 0.0) {
        double phase = phase_ + time / period_;
        if (phase >= 1.0) phase -= std::floor(phase);
        if (std::isfinite(phase)) phase_ = phase;
    }

    const AnimationFrame* matched[2] = {nullptr, nullptr};
    int matches = 0;
    for (const AnimationFrame& frame : frames_) {
        if (!(frame.start <= phase_ && phase_ <= frame.end)) continue;
        Animation* playing = matches < stages_.Count() ? stages_[matches].animation.Get() : nullptr;
        matched[matches] = &frame;
        if (playing != frame.animation.Get()) SetStage(frame.animation.Get(), matches, 1.0f);
        if (++matches == 2) break;
    }

    if (matches == 2) {
        // The later-starting frame fades in across the overlap; an overlap
        // without width, or frames inside one another, share evenly.
        const AnimationFrame& a = *matched[0];
        const AnimationFrame& b = *matched[1];
        double first = 0.5, second = 0.5;
        if (a.start < b.start && a.end < b.end) {
            const double w = (phase_ - b.start) / (a.end - b.start);
            if (std::isfinite(w)) {
                second = w;
                first = 1.0 - w;
            }
        } else if (a.start > b.start && a.end > b.end) {
            const double v = (phase_ - a.start) / (b.end - a.start);
            if (std::isfinite(v)) {
                first = v;
                second = 1.0 - v;
            }
        }
        if (stages_.Count() > 0) stages_[0].weight = static_cast<float>(first);
        if (stages_.Count() > 1) stages_[1].weight = static_cast<float>(second);
    } else if (stages_.Count() >= 2 && stages_[1].animation) {
        SetStage(nullptr, 1, 0.0f);
        stages_[0].weight = 1.0f;
    }

    for (int q = 0; q < matches && q < stages_.Count(); ++q) {
        const AnimationFrame& frame = *matched[q];
        const double length = frame.end - frame.start;
        // A frame without length plays its animation's start.
        double t = length != 0.0 ? ((phase_ - frame.start) * frame.speed + frame.offset) / length : 0.0;
        if (!std::isfinite(t)) t = 0.0;
        stages_[q].Evaluate(q == 0 ? FirstStageTime(t, frame.mode) : SecondStageTime(t, frame.mode));
    }
}

void AnimationController::BlendNode(Transform& transform) const {
    for (const BlendStage& stage : stages_) {
        if (!stage.Plays(KeyframeKind::kNode)) continue;
        const auto& key = stage.KeyAt<NodeKeyframe>();
        const auto& next = stage.NextKeyAt<NodeKeyframe>();
        const float f = static_cast<float>(stage.fraction);
        transform.translation = Lerp(transform.translation, Lerp(key.translation, next.translation, f), stage.weight);
        transform.rotation = Slerp(transform.rotation, Slerp(key.rotation, next.rotation, f), stage.weight);
        transform.scale = Lerp(transform.scale, Lerp(key.scale, next.scale, f), stage.weight);
    }
}

Color AnimationController::BlendColor(Color color) const {
    for (const BlendStage& stage : stages_) {
        if (!stage.Plays(KeyframeKind::kColor)) continue;
        const Color value = Lerp(stage.KeyAt<ColorKeyframe>().color, stage.NextKeyAt<ColorKeyframe>().color,
                                 static_cast<float>(stage.fraction));
        color = Lerp(color, value, stage.weight);
    }
    return color;
}

float AnimationController::BlendFloat(float value) const {
    for (const BlendStage& stage : stages_) {
        if (!stage.Plays(KeyframeKind::kFloat)) continue;
        const float s = Lerp(stage.KeyAt<FloatKeyframe>().value, stage.NextKeyAt<FloatKeyframe>().value,
                             static_cast<float>(stage.fraction));
        value = Lerp(value, s, stage.weight);
    }
    return value;
}

const BoolKeyframe* AnimationController::LastBoolKey() const {
    const BoolKeyframe* last = nullptr;
    for (const BlendStage& stage : stages_)
        if (stage.Plays(KeyframeKind::kBool)) last = &stage.KeyAt<BoolKeyframe>();
    return last;
}

int AnimationController::LoadReferences(Stream& stream, ObjectListBase& list, const char* countMessage,
                                        const char* itemMessage, bool itemNameFirst) {
    int32_t count = 0;
    if (!ReadStoredCount(stream, count, kStoredReferenceSize)) return FailedIdName(countMessage);
    if (list.LoadElements(stream, count) != kOk)
        return itemNameFirst ? FailedNameId(itemMessage) : FailedIdName(itemMessage);
    return kOk;
}

void AnimationController::DropReferences() {
    Controller::DropReferences();
    animations_.Clear();
    stages_.Clear();
    frames_.Clear();
}

int AnimationController::Save(Stream& stream) {
    if (ParentClass::Save(stream) != kOk) return ParentSaveFailed();
    if (SaveReferences(stream, animations_, "Невозможно сохранить количество анимаций.",
                       "Невозможно сохранить анимацию.") != kOk)
        return kFailed;
    if (stream.WriteInt32(frames_.Count()) != kOk)
        return FailedNameId("Невозможно сохранить количество фреймов анимаций.");
    for (const AnimationFrame& frame : frames_) {
        if (stream.WriteObject(frame.animation) != kOk) {
            LogError("Невозможно сохранить анимацию фрейма анимации.");
            return FailedNameId("Невозможно сохранить фрейм анимаций.");
        }
        stream.WriteInt32(frame.mode);
        stream.WriteDouble(frame.start);
        stream.WriteDouble(frame.end);
        stream.WriteDouble(frame.speed);
        if (stream.WriteDouble(frame.offset) != kOk) {
            LogError("Невозможно сохранить данные стадии блендинга анимации.");
            return FailedNameId("Невозможно сохранить фрейм анимаций.");
        }
    }
    if (stream.WriteDouble(period_) != kOk) return FailedNameId("Невозможно сохранить период трэка.");
    return kOk;
}

int AnimationController::Load(Stream& stream) {
    if (ParentClass::Load(stream) != kOk) return ParentLoadFailed();
    if (LoadReferences(stream, animations_, "Невозможно загрузить количество анимаций.",
                       "Невозможно загрузить анимацию.", true) != kOk)
        return kFailed;
    int32_t count = 0;
    if (!ReadStoredCount(stream, count, kStoredFrameSize))
        return FailedIdName("Невозможно загрузить количество фреймов анимаций.");
    for (int32_t i = 0; i < count; ++i) {
        AnimationFrame frame;
        if (stream.ReadReference(frame.animation) != kOk) {
            LogError("Невозможно загрузить анимацию фрейма анимации.");
            return FailedNameId("Невозможно загрузить фрейм анимаций.");
        }
        stream.ReadInt32(frame.mode);
        stream.ReadDouble(frame.start);
        stream.ReadDouble(frame.end);
        stream.ReadDouble(frame.speed);
        if (stream.ReadDouble(frame.offset) != kOk) {
            LogError("Невозможно загрузить данные стадии блендинга анимации.");
            return FailedNameId("Невозможно загрузить фрейм анимаций.");
        }
        if (frames_.Append(frame) != kOk) return FailedNameId("Невозможно загрузить фрейм анимаций.");
    }
    if (stream.ReadDouble(period_) != kOk) return FailedIdName("Невозможно загрузить период трэка.");
    return kOk;
}

}  // namespace zav
