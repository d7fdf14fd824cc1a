#pragma once

#include "engine/render/effects/LitPasses.h"
#include "engine/render/effects/TextureEffect.h"

namespace zav {

// The texture effect lit by one directional light.
class Texture1DLEffect : public TextureEffect {
    ZAV_OBJECT_CLASS(Texture1DLEffect, TextureEffect)

    explicit Texture1DLEffect(const String& name = String());

    Object* FindObject(const String& name) override;
    void CollectObjects(const TypeInfo* type, Array<Object*>& objects) override;
    int Save(Stream& stream) override;
    int Load(Stream& stream) override;
    void DropReferences() override;

    Light* GetDirectionalLight() const { return lights_.directional.Get(); }
    void SetDirectionalLight(Light* light) { lights_.directional = light; }

    const LightLinks& Links() const { return lights_; }

private:
    LightLinks lights_;
};

}  // namespace zav
