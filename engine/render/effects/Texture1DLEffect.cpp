#include "engine/render/effects/Texture1DLEffect.h"

#include <new>

#include "engine/core/ClassRegistration.h"
#include "engine/core/Result.h"
#include "engine/render/Technique.h"

namespace zav {

ZAV_REGISTER_CLASS(Texture1DLEffect);

namespace {

class FixedFunctionPass : public LitFixedFunctionPass {
public:
    explicit FixedFunctionPass(Texture1DLEffect* effect) : LitFixedFunctionPass(effect, effect->Links()) {}
};

class ShaderPass : public LitShaderPass {
public:
    explicit ShaderPass(Texture1DLEffect* effect) : LitShaderPass(effect, effect->Links()) {}
};

}  // namespace

Texture1DLEffect::Texture1DLEffect(const String& name) : TextureEffect(name) {
    AddTechnique(new (std::nothrow)
                     OnePassTechnique<FixedFunctionPass, Texture1DLEffect>(this, &CanLight, "lit fixed function"));
    AddTechnique(new (std::nothrow)
                     OnePassTechnique<ShaderPass, Texture1DLEffect>(this, &CanLightWithShaders, "lit shader"));
}

Object* Texture1DLEffect::FindObject(const String& name) {
    if (Object* found = TextureEffect::FindObject(name)) return found;
    WalkLevel level;
    return level.TooDeep() ? nullptr : lights_.FindObject(name);
}

void Texture1DLEffect::CollectObjects(const TypeInfo* type, Array<Object*>& objects) {
    TextureEffect::CollectObjects(type, objects);
    WalkLevel level;
    if (!level.TooDeep()) lights_.CollectObjects(type, objects);
}

void Texture1DLEffect::DropReferences() {
    TextureEffect::DropReferences();
    lights_.Drop();
}

int Texture1DLEffect::Save(Stream& stream) {
    if (ParentClass::Save(stream) != kOk) return ParentSaveFailed();
    return lights_.Save(stream, *this);
}

int Texture1DLEffect::Load(Stream& stream) {
    if (ParentClass::Load(stream) != kOk) return ParentLoadFailed();
    return lights_.Load(stream, *this);
}

}  // namespace zav
