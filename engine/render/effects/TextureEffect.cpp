#include "engine/render/effects/TextureEffect.h"

#include "engine/core/ClassRegistration.h"
#include "engine/core/Result.h"
#include "engine/core/Stream.h"
#include "engine/render/Renderer.h"
#include "engine/render/Technique.h"
#include "engine/render/effects/GeometryShaderPass.h"
#include "engine/scene/GeometryNode.h"

namespace zav {

ZAV_REGISTER_CLASS(TextureEffect);

namespace {

bool HasTextureStages(const RendererCaps& caps) { return caps.maxTextures != 0; }

// The colour constant times the texture, read with the chosen coordinate set.
class TextureShaderPass : public GeometryShaderPass {
public:
    explicit TextureShaderPass(TextureEffect* effect)
        : GeometryShaderPass(effect, ShaderEffect::kTexture), texture_(effect) {}

    int Apply(Renderer& renderer) override {
        GeometryNode* node = DrawnNode();
        if (!node || !BindGeometry(renderer, *node)) return kFailed;
        renderer.BindTexCoords(node->GetTexCoords(texture_->GetTexCoordSet()), 0);
        renderer.BindTexture(texture_->GetTexture(), 0);
        SetVertexColor(renderer, SkinLayout() ? 208 : 8, texture_->GetColor());
        SetFogAndWave(renderer, SkinLayout() ? 209 : 9, 10);
        return kOk;
    }

private:
    TextureEffect* texture_;
};

}  // namespace

TextureEffect::TextureEffect(const String& name) : ColorEffect(name) {
    AddTechnique(new (std::nothrow) OnePassTechnique<TextureFixedFunctionPass, TextureEffect>(
        this, &HasTextureStages, "texture fixed function"));
    AddTechnique(
        new (std::nothrow) OnePassTechnique<TextureShaderPass, TextureEffect>(this, &HasShaders, "texture shader"));
}

void TextureEffect::SetTexCoordSet(int32_t set) {
    texCoordSet_ = set < 0 ? 0 : set > GeometryNode::kTexCoordSets - 1 ? GeometryNode::kTexCoordSets - 1 : set;
    InvalidatePasses();
}

void TextureEffect::Animate(double time) {
    ColorEffect::Animate(time);
    if (texture_) texture_->Animate(time);
}

Object* TextureEffect::FindObject(const String& name) {
    if (Object* found = ColorEffect::FindObject(name)) return found;
    WalkLevel level;
    return !level.TooDeep() && texture_ ? texture_->FindObject(name) : nullptr;
}

void TextureEffect::CollectObjects(const TypeInfo* type, Array<Object*>& objects) {
    ColorEffect::CollectObjects(type, objects);
    WalkLevel level;
    if (!level.TooDeep() && texture_) texture_->CollectObjects(type, objects);
}

void TextureEffect::DropReferences() {
    ColorEffect::DropReferences();
    texture_ = nullptr;
}

int TextureEffect::Save(Stream& stream) {
    if (ParentClass::Save(stream) != kOk) return ParentSaveFailed();
    if (stream.WriteObject(texture_) != kOk) return FailedNameId("Невозможно сохранить текстуру.");
    if (stream.WriteInt32(texCoordSet_) != kOk)
        return FailedNameId("Невозможно сохранить номер набора текстурных координат.");
    return kOk;
}

int TextureEffect::Load(Stream& stream) {
    if (ParentClass::Load(stream) != kOk) return ParentLoadFailed();
    Ref<BaseTexture> texture;
    if (stream.ReadReference(texture) != kOk) return FailedIdName("Невозможно загрузить текстуру.");
    int32_t set = 0;
    if (stream.ReadInt32(set) != kOk) return FailedIdName("Невозможно загрузить номер набора текстурных координат.");
    SetTexture(texture.Get());
    SetTexCoordSet(set);
    return kOk;
}

int TextureFixedFunctionPass::Apply(Renderer& renderer) {
    GeometryNode* node = DrawnNode();
    if (!node || !BindColoredNode(renderer, *node)) return kFailed;
    renderer.BindTexCoords(node->GetTexCoords(texture_->GetTexCoordSet()), 0);
    renderer.BindTexture(texture_->GetTexture(), 0);
    return kOk;
}

}  // namespace zav
