#include "app/ScreenOverlays.h"

#include <cmath>
#include <cstdio>
#include <new>

#include "engine/core/Log.h"
#include "engine/core/Result.h"
#include "engine/files/FileManager.h"
#include "engine/render/Image.h"
#include "engine/render/Renderer.h"
#include "engine/render/effects/ColorEffect.h"
#include "engine/scene/BoundingVolume.h"
#include "engine/scene/Buffer.h"
#include "engine/scene/TransformMath.h"

namespace zav {

namespace {

// Where the frame rate starts, and the clock's baseline.
constexpr float kFrameRateX = 0.009375f;
constexpr float kFrameRateY = 0.9f;
constexpr float kClockY = 0.025f;
// The gap the clock leaves at the right edge.
constexpr float kClockMargin = 0.01875f;

const char kCharacterSet[] = "0123456789.:apm";
const char* const kCharacterFiles[ScreenOverlays::kCharacters] = {
    "digit_0.tga", "digit_1.tga", "digit_2.tga", "digit_3.tga",   "digit_4.tga",    "digit_5.tga",
    "digit_6.tga", "digit_7.tga", "digit_8.tga", "digit_9.tga",   "digit_dot.tga", "digit_ddot.tga",
    "digit_a.tga", "digit_p.tga", "digit_m.tga"};
const char* const kCornerFiles[ScreenOverlays::kCorners] = {"4loader_ld.tga", "4loader_rd.tga", "4loader_lu.tga",
                                                            "4loader_ru.tga"};

// The unit square's two triangles; v = 1 - y.
constexpr Vector3 kSquare[6] = {{0, 0, 0}, {1, 1, 0}, {1, 0, 0}, {0, 0, 0}, {0, 1, 0}, {1, 1, 0}};
constexpr Vector2 kSquareTexCoords[6] = {{0, 1}, {1, 0}, {1, 1}, {0, 1}, {0, 0}, {1, 0}};

// A texture over the picture file `name` of the virtual file tree; without
// the file the texture has no picture.
Ref<Texture> LoadTexture(const char* name) {
    Ref<Texture> texture(new (std::nothrow) Texture());
    if (!texture) return texture;
    File* file = FindFile(name);
    if (!file) {
        LogWarning("Невозможно найти файл изображения [%s].", name);
        return texture;
    }
    Ref<Image> image(new (std::nothrow) Image(file, String()));
    if (image) texture->SetImage(image.Get());
    return texture;
}

bool HasPicture(const Texture* texture) {
    const Image* image = texture ? texture->GetImage() : nullptr;
    return image && image->GetPixels() && image->GetWidth() > 0 && image->GetHeight() > 0;
}

std::string TwoDigits(int value) {
    char text[16];
    std::snprintf(text, sizeof text, value < 10 ? "0%d" : "%d", value);
    return text;
}

}  // namespace

PlacedText ClockText(const ClockTime& time, bool hour24) {
    int hours = time.hours;
    const char* suffix = "";
    if (!hour24) {
        suffix = hours < 12 ? " am " : " pm ";
        if (hours > 12) hours -= 12;
    }
    char hoursText[16];
    std::snprintf(hoursText, sizeof hoursText, "%d", hours);
    PlacedText placed;
    placed.text = std::string(hoursText) + ":" + TwoDigits(time.minutes) + ":" + TwoDigits(time.seconds) + suffix;
    const float width = static_cast<float>(placed.text.size()) * ScreenOverlays::kCharacterWidth;
    // The 12-hour text ends in a space that is only half a cell wide and
    // has another half-cell space inside it.
    placed.x = hour24 ? 1.0f - width - kClockMargin : 1.0f - width + kClockMargin;
    return placed;
}

std::string FrameRateText(double fps) {
    const double rounded = std::ceil(fps);
    const int value = !(rounded > 0.0) ? 0 : rounded < 2147483647.0 ? static_cast<int>(rounded) : 2147483647;
    char text[16];
    std::snprintf(text, sizeof text, "%d", value);
    return text;
}

Matrix4 ScreenOverlays::UnitSquareProjection() {
    Matrix4 projection;
    projection.m[0][0] = 2.0f;
    projection.m[1][1] = 2.0f;
    projection.m[3][0] = -1.0f;
    projection.m[3][1] = -1.0f;
    return projection;
}

int ScreenOverlays::Create() {
    Release();
    Ref<Vector3Buffer> positions = NewBuffer<Vector3Buffer>(6);
    Ref<Vector2Buffer> texCoords = NewBuffer<Vector2Buffer>(6);
    Ref<IntBuffer> indices = NewBuffer<IntBuffer>(6);
    quad_ = new (std::nothrow) Triangles();
    effect_ = new (std::nothrow) TextureEffect();
    camera_ = new (std::nothrow) Camera();
    auto* volume = quad_ ? ObjectCast<SphereBoundingVolume>(quad_->GetWorldVolume()) : nullptr;
    if (!positions || !texCoords || !indices || !volume || !effect_ || !camera_) {
        LogError("Недостаточно памяти для создания экранных надписей.");
        Release();
        return kOutOfMemory;
    }
    for (int i = 0; i < 6; ++i) {
        (*positions)[i] = kSquare[i];
        (*texCoords)[i] = kSquareTexCoords[i];
        (*indices)[i] = i;
    }
    quad_->SetVertices(positions.Get());
    quad_->SetTexCoords(0, texCoords.Get());
    quad_->SetIndices(indices.Get());
    quad_->UpdateSubtree(0.0, true);
    // Never culled, wherever it is placed.
    volume->SetUnbounded();
    quad_->SetUpdateWorldVolume(false);
    quad_->SetEffect(effect_.Get());
    effect_->SetColor({1, 1, 1, 1});
    effect_->SetBlending(true);
    // The pictures end at the square's edges: their far sides do not bleed in.
    effect_->stageWrap[0] = 0;
    effect_->InvalidatePasses();

    loader_ = LoadTexture("loader.jpg");
    LogInfo("LoadingTexture Loaded");
    for (int corner = 0; corner < kCorners; ++corner) corners_[corner] = LoadTexture(kCornerFiles[corner]);
    for (int i = 0; i < kCharacters; ++i) characters_[i] = LoadTexture(kCharacterFiles[i]);
    return kOk;
}

void ScreenOverlays::Release() {
    for (int i = kCharacters - 1; i >= 0; --i) characters_[i] = nullptr;
    for (int corner = kCorners - 1; corner >= 0; --corner) corners_[corner] = nullptr;
    loader_ = nullptr;
    camera_ = nullptr;
    effect_ = nullptr;
    quad_ = nullptr;
}

Texture* ScreenOverlays::GetCornerTexture(int corner) const {
    return corner >= 0 && corner < kCorners ? corners_[corner].Get() : nullptr;
}

Texture* ScreenOverlays::GetCharacterTexture(char character) const {
    for (int i = 0; i < kCharacters; ++i)
        if (character == kCharacterSet[i]) return characters_[i].Get();
    return nullptr;
}

void ScreenOverlays::UseCamera(Renderer& renderer, const Matrix4& projection) {
    renderer.SetCamera(camera_.Get());
    camera_->SetView(Matrix4::Identity());
    camera_->SetProjection(projection);
    camera_->SetViewProjection(projection);
}

void ScreenOverlays::PlaceQuad(float x, float y, float w, float h) {
    quad_->SetLocalTransform(MakeTransform({w, h, 1.0f}, Quaternion{}, {x, y, 0.0f}));
    quad_->ComputeWorldTransform();
}

void ScreenOverlays::DrawQuad(Renderer& renderer) {
    quad_->Draw(renderer);
    renderer.FlushDeferred();
}

int ScreenOverlays::ShowLoadingScreen(Renderer& renderer) {
    if (!IsCreated()) return kOk;
    renderer.SetCamera(camera_.Get());
    renderer.Clear(kClearColor | kClearDepth, Color{0, 1, 0, 1}, 1.0f, 0);
    if (renderer.BeginRender() != kOk) {
        LogError("Неудачно начало рендеринга.");
        renderer.SetCamera(nullptr);
        return kFailed;
    }
    const Matrix4 screen = UnitSquareProjection();
    UseCamera(renderer, screen);
    PlaceQuad(0.0f, 0.0f, 1.0f, 1.0f);
    effect_->SetColor({1, 1, 1, 1});
    effect_->SetBlending(true);
    if (HasPicture(loader_.Get())) {
        effect_->SetTexture(loader_.Get());
        DrawQuad(renderer);
    }
    const float screenWidth = static_cast<float>(renderer.GetViewportWidth());
    const float screenHeight = static_cast<float>(renderer.GetViewportHeight());
    for (int corner = 0; corner < kCorners; ++corner) {
        Texture* texture = corners_[corner].Get();
        if (!HasPicture(texture) || !(screenWidth > 0.0f && screenHeight > 0.0f)) continue;
        // The unit square shrunk to the picture's pixel size and moved into
        // its corner, before it is mapped onto the screen.
        Matrix4 place;
        place.m[0][0] = static_cast<float>(texture->GetImage()->GetWidth()) / screenWidth;
        place.m[1][1] = static_cast<float>(texture->GetImage()->GetHeight()) / screenHeight;
        const bool right = corner == kRightBottom || corner == kRightTop;
        const bool top = corner == kLeftTop || corner == kRightTop;
        place.m[3][0] = right ? 1.0f - place.m[0][0] : 0.0f;
        place.m[3][1] = top ? 1.0f - place.m[1][1] : 0.0f;
        UseCamera(renderer, Multiply(place, screen));
        effect_->SetTexture(texture);
        DrawQuad(renderer);
    }
    renderer.EndRender();
    // Shown once: the loading pictures are not needed again.
    effect_->SetTexture(nullptr);
    loader_ = nullptr;
    for (Ref<Texture>& corner : corners_) corner = nullptr;
    renderer.SetCamera(nullptr);
    return kOk;
}

int ScreenOverlays::Draw(Renderer& renderer, const OverlayFrame& frame) {
    if (!IsCreated()) return kOk;
    renderer.FlushDeferred();
    Ref<Camera> kept(renderer.GetCamera());
    UseCamera(renderer, UnitSquareProjection());
    Color color = effect_->GetColor();
    color.a = 1.0f;
    effect_->SetColor(color);
    if (frame.showFps)
        DrawText(renderer, FrameRateText(frame.fps).c_str(), kFrameRateX, kFrameRateY, kCharacterWidth,
                 kCharacterHeight);
    if (frame.showTime) {
        const PlacedText clock = ClockText(frame.time, frame.hour24);
        DrawText(renderer, clock.text.c_str(), clock.x, kClockY, kCharacterWidth, kCharacterHeight);
    }
    renderer.SetCamera(kept.Get());
    return kOk;
}

int ScreenOverlays::DrawText(Renderer& renderer, const char* text, float x, float y, float w, float h) {
    if (!IsCreated() || !text) return kNotFound;
    for (const char* character = text; *character; ++character) {
        if (*character == ' ') {
            x += w / 2.0f;
            continue;
        }
        Texture* texture = GetCharacterTexture(*character);
        if (HasPicture(texture)) {
            effect_->SetTexture(texture);
            PlaceQuad(x, y, w, h);
            DrawQuad(renderer);
        }
        x += w;
    }
    return kOk;
}

void ScreenOverlays::DrawVeil(Renderer& renderer, ColorEffect& veil, float opacity) {
    if (!IsCreated()) return;
    Ref<Camera> kept(renderer.GetCamera());
    UseCamera(renderer, UnitSquareProjection());
    PlaceQuad(0.0f, 0.0f, 1.0f, 1.0f);
    // Above 1 is opaque too.
    veil.SetColor({0, 0, 0, !(opacity > 0.0f) ? 0.0f : opacity < 1.0f ? opacity : 1.0f});
    quad_->SetEffect(&veil);
    DrawQuad(renderer);
    quad_->SetEffect(effect_.Get());
    renderer.SetCamera(kept.Get());
}

}  // namespace zav
