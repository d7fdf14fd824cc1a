#include "engine/render/effects/Texture1DL1PLEffect.h"

#include <new>

#include "engine/core/ClassRegistration.h"
#include "engine/core/Result.h"
#include "engine/render/Technique.h"

namespace zav {

ZAV_REGISTER_CLASS(Texture1DL1PLEffect);

namespace {

class FixedFunctionPass : public LitFixedFunctionPass {
public:
    explicit FixedFunctionPass(Texture1DL1PLEffect* effect) : LitFixedFunctionPass(effect, effect->Links()) {}
};

class ShaderPass : public LitShaderPass {
public:
    explicit ShaderPass(Texture1DL1PLEffect* effect) : LitShaderPass(effect, effect->Links()) {}
};

}  // namespace

Texture1DL1PLEffect::Texture1DL1PLEffect(const String& name) : TextureEffect(name) {
    lights_.hasPoint = true;
    AddTechnique(new (std::nothrow)
                     OnePassTechnique<FixedFunctionPass, Texture1DL1PLEffect>(this, &CanLight, "two-light fixed function"));
    AddTechnique(new (std::nothrow)
                     OnePassTechnique<ShaderPass, Texture1DL1PLEffect>(this, &CanLightWithShaders, "two-light shader"));
}

Object* Texture1DL1PLEffect::FindObject(const String& name) {
    if (Object* found = TextureEffect::FindObject(name)) return found;
    WalkLevel level;
    return level.TooDeep() ? nullptr : lights_.FindObject(name);
}

void Texture1DL1PLEffect::CollectObjects(const TypeInfo* type, Array<Object*>& objects) {
    TextureEffect::CollectObjects(type, objects);
    WalkLevel level;
    if (!level.TooDeep()) lights_.CollectObjects(type, objects);
}

void Texture1DL1PLEffect::DropReferences() {
    TextureEffect::DropReferences();
    lights_.Drop();
}

int Texture1DL1PLEffect::Save(Stream& stream) {
    if (ParentClass::Save(stream) != kOk) return ParentSaveFailed();
    return lights_.Save(stream, *this);
}

int Texture1DL1PLEffect::Load(Stream& stream) {
    if (ParentClass::Load(stream) != kOk) return ParentLoadFailed();
    return lights_.Load(stream, *this);
}

}  // namespace zav
