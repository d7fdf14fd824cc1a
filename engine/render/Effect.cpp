#include "engine/render/Effect.h"

#include "engine/core/ClassRegistration.h"
#include "engine/core/Result.h"

namespace zav {

ZAV_REGISTER_ABSTRACT_CLASS(Effect);
ZAV_REGISTER_ABSTRACT_CLASS(SceneNodeEffect);
ZAV_REGISTER_ABSTRACT_CLASS(GeometryNodeEffect);

Effect::Effect(const String& name) : Object(name) {}

void Effect::Animate(double time) { UpdateControllers(time); }

int Effect::GetPassCount(Renderer&) { return 0; }

int Effect::ApplyPass(Renderer&, int) { return kFailed; }

}  // namespace zav
