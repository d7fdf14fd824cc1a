#include "engine/render/d3d9/D3D9Formats.h"

#include <utility>

#include "engine/core/Result.h"
#include "engine/files/ByteBlock.h"
#include "engine/render/Image.h"
#include "engine/render/PixelFormat.h"

namespace zav::d3d9 {

const D3DFORMAT kDisplayFormats[4] = {D3DFMT_X8R8G8B8, D3DFMT_X1R5G5B5, D3DFMT_R5G6B5, D3DFMT_A2R10G10B10};

const D3DFORMAT kBackBufferFormats[6] = {D3DFMT_A8R8G8B8, D3DFMT_X8R8G8B8, D3DFMT_A2R10G10B10,
                                         D3DFMT_R5G6B5,   D3DFMT_A1R5G5B5, D3DFMT_X1R5G5B5};

const D3DFORMAT kDepthFormats[6] = {D3DFMT_D24S8, D3DFMT_D24X4S4, D3DFMT_D15S1,
                                    D3DFMT_D24X8, D3DFMT_D32,     D3DFMT_D16};

const D3DMULTISAMPLE_TYPE kMultisampleTypes[16] = {
    D3DMULTISAMPLE_NONE,       D3DMULTISAMPLE_2_SAMPLES,  D3DMULTISAMPLE_3_SAMPLES,  D3DMULTISAMPLE_4_SAMPLES,
    D3DMULTISAMPLE_5_SAMPLES,  D3DMULTISAMPLE_6_SAMPLES,  D3DMULTISAMPLE_7_SAMPLES,  D3DMULTISAMPLE_8_SAMPLES,
    D3DMULTISAMPLE_9_SAMPLES,  D3DMULTISAMPLE_10_SAMPLES, D3DMULTISAMPLE_11_SAMPLES, D3DMULTISAMPLE_12_SAMPLES,
    D3DMULTISAMPLE_13_SAMPLES, D3DMULTISAMPLE_14_SAMPLES, D3DMULTISAMPLE_15_SAMPLES, D3DMULTISAMPLE_16_SAMPLES,
};

ColorFormatBits ColorBitsOf(D3DFORMAT format) {
    switch (format) {
        case D3DFMT_A8R8G8B8: return {32, 8, 8, 8, 8};
        case D3DFMT_X8R8G8B8: return {32, 8, 8, 8, 0};
        case D3DFMT_A2R10G10B10: return {32, 10, 10, 10, 2};
        case D3DFMT_R5G6B5: return {16, 5, 6, 5, 0};
        case D3DFMT_A1R5G5B5: return {16, 5, 5, 5, 1};
        case D3DFMT_X1R5G5B5: return {16, 5, 5, 5, 0};
        default: return {};
    }
}

DepthFormatBits DepthBitsOf(D3DFORMAT format) {
    switch (format) {
        case D3DFMT_D24S8: return {24, 8};
        case D3DFMT_D24X4S4: return {24, 4};
        case D3DFMT_D15S1: return {15, 1};
        case D3DFMT_D24X8: return {24, 0};
        case D3DFMT_D32: return {32, 0};
        case D3DFMT_D16: return {16, 0};
        default: return {};
    }
}

D3DFORMAT BackBufferFormatOf(const DisplayMode& mode) {
    if (mode.colorBits == 32) {
        if (mode.alphaBits == 0) return D3DFMT_X8R8G8B8;
        if (mode.alphaBits == 2) return D3DFMT_A2R10G10B10;
        if (mode.alphaBits == 8) return D3DFMT_A8R8G8B8;
    } else if (mode.colorBits == 16) {
        if (mode.alphaBits == 1) return D3DFMT_A1R5G5B5;
        if (mode.alphaBits == 0) return mode.greenBits == 5 ? D3DFMT_X1R5G5B5 : D3DFMT_R5G6B5;
    }
    return D3DFMT_UNKNOWN;
}

D3DFORMAT DisplayFormatOf(const DisplayMode& mode) {
    if (mode.colorBits == 32) return mode.alphaBits == 2 ? D3DFMT_A2R10G10B10 : D3DFMT_X8R8G8B8;
    if (mode.colorBits == 16) return mode.alphaBits == 1 || mode.greenBits == 5 ? D3DFMT_X1R5G5B5 : D3DFMT_R5G6B5;
    return D3DFMT_UNKNOWN;
}

D3DFORMAT DepthFormatOf(int32_t depthBits, int32_t stencilBits) {
    for (D3DFORMAT format : kDepthFormats) {
        DepthFormatBits bits = DepthBitsOf(format);
        if (bits.depth == depthBits && bits.stencil == stencilBits) return format;
    }
    return D3DFMT_UNKNOWN;
}

D3DMULTISAMPLE_TYPE MultisampleTypeOf(int32_t samples) {
    return samples >= 2 && samples <= 16 ? static_cast<D3DMULTISAMPLE_TYPE>(samples) : D3DMULTISAMPLE_NONE;
}

ShaderLevels ShaderLevelsOf(DWORD vertexShaderVersion, DWORD pixelShaderVersion) {
    ShaderLevels levels;
    switch (vertexShaderVersion) {
        case D3DVS_VERSION(1, 1): levels.vertex = 0; break;
        case D3DVS_VERSION(2, 0): levels.vertex = 1; break;
        case D3DVS_VERSION(3, 0): levels.vertex = 2; break;
        default: levels.vertex = 4; break;
    }
    switch (pixelShaderVersion) {
        case D3DPS_VERSION(1, 1):
        case D3DPS_VERSION(1, 2):
        case D3DPS_VERSION(1, 3):
        case D3DPS_VERSION(1, 4): levels.pixel = 0; break;
        case D3DPS_VERSION(2, 0): levels.pixel = 1; break;
        case D3DPS_VERSION(3, 0): levels.pixel = 2; break;
        default:
            levels.pixel = 4;
            levels.vertex = 4;
            break;
    }
    return levels;
}

namespace {

DWORD PackChannel(float value) {
    if (!(value > 0.0f)) return 0;  // also NaN
    if (value >= 1.0f) return 255;
    return static_cast<DWORD>(value * 255.0f);
}

}  // namespace

D3DCOLOR PackColor(const Color& color) {
    return D3DCOLOR_ARGB(PackChannel(color.a), PackChannel(color.r), PackChannel(color.g), PackChannel(color.b));
}

D3DFORMAT TextureFormatOf(int32_t pixelFormat, bool renderTarget) {
    switch (pixelFormat) {
        case RGB8: return D3DFMT_X8R8G8B8;
        case RGBA8: return D3DFMT_A8R8G8B8;
        case A8: return D3DFMT_A8;
        case RGBA16F: return renderTarget ? D3DFMT_A16B16G16R16F : D3DFMT_UNKNOWN;
        default: return D3DFMT_UNKNOWN;
    }
}

int ReadSurfaceRows(const D3DLOCKED_RECT& locked, const D3DSURFACE_DESC& desc, Image& image) {
    if (desc.Format != D3DFMT_X8R8G8B8 && desc.Format != D3DFMT_A8R8G8B8) return kFailed;
    const auto width = static_cast<int32_t>(desc.Width), height = static_cast<int32_t>(desc.Height);
    ByteBlock pixels;
    if (!pixels.Allocate(static_cast<size_t>(width) * static_cast<size_t>(height) * 3)) return kFailed;
    for (int32_t row = 0; row < height; ++row) {
        const auto* in = static_cast<const uint8_t*>(locked.pBits) + static_cast<ptrdiff_t>(row) * locked.Pitch;
        uint8_t* out = pixels.Data() + static_cast<size_t>(height - 1 - row) * static_cast<size_t>(width) * 3;
        for (int32_t x = 0; x < width; ++x, in += 4, out += 3) {
            out[0] = in[2];
            out[1] = in[1];
            out[2] = in[0];
        }
    }
    return image.SetPixels(width, height, 1, RGB8, std::move(pixels));
}

}  // namespace zav::d3d9
