#pragma once

#include <string>

#include "engine/core/RefCounted.h"
#include "engine/render/Texture.h"
#include "engine/render/effects/TextureEffect.h"
#include "engine/scene/Camera.h"
#include "engine/scene/GeometryNode.h"
#include "engine/scene/Matrix4.h"

namespace zav {

class ColorEffect;
class Renderer;

// The local time of day the clock shows.
struct ClockTime {
    int hours = 0;  // 0-23
    int minutes = 0;
    int seconds = 0;
};

// What the overlays show in one frame.
struct OverlayFrame {
    bool showFps = false;
    double fps = 0.0;
    bool showTime = false;
    bool hour24 = true;
    ClockTime time;
};

// A line of overlay text and where it starts, in screen units (0 left, 1
// right).
struct PlacedText {
    std::string text;
    float x = 0.0f;
};

// "13:00:00" (24-hour form) or "1:00:00 pm " (12-hour form: midnight is 0,
// noon 12), placed so that the text (the 12-hour one with its trailing
// space, half a cell) ends 0.01875 short of the right edge.
PlacedText ClockText(const ClockTime& time, bool hour24);
// The frame rate rounded up: 59.2 gives "60".
std::string FrameRateText(double fps);

// The flat pictures drawn over or instead of the scene: the loading screen,
// the frame rate (top left) and the clock (bottom right), and the veil that
// darkens the screen between camera shots. One unit square drawn through a
// texture effect (or the veil's colour effect) and a camera whose
// projection maps x and y in [0, 1] onto the whole screen, (0, 0) bottom
// left. The pictures come from the virtual file tree: "loader.jpg", the
// four corners "4loader_*.tga" and the characters "digit_*.tga".
class ScreenOverlays {
public:
    enum Corner { kLeftBottom, kRightBottom, kLeftTop, kRightTop, kCorners };
    // '0'-'9', '.', ':', 'a', 'p', 'm'.
    static constexpr int kCharacters = 15;
    // A character's cell, in screen units.
    static constexpr float kCharacterWidth = 0.0375f;
    static constexpr float kCharacterHeight = 0.075f;

    // Makes the quad, its effect, the camera and every picture's texture
    // (INFO "LoadingTexture Loaded" after the loading picture). A picture
    // that cannot be loaded is reported by the image code and does not
    // fail. 0, or 2 when memory runs out.
    int Create();
    // Drops everything, the pictures last made first.
    void Release();
    bool IsCreated() const { return quad_.Get() != nullptr; }

    // One frame: the loading picture over the whole screen and the corner
    // pictures at their own pixel size in their corners (one without a
    // picture is left out). The loading and corner textures are dropped
    // afterwards, and no camera is current. 1 when the frame cannot be begun.
    int ShowLoadingScreen(Renderer& renderer);
    // The frame rate and the clock as `frame` asks, through the overlay
    // camera; the camera of before is current again afterwards. Nothing
    // happens before Create.
    int Draw(Renderer& renderer, const OverlayFrame& frame);
    // `text` from (x, y), each character a cell of w × h: a space advances
    // by w / 2 and draws nothing; a character with no picture (or none of
    // the fifteen) advances by w and draws nothing.
    int DrawText(Renderer& renderer, const char* text, float x, float y, float w, float h);
    // The whole screen covered by `veil` in black at `opacity` (kept within
    // 0-1), through the overlay camera; the camera of before stays current.
    void DrawVeil(Renderer& renderer, ColorEffect& veil, float opacity);

    Triangles* GetQuad() const { return quad_.Get(); }
    TextureEffect* GetEffect() const { return effect_.Get(); }
    Camera* GetCamera() const { return camera_.Get(); }
    Texture* GetLoaderTexture() const { return loader_.Get(); }
    Texture* GetCornerTexture(int corner) const;
    // The texture of `character`, null for another character.
    Texture* GetCharacterTexture(char character) const;

    // The projection that maps the unit square onto the screen.
    static Matrix4 UnitSquareProjection();

private:
    // Makes the overlay camera current with the identity view and
    // `projection`.
    void UseCamera(Renderer& renderer, const Matrix4& projection);
    // Draws the quad (blended: deferred) and flushes it.
    void DrawQuad(Renderer& renderer);
    // Places the quad: scale (w, h, 1) at (x, y, 0).
    void PlaceQuad(float x, float y, float w, float h);

    Ref<Triangles> quad_;
    Ref<TextureEffect> effect_;
    Ref<Camera> camera_;
    Ref<Texture> loader_;
    Ref<Texture> corners_[kCorners];
    Ref<Texture> characters_[kCharacters];
};

}  // namespace zav
