#include "engine/render/effects/CustomGlowPostRenderEffect.h"

#include <cmath>
#include <new>

#include "engine/core/ClassRegistration.h"
#include "engine/core/Log.h"
#include "engine/core/Result.h"
#include "engine/core/Stream.h"
#include "engine/render/Renderer.h"
#include "engine/render/Shader.h"
#include "engine/render/Technique.h"
#include "engine/render/shader/ShaderTexts.h"
#include "engine/scene/Camera.h"
#include "engine/scene/SceneNode.h"

namespace zav {

ZAV_REGISTER_CLASS(CustomGlowPostRenderEffect);

namespace {

constexpr float kDefaultDownsampleScale = 0.25f;

bool HasModel2Shaders(const RendererCaps& caps) {
    auto model2 = [](int32_t level) { return level == kShaderModel2 || level == kShaderModel3; };
    return model2(caps.vertexShaderLevel) && model2(caps.pixelShaderLevel);
}

void SetConstant(Renderer& renderer, bool vertex, int index, float x, float y, float z = 0.0f) {
    const float value[4] = {x, y, z, 0.0f};
    if (vertex)
        renderer.SetVertexShaderConstants(index, value, 1);
    else
        renderer.SetPixelShaderConstants(index, value, 1);
}

// Vertex c1: half a texel of the picture drawn into, so that each pixel
// reads the source at its own centre.
void SetHalfTexel(Renderer& renderer, const Texture& target) {
    const Image& image = *target.GetImage();
    SetConstant(renderer, true, 1, 0.5f / static_cast<float>(image.GetWidth()),
                0.5f / static_cast<float>(image.GetHeight()));
}

template <class ShaderClass>
Ref<ShaderClass> MakeShader(const char* text) {
    Ref<ShaderClass> shader(new (std::nothrow) ShaderClass());
    if (shader) shader->SetSource(text);
    return shader;
}

}  // namespace

// Pass 0: the children are drawn into the screen texture (in the band when
// `film` is set), cleared first to the renderer's clear colour. Without a
// screen texture they are drawn to the screen as they are.
class CustomGlowPostRenderEffect::CapturePass : public PostRenderPass {
public:
    explicit CapturePass(CustomGlowPostRenderEffect* effect) : PostRenderPass(effect), glow_(effect) {}

    int Apply(Renderer& renderer) override {
        BeginQuad(renderer);
        renderer.BindTexture(nullptr, 0);  // the screen texture is about to be drawn into
        glow_->CloseCapture(renderer);
        glow_->captured_ = false;
        glow_->LeaveFilmBand(renderer);
        glow_->EnterFilmBandUnlessInOne(renderer);
        if (!glow_->FitScreenTexture(renderer)) return kOk;
        renderer.PushTextureTarget(glow_->GetScreenTexture());
        renderer.SetCurrentNode(glow_->GetQuad());
        renderer.Clear(kClearColor | kClearDepth, renderer.GetClearColor(), 1.0f, 0);
        glow_->captured_ = glow_->captureOpen_ = true;
        return kOk;
    }

private:
    CustomGlowPostRenderEffect* glow_;
};

// Pass 1: the glow nodes into the glow texture, cleared to black, where
// their depth equals the captured scene's (its depth buffer stays); then
// back to the target of before the capture.
class CustomGlowPostRenderEffect::GlowNodesPass : public PostRenderPass {
public:
    explicit GlowNodesPass(CustomGlowPostRenderEffect* effect) : PostRenderPass(effect), glow_(effect) {}

    int Apply(Renderer& renderer) override {
        if (!glow_->captured_) return kFailed;
        BeginQuad(renderer);
        glow_->glowReady_ = glow_->FitGlowTextures();
        if (glow_->glowReady_) {
            renderer.PushTextureTarget(glow_->GetGlowTexture());
            renderer.Clear(kClearColor, Color{0, 0, 0, 1}, 1.0f, 0);
            const bool wasEqual = renderer.IsDepthEqual();
            renderer.SetDepthEqual(true);
            glow_->DrawGlowNodes(renderer);
            renderer.SetDepthEqual(wasEqual);
            renderer.PopTarget();
        }
        glow_->CloseCapture(renderer);
        return kFailed;
    }

private:
    CustomGlowPostRenderEffect* glow_;
};

// Pass 2: the glow texture shrunk into the downsample texture, blurred
// across into the blur texture and down back into the downsample texture,
// then the scene drawn with the blurred glow added.
class CustomGlowPostRenderEffect::CombinePass : public PostRenderPass {
public:
    explicit CombinePass(CustomGlowPostRenderEffect* effect)
        : PostRenderPass(effect),
          glow_(effect),
          downsampleVertex_(MakeShader<VertexShader>(kGlowDownsampleVertexText)),
          downsamplePixel_(MakeShader<PixelShader>(kGlowDownsamplePixelText)),
          blurVertex_(MakeShader<VertexShader>(kGlowBlurVertexText)),
          blurPixel_(MakeShader<PixelShader>(kGlowBlurPixelText)),
          combineVertex_(MakeShader<VertexShader>(kGlowCombineVertexText)),
          combinePixel_(MakeShader<PixelShader>(kGlowCombinePixelText)) {}

