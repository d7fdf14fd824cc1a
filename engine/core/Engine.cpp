#include "engine/core/Engine.h"

#include <cstdlib>
#include <ctime>

#include "engine/core/Array.h"
#include "engine/core/Log.h"
#include "engine/core/Result.h"

namespace zav {

namespace {

using FunctionList = Array<EngineFunction>;

// The lists are created by their first append and freed at process exit.
struct FunctionLists {
    FunctionList* init = nullptr;
    FunctionList* postInit = nullptr;
    FunctionList* shutdown = nullptr;
    ~FunctionLists() {
        delete init;
        delete postInit;
        delete shutdown;
        init = postInit = shutdown = nullptr;
    }
};

FunctionLists& Lists() {
    static FunctionLists lists;
    return lists;
}

void Append(FunctionList*& list, EngineFunction function, const char* noMemoryMessage) {
    if (!list) {
        list = new (std::nothrow) FunctionList(1, 2);
        if (!list) {
            LogCritical("%s", noMemoryMessage);
            return;
        }
    }
    if (list->Append(function) != kOk) LogCritical("%s", noMemoryMessage);
}

// Calls every function of the list in order; the count is read afresh before
// each call, so a function may append to its own list. Returns false at the
// first failure.
bool RunList(FunctionList* const& list) {
    for (int32_t i = 0; list && i < list->Count(); ++i)
        if ((*list)[i]() != 0) return false;
    return true;
}

int CountOf(const FunctionList* list) { return list ? list->Count() : 0; }

}  // namespace

void AddInitFunction(EngineFunction function) {
    Append(Lists().init, function, "Недостаточно памяти для создания массива функций инициализации.");
}

void AddPostInitFunction(EngineFunction function) {
    Append(Lists().postInit, function, "Недостаточно памяти для создания массива функций постинициализации.");
}

void AddShutdownFunction(EngineFunction function) {
    Append(Lists().shutdown, function, "Недостаточно памяти для создания массива функций деинициализации.");
}

int InitFunctionCount() { return CountOf(Lists().init); }
int PostInitFunctionCount() { return CountOf(Lists().postInit); }
int ShutdownFunctionCount() { return CountOf(Lists().shutdown); }

int EngineInit() {
    LogInfo("Инициализация движка v.%d.%d.%d:", kEngineVersionMajor, kEngineVersionMinor, kEngineVersionBuild);
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    if (!RunList(Lists().init)) {
        LogError("Инициализация движка неудачно.");
        return kFailed;
    }
    LogInfo("Инициализация движка завершилась удачно.");
    LogInfo("Постинициализация движка:");
    if (!RunList(Lists().postInit)) {
        LogError("Постинициализация движка неудачна.");
        return kFailed;
    }
    LogInfo("Постинициализация движка завершилась удачно.");
    return kOk;
}

int EngineShutdown() {
    LogInfo("Завершение работы движка:");
    if (!RunList(Lists().shutdown)) {
        LogError("Завершение работы движка неудачно.");
        return kFailed;
    }
    LogInfo("Завершение работы движка завершилось удачно.");
    return kOk;
}

EngineRegistration::EngineRegistration(bool& done, EngineFunction init, EngineFunction shutdown) {
    if (done) return;
    done = true;
    if (init) AddInitFunction(init);
    if (shutdown) AddShutdownFunction(shutdown);
}

}  // namespace zav
