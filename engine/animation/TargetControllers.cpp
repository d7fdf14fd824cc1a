#include "engine/animation/TargetControllers.h"

#include <cmath>

#include "engine/core/ClassRegistration.h"
#include "engine/core/Stream.h"
#include "engine/scene/Camera.h"
#include "engine/scene/Light.h"
#include "engine/scene/Node.h"
#include "engine/scene/VectorMath.h"

namespace zav {

ZAV_REGISTER_CLASS(TargetCameraController);
ZAV_REGISTER_CLASS(TargetLightController);

namespace {

// The quaternion of the rotation matrix R whose columns are `right`, `up`
// and `forward`: the inverse of RotationMatrix (TransformMath.cpp).
Quaternion RotationOfColumns(const Vector3& right, const Vector3& up, const Vector3& forward) {
    const float r[3][3] = {{right.x, up.x, forward.x}, {right.y, up.y, forward.y}, {right.z, up.z, forward.z}};
    const float trace = r[0][0] + r[1][1] + r[2][2];
    Quaternion q;
    if (trace > 0.0f) {
        q.w = 0.5f * std::sqrt(trace + 1.0f);
        const float s = 0.25f / q.w;
        q.x = (r[2][1] - r[1][2]) * s;
        q.y = (r[0][2] - r[2][0]) * s;
        q.z = (r[1][0] - r[0][1]) * s;
    } else if (r[0][0] >= r[1][1] && r[0][0] >= r[2][2]) {
        q.x = 0.5f * std::sqrt(1.0f + r[0][0] - r[1][1] - r[2][2]);
        const float s = 0.25f / q.x;
        q.y = (r[0][1] + r[1][0]) * s;
        q.z = (r[0][2] + r[2][0]) * s;
        q.w = (r[2][1] - r[1][2]) * s;
    } else if (r[1][1] >= r[2][2]) {
        q.y = 0.5f * std::sqrt(1.0f - r[0][0] + r[1][1] - r[2][2]);
        const float s = 0.25f / q.y;
        q.x = (r[0][1] + r[1][0]) * s;
        q.z = (r[1][2] + r[2][1]) * s;
        q.w = (r[0][2] - r[2][0]) * s;
    } else {
        q.z = 0.5f * std::sqrt(1.0f - r[0][0] - r[1][1] + r[2][2]);
        const float s = 0.25f / q.z;
        q.x = (r[0][2] + r[2][0]) * s;
        q.y = (r[1][2] + r[2][1]) * s;
        q.w = (r[1][0] - r[0][1]) * s;
    }
    return q;
}

}  // namespace

bool LookAtRotation(const Vector3& eye, const Vector3& target, Quaternion& rotation) {
    const Vector3 forward = Normalize(target - eye);
    const Vector3 right = Normalize(Cross(Vector3{0.0f, 1.0f, 0.0f}, forward));
    // Without a forward or a right axis the frame would be degenerate.
    if (LengthSquared(right) == 0.0f) return false;
    const Vector3 up = Normalize(Cross(forward, right));
    rotation = RotationOfColumns(right, up, forward);
    return true;
}

LookAtController::LookAtController(const String& name, const TypeInfo& ownerType, const char* saveMessage,
                                   const char* loadMessage)
    : Controller(name), ownerType_(&ownerType), saveMessage_(saveMessage), loadMessage_(loadMessage) {}

LookAtController::~LookAtController() = default;

void LookAtController::SetTarget(Node* target) { target_ = target; }

void LookAtController::Update(double) {
    Object* owner = GetOwner();
    if (!IsActive() || !target_ || !owner || !owner->IsKindOf(ownerType_)) return;
    auto* node = static_cast<Node*>(owner);
    node->SetUpdateWorldTransform(true);
    node->ComputeWorldTransform();
    node->SetUpdateWorldTransform(false);
    Transform world = node->GetWorldTransform();
    Quaternion rotation;
    if (!LookAtRotation(world.translation, target_->GetWorldPosition(), rotation)) return;
    Transform local = node->GetLocalTransform();
    local.rotation = rotation;
    local.isIdentity = local.isRotationIdentity = false;
    world.rotation = rotation;
    world.isIdentity = world.isRotationIdentity = false;
    node->SetLocalTransform(local);
    node->SetWorldTransform(world);
}

void LookAtController::DropReferences() {
    Controller::DropReferences();
    target_ = nullptr;
}

int LookAtController::Save(Stream& stream) {
    if (Controller::Save(stream) != kOk) return ParentSaveFailed();
    if (stream.WriteObject(target_) != kOk) return FailedNameId(saveMessage_);
    return kOk;
}

int LookAtController::Load(Stream& stream) {
    if (Controller::Load(stream) != kOk) return ParentLoadFailed();
    if (stream.ReadReference(target_) != kOk) return FailedIdName(loadMessage_);
    return kOk;
}

TargetCameraController::TargetCameraController(const String& name)
    : LookAtController(name, Camera::StaticType(), "Невозможно сохранить цель камеры.",
                       "Невозможно загрузить цель камеры.") {}

TargetLightController::TargetLightController(const String& name)
    : LookAtController(name, Light::StaticType(), "Невозможно сохранить цель источника света.",
                       "Невозможно загрузить цель источника света.") {}

}  // namespace zav
