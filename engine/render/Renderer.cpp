#include "engine/render/Renderer.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <utility>

#include "engine/core/Log.h"
#include "engine/core/Result.h"
#include "engine/files/ModuleManager.h"
#include "engine/render/BaseTexture.h"
#include "engine/render/CubeTexture.h"
#include "engine/render/Image.h"
#include "engine/render/DeviceResource.h"
#include "engine/render/OcclusionQuery.h"
#include "engine/render/Pass.h"
#include "engine/render/RenderStateBlock.h"
#include "engine/render/Shader.h"
#include "engine/render/shader/ShaderAssembler.h"
#include "engine/render/SystemWindow.h"
#include "engine/render/TextureUpload.h"
#include "engine/scene/Buffer.h"
#include "engine/scene/BoundingVolume.h"
#include "engine/scene/Camera.h"
#include "engine/scene/GeometryNode.h"
#include "engine/scene/VectorMath.h"

namespace zav {

namespace {

Ref<Renderer> gRenderer;
SystemWindowFunctions gSystemWindow;
ListenerFunction gListener = nullptr;

}  // namespace

void SetSystemWindowFunctions(const SystemWindowFunctions& functions) { gSystemWindow = functions; }
const SystemWindowFunctions& GetSystemWindowFunctions() { return gSystemWindow; }

// No storage for deferred nodes until the first one comes; it then grows
// geometrically and is kept between frames.
Renderer::Renderer() : deferred_(0, 16) {}

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
    camera_ = nullptr;
    currentNode_ = nullptr;
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

void Renderer::DisableShaders(bool disable) {
    shadersDisabled_ = disable;
    ApplyShaderOverride();
}

void Renderer::ApplyShaderOverride() {
    if (!shadersDisabled_) return;
    caps_.vertexShaderLevel = kNoShaders;
    caps_.pixelShaderLevel = kNoShaders;
}

void Renderer::AttachDeviceObject(const Object& object, DeviceResource& resource, void* handle) {
    resource.Attach(this, handle);
    // An object's ID is entered once; a second device object for the same
    // object replaces the first in its DeviceResource only.
    resources_.Insert(object.GetId(), &resource);
}

void Renderer::ReleaseDeviceResource(const Object& object, DeviceResource& resource) {
    if (resource.GetOwner() != this) return;
    // Detaching may drop the last reference to this renderer: it goes last.
    void* handle = resource.GetHandle();
    resources_.Remove(object.GetId());
    if (handle) DestroyDeviceObject(handle);
    resource.Detach();
}

void Renderer::ReleaseDeviceObject(Buffer* buffer) {
    if (buffer) ReleaseDeviceResource(*buffer, *buffer);
}

void Renderer::ReleaseDeviceObject(BaseTexture* texture) {
    if (texture) ReleaseDeviceResource(*texture, *texture);
}

void Renderer::ReleaseDeviceObject(OcclusionQuery* query) {
    if (query) ReleaseDeviceResource(*query, *query);
}

void Renderer::ReleaseDeviceObject(Shader* shader) {
    if (shader) ReleaseDeviceResource(*shader, *shader);
}

void Renderer::ReleaseStateBlock(RenderStateBlock* block) {
    if (block) ReleaseDeviceResource(*block, *block);
}

void Renderer::ReleasePass(Pass* pass) {
    if (!pass) return;
    Ref<Renderer> keep = KeepAlive();
    if (currentPass_ == pass) currentPass_ = nullptr;
    ReleaseStateBlock(pass->GetRenderState());
    ReleaseDeviceResource(*pass, *pass);
}

void Renderer::ReleaseAll() {
    if (resources_.Count() == 0) return;
    // Every entry holds a reference to this renderer, so the count is not 0.
    Ref<Renderer> keep(this);
    std::vector<DeviceResource*> entries;
    entries.reserve(static_cast<size_t>(resources_.Count()));
    resources_.ForEach([&entries](int32_t, DeviceResource* resource) { entries.push_back(resource); });
    resources_.Clear();
    for (DeviceResource* resource : entries) {
        if (resource->GetHandle()) DestroyDeviceObject(resource->GetHandle());
        resource->Detach();
    }
}

namespace {

template <class Object, class Release>
void ReleaseElsewhere(Renderer* self, Object* object, Release release) {
    if (!object) return;
    Renderer* owner = object->GetOwner();
    if (owner && owner != self) (owner->*release)(object);
}

}  // namespace

void Renderer::TakeOver(Buffer* buffer) {
    ReleaseElsewhere(this, buffer, static_cast<void (Renderer::*)(Buffer*)>(&Renderer::ReleaseDeviceObject));
}

void Renderer::TakeOver(BaseTexture* texture) {
    ReleaseElsewhere(this, texture, static_cast<void (Renderer::*)(BaseTexture*)>(&Renderer::ReleaseDeviceObject));
}

void Renderer::TakeOver(OcclusionQuery* query) {
    ReleaseElsewhere(this, query, static_cast<void (Renderer::*)(OcclusionQuery*)>(&Renderer::ReleaseDeviceObject));
}

void Renderer::TakeOver(Pass* pass) {
    if (!pass) return;
    ReleaseElsewhere(this, pass, &Renderer::ReleasePass);
    TakeOver(pass->GetRenderState());
}

void Renderer::TakeOver(RenderStateBlock* block) { ReleaseElsewhere(this, block, &Renderer::ReleaseStateBlock); }

void Renderer::TakeOver(Shader* shader) {
    ReleaseElsewhere(this, shader, static_cast<void (Renderer::*)(Shader*)>(&Renderer::ReleaseDeviceObject));
}

bool Renderer::AssembleOnce(const Shader& shader, std::vector<uint32_t>& tokens, void (*report)(const char* errors)) {
    const char* text = shader.GetSource();
    if (!text || failedShaderTexts_.count(text)) return false;
    String errors;
    if (AssembleShader(text, shader.GetSourceLength(), tokens, errors) == kOk) return true;
    try {
        failedShaderTexts_.insert(text);
    } catch (const std::bad_alloc&) {
    }
    LogError("Невозможно собрать шейдер [%s]: %s", shader.GetName().CStr(), errors.CStr());
    if (report) report(errors.CStr());
    return false;
}

bool Renderer::CanMakeDeviceTexture(BaseTexture& texture) {
    Image* picture = texture.GetPicture();
    if (!picture || !picture->GetPixels() || DeviceTexelBytes(picture->GetFormat()) == 0) return false;
    if (auto* cube = ObjectCast<CubeTexture>(&texture); cube && !cube->HasCubeImage()) {
        if (ReportOnce(texture.GetId()))
            LogWarning("Изображение кубической текстуры не состоит из шести квадратных граней. Имя[%s] ID[%d]",
                       texture.GetName().CStr(), texture.GetId());
        return false;
    }
    return true;
}

bool Renderer::ReportOnce(int32_t objectId) {
    try {
        return reported_.insert(objectId).second;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

void Renderer::SetTextureMatrix(int stage, const Matrix4& matrix) {
    if (stage >= 0 && stage < 8) textureMatrices_[stage] = matrix;
}

Matrix4 Renderer::GetTextureMatrix(int stage) const {
    return stage >= 0 && stage < 8 ? textureMatrices_[stage] : Matrix4::Identity();
}

void Renderer::SetCamera(Camera* camera) {
    camera_ = camera;
    if (camera) camera->SetCullMask(Camera::kAllPlanes);
}

void Renderer::SetCurrentNode(GeometryNode* node) { currentNode_ = node; }

void Renderer::PushLight(Light* light) { lights_.Append(light); }

void Renderer::SwitchOffLights() {
    while (!lights_.IsEmpty()) {
        lights_.RemoveAt(lights_.Count() - 1);
        DisableLight();
    }
}

void Renderer::Defer(GeometryNode* node) {
    if (!node) return;
    Vector3 eye = camera_ ? camera_->GetWorldPosition() : Vector3{};
    const BoundingVolume* volume = node->GetWorldVolume();
    Vector3 center = volume ? volume->GetCenter() : node->GetWorldPosition();
    if (deferred_.Append({Ref<GeometryNode>(node), LengthSquared(center - eye)}) != kOk) {
        LogError("Недостаточно памяти для отложенной отрисовки узла. Имя[%s] ID[%d]", node->GetName().CStr(),
                 node->GetId());
    }
}

void Renderer::FlushDeferred() {
    // Taken out first: drawing may defer again, and that goes to the next flush.
    Array<DeferredNode> nodes(0, deferred_.GrowthStep());
    std::swap(nodes, deferred_);
    auto key = [](float distance) { return std::isnan(distance) ? -INFINITY : distance; };
    std::stable_sort(nodes.begin(), nodes.end(), [&key](const DeferredNode& a, const DeferredNode& b) {
        return key(a.distanceSquared) > key(b.distanceSquared);
    });
    for (DeferredNode& entry : nodes) entry.node->DrawDeferred(*this);
    // Keep the storage for the next frame when nothing was deferred meanwhile.
    if (deferred_.IsEmpty()) {
        nodes.Clear();
        std::swap(deferred_, nodes);
    }
}

int Renderer::BeginRender() {
    if (!camera_) {
        Camera* camera = new (std::nothrow) Camera();
        if (!camera) return kFailed;
        SetCamera(camera);
    }
    Ref<Camera> camera(camera_);  // its controllers may change the current camera
    camera->UpdateSubtree(0.0, true);
    camera->SetCullMask(Camera::kAllPlanes);
    int result = BeginFrame();
    if (gListener) gListener(camera->WorldAxis(2), camera->WorldAxis(1));
    return result;
}

int Renderer::EndRender() {
    FlushDeferred();
    currentNode_ = nullptr;
    return EndFrame();
}

void SetListenerFunction(ListenerFunction function) { gListener = function; }

Renderer* GetRenderer() { return gRenderer.Get(); }

void MakeRendererCurrent(Renderer* renderer) { gRenderer = renderer; }

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
