#pragma once

#include <new>

#include "engine/core/Array.h"
#include "engine/core/RefCounted.h"
#include "engine/render/Pass.h"
#include "engine/render/RendererCaps.h"

namespace zav {

class Effect;
class Renderer;

// The renderer's capabilities (Renderer.h need not be included here).
const RendererCaps& RendererCapsOf(const Renderer& renderer);

// One way for an effect to draw: a sequence of passes that needs certain
// device capabilities. Build checks them on the renderer and creates the
// passes; an effect uses the first of its techniques that builds.
class Technique {
public:
    explicit Technique(Effect* effect, const char* name = "") : effect_(effect), name_(name) {}
    virtual ~Technique();
    Technique(const Technique&) = delete;
    Technique& operator=(const Technique&) = delete;

    // False when the renderer cannot run the technique (nothing is kept then).
    virtual bool Build(Renderer& renderer) = 0;

    int GetPassCount() const { return passes_.Count(); }
    Pass* GetPass(int index) const { return index >= 0 && index < passes_.Count() ? passes_[index].Get() : nullptr; }
    Effect* GetEffect() const { return effect_; }
    // What the technique is, for logs and tests ("colour shader", ...).
    const char* GetName() const { return name_; }

protected:
    // Appends a pass (null, out of memory: false and nothing appended).
    bool AddPass(Pass* pass);
    void ClearPasses() { passes_.Clear(); }

    Effect* effect_;

private:
    const char* name_;
    Array<Ref<Pass>> passes_{1, 1};
};

// A technique of one pass of class PassClass (made from the effect),
// built when the renderer's capabilities meet `condition` (null: always).
template <class PassClass, class EffectClass>
class OnePassTechnique : public Technique {
public:
    using Condition = bool (*)(const RendererCaps& caps);

    OnePassTechnique(EffectClass* effect, Condition condition, const char* name = "")
        : Technique(effect, name), owner_(effect), condition_(condition) {}

    bool Build(Renderer& renderer) override;

private:
    EffectClass* owner_;
    Condition condition_;
};

// Needs the renderer's declaration; defined where PassClass is complete.
template <class PassClass, class EffectClass>
bool OnePassTechnique<PassClass, EffectClass>::Build(Renderer& renderer) {
    if (condition_ && !condition_(RendererCapsOf(renderer))) return false;
    if (GetPassCount() == 0) AddPass(new (std::nothrow) PassClass(owner_));
    return GetPassCount() == 1;
}

}  // namespace zav
