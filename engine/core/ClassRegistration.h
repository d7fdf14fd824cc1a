#pragma once

#include <new>
#include <type_traits>

#include "engine/core/Engine.h"
#include "engine/core/Object.h"
#include "engine/core/ObjectFactory.h"
#include "engine/core/Result.h"

namespace zav {

// Factory of a class that can be created: a new instance with an empty name.
template <class T>
int CreateInstance(Object** object) {
    if (!object) return kNotFound;
    *object = nullptr;
    try {
        *object = new T();
    } catch (const std::bad_alloc&) {
        return kOutOfMemory;
    }
    return kOk;
}

// Factory of an abstract class: creates nothing and fails.
int RefuseToCreate(Object** object);

// Builds the class's type record at program start and appends, once, its
// init function (registers `factory` under the type name; failure fails the
// engine's start) and its shutdown function (removes it).
template <class T>
class ClassRegistration {
    static_assert(std::is_same_v<typename T::ThisClass, T>, "the class body needs ZAV_OBJECT_CLASS");
    static_assert(std::is_base_of_v<typename T::ParentClass, T> && !std::is_same_v<typename T::ParentClass, T>,
                  "ZAV_OBJECT_CLASS must name a base class as parent");

public:
    explicit ClassRegistration(ObjectFactory factory) {
        factory_ = factory;
        T::StaticType();
        EngineRegistration once(registered_, &Initialize, &Shutdown);
    }

private:
    static int Initialize() {
        return RegisterFactory(T::StaticType().GetName(), factory_, &T::StaticType()) ? kOk : kFailed;
    }
    static int Shutdown() {
        UnregisterFactory(T::StaticType().GetName());
        return kOk;
    }

    inline static bool registered_ = false;
    inline static ObjectFactory factory_ = nullptr;
};

}  // namespace zav

// Defines StaticType and GetType of a class declared with ZAV_OBJECT_CLASS
// and registers it under "ZAV.<Class>". Use once, at namespace scope in the
// class's source file, inside namespace zav.
#define ZAV_DEFINE_CLASS_TYPE_(Class)                                                \
    const ::zav::TypeInfo& Class::StaticType() {                                     \
        static const ::zav::TypeInfo type("ZAV." #Class, &ParentClass::StaticType()); \
        return type;                                                                 \
    }                                                                                \
    const ::zav::TypeInfo* Class::GetType() const { return &StaticType(); }

// A class the factory registry creates (it needs a default constructor).
#define ZAV_REGISTER_CLASS(Class)  \
    ZAV_DEFINE_CLASS_TYPE_(Class)  \
    static const ::zav::ClassRegistration<Class> zavRegistrationOf##Class(&::zav::CreateInstance<Class>)

// A class that only its subclasses instantiate: its factory refuses, so a
// stream naming it fails with "cannot create".
#define ZAV_REGISTER_ABSTRACT_CLASS(Class) \
    ZAV_DEFINE_CLASS_TYPE_(Class)          \
    static const ::zav::ClassRegistration<Class> zavRegistrationOf##Class(&::zav::RefuseToCreate)
