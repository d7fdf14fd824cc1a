#pragma once

#include "engine/core/HashTable.h"
#include "engine/core/RefCounted.h"

namespace zav {

// Name-keyed table of fonts. The manager starts and stops with the engine;
// nothing in the program adds fonts yet, so the table stays empty.
NameTable<Ref<RefCounted>>* GetFontTable();

int InitializeFontManager();
int ShutdownFontManager();

}  // namespace zav
