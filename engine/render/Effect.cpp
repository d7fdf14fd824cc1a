#include "engine/render/Effect.h"

#include "engine/core/ClassRegistration.h"
#include "engine/core/Result.h"
#include "engine/render/Pass.h"
#include "engine/render/Renderer.h"
#include "engine/render/Technique.h"

namespace zav {

ZAV_REGISTER_ABSTRACT_CLASS(Effect);
ZAV_REGISTER_ABSTRACT_CLASS(SceneNodeEffect);

Effect::Effect(const String& name) : Object(name) {}

Effect::~Effect() = default;

void Effect::Animate(double time) { UpdateControllers(time); }

int Effect::AddTechnique(Technique* technique) {
    if (!technique) return kNotFound;
    std::unique_ptr<Technique> owned(technique);
    try {
        techniques_.insert(techniques_.begin(), std::move(owned));
    } catch (const std::bad_alloc&) {
        return kOutOfMemory;
    }
    return kOk;
}

Technique* Effect::GetTechnique(int index) const {
    return index >= 0 && index < GetTechniqueCount() ? techniques_[static_cast<size_t>(index)].get() : nullptr;
}

int Effect::GetPassCount(Renderer& renderer) {
    if (currentTechnique_) return currentTechnique_->GetPassCount();
    for (const std::unique_ptr<Technique>& technique : techniques_) {
        if (!technique->Build(renderer)) continue;
        currentTechnique_ = technique.get();
        InvalidatePasses();
        return currentTechnique_->GetPassCount();
    }
    return 0;
}

int Effect::ApplyPass(Renderer& renderer, int pass) {
    Pass* applied = currentTechnique_ ? currentTechnique_->GetPass(pass) : nullptr;
    if (!applied) return kFailed;
    renderer.SetCurrentPass(applied);
    if (renderer.BeginPass(applied) != kOk) return kFailed;
    return applied->Apply(renderer);
}

void Effect::InvalidatePasses() {
    if (!currentTechnique_) return;
    for (int i = 0; i < currentTechnique_->GetPassCount(); ++i) currentTechnique_->GetPass(i)->Invalidate();
}

}  // namespace zav
