// The visual data of a run: the overlays' quad, effect, camera and pictures,
// the loading screen drawn with them, the frame rate and clock over every
// frame, and the colour effect of the veil between camera shots.
#include <new>

#include "app/SceneScreensaver.h"
#include "engine/core/Log.h"
#include "engine/core/Result.h"
#include "engine/render/Renderer.h"
#include "engine/render/effects/ColorEffect.h"

namespace zav {

int ScreensaverApp::CreateVisualData() {
    if (overlays_.Create() != kOk) return kFailed;
    return CreateVisualDataExtra();
}

int ScreensaverApp::DeleteVisualData() {
    if (DeleteVisualDataExtra() != kOk) {
        LogError("Невозможно удалить данные визуализации дочернего сейвера.");
        return kFailed;
    }
    overlays_.Release();
    return kOk;
}

int ScreensaverApp::ShowLoadingScreen() {
    Renderer* renderer = GetRenderer();
    if (!renderer) {
        LogError("Неудачно начало рендеринга.");
        return kFailed;
    }
    return overlays_.ShowLoadingScreen(*renderer);
}

int ScreensaverApp::DrawOverlays() {
    Renderer* renderer = GetRenderer();
    if (!renderer) return kOk;
    OverlayFrame frame;
    frame.showFps = current_.Flag(kShowFps);
    frame.fps = fpsCounter_.Fps();
    frame.showTime = current_.Flag(kShowTime);
    frame.hour24 = current_.Flag(kHour24);
    if (frame.showTime) {
        SYSTEMTIME now;
        GetLocalTime(&now);
        frame.time = {now.wHour, now.wMinute, now.wSecond};
    }
    return overlays_.Draw(*renderer, frame);
}

int SceneScreensaver::CreateVisualDataExtra() {
    fadeEffect_ = new (std::nothrow) ColorEffect();
    if (!fadeEffect_) {
        LogError("Недостаточно памяти для создания эффекта затемнения.");
        return kOutOfMemory;
    }
    fadeEffect_->SetBlending(true);
    return kOk;
}

int SceneScreensaver::DeleteVisualDataExtra() {
    fadeEffect_ = nullptr;
    return kOk;
}

}  // namespace zav
