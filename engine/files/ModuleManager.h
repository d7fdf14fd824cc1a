#pragma once

#include "engine/files/Module.h"

namespace zav {

int InitializeModuleManager();
int ShutdownModuleManager();

// 0 registered; 1 the name is taken or the table refused it; 3 null module.
int RegisterModule(Module* module);
Module* FindModule(const String& name);
// Returns the registered module of that name. Modules are never loaded from
// the virtual file tree: any other name logs that its library was not found
// and returns 3. `module` may be null.
int LoadModule(const String& name, Module** module);
// Returns the registered module of that name, or loads the dynamic library
// at `utf8Path` (a path on disk) as that module, runs its "Initialize" and
// registers it. 0; 1 the library does not load, its "Initialize" fails or
// the registry refuses it; 2 out of memory. `module` may be null.
int LoadLibraryModule(const String& name, const char* utf8Path, Module** module);

}  // namespace zav
