// Entry point: opens the log, then drives the application object through
// Create, Run and Shutdown.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include "app/LogFile.h"
#include "app/SceneScreensaver.h"
#include "engine/core/Log.h"
#include "engine/core/Result.h"

namespace zav {

namespace {

int RunScreensaver() {
    Ref<FileMessageOutput> log;
    try {
        log = OpenLogFile();
        Ref<ScreensaverApp> app(new SceneScreensaver());
        if (app->Create() != kOk) {
            LogError("Невозможно создать скринсейвер.");
        } else {
            LogInfo("Сейвер создан.");
            if (app->Run() != kOk)
                LogError("Работа скринсейвера завершена некорректно.");
            else
                LogInfo("Работа скринсейвера завершена корректно.");
        }
        if (app->Shutdown() != kOk) LogError("Ошибка при окончании работы скринсейвера.");
        ShowCursor(TRUE);
        app = nullptr;
        LogInfo("Конец лога.");
        return 0;
    } catch (...) {
        LogError("Конец лога вследствии ошибки");
        if (log) UnregisterMessageOutput(log.Get());
        return 1;
    }
}

}  // namespace

}  // namespace zav

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return zav::RunScreensaver(); }
