#pragma once

#include "engine/animation/Controller.h"
#include "engine/core/RefCounted.h"
#include "engine/core/Values.h"

namespace zav {

class Node;

// The rotation whose axes (the columns of its matrix, TransformMath.h) are
// right, up and forward for an eye at `eye` looking at `target` with world
// up (0, 1, 0). False, and `rotation` unchanged, when there is no such
// rotation: the target at the eye, or straight above or below it.
bool LookAtRotation(const Vector3& eye, const Vector3& target, Quaternion& rotation);

// What the target controllers share: every update turns the owner towards
// the target node. The owner's world transform is composed once, then its
// local and world rotations become the look-at rotation and its world
// updates stay off, so that the owner's own update keeps the rotation. A
// target the rotation cannot be built for keeps the previous rotation. An
// owner of another class is left alone. Its record is the Controller
// record and the target.
class LookAtController : public Controller {
public:
    void Update(double time) override;
    // Also the target, which may lead back to the owner.
    void DropReferences() override;
    int Save(Stream& stream) override;
    int Load(Stream& stream) override;

    Node* GetTarget() const { return target_.Get(); }
    void SetTarget(Node* target);

protected:
    // `ownerType`: the class the owner must be of; the two messages name the
    // target field in the record's failures.
    LookAtController(const String& name, const TypeInfo& ownerType, const char* saveMessage, const char* loadMessage);
    ~LookAtController() override;

private:
    const TypeInfo* ownerType_;
    const char* saveMessage_;
    const char* loadMessage_;
    Ref<Node> target_;
};

// Turns its owner camera towards the target.
class TargetCameraController : public LookAtController {
    ZAV_OBJECT_CLASS(TargetCameraController, Controller)

    explicit TargetCameraController(const String& name = String());
};

// Turns its owner light towards the target.
class TargetLightController : public LookAtController {
    ZAV_OBJECT_CLASS(TargetLightController, Controller)

    explicit TargetLightController(const String& name = String());
};

}  // namespace zav
