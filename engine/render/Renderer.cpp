#include "engine/render/Renderer.h"

#include "engine/core/Log.h"
#include "engine/core/Result.h"
#include "engine/files/ModuleManager.h"

namespace zav {

namespace {

Ref<Renderer> gRenderer;

}  // namespace

Renderer::Renderer() = default;

Renderer::~Renderer() = default;

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