    int Apply(Renderer& renderer) override {
        if (!glow_->captured_) {
            glow_->LeaveFilmBand(renderer);
            return kFailed;
        }
        glow_->captured_ = false;
        // Without the glow pass, back from the capture without a glow.
        if (glow_->captureOpen_) glow_->glowReady_ = false;
        glow_->CloseCapture(renderer);
        BeginQuad(renderer);
        Texture* down = glow_->GetDownsampleTexture();
        Texture* blur = glow_->GetBlurTexture();
        if (glow_->glowReady_) {
            const Image& screen = *glow_->GetScreenTexture()->GetImage();
            const Image& blurred = *blur->GetImage();
            const float spread = glow_->blurSpread;
            Filter(renderer, down, downsampleVertex_.Get(), downsamplePixel_.Get(), glow_->GetGlowTexture(),
                   1.0f / static_cast<float>(screen.GetWidth()), 1.0f / static_cast<float>(screen.GetHeight()));
            Filter(renderer, blur, blurVertex_.Get(), blurPixel_.Get(), down,
                   spread / static_cast<float>(blurred.GetWidth()), 0.0f);
            Filter(renderer, down, blurVertex_.Get(), blurPixel_.Get(), blur, 0.0f,
                   spread / static_cast<float>(blurred.GetHeight()));
        }
        glow_->BindQuad(renderer);
        renderer.SetVertexShader(combineVertex_.Get());
        renderer.SetPixelShader(combinePixel_.Get());
        renderer.BindTexture(glow_->glowReady_ ? down : nullptr, 1);
        SetHalfTexel(renderer, *glow_->GetScreenTexture());
        SetConstant(renderer, false, 0, glow_->glowIntensity, glow_->blurSpread, glow_->GetUsableDownsampleScale());
        renderer.DrawPrimitives(2);
        // Nothing goes on reading the textures this effect draws into.
        renderer.BindTexture(nullptr, 0);
        renderer.BindTexture(nullptr, 1);
        glow_->LeaveFilmBand(renderer);
        return kFailed;
    }

private:
    // Draws `source` into `target` through the shaders, with the vertex
    // constant c0 = (x, y).
    void Filter(Renderer& renderer, Texture* target, VertexShader* vertex, PixelShader* pixel, Texture* source,
                float x, float y) const {
        renderer.PushTextureTarget(target);
        renderer.SetVertexShader(vertex);
        renderer.SetPixelShader(pixel);
        SetConstant(renderer, true, 0, x, y);
        SetHalfTexel(renderer, *target);
        renderer.BindTexture(source, 0);
        renderer.SetCurrentNode(glow_->GetQuad());
        renderer.DrawPrimitives(2);
        renderer.PopTarget();
    }

    CustomGlowPostRenderEffect* glow_;
    Ref<VertexShader> downsampleVertex_;
    Ref<PixelShader> downsamplePixel_;
    Ref<VertexShader> blurVertex_;
    Ref<PixelShader> blurPixel_;
    Ref<VertexShader> combineVertex_;
    Ref<PixelShader> combinePixel_;
};

// The three passes; builds with vertex and pixel shaders of model 2.0 or 3.0.
class CustomGlowPostRenderEffect::GlowTechnique : public Technique {
public:
    explicit GlowTechnique(CustomGlowPostRenderEffect* effect) : Technique(effect, "glow"), owner_(effect) {}

