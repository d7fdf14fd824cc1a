#include "engine/core/TypeInfo.h"

#include "engine/core/HashTable.h"
#include "engine/core/ObjectFactory.h"

namespace zav {

bool IsKindOf(const TypeInfo* type, const TypeInfo* base) {
    for (; type; type = type->GetParent())
        if (type == base) return true;
    return false;
}

namespace {

NameTable<ObjectFactory>& Factories() {
    static NameTable<ObjectFactory> factories;
    return factories;
}

}  // namespace

bool RegisterFactory(const String& typeName, ObjectFactory factory) { return Factories().Insert(typeName, factory); }

void UnregisterFactory(const String& typeName) { Factories().Remove(typeName); }

ObjectFactory FindFactory(const String& typeName) {
    ObjectFactory* factory = Factories().Find(typeName);
    return factory ? *factory : nullptr;
}

}  // namespace zav
