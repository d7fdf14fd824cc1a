#pragma once

#include <cstdint>

#include "engine/core/ObjectList.h"
#include "engine/render/effects/PostRenderEffect.h"
#include "engine/scene/Node.h"

namespace zav {

// Makes chosen nodes glow. With vertex and pixel shaders of model 2.0 or
// 3.0 it draws the children into the screen texture, the visible parts of
// the glow nodes into a glow texture of the same size (depth test "equal"
// against the children's depth), shrinks that by `downsampleScale`, blurs
// it across and down and adds it, times `glowIntensity`, to the scene.
// Without such shaders it is the plain film effect.
class CustomGlowPostRenderEffect : public PostRenderEffect {
    ZAV_OBJECT_CLASS(CustomGlowPostRenderEffect, PostRenderEffect)

    explicit CustomGlowPostRenderEffect(const String& name = String());

    // The three values, then the glow nodes.
    int Save(Stream& stream) override;
    int Load(Stream& stream) override;
    // The glow nodes belong to the scene elsewhere: they are not searched
    // here, and dropping references lets go of them.
    void DropReferences() override;
    // Drawing that comes back to this effect while its passes are under
    // way (through a glow node, or another glow effect among the children)
    // finds all of its passes skipped.
    int ApplyPass(Renderer& renderer, int pass) override;

    int32_t GetGlowNodeCount() const { return glowNodes_.Count(); }
    Node* GetGlowNode(int32_t index) const { return glowNodes_.Get(index); }
    // Null and a node already listed are ignored. 0, or 2 out of memory.
    int AddGlowNode(Node* node);

    // The scale the glow textures are made with: `downsampleScale` kept
    // within (0, 1], not a number giving the default.
    float GetUsableDownsampleScale() const;
    // The downsample and blur textures' size for a screen texture of
    // width × height: at least one texel each way, at most the screen's.
    void GlowTextureSize(int32_t width, int32_t height, int32_t& glowWidth, int32_t& glowHeight) const;

    Texture* GetDownsampleTexture() const { return downsampleTexture_.Get(); }
    Texture* GetBlurTexture() const { return blurTexture_.Get(); }
    Texture* GetGlowTexture() const { return glowTexture_.Get(); }

    float glowIntensity = 0.5f;  // weight of the glow added to the scene
    float blurSpread = 1.5f;     // blur tap distance, in texels of the downsampled texture
    float downsampleScale = 0.25f;

private:
    // The three passes of the glow technique (CustomGlowPostRenderEffect.cpp).
    class CapturePass;
    class GlowNodesPass;
    class CombinePass;
    class GlowTechnique;

    // Makes the three glow textures again unless the downsample texture has
    // the size the screen texture asks for. False when they cannot be had.
    bool FitGlowTextures();
    // Pops the screen texture pushed for the capture, if it is still there
    // (a pass that would have popped it did not run).
    void CloseCapture(Renderer& renderer);
    // Draws every glow node that is neither the effect's own scene node nor
    // one of its ancestors (those would draw this effect inside itself:
    // skipped, with one warning).
    void DrawGlowNodes(Renderer& renderer);

    ObjectList<Node> glowNodes_;
    Ref<Texture> downsampleTexture_;
    Ref<Texture> blurTexture_;
    Ref<Texture> glowTexture_;
    // From the first pass to the last one; while an inner round of passes
    // is being left out.
    bool busy_ = false;
    bool refusing_ = false;
    // The scene was captured in this round (the passes after the capture
    // draw only with one).
    bool captured_ = false;
    bool captureOpen_ = false;  // the screen texture is pushed as the target
    bool glowReady_ = false;  // the glow textures made for this frame
    bool reportedOwnNode_ = false;  // the warning about such a glow node is given once
};

}  // namespace zav
