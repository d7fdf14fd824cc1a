#pragma once

#include <functional>
#include <string>
#include <vector>

#include "engine/render/BaseTexture.h"
#include "engine/render/GeometryNodeEffect.h"

namespace zav {
class Light;
}

namespace zav::test {

// A geometry effect with one fixed-function pass that binds what the node
// has (positions, normals, colours, texture coordinates set 0 and the
// indices), a texture on stage 0, the camera's matrices and the lights it
// is given. AddShaderTechnique puts a technique that needs shaders (and
// draws the same way) in front of it, for tests of the technique choice.
class FixedFunctionTestEffect : public GeometryNodeEffect {
    ZAV_OBJECT_CLASS(FixedFunctionTestEffect, GeometryNodeEffect)

    explicit FixedFunctionTestEffect(const String& name = String());

    void AddShaderTechnique();
    // "shader", "fixed function", or "" while none is chosen.
    std::string ChosenTechnique() const;

    Ref<BaseTexture> texture;
    std::vector<Light*> lights;  // pushed and switched on by the pass, in order
    int32_t texGen = 0;          // texture coordinate generation of stage 0
    // Changes the pass's render state after it copied the effect's.
    std::function<void(RenderStateBlock&)> adjustState;
    bool worldIsIdentity = false;
    int applies = 0;  // passes applied
};

}  // namespace zav::test
