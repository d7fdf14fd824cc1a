#include "engine/scene/Flare.h"

#include <cmath>
#include <new>

#include "engine/core/ClassRegistration.h"
#include "engine/core/Log.h"
#include "engine/core/Stream.h"
#include "engine/render/GeometryNodeEffect.h"
#include "engine/render/effects/SpriteEffect.h"
#include "engine/render/Renderer.h"
#include "engine/scene/BoundingVolume.h"
#include "engine/scene/Camera.h"
#include "engine/scene/VectorMath.h"

namespace zav {

ZAV_REGISTER_CLASS(Flare);

namespace {

constexpr int kBillboardVertices = 6;
// Bottom-left, top-left, bottom-right; top-left, top-right, bottom-right.
constexpr Vector2 kBillboardTexCoords[kBillboardVertices] = {{0, 1}, {0, 0}, {1, 1}, {0, 0}, {1, 0}, {1, 1}};
// How far the glow reaches, in flare sizes, for culling.
constexpr float kVolumeRadiusPerSize = 5000.0f;

// `buffer` when it is a T of at least `count` entries, else null.
template <class T>
T* Usable(Buffer* buffer, int count) {
    T* typed = ObjectCast<T>(buffer);
    return typed && typed->GetCount() >= count ? typed : nullptr;
}

}  // namespace

Flare::Flare(const String& name) : GeometryNode(name) {
    if (Ref<SpriteEffect> glow{new (std::nothrow) SpriteEffect()}) SetEffect(glow.Get());
    EnsureBuffers(UsesPointSprites() ? 1 : kBillboardVertices, UsesPointSprites());
    UpdateLocalVolume();
}

bool Flare::UsesPointSprites() {
    Renderer* renderer = GetRenderer();
    return renderer && renderer->SupportsPointSprites();
}

int Flare::GetPrimitiveType() const { return UsesPointSprites() ? kPrimitivePoints : kPrimitiveTriangles; }

void Flare::SetSize(float size) {
    flareSize_ = size >= 0.0f && std::isfinite(size) ? size : 0.0f;
    UpdateLocalVolume();
}

void Flare::UpdateLocalVolume() {
    if (auto* sphere = ObjectCast<SphereBoundingVolume>(localVolume_.Get()))
        sphere->Set({}, flareSize_ * kVolumeRadiusPerSize);
}

void Flare::EnsureBuffers(int count, bool sprites) {
    if (!Usable<Vector3Buffer>(GetVertices(), count)) {
        if (Ref<Vector3Buffer> vertices = NewBuffer<Vector3Buffer>(count)) SetVertices(vertices.Get());
    }
    if (!Usable<ColorBuffer>(GetColors(), count)) {
        if (Ref<ColorBuffer> colors = NewBuffer<ColorBuffer>(count)) SetColors(colors.Get());
    }
    if (!Usable<Vector2Buffer>(GetTexCoords(0), count)) {
        if (Ref<Vector2Buffer> texCoords = NewBuffer<Vector2Buffer>(count)) {
            if (!sprites)
                for (int i = 0; i < count; ++i) (*texCoords)[i] = kBillboardTexCoords[i % kBillboardVertices];
            SetTexCoords(0, texCoords.Get());
        }
    }
    if (sprites && !Usable<FloatBuffer>(GetPointSizes(), count)) {
        if (Ref<FloatBuffer> sizes = NewBuffer<FloatBuffer>(count)) SetPointSizes(sizes.Get());
    }
}

void Flare::Update(double time) {
    GeometryNode::Update(time);
    if (UsesPointSprites()) {
        UpdateSprite();
        return;
    }
    Renderer* renderer = GetRenderer();
    if (Camera* camera = renderer ? renderer->GetCamera() : nullptr) UpdateBillboard(*camera);
}

void Flare::UpdateSprite() {
    EnsureBuffers(1, true);
    Vector3Buffer* vertices = Usable<Vector3Buffer>(GetVertices(), 1);
    ColorBuffer* colors = Usable<ColorBuffer>(GetColors(), 1);
    FloatBuffer* sizes = Usable<FloatBuffer>(GetPointSizes(), 1);
    if (!vertices || !colors || !sizes) return;  // out of memory: nothing to draw into
    (*vertices)[0] = GetWorldPosition();
    (*colors)[0] = flareColor_;
    (*sizes)[0] = flareSize_;
    vertices->SetDirty();
    colors->SetDirty();
    sizes->SetDirty();
}

void Flare::UpdateBillboard(const Node& camera) {
    EnsureBuffers(kBillboardVertices, false);
    Vector3Buffer* vertices = Usable<Vector3Buffer>(GetVertices(), kBillboardVertices);
    ColorBuffer* colors = Usable<ColorBuffer>(GetColors(), kBillboardVertices);
    if (!vertices || !colors) return;
    const Vector3 right = camera.WorldAxis(0), up = camera.WorldAxis(1);
    const Vector3 d = Normalize(right + up) * 0.5f;
    const Vector3 e = Normalize(up - right) * 0.5f;
    const Vector3 p = GetWorldPosition();
    const float s = flareSize_;
    const Vector3 corners[kBillboardVertices] = {p - d * s, p + e * s, p - e * s, p + e * s, p + d * s, p - e * s};
    for (int i = 0; i < kBillboardVertices; ++i) {
        (*vertices)[i] = corners[i];
        (*colors)[i] = flareColor_;
    }
    vertices->SetDirty();
    colors->SetDirty();
}

bool Flare::HasVerticesToDraw() const {
    return Usable<Vector3Buffer>(GetVertices(), UsesPointSprites() ? 1 : kBillboardVertices) != nullptr;
}

void Flare::Render(Renderer& renderer) {
    if (HasVerticesToDraw()) GeometryNode::Render(renderer);
}

void Flare::DrawDeferred(Renderer& renderer) {
    if (HasVerticesToDraw()) GeometryNode::DrawDeferred(renderer);
}

void Flare::DrawPass(Renderer& renderer) { renderer.DrawPrimitives(UsesPointSprites() ? 1 : 2); }

int Flare::Save(Stream& stream) {
    if (ParentClass::Save(stream) != kOk) return ParentSaveFailed();
    stream.WriteColor(flareColor_);
    if (stream.WriteFloat(flareSize_) != kOk) return FailedNameId("Невозможно сохранить данные флара.");
    return kOk;
}

int Flare::Load(Stream& stream) {
    if (ParentClass::Load(stream) != kOk) return ParentLoadFailed();
    float size = 0.0f;
    stream.ReadColor(flareColor_);
    if (stream.ReadFloat(size) != kOk) return FailedNameId("Невозможно загрузить данные флара.");
    SetSize(size);  // also fits the local volume to the loaded size
    return kOk;
}

}  // namespace zav
