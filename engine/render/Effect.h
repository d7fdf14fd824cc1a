#pragma once

#include "engine/core/Object.h"

namespace zav {

class GeometryNode;
class Renderer;
class SceneNode;

// Decides how a node is drawn: the node asks for the number of passes and
// applies each one before drawing. The choice of technique, the passes and
// their render states belong to the concrete effect classes; this base holds
// what the nodes rely on.
class Effect : public Object {
    ZAV_OBJECT_CLASS(Effect, Object)

    explicit Effect(const String& name = String());

    // Per-frame update: the effect's controllers.
    virtual void Animate(double time);
    virtual void Enable() { enabled_ = true; }
    virtual void Disable() { enabled_ = false; }
    bool IsEnabled() const { return enabled_; }

    // Number of passes on `renderer`; 0 when the effect cannot draw there.
    // The base has no techniques and so no passes.
    virtual int GetPassCount(Renderer& renderer);
    // Prepares pass `pass` for drawing: 0 when it may draw, non-zero to skip
    // it this time. The base has no pass to apply.
    virtual int ApplyPass(Renderer& renderer, int pass);
    // The vertex layout or a parameter the passes depend on changed; the
    // passes record their state again at their next use.
    virtual void InvalidatePasses() {}

    // The scene node whose effect list holds this effect (set by AddEffect).
    SceneNode* GetOwner() const { return owner_; }

private:
    friend class SceneNode;

    bool enabled_ = true;
    SceneNode* owner_ = nullptr;
};

// An effect that wraps the drawing of a scene node's children.
class SceneNodeEffect : public Effect {
    ZAV_OBJECT_CLASS(SceneNodeEffect, Effect)

    explicit SceneNodeEffect(const String& name = String()) : Effect(name) {}
};

// The effect that draws one geometry node. A blended effect's nodes are
// deferred and drawn back to front after the opaque ones.
class GeometryNodeEffect : public Effect {
    ZAV_OBJECT_CLASS(GeometryNodeEffect, Effect)

    explicit GeometryNodeEffect(const String& name = String()) : Effect(name) {}

    bool IsBlending() const { return blending_; }
    void SetBlending(bool blending) {
        blending_ = blending;
        InvalidatePasses();
    }

    // The geometry node that holds the effect (set by its SetEffect); not
    // counted.
    GeometryNode* GetNode() const { return node_; }

private:
    friend class GeometryNode;

    bool blending_ = false;
    GeometryNode* node_ = nullptr;
};

}  // namespace zav
