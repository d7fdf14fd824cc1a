#include "engine/scene/Node.h"

#include <new>

#include "engine/core/ClassRegistration.h"
#include "engine/core/Log.h"
#include "engine/core/Stream.h"
#include "engine/render/Renderer.h"
#include "engine/scene/BoundingVolume.h"
#include "engine/scene/Camera.h"
#include "engine/scene/SceneNode.h"
#include "engine/scene/TransformMath.h"

namespace zav {

ZAV_REGISTER_ABSTRACT_CLASS(Node);

namespace {

// Parent chains are acyclic (a scene node refuses a child that would close
// a cycle); the walk up is bounded all the same.
constexpr int kMaxAncestorWalk = 1 << 20;

}  // namespace

Node::Node(const String& name) : Object(name), worldVolume_(new (std::nothrow) SphereBoundingVolume()) {
    if (!worldVolume_) LogError("Недостаточно памяти для создания окружающего объёма.");
}

Node::~Node() = default;

void Node::Update(double time) {
    UpdateControllers(time);
    ComputeWorldTransform();
}

void Node::Render(Renderer&) {}

void Node::Draw(Renderer& renderer) {
    Ref<Camera> camera(renderer.GetCamera());
    if (!camera) {
        Render(renderer);
        return;
    }
    const int32_t mask = camera->GetCullMask();
    if (!camera->IsCulled(worldVolume_.Get())) Render(renderer);
    camera->SetCullMask(mask);
}

void Node::UpdateWorldVolume() {}

void Node::ComputeWorldTransform() {
    if (!updateWorldTransform_) return;
    worldTransform_ = parent_ ? Compose(localTransform_, parent_->GetWorldTransform()) : localTransform_;
}

void Node::UpdateSubtree(double time, bool updateAncestors) {
    Update(time);
    UpdateWorldVolume();
    if (updateAncestors && parent_) UpdateAncestorVolumes();
}

void Node::UpdateAncestorVolumes() {
    int steps = 0;
    for (SceneNode* ancestor = parent_; ancestor && steps < kMaxAncestorWalk; ancestor = ancestor->GetParent(), ++steps)
        ancestor->UpdateWorldVolume();
}

Vector3 Node::WorldAxis(int k) const { return RotationAxis(worldTransform_.rotation, k); }

Object* Node::FindObject(const String& name) {
    if (Object* found = Object::FindObject(name)) return found;
    return worldVolume_ ? worldVolume_->FindObject(name) : nullptr;
}

void Node::CollectObjects(const TypeInfo* type, Array<Object*>& objects) {
    Object::CollectObjects(type, objects);
    if (worldVolume_) worldVolume_->CollectObjects(type, objects);
}

int Node::Save(Stream& stream) {
    if (ParentClass::Save(stream) != kOk) return ParentSaveFailed();
    if (stream.WriteObject(parent_) != kOk) return FailedNameId("Невозможно сохранить родителя.");
    if (stream.WriteTransform(localTransform_) != kOk)
        return FailedNameId("Невозможно сохранить локальную трансформацию.");
    if (stream.WriteInt32(worldVolume_ ? worldVolume_->GetKind() : kSphereVolume) != kOk)
        return FailedNameId("Невозможно сохранить тип окружающего объёма.");
    if (stream.WriteBool(updateWorldVolume_) != kOk)
        return FailedNameId("Невозможно сохранить флаг обновления мирового объёма.");
    return kOk;
}

int Node::Load(Stream& stream) {
    if (ParentClass::Load(stream) != kOk) return ParentLoadFailed();
    SceneNode* fileParent = nullptr;
    if (stream.ReadReference(fileParent) != kOk) return FailedIdName("Невозможно загрузить родителя.");
    SceneNode::AcceptFileParent(*this, fileParent);
    if (stream.ReadTransform(localTransform_) != kOk)
        return FailedIdName("Невозможно загрузить локальную трансформацию.");
    int32_t kind = 0;
    if (stream.ReadInt32(kind) != kOk) return FailedIdName("Невозможно загрузить тип окружающего объёма.");
    if (stream.ReadBool(updateWorldVolume_) != kOk)
        return FailedIdName("Невозможно загрузить флаг обновления окружающего объёма.");
    worldVolume_ = CreateBoundingVolume(kind);
    if (!worldVolume_) {
        LogError("Недостаточно памяти для создания мирового окружающего объёма. ID[%d] Имя[%s]", GetId(),
                 GetName().CStr());
        return kFailed;
    }
    return kOk;
}

}  // namespace zav
