#pragma once

#include <d3d9.h>

#include <cstdint>

#include "engine/core/Values.h"
#include "engine/render/DisplayMode.h"

namespace zav {
class Image;
}

namespace zav::d3d9 {

// Formats tried when the device modes are listed, in order.
extern const D3DFORMAT kDisplayFormats[4];
extern const D3DFORMAT kBackBufferFormats[6];
extern const D3DFORMAT kDepthFormats[6];
// Multisample types tried: none, then 2 to 16 samples; entry m gives
// DisplayMode::samples = m + 1.
extern const D3DMULTISAMPLE_TYPE kMultisampleTypes[16];

struct ColorFormatBits {
    int32_t color = 0, red = 0, green = 0, blue = 0, alpha = 0;
};
struct DepthFormatBits {
    int32_t depth = 0, stencil = 0;
};

// Channel bits of a back-buffer or display format (zeros for others).
ColorFormatBits ColorBitsOf(D3DFORMAT format);
// Depth and stencil bits of a depth format (zeros for others).
DepthFormatBits DepthBitsOf(D3DFORMAT format);

// From a mode's bits back to device formats; D3DFMT_UNKNOWN when the bits
// name no format.
D3DFORMAT BackBufferFormatOf(const DisplayMode& mode);
D3DFORMAT DisplayFormatOf(const DisplayMode& mode);
D3DFORMAT DepthFormatOf(int32_t depthBits, int32_t stencilBits);
D3DMULTISAMPLE_TYPE MultisampleTypeOf(int32_t samples);

// Shader levels the effects choose techniques by: 0 model 1.x, 1 model 2.0,
// 2 model 3.0, 4 none. An unknown pixel shader version also disables vertex
// shaders.
struct ShaderLevels {
    int32_t vertex = 4;
    int32_t pixel = 4;
};
ShaderLevels ShaderLevelsOf(DWORD vertexShaderVersion, DWORD pixelShaderVersion);

// A colour as the device packs it: 8-bit A, R, G, B, each channel × 255
// and kept inside 0..255.
D3DCOLOR PackColor(const Color& color);

// The device format of textures over images of `pixelFormat`: X8R8G8B8,
// A8R8G8B8, A8, and A16B16G16R16F for render targets only; D3DFMT_UNKNOWN
// for any other code.
D3DFORMAT TextureFormatOf(int32_t pixelFormat, bool renderTarget);

// Copies a locked 32-bit surface (X8R8G8B8 or A8R8G8B8) into `image` as
// RGB8, the surface's top row becoming the image's last. 0, or 1 for
// another format or no memory.
int ReadSurfaceRows(const D3DLOCKED_RECT& locked, const D3DSURFACE_DESC& desc, Image& image);

}  // namespace zav::d3d9