    bool Build(Renderer& renderer) override {
        if (!HasModel2Shaders(RendererCapsOf(renderer))) return false;
        if (GetPassCount() == 0 && !(AddPass(new (std::nothrow) CapturePass(owner_)) &&
                                     AddPass(new (std::nothrow) GlowNodesPass(owner_)) &&
                                     AddPass(new (std::nothrow) CombinePass(owner_))))
            ClearPasses();
        return GetPassCount() == 3;
    }

private:
    CustomGlowPostRenderEffect* owner_;
};

CustomGlowPostRenderEffect::CustomGlowPostRenderEffect(const String& name) : PostRenderEffect(name) {
    AddTechnique(new (std::nothrow) GlowTechnique(this));
}

int CustomGlowPostRenderEffect::Save(Stream& stream) {
    if (ParentClass::Save(stream) != kOk) return ParentSaveFailed();
    stream.WriteFloat(blurSpread);
    stream.WriteFloat(glowIntensity);
    if (stream.WriteFloat(downsampleScale) != kOk) return FailedNameId("Невозможно сохранить данные свечения.");
    if (glowNodes_.Save(stream) != kOk) return FailedNameId("Невозможно сохранить узлы свечения.");
    return kOk;
}

int CustomGlowPostRenderEffect::Load(Stream& stream) {
    if (ParentClass::Load(stream) != kOk) return ParentLoadFailed();
    stream.ReadFloat(blurSpread);
    stream.ReadFloat(glowIntensity);
    if (stream.ReadFloat(downsampleScale) != kOk) return FailedIdName("Невозможно загрузить данные свечения.");
    glowNodes_.Clear();
    if (glowNodes_.Load(stream) != kOk) return FailedNameId("Невозможно загрузить узлы свечения.");
    return kOk;
}

void CustomGlowPostRenderEffect::DropReferences() {
    PostRenderEffect::DropReferences();
    glowNodes_.Clear();
}

int CustomGlowPostRenderEffect::ApplyPass(Renderer& renderer, int pass) {
    const int last = GetPassCount(renderer) - 1;
    // Drawn again from inside its own passes (a glow node, or a node among
    // the children, whose drawing comes back here): every pass of that
    // inner round is left out.
    if (refusing_ || (pass == 0 && busy_)) {
        refusing_ = pass < last;
        return kFailed;
    }
    busy_ = pass < last;
    return PostRenderEffect::ApplyPass(renderer, pass);
}

void CustomGlowPostRenderEffect::CloseCapture(Renderer& renderer) {
    if (!captureOpen_) return;
    captureOpen_ = false;
    renderer.PopTarget();
}

int CustomGlowPostRenderEffect::AddGlowNode(Node* node) { return node ? glowNodes_.AddUnique(node) : kOk; }

float CustomGlowPostRenderEffect::GetUsableDownsampleScale() const {
    if (std::isnan(downsampleScale)) return kDefaultDownsampleScale;
    return downsampleScale < 0.0f ? 0.0f : downsampleScale > 1.0f ? 1.0f : downsampleScale;
}

void CustomGlowPostRenderEffect::GlowTextureSize(int32_t width, int32_t height, int32_t& glowWidth,
                                                 int32_t& glowHeight) const {
    const float scale = GetUsableDownsampleScale();
    auto scaled = [scale](int32_t side) {
        const auto texels = static_cast<int32_t>(static_cast<float>(side) * scale);
        return texels < 1 ? 1 : texels > side ? side : texels;
    };
    glowWidth = scaled(width);
    glowHeight = scaled(height);
}

bool CustomGlowPostRenderEffect::FitGlowTextures() {
    const Image* screen = GetScreenTexture() ? GetScreenTexture()->GetImage() : nullptr;
    if (!screen) return false;
    const int32_t width = screen->GetWidth(), height = screen->GetHeight();
    int32_t glowWidth = 0, glowHeight = 0;
    GlowTextureSize(width, height, glowWidth, glowHeight);
    auto sized = [](const Texture* texture, int32_t w, int32_t h) {
        const Image* image = texture ? texture->GetImage() : nullptr;
        return image && image->GetWidth() == w && image->GetHeight() == h;
    };
    if (sized(downsampleTexture_.Get(), glowWidth, glowHeight) && sized(blurTexture_.Get(), glowWidth, glowHeight) &&
        sized(glowTexture_.Get(), width, height))
        return true;
    downsampleTexture_ = blurTexture_ = glowTexture_ = nullptr;
    downsampleTexture_ =
        MakeTargetTexture("Downsample Custom Glow Texture", "Downsample Custom Glow Image", glowWidth, glowHeight);
    blurTexture_ = MakeTargetTexture("Blur Custom Glow Texture", "Blur Custom Glow Image", glowWidth, glowHeight);
    glowTexture_ = MakeTargetTexture("Screen Glow Texture", "Screen Glow Image", width, height);
    if (!downsampleTexture_ || !blurTexture_ || !glowTexture_) {
        downsampleTexture_ = blurTexture_ = glowTexture_ = nullptr;
        return false;
    }
    // Drawing into them keeps the depth buffer of the captured scene.
    downsampleTexture_->ownDepthBuffer = blurTexture_->ownDepthBuffer = glowTexture_->ownDepthBuffer = false;
    return true;
}

void CustomGlowPostRenderEffect::DrawGlowNodes(Renderer& renderer) {
    Camera* camera = renderer.GetCamera();
    const int32_t mask = camera ? camera->GetCullMask() : 0;
    for (int32_t i = 0; i < glowNodes_.Count(); ++i) {
        Node* node = glowNodes_.Get(i);
        if (!node) continue;
        bool holdsEffect = false;
        for (const Node* above = GetOwner(); above && !holdsEffect; above = above->GetParent())
            holdsEffect = above == node;
        if (holdsEffect) {
            if (!reportedOwnNode_)
                LogWarning("Узел свечения содержит сам эффект свечения и пропускается. Имя[%s] ID[%d]",
                           node->GetName().CStr(), node->GetId());
            reportedOwnNode_ = true;
            continue;
        }
        // Wherever the node is, every plane of the view is tested.
        if (camera) camera->SetCullMask(Camera::kAllPlanes);
        Ref<Node> keep(node);
        keep->Draw(renderer);
    }
    renderer.FlushDeferred();
    if (camera) camera->SetCullMask(mask);
}

}  // namespace zav
