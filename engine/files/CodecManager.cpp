#include "engine/files/CodecManager.h"

#include <new>

#include "engine/core/Engine.h"
#include "engine/core/HashTable.h"
#include "engine/core/Log.h"
#include "engine/core/Result.h"
#include "engine/files/File.h"
#include "engine/files/ModuleManager.h"

namespace zav {

namespace {

NameTable<Ref<Codec>>* gCodecs = nullptr;

bool gCodecManagerRegistered = false;
EngineRegistration gCodecManagerRegistration(gCodecManagerRegistered, InitializeCodecManager, ShutdownCodecManager);

Codec* FindCodec(const String& name) {
    if (!gCodecs) return nullptr;
    Ref<Codec>* found = gCodecs->Find(name);
    return found ? found->Get() : nullptr;
}

}  // namespace

int InitializeCodecManager() {
    LogInfo("Инициализация менеджера кодеков.");
    if (!gCodecs) {
        gCodecs = new (std::nothrow) NameTable<Ref<Codec>>();
        if (!gCodecs) {
            LogError("Недостаточно памяти для инициализации менеджера кодеков.");
            return kFailed;
        }
    }
    LogInfo("Менеджер кодеков инициализирован.");
    return kOk;
}

int ShutdownCodecManager() {
    LogInfo("Завершение работы менеджера кодеков.");
    NameTable<Ref<Codec>>* codecs = gCodecs;
    gCodecs = nullptr;
    delete codecs;  // each codec then drops its module
    LogInfo("Менеджер кодеков завершил работу.");
    return kOk;
}

int RegisterCodec(Codec* codec) {
    if (!codec) {
        LogWarning("Указатель на кодек равен 0 при регистрации.");
        return kNotFound;
    }
    if (FindCodec(codec->GetName())) {
        LogWarning("Кодек с именем [%s] уже зарегестрирован.", codec->GetName().CStr());
        return kFailed;
    }
    if (!gCodecs || !gCodecs->Insert(codec->GetName(), Ref<Codec>(codec))) {
        LogWarning("Невозможно вставить кодек [%s] в таблицу кодеков.", codec->GetName().CStr());
        return kFailed;
    }
    return kOk;
}

int LoadCodec(const String& name, Codec** codec) {
    if (codec) *codec = nullptr;
    if (Codec* registered = FindCodec(name)) {
        if (codec) *codec = registered;
        return kOk;
    }
    LogInfo("Загружается кодек [%s].", name.CStr());
    Module* module = FindModule(name);
    if (!module) {
        LogError("Не найден модуль для кодека [%s].", name.CStr());
        return kNotFound;
    }
    ModuleSymbol symbol = nullptr;
    if (module->FindSymbol(&symbol, "CreateCodec") != kOk || !symbol) {
        LogError("В модуле не найдена функция создания кодека [%s].", name.CStr());
        return kNotFound;
    }
    Codec* created = nullptr;
    int result = reinterpret_cast<CreateCodecFunction>(symbol)(&created);
    Ref<Codec> made(created);  // frees a codec that goes no further
    if (result != kOk || !made) {
        LogError("Создание кодека [%s] неудачно.", name.CStr());
        return kFailed;
    }
    made->SetModule(module);
    if (RegisterCodec(made.Get()) != kOk) {
        LogError("Невозможно зарегестрировать кодек [%s].", name.CStr());
        return kFailed;
    }
    if (codec) *codec = made.Get();
    return kOk;
}

int CheckFile(Codec* codec, File* file) {
    if (!codec) return kNotFound;
    if (!file) {
        LogWarning("Указатель на файл равен 0 при проверке кодеком [%s].", codec->GetName().CStr());
        return kNotFound;
    }
    return codec->HasExtension(file->GetExtension()) ? kOk : kFailed;
}

Codec* FindCodecForFile(File* file) {
    if (!gCodecs || !file) return nullptr;
    Codec* chosen = nullptr;
    gCodecs->ForEach([&](const String&, Ref<Codec>& codec) {
        if (!chosen && CheckFile(codec.Get(), file) == kOk) chosen = codec.Get();
    });
    return chosen;
}

}  // namespace zav
