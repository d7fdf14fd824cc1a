#pragma once

#include <cstdint>
#include <vector>

#include "engine/scene/Node.h"

namespace zav {

class SceneNodeEffect;

// The node with children. It owns its children (counted) and points each
// one's parent at itself; a child that would close a cycle is refused. Its
// effects wrap the drawing of the children, newest first.
class SceneNode : public Node {
    ZAV_OBJECT_CLASS(SceneNode, Node)

    // `slots` null child slots to start with; a full array grows by
    // `growthIncrement` (0: appends to a full array are ignored).
    explicit SceneNode(const String& name = String(), int32_t slots = 1, int32_t growthIncrement = 2);
    ~SceneNode() override;

    void Update(double time) override;
    void Render(Renderer& renderer) override;
    void UpdateWorldVolume() override;
    Object* FindObject(const String& name) override;
    void CollectObjects(const TypeInfo* type, Array<Object*>& objects) override;
    int Save(Stream& stream) override;
    int Load(Stream& stream) override;
    void DropReferences() override;

    // Puts `effect` at the head of the list and becomes its owner; null and
    // an effect already listed are ignored. 0, 2 out of memory, 3 null.
    int AddEffect(SceneNodeEffect* effect);
    int GetEffectCount() const { return effects_.Count(); }
    SceneNodeEffect* GetEffect(int index) const;

    // Appends `child` (null makes an empty slot) and becomes its parent.
    // 1 (with a warning) when the array is full and may not grow, or when
    // `child` is this node or has it below; 2 out of memory.
    int AddChild(Node* child);
    // Replaces slot `index`: the old child is released, the new one adopted.
    // 3 outside the array; 1 for a child that would close a cycle.
    int SetChild(int32_t index, Node* child);
    int32_t GetChildCount() const { return children_.Count(); }
    int32_t GetChildCapacity() const { return children_.Capacity(); }
    int32_t GetGrowthIncrement() const { return growthIncrement_; }
    Node* GetChild(int32_t index) const;

private:
    friend class Node;  // its Load hands the parent read from the file here

    // True when `child` is this node or this node is below it.
    bool WouldCloseCycle(Node* child) const;
    // Makes this node the child's parent; `fromFile` warns when the child's
    // own record named another parent.
    void Adopt(Node* child, bool fromFile);
    // Clears the child's parent when it is this node and no slot holds it.
    void Disown(Node* child);
    void ReleaseChildren();
    void DropEffectsAndChildren();
    bool Holds(const Node* child) const;
    // A node's record names `fileParent`. Kept when the parent adopted the
    // node or is still loading (it must list the node before it finishes);
    // dropped with a warning when it is complete and does not hold the node.
    static void AcceptFileParent(Node& node, SceneNode* fileParent);
    // Ends a Load: drops the parent of every node that named this one while
    // it was loading but is not among its children.
    void SettleClaims();

    Array<Ref<SceneNodeEffect>> effects_;  // head first
    Array<Ref<Node>> children_;
    int32_t growthIncrement_;
    bool loading_ = false;
    std::vector<Node*> claims_;  // only while loading; the stream holds them
};

}  // namespace zav
