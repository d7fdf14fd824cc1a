#pragma once

#include "engine/core/String.h"

namespace zav {

class Object;

// Creates a new instance of one class with an empty name and stores it in
// `*object` (no reference taken). Returns 0, 2 when memory runs out, or 1 for
// a class that cannot be created.
using ObjectFactory = int (*)(Object** object);

// The process-wide table from type name to factory. Entries exist between
// engine initialization and shutdown: each class's init function registers
// its factory, its shutdown function removes it.
bool RegisterFactory(const String& typeName, ObjectFactory factory);  // false if the name is taken
void UnregisterFactory(const String& typeName);
ObjectFactory FindFactory(const String& typeName);  // null when absent

}  // namespace zav
