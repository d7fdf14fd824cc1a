#pragma once

#include <d3d9.h>

#include <cstdint>

namespace zav::d3d9 {

// What the renderer keeps as an engine object's device object (the handle
// of its DeviceResource). Deleting one releases the device objects in it.
struct DeviceObject {
    virtual ~DeviceObject() = default;
};

// One device interface: state blocks, vertex declarations, queries.
template <class Interface>
struct ComObject : DeviceObject {
    explicit ComObject(Interface* object) : object(object) {}
    ~ComObject() override {
        if (object) object->Release();
    }
    Interface* object;
};

using StateBlockObject = ComObject<IDirect3DStateBlock9>;
using DeclarationObject = ComObject<IDirect3DVertexDeclaration9>;
using QueryObject = ComObject<IDirect3DQuery9>;
using VertexShaderObject = ComObject<IDirect3DVertexShader9>;
using PixelShaderObject = ComObject<IDirect3DPixelShader9>;

// A device texture with what it was made from, so that a changed picture
// gets a new texture instead of being written past the old one.
struct TextureObject : DeviceObject {
    enum Kind { kPlain, kVolume, kCube };
    ~TextureObject() override {
        if (depthSurface) depthSurface->Release();
        if (texture) texture->Release();
    }
    IDirect3DBaseTexture9* texture = nullptr;
    // The depth buffer of a render target that has its own.
    IDirect3DSurface9* depthSurface = nullptr;
    Kind kind = kPlain;
    int32_t width = 0, height = 0, depth = 1;
    int32_t format = 0;  // the image's pixel format
    bool renderTarget = false;
    bool depthTarget = false;
    bool fullChain = false;  // made with every mip level the device could give
};

// A vertex or index buffer. Index buffers remember the largest index they
// hold, which every draw compares with the vertices it reads.
struct BufferObject : DeviceObject {
    ~BufferObject() override {
        if (vertices) vertices->Release();
        if (indices) indices->Release();
    }
    IDirect3DVertexBuffer9* vertices = nullptr;
    IDirect3DIndexBuffer9* indices = nullptr;
    uint32_t bytes = 0;   // size of the device buffer
    uint32_t stride = 0;  // bytes per vertex
    int64_t largestIndex = -1;
    bool indicesUsable = true;  // no negative index, none beyond the device's largest
};

}  // namespace zav::d3d9
