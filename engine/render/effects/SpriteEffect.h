#pragma once

#include "engine/render/BaseTexture.h"
#include "engine/render/GeometryNodeEffect.h"

namespace zav {

// Textured point sprites (a flare's glow), added to what is behind them:
// source alpha and one. Fixed function only; the sprite positions are
// world positions.
class SpriteEffect : public GeometryNodeEffect {
    ZAV_OBJECT_CLASS(SpriteEffect, GeometryNodeEffect)

    explicit SpriteEffect(const String& name = String());

    // Sprites have no shader technique: a skin is applied on the processor.
    bool HasShaderSkin() const override { return false; }

    Object* FindObject(const String& name) override;
    void CollectObjects(const TypeInfo* type, Array<Object*>& objects) override;
    int Save(Stream& stream) override;
    int Load(Stream& stream) override;
    void DropReferences() override;

    BaseTexture* GetTexture() const { return texture_.Get(); }
    void SetTexture(BaseTexture* texture) { texture_ = texture; }

private:
    Ref<BaseTexture> texture_;
};

}  // namespace zav
