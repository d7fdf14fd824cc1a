#pragma once

#include <cstdint>

#include "engine/animation/Controller.h"
#include "engine/core/Array.h"
#include "engine/core/Transform.h"
#include "engine/scene/Matrix4.h"

namespace zav {

class Buffer;
class Node;
class Vector3Buffer;

// Deforms its owner geometry node from a set of bone nodes every frame: the
// bind-pose vertices, weighted by up to four bones each, are moved into
// world space. While inactive (a vertex shader skins instead) it still
// builds the bone matrices and the bounds.
class SkinController : public Controller {
    ZAV_OBJECT_CLASS(SkinController, Controller)

    explicit SkinController(const String& name = String());

    void Update(double time) override;
    // Also the bones and buffers: a bone may lead back to the owner.
    void DropReferences() override;
    int Save(Stream& stream) override;
    int Load(Stream& stream) override;

    // Appends a bone (null counts as identity) with its bind-pose offset.
    int AddBone(Node* bone, const Transform& offset);
    // Drops every bone, offset and matrix.
    void ClearBones();
    int GetBoneCount() const { return bones_.Count(); }
    Node* GetBone(int index) const;
    // The skinning matrices of the last update, one per bone.
    int GetBoneMatrixCount() const { return boneMatrices_.Count(); }
    const Matrix4& GetBoneMatrix(int index) const { return boneMatrices_[index]; }
    Vector3Buffer* GetBonePositions() const { return bonePositions_.Get(); }

    // Skinning needs Vector3Buffer sources and Vector4Buffer weights and
    // indices with at least one entry per vertex of the owner.
    void SetWeights(Buffer* weights) { weights_ = weights; }
    void SetBoneIndices(Buffer* boneIndices) { boneIndices_ = boneIndices; }
    void SetSourceVertices(Buffer* vertices) { sourceVertices_ = vertices; }
    void SetSourceNormals(Buffer* normals) { sourceNormals_ = normals; }
    void SetSourceTangents(Buffer* tangents) { sourceTangents_ = tangents; }
    Buffer* GetWeights() const { return weights_.Get(); }
    Buffer* GetBoneIndices() const { return boneIndices_.Get(); }
    Buffer* GetSourceVertices() const { return sourceVertices_.Get(); }
    Buffer* GetSourceNormals() const { return sourceNormals_.Get(); }
    Buffer* GetSourceTangents() const { return sourceTangents_.Get(); }

private:
    // Rebuilds the matrices and bone positions; returns how many bones have
    // a bone, an offset, a matrix and a position slot.
    int UpdateBoneMatrices();
    void UpdateOwnerBounds(bool keepUnbounded);

    Array<Ref<Node>> bones_{1, 1};
    Ref<Vector3Buffer> bonePositions_;
    Array<Transform> boneOffsets_{1, 1};
    Array<Matrix4> boneMatrices_{1, 1};
    Ref<Buffer> weights_;
    Ref<Buffer> boneIndices_;
    Ref<Buffer> sourceVertices_;
    Ref<Buffer> sourceNormals_;
    Ref<Buffer> sourceTangents_;
};

}  // namespace zav
