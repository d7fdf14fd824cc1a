#pragma once

#include "engine/core/RefCounted.h"
#include "engine/render/effects/GeometryShaderPass.h"
#include "engine/render/effects/TextureEffect.h"
#include "engine/scene/Light.h"

namespace zav {

class Stream;

// The lights a lit effect names: one directional light, and for the two-
// light effect a point light. Each link is an object reference to a Light
// in the effect's record; a missing link lights nothing.
struct LightLinks {
    Ref<Light> directional;
    Ref<Light> point;
    bool hasPoint = false;  // the two-light effect's

    // The links' records and searches, for the effect that holds them.
    int Save(Stream& stream, const Object& effect) const;
    int Load(Stream& stream, const Object& effect);
    Object* FindObject(const String& name) const;
    void CollectObjects(const TypeInfo* type, Array<Object*>& objects) const;
    void Drop();
};

// Fixed-function lighting: positions, normals, the texture and its
// coordinates, the camera's matrices, and the effect's lights pushed and
// switched on (the node's draw switches them off again).
class LitFixedFunctionPass : public GeometryNodeEffectPass {
public:
    LitFixedFunctionPass(TextureEffect* effect, const LightLinks& lights)
        : GeometryNodeEffectPass(effect), texture_(effect), lights_(lights) {}
    int Apply(Renderer& renderer) override;

private:
    TextureEffect* texture_;
    const LightLinks& lights_;
};

// The lit shader texts: per vertex on shader model 1, per pixel on 2 and 3,
// with the constants of their layouts.
class LitShaderPass : public GeometryShaderPass {
public:
    LitShaderPass(TextureEffect* effect, const LightLinks& lights)
        : GeometryShaderPass(effect, lights.hasPoint ? ShaderEffect::kTexture1DL1PL : ShaderEffect::kTexture1DL),
          texture_(effect),
          lights_(lights) {}
    int Apply(Renderer& renderer) override;

private:
    TextureEffect* texture_;
    const LightLinks& lights_;
};

// Both lit techniques need a second texture stage and a light.
bool CanLight(const RendererCaps& caps);
bool CanLightWithShaders(const RendererCaps& caps);

}  // namespace zav
