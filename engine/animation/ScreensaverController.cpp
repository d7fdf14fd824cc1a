#include "engine/animation/ScreensaverController.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <new>

#include "engine/animation/AnimationController.h"
#include "engine/animation/StoredCounts.h"
#include "engine/animation/TargetControllers.h"
#include "engine/core/ClassRegistration.h"
#include "engine/core/Log.h"
#include "engine/core/Stream.h"
#include "engine/render/Renderer.h"
#include "engine/scene/Camera.h"

namespace zav {

ZAV_REGISTER_CLASS(ScreensaverController);

namespace {

// A stored set: the camera reference at its shortest and two doubles.
constexpr int64_t kStoredSetSize = kStoredReferenceSize + 2 * 8;
// Random draws before the choice is made among the eligible sets directly
// (with every camera present at least half are eligible, so the draws
// practically never run out; they do when few sets have a camera, or when
// rand's range is smaller than the list).
constexpr int kMaxDraws = 64;

bool IsLength(double seconds) { return seconds > 0.0; }

// Moves `controller`'s phase back by `seconds` of its track.
void MoveBack(AnimationController* controller, double seconds) {
    if (!controller || !IsLength(controller->GetPeriod())) return;
    const double phase = controller->GetPhase() - seconds / controller->GetPeriod();
    if (std::isfinite(phase)) controller->SetPhase(phase);
}

}  // namespace

CameraSet::CameraSet() = default;
CameraSet::~CameraSet() = default;
CameraSet::CameraSet(const CameraSet& other) = default;
CameraSet& CameraSet::operator=(const CameraSet& other) = default;

ScreensaverController::ScreensaverController(const String& name) : Controller(name) {}

ScreensaverController::~ScreensaverController() = default;

void ScreensaverController::FindControllers(CameraSet& set) {
    if (!set.camera) return;
    set.camera->VisitControllers([&set](Object* controller) {
        if (auto* look = ObjectCast<TargetCameraController>(controller); look && look->GetTarget()) {
            look->GetTarget()->VisitControllers([&set](Object* targetController) {
                auto* animation = ObjectCast<AnimationController>(targetController);
                if (animation) set.targetController = animation;
                return !animation;
            });
        }
        if (auto* animation = ObjectCast<AnimationController>(controller)) set.cameraController = animation;
        return true;
    });
}

int ScreensaverController::AddSet(Camera* camera, double fadeStart, double duration) {
    CameraSet set;
    set.camera = camera;
    set.fadeStart = fadeStart;
    set.duration = set.storedDuration = duration;
    FindControllers(set);
    return sets_.Append(set);
}

bool ScreensaverController::InHistory(int32_t index) const {
    return std::find(history_.begin(), history_.end(), index) != history_.end();
}

int32_t ScreensaverController::DrawSet(int32_t historyLength) {
    const int32_t count = sets_.Count();
    auto eligible = [&](int32_t index) { return sets_[index].camera && (historyLength == 1 || !InHistory(index)); };
    for (int draw = 0; draw < kMaxDraws; ++draw) {
        const int32_t index = std::rand() % count;
        if (eligible(index)) return index;
    }
    std::vector<int32_t> candidates;
    for (int32_t i = 0; i < count; ++i)
        if (eligible(i)) candidates.push_back(i);
    // The history may hold every set with a camera: then any of them.
    for (int32_t i = 0; i < count && candidates.empty(); ++i)
        if (sets_[i].camera) candidates.push_back(i);
    if (candidates.empty()) return -1;
    return candidates[static_cast<size_t>(std::rand()) % candidates.size()];
}

void ScreensaverController::ChooseNextSet() {
    const int32_t count = sets_.Count();
    if (count == 0) return;
    currentSet_ = -1;
    const int32_t historyLength = std::max(1, count / 2);
    int32_t chosen = -1;
    try {
        if (historySize_ != count / 2) {
            history_.clear();
            historySize_ = historyLength;
        }
        if (history_.empty())
            for (int32_t i = 0; i < historyLength; ++i) history_.push_back(std::rand() % count);
        chosen = DrawSet(historyLength);
    } catch (const std::bad_alloc&) {
        history_.clear();
        historySize_ = -1;
        return;
    }
    if (chosen < 0) return;  // no set has a camera
    history_.erase(history_.begin());
    history_.push_back(chosen);
    currentSet_ = chosen;

    CameraSet& set = sets_[chosen];
    set.duration = set.storedDuration;
    if (set.cameraController) {
        set.cameraController->Reset();
        set.duration = set.cameraController->GetPeriod();
    }
    if (set.targetController) {
        set.targetController->Reset();
        if (set.targetController->GetPeriod() < set.duration) set.duration = set.targetController->GetPeriod();
    }
    // A shot always lasts.
    if (!IsLength(set.duration)) set.duration = IsLength(set.storedDuration) ? set.storedDuration : 1.0;
    if (Renderer* renderer = GetRenderer()) renderer->SetCamera(set.camera.Get());
}

void ScreensaverController::Update(double time) {
    if (!IsActive() || currentSet_ < 0 || !std::isfinite(time)) return;
    elapsed_ += time;
    if (elapsed_ < sets_[currentSet_].duration) return;
    elapsed_ -= sets_[currentSet_].duration;
    ChooseNextSet();
    if (currentSet_ < 0) return;
    // The new shot's animations start at the overshoot: once they advance by
    // this frame's time, their phase is elapsed / period.
    const CameraSet& set = sets_[currentSet_];
    MoveBack(set.cameraController.Get(), time - elapsed_);
    MoveBack(set.targetController.Get(), time - elapsed_);
}

void ScreensaverController::Reset() {
    ChooseNextSet();
    elapsed_ = 0.0;
}

double ScreensaverController::GetFadeOpacity() const {
    if (currentSet_ < 0) return 0.0;
    const CameraSet& set = sets_[currentSet_];
    const double remaining = set.duration - elapsed_;
    const double since = elapsed_ - set.fadeStart;
    if (remaining <= 1.0) return 1.0 - remaining;
    if (since <= 1.0) return 1.0 - since;
    return 0.0;
}

void ScreensaverController::DropReferences() {
    Controller::DropReferences();
    sets_.Clear();
    currentSet_ = -1;
}

int ScreensaverController::Save(Stream& stream) {
    if (ParentClass::Save(stream) != kOk) return ParentSaveFailed();
    if (stream.WriteInt32(sets_.Count()) != kOk) return FailedNameId("Невозможно сохранить количество сетов.");
    for (const CameraSet& set : sets_) {
        if (stream.WriteObject(set.camera) != kOk) {
            LogError("Невозможно сохранить камеру сета контроллера скринсейвера.");
            return FailedNameId("Невозможно сохранить сет.");
        }
        stream.WriteDouble(set.fadeStart);
        if (stream.WriteDouble(set.storedDuration) != kOk) {
            LogError("Невозможно сохранить данные сета контроллера скринсейвера.");
            return FailedNameId("Невозможно сохранить сет.");
        }
    }
    return kOk;
}

int ScreensaverController::Load(Stream& stream) {
    if (ParentClass::Load(stream) != kOk) return ParentLoadFailed();
    int32_t count = 0;
    if (!ReadStoredCount(stream, count, kStoredSetSize)) return FailedIdName("Невозможно загрузить количество сетов.");
    for (int32_t i = 0; i < count; ++i) {
        CameraSet set;
        if (stream.ReadReference(set.camera) != kOk) {
            LogError("Невозможно загрузить камеру сета контроллера скринсейвера.");
            return FailedNameId("Невозможно загрузить сет.");
        }
        FindControllers(set);
        stream.ReadDouble(set.fadeStart);
        if (stream.ReadDouble(set.storedDuration) != kOk) {
            LogError("Невозможно загрузить данные сета контроллера скринсейвера.");
            return FailedNameId("Невозможно загрузить сет.");
        }
        set.duration = set.storedDuration;
        if (sets_.Append(set) != kOk) return FailedNameId("Невозможно загрузить сет.");
    }
    ChooseNextSet();
    return kOk;
}

}  // namespace zav
