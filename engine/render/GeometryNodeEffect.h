#pragma once

#include <cstdint>

#include "engine/core/Values.h"
#include "engine/render/Effect.h"
#include "engine/render/Pass.h"
#include "engine/render/RenderStateBlock.h"

namespace zav {

class GeometryNode;
class SkinController;

// The effect that draws one geometry node: the material and the state its
// passes copy into their render state blocks, fog, the swaying of the
// `wave` variant and the skin controller whose bones a vertex shader may
// use. A blended effect's node is deferred and drawn back to front after
// the opaque ones. Change the plain fields, then call InvalidatePasses.
class GeometryNodeEffect : public Effect {
    ZAV_OBJECT_CLASS(GeometryNodeEffect, Effect)

    static constexpr int kStages = RenderStateBlock::kStages;
    // Bones the skinning vertex shaders have constant registers for (four
    // each from c8, below the colour and fog constants at c208).
    static constexpr int kMaxShaderBones = 50;

    explicit GeometryNodeEffect(const String& name = String());
    ~GeometryNodeEffect() override;

    // Controllers, the wave time, and where the skin is applied: by the
    // vertex shader on shader models 2 and 3 (the controller only builds its
    // matrices), else on the processor (the skin is dropped); also on the
    // processor when the skin has more bones than the shaders can hold or
    // lacks the bind pose, weights or bone indices they read, and for an
    // effect without skinning shader texts.
    void Animate(double time) override;
    Object* FindObject(const String& name) override;
    void CollectObjects(const TypeInfo* type, Array<Object*>& objects) override;
    int Save(Stream& stream) override;
    int Load(Stream& stream) override;
    void DropReferences() override;

    bool IsBlending() const { return blending_; }
    void SetBlending(bool blending);
    // Whether the effect's shader techniques have skinning vertex texts.
    virtual bool HasShaderSkin() const { return true; }
    bool HasFog() const { return fog_; }
    void SetFog(bool fog);
    bool HasWave() const { return wave_; }
    void SetWave(bool wave);
    SkinController* GetSkin() const { return skin_.Get(); }
    // The old controller skins on the processor again; a new one starts
    // so too, and the node it deforms is never culled.
    void SetSkin(SkinController* skin);

    // The geometry node that holds the effect (set by its SetEffect); not
    // counted.
    GeometryNode* GetNode() const { return node_; }

    Color diffuse{0.8f, 0.8f, 0.8f, 1.0f};
    Color ambient{0.2f, 0.2f, 0.2f, 1.0f};
    Color specular{0, 0, 0, 1};
    Color emissive{0, 0, 0, 1};
    float power = 1.0f;
    bool alphaTest = false;
    int32_t alphaRef = 1;
    int32_t srcBlend = 4;
    int32_t dstBlend = 5;
    Color fogColor{1, 1, 1, 1};
    float fogDensity = 0.001f;
    float fogExponent = 2.0f;  // above 2: exponential squared fog without shaders
    float waveAmplitude = 0.05f;
    float waveSpeed = 1.0f;
    float waveTime = 0.0f;  // accumulated animation time
    bool culling = true;
    // Per stage: 1 repeats in U, V and W, 0 clamps.
    int32_t stageWrap[kStages] = {1, 1, 1, 1, 1, 1, 1, 1};

private:
    friend class GeometryNode;

    // Replaces a value read from a file that no table knows by its default.
    int32_t Checked(const char* field, int32_t value, bool valid, int32_t fallback) const;

    bool blending_ = false;
    bool fog_ = false;
    bool wave_ = false;
    Ref<SkinController> skin_;
    GeometryNode* node_ = nullptr;
};

// A pass of a geometry node effect: its render state block is a copy of the
// effect's material and state, made again whenever the pass is invalidated.
class GeometryNodeEffectPass : public Pass {
    ZAV_OBJECT_CLASS(GeometryNodeEffectPass, Pass)

    explicit GeometryNodeEffectPass(GeometryNodeEffect* effect);

    void Invalidate() override;
    GeometryNodeEffect* GetEffect() const { return effect_; }

protected:
    // The node being drawn, when it has positions: the effect's node.
    GeometryNode* DrawnNode() const;
    // Projection and view from the renderer's camera; world from the node's
    // world transform, or the identity. False without a camera.
    bool SetCameraMatrices(Renderer& renderer, const GeometryNode* world) const;

    GeometryNodeEffect* effect_;
};

}  // namespace zav
