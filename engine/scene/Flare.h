#pragma once

#include "engine/core/Values.h"
#include "engine/scene/GeometryNode.h"

namespace zav {

// A camera-facing glow of a colour and size at the node's position: one
// point sprite when the renderer draws sprites, otherwise a two-triangle
// billboard rebuilt from the current camera's axes every update. The
// buffers for the path in use are (re)made whenever they are missing, too
// short or of the wrong class.
class Flare : public GeometryNode {
    ZAV_OBJECT_CLASS(Flare, GeometryNode)

    explicit Flare(const String& name = String());

    void Update(double time) override;
    void Render(Renderer& renderer) override;
    void DrawDeferred(Renderer& renderer) override;
    int GetPrimitiveType() const override;
    // A sphere at the origin of radius size * 5000.
    void UpdateLocalVolume() override;
    int Save(Stream& stream) override;
    int Load(Stream& stream) override;

    const Color& GetColor() const { return flareColor_; }
    void SetColor(const Color& color) { flareColor_ = color; }
    float GetSize() const { return flareSize_; }
    // Negative and non-finite sizes become 0.
    void SetSize(float size);

protected:
    void DrawPass(Renderer& renderer) override;

private:
    // Whether the current renderer draws point sprites.
    static bool UsesPointSprites();
    // Buffers of `count` entries for positions, colours and texture
    // coordinates (set 0), and point sizes for sprites.
    void EnsureBuffers(int count, bool sprites);
    // The draw reads 1 (sprite) or 6 (billboard) positions from vertex 0.
    bool HasVerticesToDraw() const;
    void UpdateSprite();
    void UpdateBillboard(const Node& camera);

    Color flareColor_{1, 1, 1, 1};
    float flareSize_ = 0.01f;
};

}  // namespace zav
