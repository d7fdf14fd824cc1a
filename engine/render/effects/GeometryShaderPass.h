#pragma once

#include "engine/core/Values.h"
#include "engine/render/GeometryNodeEffect.h"
#include "engine/render/RendererCaps.h"
#include "engine/render/Shader.h"
#include "engine/render/shader/ShaderTexts.h"
#include "engine/scene/Matrix4.h"

namespace zav {

class GeometryNode;

// A pass of a built-in effect drawn by one of the program's vertex and
// pixel shader texts, chosen in Invalidate by the effect's variant (wave,
// else skin, else plain) and the renderer's shader levels. Matrices go up
// as their columns (Matrix4 transposed), four registers each.
class GeometryShaderPass : public GeometryNodeEffectPass {
public:
    GeometryShaderPass(GeometryNodeEffect* effect, ShaderEffect kind);
    void Invalidate() override;

protected:
    // Binds both shaders, the node's positions (with the skin layout the
    // skin's bind pose, bone weights and bone indices) and indices, and
    // uploads c0-c7 (world × view × projection and world × view, or view ×
    // projection and view for skinning) and the bone palette from c8. False
    // when the node cannot be drawn (no camera, no usable skin).
    bool BindGeometry(Renderer& renderer, GeometryNode& node);
    static void SetVertexRegister(Renderer& renderer, int index, const float (&value)[4]);
    static void SetVertexColor(Renderer& renderer, int index, const Color& color);
    static void SetPixelColor(Renderer& renderer, int index, const Color& color);
    static void SetPixelVector(Renderer& renderer, int index, const Vector3& vector);
    static void SetVertexVector(Renderer& renderer, int index, const Vector3& vector);
    // Fog (density, exponent, wave amplitude, wave speed) and, for the wave
    // variant, the wave (amplitude, speed, accumulated time, 0).
    void SetFogAndWave(Renderer& renderer, int fogRegister, int waveRegister) const;

    // Into the node's own space (the space of its positions and normals).
    Vector3 ToObjectPoint(const Vector3& world) const;
    Vector3 ToObjectDirection(const Vector3& world) const;

    int32_t VertexLevel() const { return vertexLevel_; }
    int32_t PixelLevel() const { return pixelLevel_; }
    bool SkinLayout() const { return skinLayout_; }

private:
    ShaderEffect kind_;
    Ref<VertexShader> vertexShader_;
    Ref<PixelShader> pixelShader_;
    int32_t vertexLevel_ = 0;
    int32_t pixelLevel_ = 0;
    bool skinLayout_ = false;
    bool wave_ = false;
    Matrix4 inverseWorld_;
};

// Shader models of vertex and pixel shaders both present.
bool HasShaders(const RendererCaps& caps);

}  // namespace zav
