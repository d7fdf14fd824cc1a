// The scene of the screensaver: "Main.STR" from the mounted archives.
#include "app/SceneScreensaver.h"

#include <unordered_set>

#include "engine/animation/ScreensaverController.h"
#include "engine/core/Array.h"
#include "engine/core/Log.h"
#include "engine/core/Result.h"
#include "engine/files/FileManager.h"
#include "engine/files/SceneFile.h"
#include "engine/platform/Platform.h"
#include "engine/render/Renderer.h"
#include "engine/render/Texture.h"
#include "engine/scene/Node.h"
#include "engine/scene/SoundNode.h"

namespace zav {

namespace {

// How long the last cached frame stays before the run starts.
constexpr uint32_t kCachePauseMs = 1000;

}  // namespace

int SceneScreensaver::CreateData() {
    File* file = FindFile("Main.STR");
    if (!file) {
        LogError("Невозможно найти файл данных скринсейвера.");
        return kFailed;
    }
    Object* root = nullptr;
    if (LoadScene(file, &root) != kOk || !root) {
        LogError("Невозможно загрузить данные скринсейвера из файла.");
        return kFailed;
    }
    scene_ = root;
    ApplySoundSettings();
    Array<Object*> controllers;
    scene_->CollectObjects(&ScreensaverController::StaticType(), controllers);
    screensaverController_ = controllers.IsEmpty() ? nullptr : static_cast<ScreensaverController*>(controllers[0]);
    return kOk;
}

void SceneScreensaver::ApplySoundSettings() {
    if (!current_.Flag(kSfx)) {
        Array<Object*> sounds;
        scene_->CollectObjects(&SoundNode::StaticType(), sounds);
        for (Object* sound : sounds)
            if (sound->GetName() != "Music") SilenceSoundNode(static_cast<SoundNode*>(sound), true);
    }
    // The music keeps playing silently, so that it can be turned up again.
    SoundNode* music = ObjectCast<SoundNode>(scene_->FindObject("Music"));
    if (music && !current_.Flag(kMusic)) SilenceSoundNode(music, false);
}

int SceneScreensaver::DeleteData() {
    screensaverController_ = nullptr;
    fadeOpacity_ = 0.0;
    scene_ = nullptr;
    return kOk;
}

Node* SceneScreensaver::GetSceneNode() const {
    Object* scene = scene_.Get();
    return scene && scene->IsKindOf(&Node::StaticType()) ? static_cast<Node*>(scene) : nullptr;
}

int SceneScreensaver::Update(double seconds) {
    if (Node* scene = GetSceneNode()) scene->UpdateSubtree(seconds, true);
    fadeOpacity_ = screensaverController_ ? screensaverController_->GetFadeOpacity() : 0.0;
    return kOk;
}

int SceneScreensaver::Render() {
    Renderer* renderer = GetRenderer();
    if (!renderer) return kOk;
    if (Node* scene = GetSceneNode()) {
        scene->Render(*renderer);
        renderer->FlushDeferred();
    }
    // Black over the whole screen as the controller's shots end and begin.
    if (fadeEffect_) overlays_.DrawVeil(*renderer, *fadeEffect_, static_cast<float>(fadeOpacity_));
    return kOk;
}

int SceneScreensaver::CacheData() {
    LogInfo("Кеширование...");
    Renderer* renderer = GetRenderer();
    Array<Object*> textures;
    if (scene_) scene_->CollectObjects(&Texture::StaticType(), textures);
    // Each texture once, in the order first found; binding makes and fills
    // its device texture, so the first frames do not stall on uploads.
    std::unordered_set<Object*> listed;
    for (Object* texture : textures) {
        if (!listed.insert(texture).second) continue;
        if (renderer) renderer->BindTexture(static_cast<Texture*>(texture), 0);
        LogInfo("%s", texture->GetName().CStr());
    }
    if (renderer) renderer->BindTexture(nullptr, 0);
    LogInfo("Кеширование закончено.");
    platform::SleepMilliseconds(kCachePauseMs);
    return kOk;
}

}  // namespace zav
