#pragma once

#include "engine/render/Effect.h"
#include "engine/render/Pass.h"
#include "engine/render/Texture.h"
#include "engine/scene/GeometryNode.h"

namespace zav {

// An effect on a scene node that changes how the node's children reach the
// screen. With `film` set they are drawn into a band of the middle three
// quarters of the viewport's height, with black bars above and below (a
// cinema picture). Its passes work with a quad of two triangles covering
// clip space and a texture of the viewport's size ("Screen Texture") that
// the effects capturing the scene draw into.
class PostRenderEffect : public SceneNodeEffect {
    ZAV_OBJECT_CLASS(PostRenderEffect, SceneNodeEffect)

    explicit PostRenderEffect(const String& name = String());

    int Save(Stream& stream) override;
    int Load(Stream& stream) override;

    bool IsFilm() const { return film_; }
    void SetFilm(bool film) { film_ = film; }
    Triangles* GetQuad() const { return quad_.Get(); }
    // Null until an effect that captures the scene first needs it.
    Texture* GetScreenTexture() const { return screenTexture_.Get(); }

    // With `film` set: narrows the viewport to the band (the full size is
    // kept for LeaveFilmBand) and sets the renderer's film flag; else clears
    // the flag. Either way the current camera's projection follows the
    // viewport's aspect.
    void EnterFilmBand(Renderer& renderer);
    // Inside the band of an effect further out only the camera follows (the
    // band stays theirs); otherwise EnterFilmBand.
    void EnterFilmBandUnlessInOne(Renderer& renderer);
    // Gives back the viewport this effect narrowed, if it did, and clears
    // the film flag.
    void LeaveFilmBand(Renderer& renderer);
    // The quad's positions, the quad as the node being drawn and the screen
    // texture (or none) on stage 0.
    void BindQuad(Renderer& renderer);
    // Makes the screen texture ("Screen Image", RGBA8) when there is none or
    // it is not of the viewport's size. False when it cannot be had.
    bool FitScreenTexture(Renderer& renderer);

protected:
    // Makes a texture of `name` over a new RGBA8 image of `imageName` and
    // that size; null when memory runs out (logged).
    static Ref<Texture> MakeTargetTexture(const char* name, const char* imageName, int32_t width, int32_t height);

private:
    Ref<Triangles> quad_;
    Ref<Texture> screenTexture_;
    bool film_ = false;
    // The full viewport while the band is in place, 0 otherwise.
    float savedWidth_ = 0.0f;
    float savedHeight_ = 0.0f;
};

// A pass of a post-render effect: no depth test or writes, no culling, no
// blending, and the first two stages sampled linearly and clamped at the
// edges (they read the screen-sized textures). Apply binds the quad and
// completes the pass's recording (a draw of nothing) before it changes
// targets or the viewport, so that neither becomes part of the recording.
class PostRenderPass : public Pass {
    ZAV_OBJECT_CLASS(PostRenderPass, Pass)

    explicit PostRenderPass(PostRenderEffect* effect);

protected:
    // BindQuad, then the draw that completes the recording.
    void BeginQuad(Renderer& renderer) const;

    PostRenderEffect* effect_;
};

}  // namespace zav
