#include "engine/files/Module.h"

#include "engine/core/Log.h"
#include "engine/core/Result.h"
#include "engine/platform/Platform.h"

namespace zav {

void Module::RunShutdown() {
    ModuleSymbol shutdown = nullptr;
    if (FindSymbol(&shutdown, "Shutdown") != kOk || !shutdown) {
        LogWarning("В модуле не найдена функция завершения работы модуля [%s].", GetName().CStr());
        return;
    }
    if (reinterpret_cast<ModuleInitFunction>(shutdown)() != 0) LogError("Неудачно завершение работы модуля.");
}

BuiltinModule::~BuiltinModule() { RunShutdown(); }

bool BuiltinModule::AddSymbol(const String& name, ModuleSymbol function) { return symbols_.Insert(name, function); }

int BuiltinModule::FindSymbol(ModuleSymbol* symbol, const String& name) {
    if (!symbol) {
        LogWarning("Указатель на символ [%s] равен 0.", name.CStr());
        return kNotFound;
    }
    const ModuleSymbol* found = symbols_.Find(name);
    if (!found) {
        LogWarning("Невозможно найти символ [%s] в модуле [%s].", name.CStr(), GetName().CStr());
        return kFailed;
    }
    *symbol = *found;
    return kOk;
}

LibraryModule::~LibraryModule() {
    if (!library_) return;
    RunShutdown();
    if (Unload() != kOk) LogError("Невозможно выгрузить динамический модуль [%s].", GetName().CStr());
}

int LibraryModule::Open(const char* utf8Path) {
    if (library_ || !utf8Path) return kFailed;
    library_ = platform::OpenLibrary(utf8Path);
    return library_ ? kOk : kFailed;
}

int LibraryModule::Unload() {
    if (!library_) return kOk;
    LogInfo("Выгружается модуль [%s].", GetName().CStr());
    void* library = library_;
    library_ = nullptr;
    if (!platform::CloseLibrary(library)) {
        LogWarning("Выгрузка модуля [%s] неудачна.", GetName().CStr());
        return kFailed;
    }
    return kOk;
}

int LibraryModule::FindSymbol(ModuleSymbol* symbol, const String& name) {
    if (!library_ || !symbol) {
        LogWarning("Указатель при поиске символа [%s] равен 0.", name.CStr());
        return kNotFound;
    }
    void* found = platform::FindLibrarySymbol(library_, name.CStr());
    if (!found) {
        LogWarning("Символ [%s] не найден в модуле [%s].", name.CStr(), GetName().CStr());
        return kFailed;
    }
    *symbol = reinterpret_cast<ModuleSymbol>(found);
    return kOk;
}

}  // namespace zav
