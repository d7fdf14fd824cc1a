#include "engine/core/FontManager.h"

#include <new>

#include "engine/core/Engine.h"
#include "engine/core/Log.h"
#include "engine/core/Result.h"

namespace zav {

namespace {

NameTable<Ref<RefCounted>>* gFonts = nullptr;

bool gFontManagerRegistered = false;
EngineRegistration gFontManagerRegistration(gFontManagerRegistered, InitializeFontManager, ShutdownFontManager);

}  // namespace

NameTable<Ref<RefCounted>>* GetFontTable() { return gFonts; }

int InitializeFontManager() {
    LogInfo("Инициализация менеджера шрифтов.");
    if (!gFonts) {
        gFonts = new (std::nothrow) NameTable<Ref<RefCounted>>();
        if (!gFonts) {
            LogError("Недостаточно памяти для инициализации менеджера шрифтов.");
            return kFailed;
        }
    }
    LogInfo("Менеджер шрифтов инициализирован.");
    return kOk;
}

int ShutdownFontManager() {
    LogInfo("Завершение работы менеджера шрифтов.");
    delete gFonts;  // drops every reference the table holds
    gFonts = nullptr;
    LogInfo("Менеджер шрифтов завершил работу.");
    return kOk;
}

}  // namespace zav
