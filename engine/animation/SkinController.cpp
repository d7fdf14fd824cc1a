#include "engine/animation/SkinController.h"

#include <algorithm>
#include <cfloat>
#include <new>

#include "engine/animation/Skinning.h"
#include "engine/core/ClassRegistration.h"
#include "engine/core/Log.h"
#include "engine/core/Stream.h"
#include "engine/scene/BoundingVolume.h"
#include "engine/scene/Buffer.h"
#include "engine/scene/GeometryNode.h"
#include "engine/scene/SphereFit.h"
#include "engine/scene/TransformMath.h"

namespace zav {

ZAV_REGISTER_CLASS(SkinController);

namespace {

// The bound is fitted around the bones and enlarged by half.
constexpr float kBoneBoundScale = 1.5f;
// A stored bone is at least an object reference and a transform.
constexpr int64_t kStoredBoneSize = 4 + 40;

}  // namespace

SkinController::SkinController(const String& name) : Controller(name) {}

Node* SkinController::GetBone(int index) const {
    return index >= 0 && index < bones_.Count() ? bones_[index].Get() : nullptr;
}

int SkinController::AddBone(Node* bone, const Transform& offset) {
    // All or nothing: bones, offsets and matrices stay the same length.
    Ref<Vector3Buffer> positions = NewBuffer<Vector3Buffer>(bones_.Count() + 1);
    if (!positions || bones_.Append(Ref<Node>(bone)) != kOk) return kOutOfMemory;
    if (boneOffsets_.Append(offset) != kOk) {
        bones_.RemoveAt(bones_.Count() - 1);
        return kOutOfMemory;
    }
    if (boneMatrices_.Append(Matrix4::Identity()) != kOk) {
        bones_.RemoveAt(bones_.Count() - 1);
        boneOffsets_.RemoveAt(boneOffsets_.Count() - 1);
        return kOutOfMemory;
    }
    bonePositions_ = positions;
    return kOk;
}

void SkinController::ClearBones() {
    bones_.Clear();
    boneOffsets_.Clear();
    boneMatrices_.Clear();
    bonePositions_ = nullptr;
}

void SkinController::DropReferences() {
    Controller::DropReferences();
    ClearBones();
    weights_ = nullptr;
    boneIndices_ = nullptr;
    sourceVertices_ = nullptr;
    sourceNormals_ = nullptr;
    sourceTangents_ = nullptr;
}

int SkinController::UpdateBoneMatrices() {
    const int count = std::min({bones_.Count(), boneOffsets_.Count(), boneMatrices_.Count()});
    const int positionCount = bonePositions_ ? bonePositions_->GetCount() : 0;
    for (int i = 0; i < count; ++i) {
        const Node* bone = bones_[i].Get();
        const Transform world = bone ? bone->GetWorldTransform() : Transform();
        boneMatrices_[i] = ToMatrix(Compose(boneOffsets_[i], world));
        if (i < positionCount) (*bonePositions_)[i] = world.translation;
    }
    if (bonePositions_) bonePositions_->SetDirty();
    return count;
}


void SkinController::UpdateOwnerBounds(bool active) {
    auto* owner = static_cast<GeometryNode*>(GetOwner());
    if (auto* volume = ObjectCast<SphereBoundingVolume>(owner->GetWorldVolume())) {
        // A single bone says nothing about the mesh's extent: never cull it.
        Vector3 center;
        float radius = 0.0f;
        if (bones_.Count() >= 2 && bonePositions_ && bonePositions_->GetCount() > 0) {
            FitSphere(bonePositions_->Elements(), bonePositions_->GetCount(), center, radius);
            volume->Set(center, radius * kBoneBoundScale);
        } else {
            volume->SetUnbounded();
        }
    }
    owner->SetUpdateWorldVolume(false);
    if (active) {
        // The skinned vertices are in world space already.
        owner->SetWorldTransform(Transform());
        owner->SetUpdateWorldTransform(false);
    }
}

void SkinController::Update(double) {
    auto* owner = ObjectCast<GeometryNode>(GetOwner());
    if (!owner) return;
    if (!IsActive()) {
        UpdateBoneMatrices();
        UpdateOwnerBounds(false);
        return;
    }
    Vector3Buffer* targets = owner->GetVertices();
    auto* sources = ObjectCast<Vector3Buffer>(sourceVertices_.Get());
    auto* weights = ObjectCast<Vector4Buffer>(weights_.Get());
    auto* indices = ObjectCast<Vector4Buffer>(boneIndices_.Get());
    if (!targets || !sources || sources->GetCount() != targets->GetCount() || !weights || !indices ||
        weights->GetCount() < targets->GetCount() || indices->GetCount() < targets->GetCount())
        return;
    SkinningJob job;
    job.sources = sources->Elements();
    job.targets = targets->Elements();
    job.vertexCount = targets->GetCount();
    job.weights = weights->Elements();
    job.boneIndices = indices->Elements();
    job.matrixCount = UpdateBoneMatrices();
    job.matrices = boneMatrices_.begin();
    Skin(job);
    targets->SetDirty();
    UpdateOwnerBounds(true);
}

int SkinController::Save(Stream& stream) {
    if (ParentClass::Save(stream) != kOk) return ParentSaveFailed();
    if (stream.WriteInt32(bones_.Count()) != kOk) return FailedNameId("Невозможно сохранить количество костей.");
    for (const Ref<Node>& bone : bones_) {
        if (stream.WriteObject(bone) != kOk) return FailedNameId("Невозможно сохранить кость.");
    }
    // One offset per stored bone; a missing one is the identity.
    for (int i = 0; i < bones_.Count(); ++i) {
        if (stream.WriteTransform(i < boneOffsets_.Count() ? boneOffsets_[i] : Transform()) != kOk)
            return FailedNameId("Невозможно сохранить кость.");
    }
    if (stream.WriteObject(weights_) != kOk) return FailedNameId("Невозможно сохранить веса.");
    if (stream.WriteObject(boneIndices_) != kOk) return FailedNameId("Невозможно сохранить индексы.");
    if (stream.WriteObject(sourceVertices_) != kOk) return FailedNameId("Невозможно сохранить вершины.");
    if (stream.WriteObject(sourceNormals_) != kOk) return FailedNameId("Невозможно сохранить нормали.");
    if (stream.WriteObject(sourceTangents_) != kOk) return FailedNameId("Невозможно сохранить тангенсы.");
    return kOk;
}

int SkinController::Load(Stream& stream) {
    if (ParentClass::Load(stream) != kOk) return ParentLoadFailed();
    int32_t count = 0;
    const int64_t bytesLeft = stream.Remaining();
    if (stream.ReadInt32(count) != kOk || count < 0 || count * kStoredBoneSize > bytesLeft - 4)
        return FailedIdName("Невозможно загрузить количество костей.");
    ClearBones();
    bones_ = Array<Ref<Node>>(count, 1);
    boneOffsets_ = Array<Transform>(count, 1);
    boneMatrices_ = Array<Matrix4>(count, 1);
    for (int32_t i = 0; i < count; ++i) {
        Ref<Node> bone;
        if (stream.ReadReference(bone) != kOk || bones_.Append(bone) != kOk) {
            LogError("Невозможно загрузить кость. ID[%d]", GetId());
            return kFailed;
        }
    }
    for (int32_t i = 0; i < count; ++i) {
        Transform offset;
        if (stream.ReadTransform(offset) != kOk || boneOffsets_.Append(offset) != kOk ||
            boneMatrices_.Append(Matrix4::Identity()) != kOk) {
            LogError("Невозможно загрузить кость. ID[%d]", GetId());
            return kFailed;
        }
    }
    if (stream.ReadReference(weights_) != kOk) return FailedNameId("Невозможно загрузить веса.");
    if (stream.ReadReference(boneIndices_) != kOk) return FailedNameId("Невозможно загрузить индексы.");
    if (stream.ReadReference(sourceVertices_) != kOk) return FailedNameId("Невозможно загрузить вершины.");
    if (stream.ReadReference(sourceNormals_) != kOk) return FailedNameId("Невозможно загрузить нормали.");
    if (stream.ReadReference(sourceTangents_) != kOk) return FailedNameId("Невозможно загрузить тангенсы.");
    bonePositions_ = NewBuffer<Vector3Buffer>(count);
    if (!bonePositions_) return FailedIdName("Недостаточно памяти для создания буффера позиций костей.");
    return kOk;
}

}  // namespace zav
