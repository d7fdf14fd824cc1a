#include "engine/files/Module.h"

#include "engine/core/Log.h"
#include "engine/core/Result.h"

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

}  // namespace zav
