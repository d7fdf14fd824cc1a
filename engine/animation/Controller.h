#pragma once

#include "engine/core/Object.h"

namespace zav {

// Base of the per-frame behaviours attached to an object's controller list.
// The owner is the object whose list took the controller last; it holds the
// controller, the controller only points back. A controller without an owner
// (its owner is gone) is not updated.
class Controller : public Object {
    ZAV_OBJECT_CLASS(Controller, Object)

    explicit Controller(const String& name = String());

    // Applies the controller at `time` (seconds). Nothing in the base class.
    virtual void Update(double time);
    // Returns to the initial state. Nothing in the base class.
    virtual void Reset();

    int Save(Stream& stream) override;
    int Load(Stream& stream) override;

    bool IsActive() const { return active_; }
    void SetActive(bool active) { active_ = active; }
    Object* GetOwner() const { return owner_; }

private:
    friend class Object;  // AddController and RemoveAllControllers set the owner

    bool active_ = true;
    Object* owner_ = nullptr;
};

// A controller that runs after its owner's update; no behaviour of its own.
class PostUpdateController : public Controller {
    ZAV_OBJECT_CLASS(PostUpdateController, Controller)

    explicit PostUpdateController(const String& name = String()) : Controller(name) {}
};

}  // namespace zav
