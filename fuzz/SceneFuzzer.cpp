// Feeds arbitrary bytes to ReadObject with every scene class registered (sound
// nodes with the portable audio library behind them), as
// a damaged scene file would reach the loader. What reads is updated, drawn
// through a renderer without a device (flares, and the effects with and
// without shaders: post-render effects with their film band and glow),
// rebuilt (normals, tangents, volumes), its controllers driven and reset,
// and saved and read again. Afterwards
// every object reached drops its references, which undoes the cycles a
// successful read may legitimately build (a skin controller whose bone
// holds the mesh it deforms), and LeakSanitizer reports whatever is left.
#include <cstdint>
#include <cstdlib>
#include <unordered_set>
#include <vector>

#include "audio/core/LibraryEntryPoints.h"
#include "engine/animation/CameraActivateAnimationController.h"
#include "engine/animation/ScreensaverController.h"
#include "engine/animation/SkeletonAnimationController.h"
#include "engine/animation/SkinController.h"
#include "engine/animation/TargetControllers.h"
#include "engine/core/Engine.h"
#include "engine/core/Stream.h"
#include "engine/render/CompositeTexture.h"
#include "engine/render/CubeTexture.h"
#include "engine/render/GeometryNodeEffect.h"
#include "engine/render/Texture.h"
#include "engine/render/effects/CustomGlowPostRenderEffect.h"
#include "engine/render/effects/SpriteEffect.h"
#include "engine/render/effects/Texture1DL1PLEffect.h"
#include "engine/render/effects/Texture1DLEffect.h"
#include "engine/render/effects/TextureEffect.h"
#include "engine/render/Renderer.h"
#include "engine/scene/BoundingVolume.h"
#include "engine/scene/Camera.h"
#include "engine/scene/Flare.h"
#include "engine/scene/GeometryNode.h"
#include "engine/scene/SceneNode.h"
#include "engine/sound/SoundManager.h"
#include "fuzz/FuzzInput.h"
#include "engine/render/null/NullRenderer.h"

using namespace zav;

