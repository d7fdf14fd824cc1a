#pragma once

#include <cstdint>

#include "engine/core/String.h"

namespace zav {

// Shader levels as the effects choose techniques by them.
enum ShaderLevel : int32_t {
    kShaderModel1 = 0,  // 1.x
    kShaderModel2 = 1,  // 2.0
    kShaderModel3 = 2,  // 3.0
    kNoShaders = 4,
};

// What the device can do; filled by the back end when its device exists.
struct RendererCaps {
    String adapterDescription;
    String driverName;
    int32_t maxTextures = 0;  // texture stages that can be used at once
    int32_t maxLights = 0;    // fixed-function lights switched on at once
    bool volumeTextures = false;
    bool cubeTextures = false;
    bool projectedTextures = false;
    int32_t vertexShaderLevel = kNoShaders;
    int32_t pixelShaderLevel = kNoShaders;
    bool pointSprites = false;
    bool occlusionQueries = false;
    bool hardwareShadowMaps = false;
    bool halfFloatTargets = false;

    // Both shader kinds at some level.
    bool HasShaders() const { return vertexShaderLevel != kNoShaders && pixelShaderLevel != kNoShaders; }
};

}  // namespace zav
