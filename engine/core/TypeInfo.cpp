#include "engine/core/TypeInfo.h"

#include <algorithm>
#include <cstring>

#include "engine/core/ClassRegistration.h"
#include "engine/core/HashTable.h"
#include "engine/core/ObjectFactory.h"

namespace zav {

bool IsKindOf(const TypeInfo* type, const TypeInfo* base) {
    for (; type; type = type->GetParent())
        if (type == base) return true;
    return false;
}

namespace {

struct RegisteredClass {
    ObjectFactory factory;
    const TypeInfo* type;
};

NameTable<RegisteredClass>& Factories() {
    static NameTable<RegisteredClass> factories;
    return factories;
}

}  // namespace

bool RegisterFactory(const String& typeName, ObjectFactory factory, const TypeInfo* type) {
    return Factories().Insert(typeName, RegisteredClass{factory, type});
}

void UnregisterFactory(const String& typeName) { Factories().Remove(typeName); }

ObjectFactory FindFactory(const String& typeName) {
    const RegisteredClass* registered = Factories().Find(typeName);
    return registered ? registered->factory : nullptr;
}

const TypeInfo* FindType(const String& typeName) {
    const RegisteredClass* registered = Factories().Find(typeName);
    return registered ? registered->type : nullptr;
}

std::vector<String> CreatableTypeNames() {
    std::vector<String> names;
    Factories().ForEach([&names](const String& name, RegisteredClass& registered) {
        if (registered.factory && registered.factory != &RefuseToCreate) names.push_back(name);
    });
    std::sort(names.begin(), names.end(), [](const String& a, const String& b) { return std::strcmp(a.CStr(), b.CStr()) < 0; });
    return names;
}

}  // namespace zav
