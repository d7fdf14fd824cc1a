#pragma once

#include "engine/core/Object.h"
#include "engine/core/Transform.h"

namespace zav {

class BoundingVolume;
class Renderer;
class SceneNode;

// Base of everything with a place in the scene: a transform relative to the
// parent, the composed world transform and a world bounding volume. Only a
// SceneNode has children; it owns them and points them back at itself.
class Node : public Object {
    ZAV_OBJECT_CLASS(Node, Object)

    explicit Node(const String& name = String());
    ~Node() override;

    // Per-frame update: controllers, then the world transform.
    virtual void Update(double time);
    // Draws the node (nothing for a plain node).
    virtual void Render(Renderer& renderer);
    // Draws the node unless the current camera culls its world volume; the
    // camera's plane mask is the same afterwards.
    virtual void Draw(Renderer& renderer);
    // Rebuilds the world volume from what the node bounds (nothing here).
    virtual void UpdateWorldVolume();

    Object* FindObject(const String& name) override;
    void CollectObjects(const TypeInfo* type, Array<Object*>& objects) override;
    int Save(Stream& stream) override;
    int Load(Stream& stream) override;

    // world = local composed with the parent's world (local alone without a
    // parent); nothing while world updates are switched off.
    void ComputeWorldTransform();
    // The per-frame entry point: Update, then the world volume; with
    // `updateAncestors`, every ancestor's volume afterwards.
    void UpdateSubtree(double time, bool updateAncestors);
    // UpdateWorldVolume of the parent, its parent and so on to the root.
    void UpdateAncestorVolumes();

    const Transform& GetLocalTransform() const { return localTransform_; }
    void SetLocalTransform(const Transform& transform) { localTransform_ = transform; }
    const Transform& GetWorldTransform() const { return worldTransform_; }
    void SetWorldTransform(const Transform& transform) { worldTransform_ = transform; }
    bool GetUpdateWorldTransform() const { return updateWorldTransform_; }
    void SetUpdateWorldTransform(bool update) { updateWorldTransform_ = update; }
    BoundingVolume* GetWorldVolume() const { return worldVolume_.Get(); }
    bool GetUpdateWorldVolume() const { return updateWorldVolume_; }
    void SetUpdateWorldVolume(bool update) { updateWorldVolume_ = update; }
    SceneNode* GetParent() const { return parent_; }

    // The world translation.
    Vector3 GetWorldPosition() const { return worldTransform_.translation; }
    // Column k of the world rotation matrix: 0 right, 1 up, 2 forward.
    Vector3 WorldAxis(int k) const;

protected:
    Ref<BoundingVolume> worldVolume_;

private:
    friend class SceneNode;  // adopts children and clears their parent

    Transform localTransform_;
    Transform worldTransform_;
    bool updateWorldTransform_ = true;
    bool updateWorldVolume_ = true;
    SceneNode* parent_ = nullptr;
    // Set once the record's parent reference has been read.
    bool parentRead_ = false;
};

}  // namespace zav
