#pragma once

#include "engine/core/Values.h"
#include "engine/render/GeometryNodeEffect.h"

namespace zav {

// Draws its node in one colour, whatever colours the vertices carry.
class ColorEffect : public GeometryNodeEffect {
    ZAV_OBJECT_CLASS(ColorEffect, GeometryNodeEffect)

    explicit ColorEffect(const String& name = String());

    // The colour texts do not skin: a skinned colour mesh skins on the processor.
    bool HasShaderSkin() const override { return false; }

    int Save(Stream& stream) override;
    int Load(Stream& stream) override;

    const Color& GetColor() const { return color_; }
    void SetColor(const Color& color) { color_ = color; }

private:
    Color color_{1, 1, 1, 1};
};

// The fixed-function colour pass, also the last way of the effects built
// on this one: every vertex gets the effect's colour in the node's colour
// buffer (made when the node has none), drawn unlit.
class ColorFixedFunctionPass : public GeometryNodeEffectPass {
public:
    explicit ColorFixedFunctionPass(ColorEffect* effect) : GeometryNodeEffectPass(effect), color_(effect) {}
    int Apply(Renderer& renderer) override;

protected:
    // Fills the node's colour buffer with the colour and binds it with the
    // positions, indices and matrices; false when the node cannot be drawn.
    bool BindColoredNode(Renderer& renderer, GeometryNode& node);

    ColorEffect* color_;
};

}  // namespace zav
