#pragma once

#include "engine/files/Module.h"

namespace zav {

int InitializeModuleManager();
int ShutdownModuleManager();

// 0 registered; 1 the name is taken or the table refused it; 3 null module.
int RegisterModule(Module* module);
Module* FindModule(const String& name);
// Returns a registered module, or loads one; 0, 1, 2 or 3 as the step that
// failed. `module` may be null.
int LoadModule(const String& name, Module** module);

}  // namespace zav
