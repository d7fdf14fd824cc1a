#pragma once

#include <cstdint>

#include "engine/core/Object.h"
#include "engine/core/Values.h"
#include "engine/render/DeviceResource.h"

namespace zav {

// The state of one texture stage: sampling, the combination with the stage
// before it and texture coordinate generation.
struct TextureStageState {
    enum CombineMode : int32_t { kReplace, kDecal, kModulate, kBlend, kAdd, kCombine };
    enum CombineOp : int32_t { kOpReplace, kOpModulate, kOpAdd, kOpSubtract, kOpAddSigned, kOpInterpolate };
    enum Source : int32_t { kSourceTexture, kSourcePrimary, kSourceConstant, kSourcePrevious };
    enum Operand : int32_t { kOperandColor, kOperandOneMinusColor, kOperandAlpha, kOperandOneMinusAlpha };
    enum TexGen : int32_t { kTexGenNone, kTexGenReflection, kTexGenNormal, kTexGenEyePosition, kTexGenSphereMap,
                            kTexGenProjected };

    int32_t magFilter = 1;  // 0 nearest, 1 linear
    // 0 nearest, 1 linear, 2 nearest-mipmap-nearest, 3 nearest-mipmap-linear,
    // 4 linear-mipmap-nearest, 5 linear-mipmap-linear
    int32_t minFilter = 5;
    int32_t wrapU = 1, wrapV = 1, wrapW = 1;  // 0 clamp, 1 repeat, 2 border colour
    Color borderColor{0, 1, 0, 1};
    int32_t combineMode = kModulate;
    // The device has one constant colour for all stages: the last stage wins.
    Color constantColor{1, 1, 1, 1};
    int32_t colorOp = kOpModulate, alphaOp = kOpModulate;  // for kCombine
    int32_t colorSource0 = kSourceTexture, colorSource1 = kSourcePrevious, colorSource2 = kSourceConstant;
    int32_t alphaSource0 = kSourceTexture, alphaSource1 = kSourcePrevious, alphaSource2 = kSourceConstant;
    int32_t colorOperand0 = kOperandColor, colorOperand1 = kOperandColor, colorOperand2 = kOperandColor;
    int32_t alphaOperand0 = kOperandAlpha, alphaOperand1 = kOperandAlpha, alphaOperand2 = kOperandAlpha;
    int32_t texGen = kTexGenNone;
};

// The complete fixed-function state of a pass. The renderer applies it once
// while it records the pass into a device state block (the block is this
// object's device object) and replays that block afterwards. Only the
// Object record is stored: a block read from a file has the defaults.
class RenderStateBlock : public Object, public DeviceResource {
    ZAV_OBJECT_CLASS(RenderStateBlock, Object)

    static constexpr int kStages = 8;

    explicit RenderStateBlock(const String& name = String());
    // Asks the renderer that recorded the block to release it.
    ~RenderStateBlock() override;

    bool blending = false;
    int32_t srcBlend = 4;  // blend indices (RenderStateTables.h)
    int32_t dstBlend = 5;
    bool alphaTest = false;
    int32_t alphaFunc = 7;  // compare index
    int32_t alphaRef = 1;   // 0..255
    bool culling = true;
    int32_t cullFace = 1;  // 0 culls clockwise faces, 1 counter-clockwise ones
    bool fog = false;
    float fogStart = 0.0f;
    float fogEnd = 1000.0f;
    float fogDensity = 1.0f;
    Color fogColor{0.5f, 0.5f, 0.5f, 1.0f};
    int32_t fogMode = 0;  // 0 linear, 1 exponential, 2 exponential squared
    bool pixelFog = false;
    Color diffuse{0.8f, 0.8f, 0.8f, 1.0f};
    Color ambient{0.2f, 0.2f, 0.2f, 1.0f};
    Color specular{0, 0, 0, 1};
    Color emissive{0, 0, 0, 1};
    float power = 1.0f;
    int32_t shadeMode = 1;  // 0 flat, 1 Gouraud
    bool wireframe = false;
    bool depthTest = true;
    bool depthWrite = true;
    int32_t depthFunc = 2;  // compare index
    bool stencil = false;
    int32_t stencilFunc = 7;
    int32_t stencilRef = 0;
    int32_t stencilFail = 0;  // stencil-op indices
    int32_t stencilDepthFail = 0;
    int32_t stencilPass = 0;
    bool twoSidedStencil = false;  // separate stencil for counter-clockwise faces
    int32_t backStencilFunc = 7;
    int32_t backStencilFail = 0;
    int32_t backStencilDepthFail = 0;
    int32_t backStencilPass = 0;
    TextureStageState stages[kStages];
    bool pointSprites = false;
};

}  // namespace zav
