#include "engine/render/Renderer.h"

#include "engine/core/Log.h"
#include "engine/core/Result.h"
#include "engine/files/ModuleManager.h"
#include "engine/render/SystemWindow.h"

namespace zav {

namespace {

Ref<Renderer> gRenderer;
SystemWindowFunctions gSystemWindow;

}  // namespace

void SetSystemWindowFunctions(const SystemWindowFunctions& functions) { gSystemWindow = functions; }
const SystemWindowFunctions& GetSystemWindowFunctions() { return gSystemWindow; }

Renderer::Renderer() = default;

Renderer::~Renderer() {
    // A back end releases its device before this runs; only the window is left.
    if (window_ && gSystemWindow.close) gSystemWindow.close(window_);
    window_ = nullptr;
}

int Renderer::OpenWindow(int32_t modeIndex, const String& title, void* parent, int32_t x, int32_t y,
                         int32_t width, int32_t height) {
    if (window_ && CloseWindow() != kOk) {
        LogError("Закрытие окна неудачно.");
        return kFailed;
    }
    if (modeIndex < 0 || static_cast<size_t>(modeIndex) >= modes_.size()) return kNotFound;
    const DisplayMode& mode = modes_[static_cast<size_t>(modeIndex)];
    if (mode.fullScreen) {
        x = 0;
        y = 0;
        width = mode.width;
        height = mode.height;
    }
    if (!gSystemWindow.create || gSystemWindow.create(&window_, title, parent, mode.fullScreen, mode.colorBits, x,
                                                      y, width, height) != kOk) {
        LogError("Создание окна неудачно.");
        return kFailed;
    }
    return CreateDevice(modeIndex, title, parent, x, y, width, height);
}

int Renderer::CloseWindow() {
    if (ReleaseDevice() != kOk) return kFailed;
    if (!window_) return kNotFound;
    if (!gSystemWindow.close || gSystemWindow.close(window_) != kOk) {
        LogError("Закрытие окна неудачно.");
        return kFailed;
    }
    window_ = nullptr;
    return kOk;
}

void Renderer::SetModule(Module* module) { module_ = module; }

Renderer* GetRenderer() { return gRenderer.Get(); }

int CreateRenderer(const String& name) {
    Module* module = nullptr;
    if (LoadModule(name, &module) != kOk || !module) {
        LogWarning("Невозможно загрузить библиотеку рендерера [%s].", name.CStr());
        return kNotFound;
    }
    ModuleSymbol symbol = nullptr;
    if (module->FindSymbol(&symbol, "CreateRenderer") != kOk || !symbol) {
        LogError("В модуле не найдена функция создания рендерера [%s].", name.CStr());
        return kNotFound;
    }
    Renderer* renderer = nullptr;
    if (reinterpret_cast<CreateRendererFunction>(symbol)(&renderer) != kOk || !renderer) {
        Ref<Renderer> discard(renderer);  // frees a half-made renderer
        LogError("Создание рендерера [%s] неудачно.", name.CStr());
        return kFailed;
    }
    gRenderer = renderer;
    renderer->SetModule(module);
    return kOk;
}

int DestroyRenderer() {
    gRenderer = nullptr;
    return kOk;
}

}  // namespace zav
