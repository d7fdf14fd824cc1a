#include "engine/files/ModuleManager.h"

#include <new>

#include "engine/core/Engine.h"
#include "engine/core/Log.h"
#include "engine/core/Result.h"

namespace zav {

namespace {

NameTable<Ref<Module>>* gModules = nullptr;

bool gModuleManagerRegistered = false;
EngineRegistration gModuleManagerRegistration(gModuleManagerRegistered, InitializeModuleManager,
                                              ShutdownModuleManager);

// Loading a module from a dynamic library. The program ships no module
// libraries, and a library is never loaded from a path derived from a virtual
// file name, so the search always ends here.
int LoadLibraryModule(const String& name) {
    LogWarning("Не найден файл модуля [%s].", (name + ".dll").CStr());
    return kNotFound;
}

}  // namespace

int InitializeModuleManager() {
    LogInfo("Инициализация менеджера модулей.");
    if (!gModules) {
        gModules = new (std::nothrow) NameTable<Ref<Module>>();
        if (!gModules) {
            LogError("Недостаточно памяти для инициализации менеджера модулей.");
            return kFailed;
        }
    }
    LogInfo("Менеджер модулей инициализирован.");
    return kOk;
}

int ShutdownModuleManager() {
    LogInfo("Завершение работы менеджера модулей.");
    NameTable<Ref<Module>>* modules = gModules;
    gModules = nullptr;
    delete modules;  // drops the registry's references; codecs may keep theirs
    LogInfo("Менеджер модулей завершил работу.");
    return kOk;
}

int RegisterModule(Module* module) {
    if (!module) {
        LogWarning("Указатель на модуль равен 0 при регистрации.");
        return kNotFound;
    }
    if (!gModules) {
        LogWarning("Невозможно вставить модуль [%s] в таблицу зарегестрированных модулей.", module->GetName().CStr());
        return kFailed;
    }
    if (gModules->Find(module->GetName())) {
        LogWarning("Модуль с именем [%s] уже зарегестрирован.", module->GetName().CStr());
        return kFailed;
    }
    gModules->Insert(module->GetName(), Ref<Module>(module));
    return kOk;
}

Module* FindModule(const String& name) {
    if (!gModules) return nullptr;
    Ref<Module>* found = gModules->Find(name);
    return found ? found->Get() : nullptr;
}

int LoadModule(const String& name, Module** module) {
    if (Module* registered = FindModule(name)) {
        if (module) *module = registered;
        return kOk;
    }
    LogInfo("Загружается модуль [%s].", name.CStr());
    int result = LoadLibraryModule(name);
    LogError("Невозможно загрузить модуль [%s].", name.CStr());
    return result;
}

}  // namespace zav