namespace {

NullRenderer* gRenderer = nullptr;

// Every object reachable from `root` through the references the scene
// classes hold, counted ones and back pointers alike.
std::vector<Ref<Object>> Reachable(Object* root) {
    std::vector<Ref<Object>> found;
    std::unordered_set<Object*> seen{root};
    std::vector<Object*> pending{root};
    auto visit = [&](Object* object) {
        if (object && seen.insert(object).second) pending.push_back(object);
    };
    while (!pending.empty()) {
        Object* object = pending.back();
        pending.pop_back();
        found.emplace_back(object);
        for (int i = 0; i < object->GetControllerCount(); ++i) visit(object->GetController(i));
        if (auto* node = ObjectCast<Node>(object)) {
            visit(node->GetParent());
            visit(node->GetWorldVolume());
        }
        if (auto* scene = ObjectCast<SceneNode>(object)) {
            for (int i = 0; i < scene->GetEffectCount(); ++i) visit(scene->GetEffect(i));
            for (int i = 0; i < scene->GetChildCount(); ++i) visit(scene->GetChild(i));
        }
        if (auto* geometry = ObjectCast<GeometryNode>(object)) {
            visit(geometry->GetEffect());
            visit(geometry->GetVertices());
            visit(geometry->GetPointSizes());
            visit(geometry->GetColors());
            visit(geometry->GetNormals());
            visit(geometry->GetTangents());
            for (int set = 0; set < GeometryNode::kTexCoordSets; ++set) visit(geometry->GetTexCoords(set));
            visit(geometry->GetIndices());
            visit(geometry->GetLocalVolume());
        }
        if (auto* effect = ObjectCast<GeometryNodeEffect>(object)) visit(effect->GetSkin());
        if (auto* effect = ObjectCast<TextureEffect>(object)) visit(effect->GetTexture());
        if (auto* effect = ObjectCast<SpriteEffect>(object)) visit(effect->GetTexture());
        if (auto* lit = ObjectCast<Texture1DLEffect>(object)) visit(lit->GetDirectionalLight());
        if (auto* lit = ObjectCast<Texture1DL1PLEffect>(object)) {
            visit(lit->GetDirectionalLight());
            visit(lit->GetPointLight());
        }
        if (auto* glow = ObjectCast<CustomGlowPostRenderEffect>(object))
            for (int i = 0; i < glow->GetGlowNodeCount(); ++i) visit(glow->GetGlowNode(i));
        if (auto* texture = ObjectCast<BaseTexture>(object)) visit(texture->GetPicture());
        if (auto* composite = ObjectCast<CompositeTexture>(object))
            for (int i = 0; i < composite->GetSliceCount(); ++i) visit(composite->GetSlice(i));
        if (auto* animation = ObjectCast<Animation>(object))
            for (int i = 0; i < animation->GetKeyCount(); ++i)
                if (auto* key = dynamic_cast<TextureKeyframe*>(animation->GetKey(i))) visit(key->texture.Get());
        if (auto* controller = ObjectCast<AnimationController>(object)) {
            for (int i = 0; i < controller->GetAnimationCount(); ++i) visit(controller->GetAnimation(i));
            for (int i = 0; i < controller->GetStageCount(); ++i) visit(controller->GetStage(i).animation.Get());
            for (int i = 0; i < controller->GetFrameCount(); ++i) visit(controller->GetFrame(i).animation.Get());
        }
        if (auto* activate = ObjectCast<CameraActivateAnimationController>(object)) {
            visit(activate->GetCameraController());
            visit(activate->GetTargetController());
            for (int i = 0; i < activate->GetSwitchedCount(); ++i) visit(activate->GetSwitched(i));
        }
        if (auto* skeleton = ObjectCast<SkeletonAnimationController>(object))
            for (int i = 0; i < skeleton->GetBoneControllerCount(); ++i) visit(skeleton->GetBoneController(i));
        if (auto* look = dynamic_cast<LookAtController*>(object)) visit(look->GetTarget());
        if (auto* screensaver = ObjectCast<ScreensaverController>(object))
            for (int i = 0; i < screensaver->GetSetCount(); ++i) {
                visit(screensaver->GetSet(i).camera.Get());
                visit(screensaver->GetSet(i).cameraController.Get());
                visit(screensaver->GetSet(i).targetController.Get());
            }
        if (auto* skin = ObjectCast<SkinController>(object)) {
            for (int i = 0; i < skin->GetBoneCount(); ++i) visit(skin->GetBone(i));
            visit(skin->GetBonePositions());
            visit(skin->GetWeights());
            visit(skin->GetBoneIndices());
            visit(skin->GetSourceVertices());
            visit(skin->GetSourceNormals());
            visit(skin->GetSourceTangents());
        }
    }
    return found;
}

void Exercise(Object* root, const std::vector<Ref<Object>>& objects) {
    root->FindObject("needle");
    Array<Object*> collected;
    root->CollectObjects(&Object::StaticType(), collected);

    Camera* camera = nullptr;
    for (const Ref<Object>& object : objects) {
        if (!camera) camera = ObjectCast<Camera>(object.Get());
        if (auto* triangles = ObjectCast<Triangles>(object.Get())) {
            triangles->Rebuild(true, true);
            triangles->GenerateTangents(3);
        }
        // Textures as the renderer takes them: made, refilled, their slices.
        if (auto* texture = ObjectCast<BaseTexture>(object.Get())) {
            gRenderer->BindTexture(texture, 0);
            if (auto* composite = ObjectCast<CompositeTexture>(texture)) composite->GetImage(false);
            if (auto* cube = ObjectCast<CubeTexture>(texture)) cube->GetImage(true);
            gRenderer->BindTexture(texture, 1);
        }
        if (auto* volume = ObjectCast<BoundingVolume>(object.Get())) {
            float nearDistance = 0, farDistance = 0;
            volume->IntersectRay({0, 0, -10}, {0, 0, 1}, nearDistance, farDistance);
            for (const Ref<Object>& other : objects)
                if (auto* second = ObjectCast<BoundingVolume>(other.Get())) {
                    volume->Intersects(second);
                    volume->Merge(second);
                    break;
                }
        }
    }
    if (auto* node = ObjectCast<Node>(root)) {
        Ref<Camera> fallback(camera ? nullptr : new Camera());
        gRenderer->SetCamera(camera ? camera : fallback.Get());
        // Short frames, then one long enough to end camera shots.
        for (double time : {0.016, 0.016, 1.7}) {
            node->UpdateSubtree(time, true);
            gRenderer->BeginRender();
            node->Draw(*gRenderer);
            gRenderer->EndRender();
        }
        gRenderer->SetCamera(nullptr);
    }
    // What the application and authoring code ask of the controllers.
    for (const Ref<Object>& object : objects) {
        if (auto* controller = ObjectCast<AnimationController>(object.Get())) {
            controller->SetStageByName("walk", 1, 0.5f);
            controller->SetStageWeight(0, 0.25f);
            controller->SetPhase(0.75);
            controller->Update(0.1);
            controller->Reset();
        }
        if (auto* screensaver = ObjectCast<ScreensaverController>(object.Get())) {
            screensaver->Reset();
            screensaver->Update(2.5);
            screensaver->GetFadeOpacity();
        }
    }
    gRenderer->SetCamera(nullptr);

    Stream saved(0, 4096);
    if (saved.WriteObject(root) != 0) return;  // a read graph may nest deeper when written
    Stream again(saved.GetPosition(), 0);
    again.Write(saved.GetData(), saved.GetPosition());
    again.SetPosition(0);
    Object* copy = nullptr;
    if (again.ReadObject(&copy) != 0) std::abort();  // what saves must read back
    Ref<Object> keep(copy);
    for (const Ref<Object>& object : Reachable(copy)) object->DropReferences();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    if (EngineInit() != 0) std::abort();
    // Sound nodes play through the portable audio library (no device).
    InstallSoundLibrary(&audio::LibraryEntryPoints());
    gRenderer = new NullRenderer();
    gRenderer->AddRef();
    MakeRendererCurrent(gRenderer);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > fuzz::kMaxInputSize) return 0;
    // The last byte picks the renderer: point sprites, and shaders or none.
    gRenderer->SetPointSprites(size > 0 && (data[size - 1] & 1));
    RendererCaps caps = gRenderer->GetCaps();
    caps.vertexShaderLevel = caps.pixelShaderLevel = size > 0 && (data[size - 1] & 2) ? kShaderModel2 : kNoShaders;
    gRenderer->SetCaps(caps);
    Ref<Object> root = fuzz::ReadObjectFrom(data, size);
    // A screensaver controller makes its camera current while it loads,
    // also when the read fails later.
    if (!root) {
        gRenderer->SetCamera(nullptr);
        return 0;
    }
    std::vector<Ref<Object>> objects = Reachable(root.Get());
    Exercise(root.Get(), objects);
    for (const Ref<Object>& reached : objects) reached->DropReferences();
    gRenderer->SetCamera(nullptr);
    gRenderer->SetCurrentNode(nullptr);
    gRenderer->ReleaseAll();
    return 0;
}
