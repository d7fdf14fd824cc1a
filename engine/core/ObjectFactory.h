#pragma once

#include <vector>

#include "engine/core/String.h"

namespace zav {

class Object;

// Creates a new instance of one class with an empty name and stores it in
// `*object` (no reference taken). Returns 0, 2 when memory runs out, or 1 for
// a class that cannot be created.
using ObjectFactory = int (*)(Object** object);

class TypeInfo;

// The process-wide table from type name to factory and type. Entries exist
// between engine initialization and shutdown: each class's init function
// registers its factory and type, its shutdown function removes them.
bool RegisterFactory(const String& typeName, ObjectFactory factory,
                     const TypeInfo* type = nullptr);  // false if the name is taken
void UnregisterFactory(const String& typeName);
ObjectFactory FindFactory(const String& typeName);  // null when absent
// The registered type of that name; null when absent, so that IsKindOf with
// it is false.
const TypeInfo* FindType(const String& typeName);
// The names of the registered classes whose factories create instances (not
// the abstract ones), sorted.
std::vector<String> CreatableTypeNames();

}  // namespace zav
