// Render targets: textures (and cube faces) drawn into and depth textures,
// on a stack of the targets they replaced.
#include <cmath>
#include <cstring>
#include <new>

#include "engine/render/CubeTexture.h"
#include "engine/render/Image.h"
#include "engine/render/Texture.h"
#include "engine/render/d3d9/D3D9Formats.h"
#include "engine/render/d3d9/D3D9Renderer.h"

namespace zav {

namespace {

using d3d9::TextureObject;

void SetViewportTo(IDirect3DDevice9* device, IDirect3DSurface9* surface) {
    D3DSURFACE_DESC desc;
    if (!surface || FAILED(surface->GetDesc(&desc))) return;
    D3DVIEWPORT9 viewport = {0, 0, desc.Width, desc.Height, 0.0f, 1.0f};
    device->SetViewport(&viewport);
}

DWORD FloatBits(float value) {
    DWORD bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

}  // namespace

TextureObject* D3D9Renderer::MakeRenderTarget(BaseTexture& texture, int32_t width, int32_t height, int32_t format,
                                              bool cube, bool ownDepth) {
    TakeOver(&texture);
    TextureObject* object = HandleOf<TextureObject>(texture);
    if (object && object->renderTarget && object->width == width && object->height == height &&
        object->format == format && (object->kind == TextureObject::kCube) == cube)
        return object;
    ReleaseDeviceObject(&texture);
    const D3DFORMAT deviceFormat = d3d9::TextureFormatOf(format, true);
    if (width <= 0 || height <= 0 || deviceFormat == D3DFMT_UNKNOWN) return nullptr;
    IDirect3DBaseTexture9* made = nullptr;
    HRESULT result;
    if (cube) {
        IDirect3DCubeTexture9* target = nullptr;
        result = device_->CreateCubeTexture(static_cast<UINT>(width), 1, D3DUSAGE_RENDERTARGET, deviceFormat,
                                            D3DPOOL_DEFAULT, &target, nullptr);
        made = target;
    } else {
        IDirect3DTexture9* target = nullptr;
        result = device_->CreateTexture(static_cast<UINT>(width), static_cast<UINT>(height), 1,
                                        D3DUSAGE_RENDERTARGET, deviceFormat, D3DPOOL_DEFAULT, &target, nullptr);
        made = target;
    }
    if (FAILED(result) || !made) return nullptr;
    IDirect3DSurface9* depth = nullptr;
    if (ownDepth && FAILED(device_->CreateDepthStencilSurface(static_cast<UINT>(width), static_cast<UINT>(height),
                                                              present_.AutoDepthStencilFormat, D3DMULTISAMPLE_NONE,
                                                              0, TRUE, &depth, nullptr)))
        depth = nullptr;
    object = new (std::nothrow) TextureObject();
    if (!object) {
        if (depth) depth->Release();
        made->Release();
        return nullptr;
    }
    object->texture = made;
    object->depthSurface = depth;
    object->kind = cube ? TextureObject::kCube : TextureObject::kPlain;
    object->width = width;
    object->height = height;
    object->format = format;
    object->renderTarget = true;
    texture.SetMipLevels(1);
    AttachDeviceObject(texture, texture, object);
    texture.SetDirty(false);  // drawn into, never filled from its image
    return object;
}

void D3D9Renderer::PushSurfaces(BaseTexture* texture, IDirect3DSurface9* color, IDirect3DSurface9* depth) {
    TargetRecord record;
    record.texture = texture;
    device_->GetRenderTarget(0, &record.color);
    device_->GetDepthStencilSurface(&record.depth);
    device_->GetViewport(&record.viewport);
    // A target that could not be made still takes its place on the stack,
    // so that the pop that belongs to it restores what was there.
    if (color) {
        device_->SetRenderTarget(0, color);
        SetViewportTo(device_, color);
    }
    if (depth) device_->SetDepthStencilSurface(depth);
    try {
        targets_.push_back(record);
    } catch (const std::bad_alloc&) {
        if (record.color) device_->SetRenderTarget(0, record.color);
        if (record.depth) device_->SetDepthStencilSurface(record.depth);
        device_->SetViewport(&record.viewport);
        if (record.color) record.color->Release();
        if (record.depth) record.depth->Release();
    }
}

void D3D9Renderer::PushTextureTarget(Texture* texture) {
    if (!texture) {
        PopTarget();
        return;
    }
    if (!device_) return;
    Image* image = texture->GetImage();
    TextureObject* object =
        image ? MakeRenderTarget(*texture, image->GetWidth(), image->GetHeight(), image->GetFormat(), false,
                                 texture->ownDepthBuffer)
              : nullptr;
    IDirect3DSurface9* surface = nullptr;
    if (object) static_cast<IDirect3DTexture9*>(object->texture)->GetSurfaceLevel(0, &surface);
    PushSurfaces(texture, surface, object && texture->ownDepthBuffer ? object->depthSurface : nullptr);
    if (surface) surface->Release();
}

void D3D9Renderer::PushCubeTarget(int face, CubeTexture* texture) {
    if (!texture) {
        PopTarget();
        return;
    }
    if (!device_) return;
    VolumeImage* image = texture->GetImage(false);
    TextureObject* object =
        image && face >= 0 && face < CubeTexture::kFaces
            ? MakeRenderTarget(*texture, image->GetWidth(), image->GetWidth(), image->GetFormat(), true, true)
            : nullptr;
    IDirect3DSurface9* surface = nullptr;
    if (object)
        static_cast<IDirect3DCubeTexture9*>(object->texture)
            ->GetCubeMapSurface(static_cast<D3DCUBEMAP_FACES>(face), 0, &surface);
    PushSurfaces(texture, surface, object ? object->depthSurface : nullptr);
    if (surface) surface->Release();
}

void D3D9Renderer::PushDepthTarget(Texture* texture, float depthBias, float slopeBias) {
    if (!texture) {
        PopTarget();
        if (device_) {
            device_->SetRenderState(D3DRS_DEPTHBIAS, FloatBits(0.0f));
            device_->SetRenderState(D3DRS_SLOPESCALEDEPTHBIAS, FloatBits(0.0f));
        }
        return;
    }
    if (!device_) return;
    // Without an image the texture takes the viewport's size.
    if (!texture->GetImage()) {
        Ref<Image> sized(new (std::nothrow) Image());
        if (sized) {
            sized->SetSizeWithoutPixels(GetViewportWidth(), GetViewportHeight());
            texture->SetImage(sized.Get());
        }
    }
    Image* image = texture->GetImage();
    TakeOver(texture);
    TextureObject* object = HandleOf<TextureObject>(*texture);
    if (object && (!object->depthTarget || !image || object->width != image->GetWidth() ||
                   object->height != image->GetHeight())) {
        ReleaseDeviceObject(texture);
        object = nullptr;
    }
    if (!object && image && image->GetWidth() > 0 && image->GetHeight() > 0) {
        IDirect3DTexture9* made = nullptr;
        if (SUCCEEDED(device_->CreateTexture(static_cast<UINT>(image->GetWidth()),
                                             static_cast<UINT>(image->GetHeight()), 1, D3DUSAGE_DEPTHSTENCIL,
                                             present_.AutoDepthStencilFormat, D3DPOOL_DEFAULT, &made, nullptr))) {
            object = new (std::nothrow) TextureObject();
            if (object) {
                object->texture = made;
                object->width = image->GetWidth();
                object->height = image->GetHeight();
                object->format = image->GetFormat();
                object->depthTarget = true;
                texture->SetMipLevels(1);
                AttachDeviceObject(*texture, *texture, object);
                texture->SetDirty(false);
            } else {
                made->Release();
            }
        }
    }
    IDirect3DSurface9* surface = nullptr;
    if (object) static_cast<IDirect3DTexture9*>(object->texture)->GetSurfaceLevel(0, &surface);
    PushSurfaces(texture, nullptr, surface);
    if (surface) {
        SetViewportTo(device_, surface);
        surface->Release();
    }
    device_->SetRenderState(D3DRS_DEPTHBIAS, FloatBits(depthBias * std::ldexp(1.0f, -24)));
    device_->SetRenderState(D3DRS_SLOPESCALEDEPTHBIAS, FloatBits(slopeBias));
}

void D3D9Renderer::PopTarget() {
    FlushDeferred();
    if (targets_.empty() || !device_) return;
    TargetRecord record = targets_.back();
    targets_.pop_back();
    if (record.depth) device_->SetDepthStencilSurface(record.depth);
    if (record.color) device_->SetRenderTarget(0, record.color);
    // The viewport of before the push: a band of the screen stays a band.
    device_->SetViewport(&record.viewport);
    if (record.color) record.color->Release();
    if (record.depth) record.depth->Release();
}

void D3D9Renderer::ReleaseTargets() {
    while (!targets_.empty()) {
        TargetRecord record = targets_.back();
        targets_.pop_back();
        if (device_ && record.color) device_->SetRenderTarget(0, record.color);
        if (device_ && record.depth) device_->SetDepthStencilSurface(record.depth);
        if (record.color) record.color->Release();
        if (record.depth) record.depth->Release();
    }
}

}  // namespace zav
