#include "engine/scene/SceneNode.h"

#include <algorithm>
#include <new>
#include <unordered_set>
#include <utility>

#include "engine/core/ClassRegistration.h"
#include "engine/core/Log.h"
#include "engine/core/Stream.h"
#include "engine/render/Effect.h"
#include "engine/render/Renderer.h"
#include "engine/scene/BoundingVolume.h"

namespace zav {

ZAV_REGISTER_CLASS(SceneNode);

namespace {

// Every object reference takes at least four bytes of the stream.
constexpr int64_t kReferenceSize = 4;

}  // namespace

SceneNode::SceneNode(const String& name, int32_t slots, int32_t growthIncrement)
    : Node(name), children_(slots, growthIncrement), growthIncrement_(growthIncrement > 0 ? growthIncrement : 0) {
    for (int32_t i = 0; i < slots; ++i) children_.Append(Ref<Node>());
}

SceneNode::~SceneNode() { DropEffectsAndChildren(); }

void SceneNode::DropReferences() {
    Node::DropReferences();
    DropEffectsAndChildren();
}

void SceneNode::DropEffectsAndChildren() {
    Array<Ref<SceneNodeEffect>> effects;
    std::swap(effects, effects_);
    for (Ref<SceneNodeEffect>& effect : effects)
        if (effect->owner_ == this) effect->owner_ = nullptr;
    ReleaseChildren();
}

void SceneNode::ReleaseChildren() {
    Array<Ref<Node>> children(0, growthIncrement_);
    std::swap(children, children_);
    for (Ref<Node>& child : children)
        if (child && child->parent_ == this) child->parent_ = nullptr;
}

SceneNodeEffect* SceneNode::GetEffect(int index) const {
    return index >= 0 && index < GetEffectCount() ? effects_[index].Get() : nullptr;
}

Node* SceneNode::GetChild(int32_t index) const {
    return index >= 0 && index < GetChildCount() ? children_[index].Get() : nullptr;
}

bool SceneNode::Holds(const Node* child) const {
    for (const Ref<Node>& slot : children_)
        if (slot.Get() == child) return true;
    return false;
}

int SceneNode::AddEffect(SceneNodeEffect* effect) {
    if (!effect) return kNotFound;
    for (const Ref<SceneNodeEffect>& listed : effects_)
        if (listed.Get() == effect) return kOk;
    if (effects_.InsertAt(0, Ref<SceneNodeEffect>(effect)) != kOk) {
        LogError("Недостаточно памяти для добавления эффекта. Имя[%s] ID[%d].", GetName().CStr(), GetId());
        return kOutOfMemory;
    }
    effect->owner_ = this;
    return kOk;
}

bool SceneNode::WouldCloseCycle(Node* child) const {
    if (child == this) return true;
    if (!ObjectCast<SceneNode>(child)) return false;
    // Walks the child's subtree once per node (shared subtrees are visited
    // once), looking for this node.
    try {
        std::vector<const SceneNode*> pending{static_cast<const SceneNode*>(child)};
        std::unordered_set<const SceneNode*> visited{pending.back()};
        while (!pending.empty()) {
            const SceneNode* node = pending.back();
            pending.pop_back();
            for (const Ref<Node>& slot : node->children_) {
                if (slot.Get() == this) return true;
                const SceneNode* below = ObjectCast<SceneNode>(slot.Get());
                if (below && visited.insert(below).second) pending.push_back(below);
            }
        }
    } catch (const std::bad_alloc&) {
        return true;  // cannot tell: refuse rather than risk a cycle
    }
    return false;
}

void SceneNode::Adopt(Node* child, bool fromFile) {
    if (fromFile && child->parentRead_ && child->parent_ != this)
        LogWarning("Родитель узла в файле отличается от содержащего его узла. ID[%d] Имя[%s]", child->GetId(),
                   child->GetName().CStr());
    child->parent_ = this;
}

void SceneNode::Disown(Node* child) {
    if (child && child->parent_ == this && !Holds(child)) child->parent_ = nullptr;
}

int SceneNode::AddChild(Node* child) {
    if (GetChildCount() >= GetChildCapacity() && growthIncrement_ == 0) {
        LogWarning("Массив дочерних узлов заполнен. Имя[%s] ID[%d]", GetName().CStr(), GetId());
        return kFailed;
    }
    if (child && WouldCloseCycle(child)) {
        LogWarning("Дочерний узел замыкает цикл в иерархии. Имя[%s] ID[%d]", child->GetName().CStr(), child->GetId());
        return kFailed;
    }
    if (int result = children_.Append(Ref<Node>(child)); result != kOk) return result;
    if (child) Adopt(child, false);
    return kOk;
}

int SceneNode::SetChild(int32_t index, Node* child) {
    if (index < 0 || index >= GetChildCount()) return kNotFound;
    if (child && WouldCloseCycle(child)) {
        LogWarning("Дочерний узел замыкает цикл в иерархии. Имя[%s] ID[%d]", child->GetName().CStr(), child->GetId());
        return kFailed;
    }
    Ref<Node> old = children_[index];
    children_[index] = child;
    Disown(old.Get());
    if (child) Adopt(child, false);
    return kOk;
}

void SceneNode::Update(double time) {
    Node::Update(time);
    for (int32_t i = 0; i < effects_.Count(); ++i) {
        Ref<SceneNodeEffect> effect = effects_[i];
        effect->Animate(time);
    }
    WalkLevel level;
    if (level.TooDeep()) return;
    // By index: a controller may change the array while the children update.
    for (int32_t i = 0; i < children_.Count(); ++i) {
        Ref<Node> child = children_[i];
        if (child) child->UpdateSubtree(time, false);
    }
}

void SceneNode::Render(Renderer& renderer) {
    WalkLevel level;
    if (level.TooDeep()) return;
    auto drawChildren = [this, &renderer] {
        for (int32_t i = 0; i < children_.Count(); ++i) {
            Ref<Node> child = children_[i];
            if (child) child->Draw(renderer);
        }
    };
    if (effects_.IsEmpty()) {
        drawChildren();
        return;
    }
    for (int32_t e = 0; e < effects_.Count(); ++e) {
        Ref<SceneNodeEffect> effect = effects_[e];
        if (!effect->IsEnabled()) continue;
        const int passes = effect->GetPassCount(renderer);
        for (int pass = 0; pass < passes; ++pass) {
            if (effect->ApplyPass(renderer, pass) != kOk) continue;
            drawChildren();
            renderer.FlushDeferred();
        }
    }
}

void SceneNode::UpdateWorldVolume() {
    if (!GetUpdateWorldVolume() || !worldVolume_) return;
    // The first child with a sphere sets the volume, the later ones merge
    // into it; without such a child the volume stays as it was.
    bool first = true;
    for (const Ref<Node>& child : children_) {
        const BoundingVolume* volume = child ? child->GetWorldVolume() : nullptr;
        if (!volume || volume->GetKind() != kSphereVolume) continue;
        if (first)
            worldVolume_->SetFrom(volume);
        else
            worldVolume_->Merge(volume);
        first = false;
    }
}

Object* SceneNode::FindObject(const String& name) {
    if (Object* found = Node::FindObject(name)) return found;
    WalkLevel level;
    if (level.TooDeep()) return nullptr;
    for (const Ref<SceneNodeEffect>& effect : effects_)
        if (Object* found = effect->FindObject(name)) return found;
    for (const Ref<Node>& child : children_)
        if (child)
            if (Object* found = child->FindObject(name)) return found;
    return nullptr;
}

void SceneNode::CollectObjects(const TypeInfo* type, Array<Object*>& objects) {
    Node::CollectObjects(type, objects);
    WalkLevel level;
    if (level.TooDeep()) return;
    for (const Ref<SceneNodeEffect>& effect : effects_) effect->CollectObjects(type, objects);
    for (const Ref<Node>& child : children_)
        if (child) child->CollectObjects(type, objects);
}

int SceneNode::Save(Stream& stream) {
    if (ParentClass::Save(stream) != kOk) return ParentSaveFailed();
    if (stream.WriteInt32(GetEffectCount()) != kOk) return FailedNameId("Невозможно сохранить количество эффектов.");
    for (const Ref<SceneNodeEffect>& effect : effects_) {
        if (stream.WriteObject(effect) != kOk) return FailedNameId("Невозможно сохранить эффект.");
    }
    if (stream.WriteInt32(GetChildCount()) != kOk)
        return FailedNameId("Невозможно сохранить количество дочерних узлов.");
    if (stream.WriteInt32(growthIncrement_) != kOk) return FailedNameId("Невозможно сохранить приращение.");
    for (const Ref<Node>& child : children_) {
        if (stream.WriteObject(child) != kOk) return FailedNameId("Невозможно сохранить дочерний узел.");
    }
    return kOk;
}

int SceneNode::Load(Stream& stream) {
    // While the record is read, nodes inside it may name this one as their
    // parent before it lists them; they are checked when it is done.
    struct Loading {
        SceneNode& node;
        explicit Loading(SceneNode& n) : node(n) { node.loading_ = true; }
        ~Loading() { node.SettleClaims(); }
    } loading(*this);

    if (ParentClass::Load(stream) != kOk) return ParentLoadFailed();
    int32_t effectCount = 0;
    if (stream.ReadInt32(effectCount) != kOk || effectCount < 0 || effectCount > stream.Remaining() / kReferenceSize)
        return FailedIdName("Невозможно загрузить количество эффектов.");
    for (int32_t i = 0; i < effectCount; ++i) {
        Ref<SceneNodeEffect> effect;
        if (stream.ReadReference(effect) != kOk || (effect && AddEffect(effect.Get()) != kOk))
            return FailedIdName("Невозможно загрузить эффект.");
    }
    int32_t childCount = 0;
    if (stream.ReadInt32(childCount) != kOk || childCount < 0 ||
        childCount > (stream.Remaining() - 4) / kReferenceSize) {
        return FailedIdName("Невозможно загрузить количество дочерних узлов.");
    }
    int32_t increment = 0;
    if (stream.ReadInt32(increment) != kOk) return FailedIdName("Невозможно загрузить приращение.");
    ReleaseChildren();
    try {
        children_ = Array<Ref<Node>>(childCount, increment);
    } catch (const std::bad_alloc&) {
        return FailedIdName("Невозможно загрузить количество дочерних узлов.");
    }
    growthIncrement_ = increment > 0 ? increment : 0;
    for (int32_t i = 0; i < childCount; ++i) {
        Ref<Node> child;
        if (stream.ReadReference(child) != kOk) return FailedIdName("Невозможно загрузить дочерний узел.");
        if (child && WouldCloseCycle(child.Get())) {
            LogError("Дочерний узел замыкает цикл в иерархии. ID[%d] Имя[%s]", child->GetId(), child->GetName().CStr());
            return FailedIdName("Невозможно загрузить дочерний узел.");
        }
        if (children_.Append(child) != kOk) return FailedIdName("Невозможно загрузить дочерний узел.");
        if (child) Adopt(child.Get(), true);
    }
    return kOk;
}

void SceneNode::AcceptFileParent(Node& node, SceneNode* fileParent) {
    node.parentRead_ = true;
    if (node.parent_) {
        // Adopted while its own record was still being read.
        if (fileParent != node.parent_)
            LogWarning("Родитель узла в файле отличается от содержащего его узла. ID[%d] Имя[%s]", node.GetId(),
                       node.GetName().CStr());
        return;
    }
    if (!fileParent) return;
    if (fileParent->loading_) {
        try {
            fileParent->claims_.push_back(&node);
        } catch (const std::bad_alloc&) {
            return;  // not recorded: the node keeps no parent
        }
        node.parent_ = fileParent;
        return;
    }
    LogWarning("Родитель узла в файле не содержит его среди дочерних узлов. ID[%d] Имя[%s]", node.GetId(),
               node.GetName().CStr());
}

void SceneNode::SettleClaims() {
    loading_ = false;
    if (claims_.empty()) return;
    std::vector<Node*> claims;
    claims.swap(claims_);
    std::unordered_set<const Node*> held;
    try {
        for (const Ref<Node>& child : children_) held.insert(child.Get());
    } catch (const std::bad_alloc&) {
        held.clear();  // then every claim is dropped: no parent is safer than a wrong one
    }
    for (Node* node : claims) {
        if (node->parent_ != this || held.count(node)) continue;
        LogWarning("Родитель узла в файле не содержит его среди дочерних узлов. ID[%d] Имя[%s]", node->GetId(),
                   node->GetName().CStr());
        node->parent_ = nullptr;
    }
}

}  // namespace zav
