#include "engine/render/effects/SpriteEffect.h"

#include <new>

#include "engine/core/ClassRegistration.h"
#include "engine/core/Result.h"
#include "engine/core/Stream.h"
#include "engine/render/Renderer.h"
#include "engine/render/Technique.h"
#include "engine/scene/GeometryNode.h"

namespace zav {

ZAV_REGISTER_CLASS(SpriteEffect);

namespace {

bool HasTextureStages(const RendererCaps& caps) { return caps.maxTextures != 0; }

class SpritePass : public GeometryNodeEffectPass {
public:
    explicit SpritePass(SpriteEffect* effect) : GeometryNodeEffectPass(effect), sprite_(effect) {
        SpritePass::Invalidate();
    }

    void Invalidate() override {
        GeometryNodeEffectPass::Invalidate();
        if (RenderStateBlock* state = GetRenderState(); state && effect_) {
            state->pointSprites = true;
            state->depthWrite = !effect_->IsBlending();  // glows do not hide what is behind them
        }
    }

    int Apply(Renderer& renderer) override {
        GeometryNode* node = DrawnNode();
        if (!node) return kFailed;
        if (node->GetColors()) renderer.BindColors(node->GetColors());
        if (node->GetPointSizes()) renderer.BindPointSizes(node->GetPointSizes());
        renderer.BindPositions(node->GetVertices());
        renderer.BindTexCoords(node->GetTexCoords(0), 0);
        renderer.BindTexture(sprite_->GetTexture(), 0);
        return SetCameraMatrices(renderer, nullptr) ? kOk : kFailed;
    }

private:
    SpriteEffect* sprite_;
};

}  // namespace

SpriteEffect::SpriteEffect(const String& name) : GeometryNodeEffect(name) {
    srcBlend = 4;  // source alpha
    dstBlend = 1;  // one
    AddTechnique(new (std::nothrow) OnePassTechnique<SpritePass, SpriteEffect>(this, &HasTextureStages,
                                                                                "sprite fixed function"));
}

Object* SpriteEffect::FindObject(const String& name) {
    if (Object* found = GeometryNodeEffect::FindObject(name)) return found;
    WalkLevel level;
    return !level.TooDeep() && texture_ ? texture_->FindObject(name) : nullptr;
}

void SpriteEffect::CollectObjects(const TypeInfo* type, Array<Object*>& objects) {
    GeometryNodeEffect::CollectObjects(type, objects);
    WalkLevel level;
    if (!level.TooDeep() && texture_) texture_->CollectObjects(type, objects);
}

void SpriteEffect::DropReferences() {
    GeometryNodeEffect::DropReferences();
    texture_ = nullptr;
}

int SpriteEffect::Save(Stream& stream) {
    if (ParentClass::Save(stream) != kOk) return ParentSaveFailed();
    if (stream.WriteObject(texture_) != kOk) return FailedNameId("Невозможно сохранить текстуру.");
    return kOk;
}

int SpriteEffect::Load(Stream& stream) {
    if (ParentClass::Load(stream) != kOk) return ParentLoadFailed();
    Ref<BaseTexture> texture;
    if (stream.ReadReference(texture) != kOk) return FailedIdName("Невозможно загрузить текстуру.");
    SetTexture(texture.Get());
    return kOk;
}

}  // namespace zav
