#include "engine/scene/GeometryNode.h"

#include <new>

#include "engine/core/ClassRegistration.h"
#include "engine/core/Log.h"
#include "engine/core/Stream.h"
#include "engine/render/GeometryNodeEffect.h"
#include "engine/render/Renderer.h"
#include "engine/scene/BoundingVolume.h"

namespace zav {

ZAV_REGISTER_ABSTRACT_CLASS(GeometryNode);
ZAV_REGISTER_CLASS(Points);
ZAV_REGISTER_CLASS(Lines);
ZAV_REGISTER_CLASS(StripLines);

GeometryNode::GeometryNode(const String& name) : Node(name), localVolume_(new (std::nothrow) SphereBoundingVolume()) {
    if (!localVolume_) LogError("Недостаточно памяти для создания окружающего объёма.");
}

GeometryNode::~GeometryNode() {
    if (effect_ && effect_->node_ == this) effect_->node_ = nullptr;
}

bool GeometryNode::IsTexCoordBuffer(const Buffer* buffer) {
    return buffer && (buffer->IsKindOf(&FloatBuffer::StaticType()) || buffer->IsKindOf(&Vector2Buffer::StaticType()) ||
                      buffer->IsKindOf(&Vector3Buffer::StaticType()) || buffer->IsKindOf(&Vector4Buffer::StaticType()));
}

Buffer* GeometryNode::GetTexCoords(int set) const {
    return set >= 0 && set < kTexCoordSets ? texCoords_[set].Get() : nullptr;
}

void GeometryNode::DropReferences() {
    Node::DropReferences();
    SetEffect(nullptr);
    vertices_ = nullptr;
    pointSizes_ = nullptr;
    colors_ = nullptr;
    normals_ = nullptr;
    tangents_ = nullptr;
    for (Ref<Buffer>& texCoords : texCoords_) texCoords = nullptr;
    indices_ = nullptr;
}

void GeometryNode::LayoutChanged() {
    if (effect_) effect_->InvalidatePasses();
}

void GeometryNode::SetEffect(GeometryNodeEffect* effect) {
    if (effect == effect_.Get()) return;
    if (effect_ && effect_->node_ == this) effect_->node_ = nullptr;
    effect_ = effect;
    if (effect) effect->node_ = this;
}

void GeometryNode::SetVertices(Vector3Buffer* vertices) {
    vertices_ = vertices;
    tangents_ = nullptr;  // they belonged to the old vertices
    LayoutChanged();
}

void GeometryNode::SetPointSizes(FloatBuffer* pointSizes) {
    pointSizes_ = pointSizes;
    LayoutChanged();
}

void GeometryNode::SetColors(ColorBuffer* colors) {
    colors_ = colors;
    LayoutChanged();
}

void GeometryNode::SetNormals(Vector3Buffer* normals) {
    normals_ = normals;
    LayoutChanged();
}

void GeometryNode::SetTangents(Vector3Buffer* tangents) {
    tangents_ = tangents;
    LayoutChanged();
}

int GeometryNode::SetTexCoords(int set, Buffer* texCoords) {
    if (set < 0 || set >= kTexCoordSets || (texCoords && !IsTexCoordBuffer(texCoords))) return kFailed;
    texCoords_[set] = texCoords;
    LayoutChanged();
    return kOk;
}

void GeometryNode::SetIndices(IntBuffer* indices) {
    indices_ = indices;
    LayoutChanged();
}

void GeometryNode::Update(double time) {
    Node::Update(time);
    if (effect_) effect_->Animate(time);
}

void GeometryNode::UpdateWorldVolume() {
    if (GetUpdateWorldVolume() && localVolume_ && worldVolume_)
        localVolume_->TransformInto(worldVolume_.Get(), GetWorldTransform());
}

void GeometryNode::UpdateLocalVolume() {
    if (vertices_ && localVolume_) localVolume_->GenerateFromPoints(vertices_.Get());
}

void GeometryNode::Rebuild(bool normals, bool tangents) {
    UpdateLocalVolume();
    if (normals) GenerateNormals();
    if (tangents) GenerateTangents(0);
}

void GeometryNode::Render(Renderer& renderer) {
    if (!effect_ || !effect_->IsEnabled()) return;
    if (effect_->IsBlending()) {
        renderer.Defer(this);
        return;
    }
    DrawThroughPasses(renderer);
}

void GeometryNode::DrawDeferred(Renderer& renderer) { DrawThroughPasses(renderer); }

void GeometryNode::DrawPass(Renderer& renderer) { renderer.DrawCurrent(); }

void GeometryNode::DrawThroughPasses(Renderer& renderer) {
    Ref<GeometryNodeEffect> effect(effect_);
    if (!effect) return;
    renderer.SetCurrentNode(this);
    const int passes = effect->GetPassCount(renderer);
    for (int pass = 0; pass < passes; ++pass) {
        if (effect->ApplyPass(renderer, pass) == kOk) DrawPass(renderer);
        // A lit pass switched its lights on; they go off after it.
        renderer.SwitchOffLights();
    }
}

std::array<Object*, 15> GeometryNode::SearchedParts() const {
    // The colours are not searched.
    return {effect_.Get(),       vertices_.Get(),     pointSizes_.Get(),   normals_.Get(),
            tangents_.Get(),     texCoords_[0].Get(), texCoords_[1].Get(), texCoords_[2].Get(),
            texCoords_[3].Get(), texCoords_[4].Get(), texCoords_[5].Get(), texCoords_[6].Get(),
            texCoords_[7].Get(), indices_.Get(),      localVolume_.Get()};
}

Object* GeometryNode::FindObject(const String& name) {
    if (Object* found = Node::FindObject(name)) return found;
    const auto parts = SearchedParts();
    WalkLevel level;
    if (level.TooDeep()) return nullptr;
    for (Object* part : parts)
        if (part)
            if (Object* found = part->FindObject(name)) return found;
    return nullptr;
}

void GeometryNode::CollectObjects(const TypeInfo* type, Array<Object*>& objects) {
    Node::CollectObjects(type, objects);
    const auto parts = SearchedParts();
    WalkLevel level;
    if (level.TooDeep()) return;
    for (Object* part : parts)
        if (part) part->CollectObjects(type, objects);
}

int GeometryNode::Save(Stream& stream) {
    if (ParentClass::Save(stream) != kOk) return ParentSaveFailed();
    if (stream.WriteObject(effect_) != kOk) return FailedNameId("Невозможно сохранить эффект.");
    if (stream.WriteObject(vertices_) != kOk) return FailedNameId("Невозможно сохранить вершины.");
    if (stream.WriteObject(pointSizes_) != kOk)
        return FailedNameId("Невозможно сохранить размеры точек.");
    if (stream.WriteObject(colors_) != kOk) return FailedNameId("Невозможно сохранить цвета вершин.");
    if (stream.WriteObject(normals_) != kOk) return FailedNameId("Невозможно сохранить нормали.");
    if (stream.WriteObject(tangents_) != kOk) return FailedNameId("Невозможно сохранить тангенты.");
    for (const Ref<Buffer>& texCoords : texCoords_)
        if (stream.WriteObject(texCoords) != kOk)
            return FailedNameId("Невозможно сохранить текстурные координаты.");
    if (stream.WriteObject(indices_) != kOk) return FailedNameId("Невозможно сохранить индексы.");
    if (stream.WriteInt32(localVolume_ ? localVolume_->GetKind() : kSphereVolume) != kOk)
        return FailedNameId("Невозможно сохранить тип локального окружающего объёма.");
    return kOk;
}

int GeometryNode::Load(Stream& stream) {
    if (ParentClass::Load(stream) != kOk) return ParentLoadFailed();
    // Each field through its setter, in record order: the effect first, and
    // the tangents after the vertices that would drop them.
    Ref<GeometryNodeEffect> effect;
    if (stream.ReadReference(effect) != kOk) return FailedIdName("Невозможно загрузить эффект.");
    SetEffect(effect.Get());
    Ref<Vector3Buffer> vertices;
    if (stream.ReadReference(vertices) != kOk) return FailedIdName("Невозможно загрузить вершины.");
    SetVertices(vertices.Get());
    Ref<FloatBuffer> pointSizes;
    if (stream.ReadReference(pointSizes) != kOk)
        return FailedIdName("Невозможно загрузить размеры точек.");
    SetPointSizes(pointSizes.Get());
    Ref<ColorBuffer> colors;
    if (stream.ReadReference(colors) != kOk) return FailedIdName("Невозможно загрузить цвета.");
    SetColors(colors.Get());
    Ref<Vector3Buffer> normals;
    if (stream.ReadReference(normals) != kOk) return FailedIdName("Невозможно загрузить нормали.");
    SetNormals(normals.Get());
    Ref<Vector3Buffer> tangents;
    if (stream.ReadReference(tangents) != kOk) return FailedIdName("Невозможно загрузить тангенты.");
    SetTangents(tangents.Get());
    for (int set = 0; set < kTexCoordSets; ++set) {
        Ref<Buffer> texCoords;
        if (stream.ReadReference(texCoords) != kOk || SetTexCoords(set, texCoords.Get()) != kOk)
            return FailedIdName("Невозможно загрузить текстурные координаты.");
    }
    Ref<IntBuffer> indices;
    if (stream.ReadReference(indices) != kOk) return FailedIdName("Невозможно загрузить индексы.");
    SetIndices(indices.Get());
    int32_t kind = 0;
    if (stream.ReadInt32(kind) != kOk)
        return FailedIdName("Невозможно загрузить тип лоакльного окружающего объёма.");
    localVolume_ = CreateBoundingVolume(kind);
    if (!localVolume_)
        return FailedIdName("Недостаточно памяти для создания локального окружающего объёма.");
    UpdateLocalVolume();
    return kOk;
}

}  // namespace zav
