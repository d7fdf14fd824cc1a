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

// Runs the module's "Initialize" function (a module without one is
// accepted) and registers it.
int StartModule(Module* module, Module** started) {
    ModuleSymbol initialize = nullptr;
    if (module->FindSymbol(&initialize, "Initialize") != kOk || !initialize) {
        LogWarning("В модуле не найдена функция инициализации модуля [%s].", module->GetName().CStr());
    } else if (reinterpret_cast<ModuleInitFunction>(initialize)() != 0) {
        LogError("Неудачна инициализация модуля.");
        return kFailed;
    }
    if (RegisterModule(module) != kOk) {
        LogError("Невозможно зарегестрировать модуль [%s].", module->GetName().CStr());
        return kFailed;
    }
    if (started) *started = module;
    return kOk;
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
    if (module) *module = nullptr;
    if (Module* registered = FindModule(name)) {
        if (module) *module = registered;
        return kOk;
    }
    LogInfo("Загружается модуль [%s].", name.CStr());
    // A module library would be looked up as a file of the virtual tree, but
    // such a file has only a virtual name: loading it would mean loading
    // whatever lies under that relative path beside the current directory.
    // No library is ever loaded that way (the program ships none).
    LogWarning("Не найден файл модуля [%s].", (name + ".dll").CStr());
    LogError("Невозможно загрузить модуль [%s].", name.CStr());
    return kNotFound;
}

int LoadLibraryModule(const String& name, const char* utf8Path, Module** module) {
    if (module) *module = nullptr;
    if (Module* registered = FindModule(name)) {
        if (module) *module = registered;
        return kOk;
    }
    LogInfo("Загружается модуль [%s].", name.CStr());
    int result = kOk;
    Ref<LibraryModule> library(new (std::nothrow) LibraryModule(name));
    if (!library) {
        LogWarning("Недостаточно памяти для создания модуля [%s].", name.CStr());
        result = kOutOfMemory;
    } else if (library->Open(utf8Path) != kOk) {
        LogWarning("Загрузка модуля [%s] неудачна.", name.CStr());
        result = kFailed;
    }
    if (result != kOk) {
        LogError("Невозможно загрузить модуль [%s].", name.CStr());
        return result;
    }
    return StartModule(library.Get(), module);
}

}  // namespace zav
