#include "engine/render/effects/PostRenderEffect.h"

#include <new>

#include "engine/core/ClassRegistration.h"
#include "engine/core/Log.h"
#include "engine/core/Result.h"
#include "engine/core/Stream.h"
#include "engine/render/PixelFormat.h"
#include "engine/render/Renderer.h"
#include "engine/render/Technique.h"
#include "engine/scene/Buffer.h"
#include "engine/scene/Camera.h"

namespace zav {

ZAV_REGISTER_CLASS(PostRenderEffect);
ZAV_REGISTER_ABSTRACT_CLASS(PostRenderPass);

namespace {

// The band's share of the viewport's height, and where it starts.
constexpr float kBandHeight = 0.75f;
constexpr float kBandTop = 0.125f;

// Two triangles over clip space.
constexpr Vector3 kQuadCorners[6] = {{-1, -1, 0}, {1, 1, 0}, {1, -1, 0}, {-1, -1, 0}, {-1, 1, 0}, {1, 1, 0}};

// Before the children: the band entered (or the camera fitted to the band
// an effect further out put in place). The children are drawn.
class FilmEnterPass : public PostRenderPass {
public:
    using PostRenderPass::PostRenderPass;
    int Apply(Renderer& renderer) override {
        BeginQuad(renderer);
        effect_->EnterFilmBandUnlessInOne(renderer);
        return kOk;
    }
};

// After the children: the band left. Nothing more is drawn.
class FilmLeavePass : public PostRenderPass {
public:
    using PostRenderPass::PostRenderPass;
    int Apply(Renderer& renderer) override {
        BeginQuad(renderer);
        effect_->LeaveFilmBand(renderer);
        return kFailed;
    }
};

// The film band around the children; builds on every renderer.
class FilmTechnique : public Technique {
public:
    explicit FilmTechnique(PostRenderEffect* effect) : Technique(effect, "film band"), owner_(effect) {}
    bool Build(Renderer&) override {
        if (GetPassCount() == 0 &&
            !(AddPass(new (std::nothrow) FilmEnterPass(owner_)) && AddPass(new (std::nothrow) FilmLeavePass(owner_))))
            ClearPasses();
        return GetPassCount() == 2;
    }

private:
    PostRenderEffect* owner_;
};

void FollowViewport(Renderer& renderer) {
    if (Camera* camera = renderer.GetCamera()) camera->UpdateMatrices();
}

}  // namespace

PostRenderEffect::PostRenderEffect(const String& name) : SceneNodeEffect(name), quad_(new (std::nothrow) Triangles()) {
    Ref<Vector3Buffer> corners = NewBuffer<Vector3Buffer>(6);
    if (quad_ && corners) {
        for (int i = 0; i < 6; ++i) (*corners)[i] = kQuadCorners[i];
        quad_->SetVertices(corners.Get());
    } else {
        LogError("Недостаточно памяти для создания эффекта. Имя[%s] ID[%d]", GetName().CStr(), GetId());
    }
    AddTechnique(new (std::nothrow) FilmTechnique(this));
}

int PostRenderEffect::Save(Stream& stream) {
    if (ParentClass::Save(stream) != kOk) return ParentSaveFailed();
    if (stream.WriteBool(film_) != kOk) return FailedNameId("Невозможно сохранить флаг фильма.");
    return kOk;
}

int PostRenderEffect::Load(Stream& stream) {
    if (ParentClass::Load(stream) != kOk) return ParentLoadFailed();
    if (stream.ReadBool(film_) != kOk) return FailedIdName("Невозможно загрузить флаг фильма.");
    return kOk;
}

void PostRenderEffect::EnterFilmBand(Renderer& renderer) {
    if (film_) {
        const float width = static_cast<float>(renderer.GetViewportWidth());
        const float height = static_cast<float>(renderer.GetViewportHeight());
        renderer.SetViewport(0.0f, kBandTop * height, width, kBandHeight * height);
        savedWidth_ = width;
        savedHeight_ = height;
        renderer.SetFilm(true);
    } else {
        renderer.SetFilm(false);
    }
    FollowViewport(renderer);
}

void PostRenderEffect::EnterFilmBandUnlessInOne(Renderer& renderer) {
    if (renderer.IsFilm())
        FollowViewport(renderer);
    else
        EnterFilmBand(renderer);
}

void PostRenderEffect::LeaveFilmBand(Renderer& renderer) {
    if (!film_ || savedWidth_ <= 0.0f) return;
    renderer.SetViewport(0.0f, 0.0f, savedWidth_, savedHeight_);
    savedWidth_ = savedHeight_ = 0.0f;
    renderer.SetFilm(false);
    FollowViewport(renderer);
}

void PostRenderEffect::BindQuad(Renderer& renderer) {
    renderer.BindPositions(quad_ ? quad_->GetVertices() : nullptr);
    renderer.SetCurrentNode(quad_.Get());
    renderer.BindTexture(screenTexture_.Get(), 0);
}

Ref<Texture> PostRenderEffect::MakeTargetTexture(const char* name, const char* imageName, int32_t width,
                                                 int32_t height) {
    Ref<Image> image(new (std::nothrow) Image(imageName, RGBA8, width, height));
    Ref<Texture> texture(image && image->GetPixels() ? new (std::nothrow) Texture(name, image.Get(), 1) : nullptr);
    if (!texture) LogError("Недостаточно памяти для создания текстуры [%s].", name);
    return texture;
}

bool PostRenderEffect::FitScreenTexture(Renderer& renderer) {
    const int32_t width = renderer.GetViewportWidth(), height = renderer.GetViewportHeight();
    if (width <= 0 || height <= 0) return false;
    Image* image = screenTexture_ ? screenTexture_->GetImage() : nullptr;
    if (image && image->GetWidth() == width && image->GetHeight() == height) return true;
    screenTexture_ = MakeTargetTexture("Screen Texture", "Screen Image", width, height);
    return screenTexture_.Get() != nullptr;
}

PostRenderPass::PostRenderPass(PostRenderEffect* effect) : effect_(effect) {
    RenderStateBlock* state = renderState_.Get();
    if (!state) return;
    state->depthTest = false;
    state->depthWrite = false;
    state->culling = false;
    state->blending = false;
    for (int stage = 0; stage < 2; ++stage) {
        TextureStageState& sampling = state->stages[stage];
        sampling.minFilter = sampling.magFilter = 1;
        sampling.wrapU = sampling.wrapV = sampling.wrapW = 0;
    }
}

void PostRenderPass::BeginQuad(Renderer& renderer) const {
    effect_->BindQuad(renderer);
    renderer.DrawPrimitives(0);
}

}  // namespace zav
