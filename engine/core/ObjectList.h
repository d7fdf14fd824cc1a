#pragma once

#include <cstdint>

#include "engine/core/Array.h"
#include "engine/core/Object.h"
#include "engine/core/RefCounted.h"

namespace zav {

class Stream;

// Counted references to objects, each at most once, for classes that own a
// list of objects. Its record is a 32-bit count and that many object
// references; loading checks every element against the element type and adds
// it with AddUnique. Use ObjectList<T> below.
class ObjectListBase {
public:
    int32_t Count() const { return items_.Count(); }
    int32_t IndexOf(const Object* object) const;
    void Clear() { items_.Clear(); }

    int Save(Stream& stream) const;
    int Load(Stream& stream);
    // The elements of a record whose count the caller has read and checked
    // itself (a class that logs its own message for the count): `count`
    // references, each checked and added as Load does.
    int LoadElements(Stream& stream, int32_t count);

protected:
    explicit ObjectListBase(const TypeInfo& elementType) : elementType_(&elementType) {}

    Object* GetObject(int32_t index) const;
    // Appends `object` (null counts like any other value) unless it is in the
    // list already. Returns 0, or 2 when memory runs out.
    int AddObject(Object* object);

private:
    Array<Ref<Object>> items_{1, 1};
    const TypeInfo* elementType_;
};

template <class T = Object>
class ObjectList : public ObjectListBase {
public:
    ObjectList() : ObjectListBase(T::StaticType()) {}

    T* Get(int32_t index) const { return static_cast<T*>(GetObject(index)); }
    int AddUnique(T* object) { return AddObject(object); }
};

}  // namespace zav
