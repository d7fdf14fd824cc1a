#pragma once

#include <cstdint>

#include "engine/core/Array.h"
#include "engine/core/Named.h"
#include "engine/core/RefCounted.h"
#include "engine/core/String.h"
#include "engine/core/TypeInfo.h"

namespace zav {

class Stream;

// Declares the run-time type of an engine class; the first line of the class
// body. `ParentClass` names the direct base whose record comes first in Save
// and Load. The matching definitions come from ZAV_REGISTER_CLASS or
// ZAV_REGISTER_ABSTRACT_CLASS (ClassRegistration.h) in the class's source.
// Leaves the class body in a public section.
#define ZAV_OBJECT_CLASS(Class, Parent)                \
public:                                                \
    using ThisClass = Class;                           \
    using ParentClass = Parent;                        \
    static const ::zav::TypeInfo& StaticType();        \
    const ::zav::TypeInfo* GetType() const override;

// Base of every engine entity: a name, a process-unique ID, a list of
// controllers and a run-time type. Shared through Ref<>; the creator takes
// the first reference.
class Object : public Named, public virtual RefCounted {
public:
    using ThisClass = Object;

    explicit Object(const String& name = String());
    ~Object() override;
    Object(const Object&) = delete;
    Object& operator=(const Object&) = delete;

    static const TypeInfo& StaticType();
    virtual const TypeInfo* GetType() const;

    // Write and read this object's record: the parent class's record first,
    // then the class's own fields (see docs/DEVELOPING.md). 0 or 1.
    virtual int Save(Stream& stream);
    virtual int Load(Stream& stream);

    // This object if its name is `name`, else the first match among the
    // controllers, in list order; null if none.
    virtual Object* FindObject(const String& name);
    // Appends this object (no reference taken) when it is of kind `type`,
    // then asks each controller.
    virtual void CollectObjects(const TypeInfo* type, Array<Object*>& objects);
    // Runs each controller's Update in list order; a controller whose owner
    // is gone does nothing.
    virtual void UpdateControllers(double time);

    int32_t GetId() const { return id_; }
    bool IsKindOf(const TypeInfo* base) const { return ::zav::IsKindOf(GetType(), base); }

    // Inserts `controller` at the head of the list and makes this object its
    // owner. Returns 3 for null, 2 when memory runs out, 1 when `controller`
    // is not a Controller, is this object, would close a cycle of controllers
    // or brings hundreds of controllers of its own (the recursive walks rely
    // on there being no cycle and no huge graph below a controller).
    int AddController(Object* controller);
    // Drops every controller; those owned by this object lose their owner.
    void RemoveAllControllers();
    // Lets go of every object this one holds: the controllers here, and what
    // a class adds. A read that fails calls it on each object it created, so
    // that references among them that form a cycle keep none of them alive.
    virtual void DropReferences();
    int GetControllerCount() const;
    // Index 0 is the head of the list; null outside the list.
    Object* GetController(int index) const;
    // Calls `visit` (Object* -> bool) with each controller in list order
    // until it returns false: one pass, where GetController walks from the
    // head each time.
    template <class Visit>
    void VisitControllers(Visit visit) const {
        for (ControllerNode* node = controllers_; node; node = node->next)
            if (!visit(node->controller.Get())) return;
    }

protected:
    // Log the standard message when the parent class's record fails and
    // return 1; for the Save and Load of every class with fields.
    int ParentSaveFailed() const;
    int ParentLoadFailed() const;
    // Log a failed step of this object's record at level ERROR and return 1:
    // `what` (the message up to its object suffix, such as "Невозможно
    // сохранить вершины.") followed by " Имя[%s] ID[%d]" (FailedNameId, the
    // order of saving messages) or " ID[%d] Имя[%s]" (FailedIdName, the order
    // of most loading messages) with this object's name and ID.
    int FailedNameId(const char* what) const;
    int FailedIdName(const char* what) const;

    // Bounds how deep the recursive walks go (each level of FindObject,
    // CollectObjects, UpdateControllers and their overrides holds one), so a
    // long chain read from a file cannot exhaust the stack. A level past the
    // limit reports TooDeep and the walk goes no further down.
    class WalkLevel {
    public:
        WalkLevel();
        ~WalkLevel();
        WalkLevel(const WalkLevel&) = delete;
        WalkLevel& operator=(const WalkLevel&) = delete;
        bool TooDeep() const;
    };

private:
    struct ControllerNode {
        Ref<Object> controller;
        ControllerNode* next;
    };

    // False for this object itself, for a controller whose own controllers
    // lead back here (a cycle) and for one whose controller graph is too
    // large to walk.
    bool AcceptsAsController(Object* controller) const;

    int32_t id_;
    ControllerNode* controllers_ = nullptr;
};

// `object` as a T when it is of kind T, else null.
template <class T>
T* ObjectCast(Object* object) {
    return object && object->IsKindOf(&T::StaticType()) ? static_cast<T*>(object) : nullptr;
}

}  // namespace zav
