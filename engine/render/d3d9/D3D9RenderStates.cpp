// A render state block on the device: every field, in the order the
// engine applies them, while the pass's state block is being recorded.
#include <cstring>

#include "engine/render/RenderStateBlock.h"
#include "engine/render/RenderStateTables.h"
#include "engine/render/d3d9/D3D9Formats.h"
#include "engine/render/d3d9/D3D9Renderer.h"

namespace zav {

namespace {

constexpr D3DBLEND kBlend[kBlendIndexCount] = {
    D3DBLEND_ZERO,     D3DBLEND_ONE,         D3DBLEND_SRCCOLOR,  D3DBLEND_INVSRCCOLOR,  D3DBLEND_SRCALPHA,
    D3DBLEND_INVSRCALPHA, D3DBLEND_DESTCOLOR, D3DBLEND_INVDESTCOLOR, D3DBLEND_DESTALPHA, D3DBLEND_INVDESTALPHA,
};
constexpr D3DCMPFUNC kCompare[kCompareIndexCount] = {
    D3DCMP_NEVER,    D3DCMP_LESS,    D3DCMP_LESSEQUAL,    D3DCMP_EQUAL,
    D3DCMP_NOTEQUAL, D3DCMP_GREATER, D3DCMP_GREATEREQUAL, D3DCMP_ALWAYS,
};
constexpr D3DSTENCILOP kStencilOp[kStencilOpIndexCount] = {
    D3DSTENCILOP_KEEP, D3DSTENCILOP_ZERO, D3DSTENCILOP_REPLACE, D3DSTENCILOP_INVERT, D3DSTENCILOP_INCR,
    D3DSTENCILOP_DECR,
};
constexpr D3DTEXTUREOP kCombineOp[6] = {
    D3DTOP_SELECTARG1, D3DTOP_MODULATE, D3DTOP_ADD, D3DTOP_SUBTRACT, D3DTOP_ADDSIGNED, D3DTOP_LERP,
};
constexpr DWORD kSource[4] = {D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTA_TFACTOR, D3DTA_CURRENT};
constexpr DWORD kOperand[4] = {0, D3DTA_COMPLEMENT, D3DTA_ALPHAREPLICATE, D3DTA_COMPLEMENT | D3DTA_ALPHAREPLICATE};
constexpr DWORD kTexGen[6] = {
    D3DTSS_TCI_PASSTHRU,         D3DTSS_TCI_CAMERASPACEREFLECTIONVECTOR, D3DTSS_TCI_CAMERASPACENORMAL,
    D3DTSS_TCI_CAMERASPACEPOSITION, D3DTSS_TCI_SPHEREMAP,                 D3DTSS_TCI_PASSTHRU,
};
constexpr D3DTEXTUREADDRESS kAddress[3] = {D3DTADDRESS_CLAMP, D3DTADDRESS_WRAP, D3DTADDRESS_BORDER};

// Out-of-range values (set by code; files are checked when they load)
// take the field's default instead of reading past a table.
DWORD Blend(int32_t index, int32_t fallback) { return kBlend[BlendIndexOr(index, fallback)]; }
DWORD Compare(int32_t index, int32_t fallback) { return kCompare[CompareIndexOr(index, fallback)]; }
DWORD StencilOp(int32_t index) { return kStencilOp[StencilOpIndexOr(index, 0)]; }
DWORD Source(int32_t source, int32_t operand) {
    return kSource[source >= 0 && source < 4 ? source : 0] | kOperand[operand >= 0 && operand < 4 ? operand : 0];
}
D3DTEXTUREADDRESS Address(int32_t wrap) { return kAddress[wrap >= 0 && wrap < 3 ? wrap : 1]; }

DWORD FloatBits(float value) {
    DWORD bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

D3DCOLORVALUE ColorValue(const Color& color) { return {color.r, color.g, color.b, color.a}; }

struct StageOps {
    D3DTEXTUREOP colorOp, alphaOp;
    DWORD colorArg0, colorArg1, colorArg2;
    DWORD alphaArg0, alphaArg1, alphaArg2;
};

// The colour and alpha operations of a stage by its combine mode: the
// texture against the stage before it (previous), or free combinations.
StageOps OpsOf(const TextureStageState& stage) {
    using S = TextureStageState;
    const DWORD texture = D3DTA_TEXTURE, previous = D3DTA_CURRENT, constant = D3DTA_TFACTOR;
    switch (stage.combineMode) {
        case S::kReplace:
            return {D3DTOP_SELECTARG1, D3DTOP_SELECTARG1, 0, texture, previous, 0, texture, previous};
        case S::kDecal:
            return {D3DTOP_BLENDTEXTUREALPHA, D3DTOP_SELECTARG1, 0, texture, previous, 0, previous, texture};
        case S::kBlend:
            // Between the constant colour and the previous by the texture.
            return {D3DTOP_LERP, D3DTOP_MODULATE, texture, constant, previous, 0, texture, previous};
        case S::kAdd: return {D3DTOP_ADD, D3DTOP_ADD, 0, texture, previous, 0, texture, previous};
        case S::kCombine: {
            auto op = [](int32_t index) { return kCombineOp[index >= 0 && index < 6 ? index : 1]; };
            // Interpolation weighs arguments 0 and 1 by argument 2, which the
            // device takes as its first argument.
            return {op(stage.colorOp),
                    op(stage.alphaOp),
                    Source(stage.colorSource2, stage.colorOperand2),
                    Source(stage.colorSource0, stage.colorOperand0),
                    Source(stage.colorSource1, stage.colorOperand1),
                    Source(stage.alphaSource2, stage.alphaOperand2),
                    Source(stage.alphaSource0, stage.alphaOperand0),
                    Source(stage.alphaSource1, stage.alphaOperand1)};
        }
        default: return {D3DTOP_MODULATE, D3DTOP_MODULATE, 0, texture, previous, 0, texture, previous};
    }
}

bool SelectsTexture(DWORD argument) { return (argument & D3DTA_SELECTMASK) == D3DTA_TEXTURE; }

// Whether the stage's operations read its texture.
bool ReadsTexture(D3DTEXTUREOP op, DWORD arg0, DWORD arg1, DWORD arg2) {
    if (op == D3DTOP_DISABLE) return false;
    if (op == D3DTOP_SELECTARG1) return SelectsTexture(arg1);
    if (op == D3DTOP_LERP && SelectsTexture(arg0)) return true;
    return SelectsTexture(arg1) || SelectsTexture(arg2);
}

}  // namespace

int FirstStageWithoutItsTexture(const RenderStateBlock& block, uint32_t boundStages) {
    for (int s = 0; s < RenderStateBlock::kStages; ++s) {
        if (boundStages & (1u << s)) continue;
        const StageOps ops = OpsOf(block.stages[s]);
        if (ReadsTexture(ops.colorOp, ops.colorArg0, ops.colorArg1, ops.colorArg2) ||
            ReadsTexture(ops.alphaOp, ops.alphaArg0, ops.alphaArg1, ops.alphaArg2))
            return s;
    }
    return RenderStateBlock::kStages;
}

void D3D9Renderer::ApplyRenderStateFields(const RenderStateBlock& block) {
    IDirect3DDevice9* device = device_;
    auto set = [device](D3DRENDERSTATETYPE state, DWORD value) { device->SetRenderState(state, value); };

    if (block.blending) {
        set(D3DRS_ALPHABLENDENABLE, TRUE);
        set(D3DRS_SRCBLEND, Blend(block.srcBlend, 4));
        set(D3DRS_DESTBLEND, Blend(block.dstBlend, 5));
        set(D3DRS_SEPARATEALPHABLENDENABLE, TRUE);
        set(D3DRS_SRCBLENDALPHA, Blend(block.srcBlend, 4));
        set(D3DRS_DESTBLENDALPHA, Blend(block.dstBlend, 5));
    } else {
        set(D3DRS_ALPHABLENDENABLE, FALSE);
    }
    if (block.alphaTest) {
        set(D3DRS_ALPHATESTENABLE, TRUE);
        set(D3DRS_ALPHAREF, static_cast<DWORD>(IsAlphaReference(block.alphaRef) ? block.alphaRef : 1));
        set(D3DRS_ALPHAFUNC, Compare(block.alphaFunc, 7));
    } else {
        set(D3DRS_ALPHATESTENABLE, FALSE);
    }
    set(D3DRS_CULLMODE, block.culling ? (block.cullFace == 0 ? D3DCULL_CW : D3DCULL_CCW) : D3DCULL_NONE);
    if (block.fog) {
        set(D3DRS_FOGENABLE, TRUE);
        set(D3DRS_FOGCOLOR, d3d9::PackColor(block.fogColor));
        const DWORD mode = block.fogMode == 1 ? D3DFOG_EXP : block.fogMode == 2 ? D3DFOG_EXP2 : D3DFOG_LINEAR;
        if (mode == D3DFOG_LINEAR) {
            set(D3DRS_FOGSTART, FloatBits(block.fogStart));
            set(D3DRS_FOGEND, FloatBits(block.fogEnd));
        } else {
            set(D3DRS_FOGDENSITY, FloatBits(block.fogDensity));
        }
        const DWORD none = D3DFOG_NONE;
        set(D3DRS_FOGTABLEMODE, block.pixelFog ? mode : none);
        set(D3DRS_FOGVERTEXMODE, block.pixelFog ? none : mode);
    } else {
        set(D3DRS_FOGENABLE, FALSE);
    }

    D3DMATERIAL9 material = {ColorValue(block.diffuse), ColorValue(block.ambient), ColorValue(block.specular),
                             ColorValue(block.emissive), block.power};
    if (!caps_.HasShaders()) {
        material.Specular = {0, 0, 0, 0};
        material.Diffuse.a = block.diffuse.a + block.ambient.a + block.specular.a + block.emissive.a;
    }
    device->SetMaterial(&material);

    set(D3DRS_SHADEMODE, block.shadeMode == 0 ? D3DSHADE_FLAT : D3DSHADE_GOURAUD);
    if (block.stencil) {
        set(D3DRS_STENCILENABLE, TRUE);
        set(D3DRS_STENCILFUNC, Compare(block.stencilFunc, 7));
        set(D3DRS_STENCILREF, static_cast<DWORD>(block.stencilRef));
        set(D3DRS_STENCILFAIL, StencilOp(block.stencilFail));
        set(D3DRS_STENCILZFAIL, StencilOp(block.stencilDepthFail));
        set(D3DRS_STENCILPASS, StencilOp(block.stencilPass));
    } else {
        set(D3DRS_STENCILENABLE, FALSE);
    }
    if (block.twoSidedStencil) {
        set(D3DRS_TWOSIDEDSTENCILMODE, TRUE);
        set(D3DRS_CCW_STENCILFUNC, Compare(block.backStencilFunc, 7));
        set(D3DRS_CCW_STENCILFAIL, StencilOp(block.backStencilFail));
        set(D3DRS_CCW_STENCILZFAIL, StencilOp(block.backStencilDepthFail));
        set(D3DRS_CCW_STENCILPASS, StencilOp(block.backStencilPass));
    } else {
        set(D3DRS_TWOSIDEDSTENCILMODE, FALSE);
    }
    set(D3DRS_FILLMODE, block.wireframe ? D3DFILL_WIREFRAME : D3DFILL_SOLID);
    if (block.depthTest) {
        set(D3DRS_ZENABLE, D3DZB_TRUE);
        set(D3DRS_ZWRITEENABLE, block.depthWrite ? TRUE : FALSE);
        set(D3DRS_ZFUNC, Compare(block.depthFunc, 2));
    } else {
        set(D3DRS_ZENABLE, D3DZB_FALSE);
    }

    for (DWORD s = 0; s < RenderStateBlock::kStages; ++s) {
        const TextureStageState& stage = block.stages[s];
        auto stageState = [device, s](D3DTEXTURESTAGESTATETYPE state, DWORD value) {
            device->SetTextureStageState(s, state, value);
        };
        auto sampler = [device, s](D3DSAMPLERSTATETYPE state, DWORD value) { device->SetSamplerState(s, state, value); };
        const StageOps ops = OpsOf(stage);
        stageState(D3DTSS_COLOROP, ops.colorOp);
        stageState(D3DTSS_COLORARG0, ops.colorArg0);
        stageState(D3DTSS_COLORARG1, ops.colorArg1);
        stageState(D3DTSS_COLORARG2, ops.colorArg2);
        stageState(D3DTSS_ALPHAOP, ops.alphaOp);
        stageState(D3DTSS_ALPHAARG0, ops.alphaArg0);
        stageState(D3DTSS_ALPHAARG1, ops.alphaArg1);
        stageState(D3DTSS_ALPHAARG2, ops.alphaArg2);
        set(D3DRS_TEXTUREFACTOR, d3d9::PackColor(stage.constantColor));
        sampler(D3DSAMP_MAGFILTER, stage.magFilter == 0 ? D3DTEXF_POINT : D3DTEXF_LINEAR);
        const int32_t minFilter = stage.minFilter;
        sampler(D3DSAMP_MINFILTER,
                minFilter == 1 || minFilter == 4 || minFilter == 5 ? D3DTEXF_LINEAR : D3DTEXF_POINT);
        sampler(D3DSAMP_MIPFILTER, minFilter == 2 || minFilter == 4   ? D3DTEXF_POINT
                                   : minFilter == 3 || minFilter == 5 ? D3DTEXF_LINEAR
                                                                      : D3DTEXF_NONE);
        sampler(D3DSAMP_ADDRESSU, Address(stage.wrapU));
        sampler(D3DSAMP_ADDRESSV, Address(stage.wrapV));
        sampler(D3DSAMP_ADDRESSW, Address(stage.wrapW));
        sampler(D3DSAMP_BORDERCOLOR, d3d9::PackColor(stage.borderColor));
        const int32_t texGen = stage.texGen >= 0 && stage.texGen < 6 ? stage.texGen : 0;
        stageState(D3DTSS_TEXCOORDINDEX, s | kTexGen[texGen]);
        if (texGen >= TextureStageState::kTexGenReflection && texGen <= TextureStageState::kTexGenSphereMap) {
            stageState(D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_COUNT3);
            set(D3DRS_NORMALIZENORMALS, TRUE);
        } else {
            stageState(D3DTSS_TEXTURETRANSFORMFLAGS,
                       texGen == TextureStageState::kTexGenProjected ? D3DTTFF_PROJECTED : D3DTTFF_DISABLE);
        }
    }

    if (block.pointSprites) {
        set(D3DRS_POINTSPRITEENABLE, TRUE);
        set(D3DRS_POINTSCALEENABLE, TRUE);
        set(D3DRS_POINTSIZE, FloatBits(0.1f));
        set(D3DRS_POINTSIZE_MIN, FloatBits(0.0f));
        set(D3DRS_POINTSCALE_A, FloatBits(0.0f));
        set(D3DRS_POINTSCALE_B, FloatBits(0.0f));
        set(D3DRS_POINTSCALE_C, FloatBits(1.0f));
    } else {
        set(D3DRS_POINTSPRITEENABLE, FALSE);
    }
}

}  // namespace zav
