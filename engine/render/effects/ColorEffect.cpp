#include "engine/render/effects/ColorEffect.h"

#include "engine/core/ClassRegistration.h"
#include "engine/core/Result.h"
#include "engine/core/Stream.h"
#include "engine/render/Renderer.h"
#include "engine/render/Technique.h"
#include "engine/render/effects/GeometryShaderPass.h"
#include "engine/scene/GeometryNode.h"

namespace zav {

ZAV_REGISTER_CLASS(ColorEffect);

namespace {

// The colour from a constant (c8, or c208 with the skin layout).
class ColorShaderPass : public GeometryShaderPass {
public:
    explicit ColorShaderPass(ColorEffect* effect) : GeometryShaderPass(effect, ShaderEffect::kColor), color_(effect) {}

    int Apply(Renderer& renderer) override {
        GeometryNode* node = DrawnNode();
        if (!node || !BindGeometry(renderer, *node)) return kFailed;
        SetVertexColor(renderer, SkinLayout() ? 208 : 8, color_->GetColor());
        SetFogAndWave(renderer, SkinLayout() ? 209 : 9, 10);
        return kOk;
    }

private:
    ColorEffect* color_;
};

}  // namespace

ColorEffect::ColorEffect(const String& name) : GeometryNodeEffect(name) {
    AddTechnique(
        new (std::nothrow) OnePassTechnique<ColorFixedFunctionPass, ColorEffect>(this, nullptr, "colour fixed function"));
    AddTechnique(new (std::nothrow) OnePassTechnique<ColorShaderPass, ColorEffect>(this, &HasShaders, "colour shader"));
}

int ColorEffect::Save(Stream& stream) {
    if (ParentClass::Save(stream) != kOk) return ParentSaveFailed();
    if (stream.WriteColor(color_) != kOk) return FailedNameId("Невозможно сохранить цвет.");
    return kOk;
}

int ColorEffect::Load(Stream& stream) {
    if (ParentClass::Load(stream) != kOk) return ParentLoadFailed();
    if (stream.ReadColor(color_) != kOk) return FailedIdName("Невозможно загрузить цвет.");
    return kOk;
}

bool ColorFixedFunctionPass::BindColoredNode(Renderer& renderer, GeometryNode& node) {
    const int count = node.GetVertices()->GetCount();
    ColorBuffer* colors = node.GetColors();
    if (!colors || colors->GetCount() < count) {
        Ref<ColorBuffer> made = NewBuffer<ColorBuffer>(count);
        if (!made) return false;
        node.SetColors(made.Get());
        colors = made.Get();
    }
    const Color color = color_->GetColor();
    for (int i = 0; i < colors->GetCount(); ++i) (*colors)[i] = color;
    colors->SetDirty();
    renderer.BindColors(colors);
    renderer.BindPositions(node.GetVertices());
    renderer.BindIndices(node.GetIndices());
    return SetCameraMatrices(renderer, &node);
}

int ColorFixedFunctionPass::Apply(Renderer& renderer) {
    GeometryNode* node = DrawnNode();
    return node && BindColoredNode(renderer, *node) ? kOk : kFailed;
}

}  // namespace zav
