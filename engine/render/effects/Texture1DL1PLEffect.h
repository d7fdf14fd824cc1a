#pragma once

#include "engine/render/effects/LitPasses.h"
#include "engine/render/effects/TextureEffect.h"

namespace zav {

// The texture effect lit by a directional and a point light.
class Texture1DL1PLEffect : public TextureEffect {
    ZAV_OBJECT_CLASS(Texture1DL1PLEffect, TextureEffect)

    explicit Texture1DL1PLEffect(const String& name = String());

    Object* FindObject(const String& name) override;
    void CollectObjects(const TypeInfo* type, Array<Object*>& objects) override;
    int Save(Stream& stream) override;
    int Load(Stream& stream) override;
    void DropReferences() override;

    Light* GetDirectionalLight() const { return lights_.directional.Get(); }
    void SetDirectionalLight(Light* light) { lights_.directional = light; }
    Light* GetPointLight() const { return lights_.point.Get(); }
    void SetPointLight(Light* light) { lights_.point = light; }

    const LightLinks& Links() const { return lights_; }

private:
    LightLinks lights_;
};

}  // namespace zav
