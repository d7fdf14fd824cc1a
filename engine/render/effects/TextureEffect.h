#pragma once

#include <cstdint>

#include "engine/render/BaseTexture.h"
#include "engine/render/effects/ColorEffect.h"

namespace zav {

// The colour effect times one texture on stage 0, read with one of the
// node's texture coordinate sets.
class TextureEffect : public ColorEffect {
    ZAV_OBJECT_CLASS(TextureEffect, ColorEffect)

    explicit TextureEffect(const String& name = String());

    // The texture and lit effects have skinning texts.
    bool HasShaderSkin() const override { return true; }

    // Also the texture's animation.
    void Animate(double time) override;
    Object* FindObject(const String& name) override;
    void CollectObjects(const TypeInfo* type, Array<Object*>& objects) override;
    int Save(Stream& stream) override;
    int Load(Stream& stream) override;
    void DropReferences() override;

    BaseTexture* GetTexture() const { return texture_.Get(); }
    void SetTexture(BaseTexture* texture) { texture_ = texture; }
    int32_t GetTexCoordSet() const { return texCoordSet_; }
    // Kept inside 0-7; the passes are recorded again.
    void SetTexCoordSet(int32_t set);

private:
    Ref<BaseTexture> texture_;
    int32_t texCoordSet_ = 0;
};

// The fixed-function texture pass: the colour pass with the texture
// coordinates of the chosen set and the texture on stage 0.
class TextureFixedFunctionPass : public ColorFixedFunctionPass {
public:
    explicit TextureFixedFunctionPass(TextureEffect* effect) : ColorFixedFunctionPass(effect), texture_(effect) {}
    int Apply(Renderer& renderer) override;

private:
    TextureEffect* texture_;
};

}  // namespace zav
