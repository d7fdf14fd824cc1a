#pragma once

#include <memory>
#include <vector>

#include "engine/core/Object.h"

namespace zav {

class Renderer;
class SceneNode;
class Technique;

// Decides how a node is drawn. An effect owns techniques in order of
// preference; at its first GetPassCount it keeps the first one that builds
// on the renderer, for good. The node then applies each pass of that
// technique and draws. Only the Object record is stored.
class Effect : public Object {
    ZAV_OBJECT_CLASS(Effect, Object)

    explicit Effect(const String& name = String());
    ~Effect() override;

    // Per-frame update: the effect's controllers.
    virtual void Animate(double time);
    virtual void Enable() { enabled_ = true; }
    virtual void Disable() { enabled_ = false; }
    bool IsEnabled() const { return enabled_; }

    // Takes `technique` (the effect owns it) and puts it in front of the
    // others, so the technique added last is tried first. 0; 3 for null;
    // 2 when memory runs out (the technique is deleted).
    int AddTechnique(Technique* technique);
    int GetTechniqueCount() const { return static_cast<int>(techniques_.size()); }
    Technique* GetTechnique(int index) const;
    // The technique in use; null until one has been chosen.
    Technique* GetCurrentTechnique() const { return currentTechnique_; }

    // Number of passes of the technique in use. The first call chooses it:
    // the first technique whose Build succeeds on `renderer`, whose passes
    // are then invalidated. 0 when none builds (the next call tries again).
    virtual int GetPassCount(Renderer& renderer);
    // Makes pass `pass` the renderer's current pass, begins it on the
    // renderer and applies it: 0 when it may draw, non-zero to skip it.
    virtual int ApplyPass(Renderer& renderer, int pass);
    // The passes of the technique in use record their state again at their
    // next use (nothing while none is chosen).
    virtual void InvalidatePasses();

    // The scene node whose effect list holds this effect (set by AddEffect).
    SceneNode* GetOwner() const { return owner_; }

private:
    friend class SceneNode;

    std::vector<std::unique_ptr<Technique>> techniques_;
    Technique* currentTechnique_ = nullptr;
    bool enabled_ = true;
    SceneNode* owner_ = nullptr;
};

// An effect that wraps the drawing of a scene node's children.
class SceneNodeEffect : public Effect {
    ZAV_OBJECT_CLASS(SceneNodeEffect, Effect)

    explicit SceneNodeEffect(const String& name = String()) : Effect(name) {}
};

}  // namespace zav
