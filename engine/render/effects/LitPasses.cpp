#include "engine/render/effects/LitPasses.h"

#include "engine/core/Log.h"
#include "engine/core/Result.h"
#include "engine/core/Stream.h"
#include "engine/render/Renderer.h"
#include "engine/scene/Buffer.h"
#include "engine/scene/Camera.h"
#include "engine/scene/GeometryNode.h"
#include "engine/animation/SkinController.h"

namespace zav {

namespace {

// What a light gives the shaders; no light gives black and a direction.
struct LightValues {
    Color ambient{0, 0, 0, 0};
    Color diffuse{0, 0, 0, 0};
    Vector3 towardLight{0, 0, -1};  // the opposite of where the light shines
    Vector3 position;
};

LightValues ValuesOf(const Light* light) {
    LightValues values;
    LightDescription description;
    if (!light || !light->Describe(description)) return values;
    values.ambient = description.ambient;
    values.diffuse = description.diffuse;
    values.towardLight = description.direction * -1.0f;
    values.position = description.position;
    return values;
}

}  // namespace

bool CanLight(const RendererCaps& caps) { return caps.maxTextures >= 2 && caps.maxLights != 0; }

bool CanLightWithShaders(const RendererCaps& caps) { return CanLight(caps) && HasShaders(caps); }

int LightLinks::Save(Stream& stream, const Object& effect) const {
    if (stream.WriteObject(directional) != kOk || (hasPoint && stream.WriteObject(point) != kOk)) {
        LogError("Невозможно сохранить источник света. Имя[%s] ID[%d]", effect.GetName().CStr(), effect.GetId());
        return kFailed;
    }
    return kOk;
}

int LightLinks::Load(Stream& stream, const Object& effect) {
    Ref<Light> first, second;
    if (stream.ReadReference(first) != kOk || (hasPoint && stream.ReadReference(second) != kOk)) {
        LogError("Невозможно загрузить источник света. ID[%d] Имя[%s]", effect.GetId(), effect.GetName().CStr());
        return kFailed;
    }
    directional = first;
    point = second;
    return kOk;
}

Object* LightLinks::FindObject(const String& name) const {
    if (Object* found = directional ? directional->FindObject(name) : nullptr) return found;
    return point ? point->FindObject(name) : nullptr;
}

void LightLinks::CollectObjects(const TypeInfo* type, Array<Object*>& objects) const {
    if (directional) directional->CollectObjects(type, objects);
    if (point) point->CollectObjects(type, objects);
}

void LightLinks::Drop() {
    directional = nullptr;
    point = nullptr;
}

int LitFixedFunctionPass::Apply(Renderer& renderer) {
    GeometryNode* node = DrawnNode();
    if (!node || !node->GetNormals()) return kFailed;
    renderer.BindPositions(node->GetVertices());
    renderer.BindNormals(node->GetNormals());
    renderer.BindIndices(node->GetIndices());
    renderer.BindTexCoords(node->GetTexCoords(texture_->GetTexCoordSet()), 0);
    renderer.BindTexture(texture_->GetTexture(), 0);
    if (!SetCameraMatrices(renderer, node)) return kFailed;
    renderer.PushLight(lights_.directional.Get());
    renderer.EnableLight(lights_.directional.Get());
    if (lights_.hasPoint) {
        renderer.PushLight(lights_.point.Get());
        renderer.EnableLight(lights_.point.Get());
    }
    return kOk;
}

int LitShaderPass::Apply(Renderer& renderer) {
    GeometryNode* node = DrawnNode();
    SkinController* skin = texture_->GetSkin();
    Buffer* normals = SkinLayout() && skin ? skin->GetSourceNormals() : node ? node->GetNormals() : nullptr;
    auto* normalBuffer = ObjectCast<Vector3Buffer>(normals);
    if (!node || !normalBuffer || !BindGeometry(renderer, *node)) return kFailed;
    renderer.BindNormals(normalBuffer);
    renderer.BindTexCoords(node->GetTexCoords(texture_->GetTexCoordSet()), 0);
    renderer.BindTexture(texture_->GetTexture(), 0);

    const RenderStateBlock& material = *GetRenderState();
    const LightValues sun = ValuesOf(lights_.directional.Get());
    const LightValues lamp = ValuesOf(lights_.hasPoint ? lights_.point.Get() : nullptr);
    // Skinned positions and normals are in world space already.
    const bool world = SkinLayout();
    const Vector3 toSun = world ? sun.towardLight : ToObjectDirection(sun.towardLight);
    const Vector3 lampAt = world ? lamp.position : ToObjectPoint(lamp.position);
    const Vector3 eye = renderer.GetCamera()->GetWorldPosition();
    if (VertexLevel() == kShaderModel1) {
        // Lighting per vertex.
        SetVertexColor(renderer, 8, material.ambient);
        SetVertexColor(renderer, 9, material.diffuse);
        SetVertexColor(renderer, 10, sun.ambient);
        SetVertexColor(renderer, 11, sun.diffuse);
        SetVertexVector(renderer, 12, toSun);
        if (lights_.hasPoint) {
            SetVertexColor(renderer, 13, lamp.diffuse);
            SetVertexVector(renderer, 14, lampAt);
            SetFogAndWave(renderer, 15, 16);
        } else {
            SetFogAndWave(renderer, 13, 14);
        }
    } else if (world) {
        SetVertexVector(renderer, 208, eye);
        SetFogAndWave(renderer, 209, 10);
    } else {
        SetVertexVector(renderer, 8, ToObjectPoint(eye));
        SetFogAndWave(renderer, 9, 10);
    }
    if (PixelLevel() != kShaderModel1) {
        // Lighting per pixel.
        SetPixelColor(renderer, 0, material.ambient);
        SetPixelColor(renderer, 1, material.diffuse);
        SetPixelColor(renderer, 2, sun.ambient);
        SetPixelColor(renderer, 3, sun.diffuse);
        SetPixelVector(renderer, 4, toSun);
        if (lights_.hasPoint) {
            SetPixelColor(renderer, 5, lamp.diffuse);
            SetPixelVector(renderer, 6, lampAt);
        }
    }
    return kOk;
}

}  // namespace zav
