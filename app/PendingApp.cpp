// Parts of the run that this build does not have yet: the overlays and the
// loading screen (they need textures and the built-in effects). They warn
// and let the run go on, so that frames are cleared and presented without
// them.
#include "app/SceneScreensaver.h"
#include "engine/core/Log.h"
#include "engine/core/Result.h"

namespace zav {

namespace {

void Skipped(const char* what) { LogWarning("%s: недоступно в этой сборке, пропущено.", what); }

}  // namespace

int ScreensaverApp::CreateVisualData() {
    Skipped("Экранные надписи");
    return CreateVisualDataExtra();
}

int ScreensaverApp::DeleteVisualData() {
    if (DeleteVisualDataExtra() != kOk) {
        LogError("Невозможно удалить данные визуализации дочернего сейвера.");
        return kFailed;
    }
    return kOk;
}

int ScreensaverApp::ShowLoadingScreen() {
    Skipped("Загрузочный экран");
    return kOk;
}

// The fade veil is a colour effect, which comes with the built-in effects.
int SceneScreensaver::CreateVisualDataExtra() { return kOk; }
int SceneScreensaver::DeleteVisualDataExtra() { return kOk; }

}  // namespace zav
