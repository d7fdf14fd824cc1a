// Textures: made at their first bind from their picture, refilled while
// dirty, made again when the picture changed size or format. Lower mip
// levels come from the engine's own box filter.
#include <new>

#include "engine/core/Log.h"
#include "engine/render/CubeTexture.h"
#include "engine/render/Image.h"
#include "engine/render/RenderStateBlock.h"
#include "engine/render/Texture.h"
#include "engine/render/TextureUpload.h"
#include "engine/render/VolumeImage.h"
#include "engine/render/VolumeTexture.h"
#include "engine/render/d3d9/D3D9Formats.h"
#include "engine/render/d3d9/D3D9Renderer.h"

namespace zav {

namespace {

using d3d9::TextureObject;

int32_t DepthOf(const Image& picture) {
    auto* volume = ObjectCast<VolumeImage>(const_cast<Image*>(&picture));
    return volume ? volume->GetDepth() : 1;
}

TextureObject::Kind KindOf(BaseTexture& texture) {
    if (ObjectCast<CubeTexture>(&texture)) return TextureObject::kCube;
    if (ObjectCast<VolumeTexture>(&texture)) return TextureObject::kVolume;
    return TextureObject::kPlain;
}

TexelRegion RegionOf(const D3DLOCKED_RECT& locked, int32_t width, int32_t height) {
    TexelRegion region;
    region.bits = static_cast<uint8_t*>(locked.pBits);
    region.width = width;
    region.height = height;
    region.rowPitch = locked.Pitch;
    return region;
}

TexelRegion RegionOf(const D3DLOCKED_BOX& locked, int32_t width, int32_t height, int32_t depth) {
    TexelRegion region;
    region.bits = static_cast<uint8_t*>(locked.pBits);
    region.width = width;
    region.height = height;
    region.depth = depth;
    region.rowPitch = locked.RowPitch;
    region.slicePitch = locked.SlicePitch;
    return region;
}

int32_t Half(int32_t size) { return size > 1 ? size / 2 : 1; }

// Fills level 0 of a plain texture or of one cube face (slice `slice`) and
// filters the levels below it. `lock` and `unlock` reach level l.
template <class Lock, class Unlock>
bool FillLevels(const Image& picture, int32_t slice, DWORD levels, int32_t texelBytes, Lock lock, Unlock unlock) {
    D3DLOCKED_RECT top;
    if (FAILED(lock(0, &top, 0))) return false;
    const bool written = WriteImageTexels(picture, slice, RegionOf(top, picture.GetWidth(), picture.GetHeight()));
    unlock(0);
    if (!written) return false;
    int32_t width = picture.GetWidth(), height = picture.GetHeight();
    for (DWORD level = 1; level < levels; ++level) {
        D3DLOCKED_RECT upper, lower;
        if (FAILED(lock(level - 1, &upper, D3DLOCK_READONLY))) return false;
        if (FAILED(lock(level, &lower, 0))) {
            unlock(level - 1);
            return false;
        }
        FilterMipLevel(RegionOf(upper, width, height), RegionOf(lower, Half(width), Half(height)), texelBytes);
        unlock(level);
        unlock(level - 1);
        width = Half(width);
        height = Half(height);
    }
    return true;
}

bool FillPlain(IDirect3DTexture9* texture, const Image& picture, int32_t texelBytes) {
    return FillLevels(
        picture, 0, texture->GetLevelCount(), texelBytes,
        [texture](DWORD level, D3DLOCKED_RECT* locked, DWORD flags) {
            return texture->LockRect(level, locked, nullptr, flags);
        },
        [texture](DWORD level) { texture->UnlockRect(level); });
}

bool FillCube(IDirect3DCubeTexture9* texture, const Image& picture, int32_t texelBytes) {
    for (int32_t face = 0; face < CubeTexture::kFaces; ++face) {
        const auto cubeFace = static_cast<D3DCUBEMAP_FACES>(face);
        if (!FillLevels(
                picture, face, texture->GetLevelCount(), texelBytes,
                [texture, cubeFace](DWORD level, D3DLOCKED_RECT* locked, DWORD flags) {
                    return texture->LockRect(cubeFace, level, locked, nullptr, flags);
                },
                [texture, cubeFace](DWORD level) { texture->UnlockRect(cubeFace, level); }))
            return false;
    }
    return true;
}

bool FillVolume(IDirect3DVolumeTexture9* texture, const Image& picture, int32_t depth, int32_t texelBytes) {
    D3DLOCKED_BOX top;
    if (FAILED(texture->LockBox(0, &top, nullptr, 0))) return false;
    const bool written =
        WriteImageTexels(picture, 0, RegionOf(top, picture.GetWidth(), picture.GetHeight(), depth));
    texture->UnlockBox(0);
    if (!written) return false;
    int32_t width = picture.GetWidth(), height = picture.GetHeight();
    for (DWORD level = 1; level < texture->GetLevelCount(); ++level) {
        D3DLOCKED_BOX upper, lower;
        if (FAILED(texture->LockBox(level - 1, &upper, nullptr, D3DLOCK_READONLY))) return false;
        if (FAILED(texture->LockBox(level, &lower, nullptr, 0))) {
            texture->UnlockBox(level - 1);
            return false;
        }
        FilterMipLevel(RegionOf(upper, width, height, depth), RegionOf(lower, Half(width), Half(height), Half(depth)),
                       texelBytes);
        texture->UnlockBox(level);
        texture->UnlockBox(level - 1);
        width = Half(width);
        height = Half(height);
        depth = Half(depth);
    }
    return true;
}

}  // namespace

bool D3D9Renderer::IsTarget(const BaseTexture* texture) const {
    for (const TargetRecord& record : targets_)
        if (record.texture == texture) return true;
    return false;
}

void D3D9Renderer::BindTexture(BaseTexture* texture, int stage) {
    if (!device_ || stage < 0 || stage >= RenderStateBlock::kStages) return;
    const auto deviceStage = static_cast<DWORD>(stage);
    if (!texture) {
        device_->SetTexture(deviceStage, nullptr);
        if (recording_) recordedStages_ &= ~(1u << stage);
        return;
    }
    // A texture is never read while it is being drawn into.
    if (IsTarget(texture)) return;
    TakeOver(texture);
    TextureObject* object = HandleOf<TextureObject>(*texture);
    Image* picture = texture->GetPicture();
    if (object && !object->renderTarget && !object->depthTarget &&
        (!picture || picture->GetWidth() != object->width || picture->GetHeight() != object->height ||
         DepthOf(*picture) != object->depth || picture->GetFormat() != object->format)) {
        // The picture changed: a new texture, not one written past its end.
        if (object->fullChain) texture->SetMipLevels(0);
        ReleaseDeviceObject(texture);
        object = nullptr;
    }
    if (!object) {
        object = MakeTexture(*texture);
    } else if (texture->IsDirty()) {
        if (object->renderTarget || object->depthTarget)
            texture->SetDirty(false);  // drawn into, never filled
        else
            UploadTexture(*texture, *object);
    }
    device_->SetTexture(deviceStage, object ? object->texture : nullptr);
    if (recording_) recordedStages_ = object ? recordedStages_ | (1u << stage) : recordedStages_ & ~(1u << stage);
}

TextureObject* D3D9Renderer::MakeTexture(BaseTexture& texture) {
    if (!CanMakeDeviceTexture(texture)) return nullptr;
    const Image& picture = *texture.GetPicture();
    const D3DFORMAT format = d3d9::TextureFormatOf(picture.GetFormat(), false);
    const TextureObject::Kind kind = KindOf(texture);
    const auto width = static_cast<UINT>(picture.GetWidth()), height = static_cast<UINT>(picture.GetHeight());
    const int32_t depth = DepthOf(picture);
    const UINT levels = texture.GetMipLevels() > 0 ? static_cast<UINT>(texture.GetMipLevels()) : 0;
    IDirect3DBaseTexture9* made = nullptr;
    HRESULT result = E_FAIL;
    if (kind == TextureObject::kPlain) {
        IDirect3DTexture9* plain = nullptr;
        result = device_->CreateTexture(width, height, levels, 0, format, D3DPOOL_MANAGED, &plain, nullptr);
        made = plain;
    } else if (kind == TextureObject::kVolume) {
        IDirect3DVolumeTexture9* volume = nullptr;
        result = device_->CreateVolumeTexture(width, height, static_cast<UINT>(depth), levels, 0, format,
                                              D3DPOOL_MANAGED, &volume, nullptr);
        made = volume;
    } else {
        IDirect3DCubeTexture9* cube = nullptr;
        result = device_->CreateCubeTexture(width, levels, 0, format, D3DPOOL_DEFAULT, &cube, nullptr);
        made = cube;
    }
    if (FAILED(result) || !made) return nullptr;
    auto* object = new (std::nothrow) TextureObject();
    if (!object) {
        made->Release();
        return nullptr;
    }
    object->texture = made;
    object->kind = kind;
    object->width = picture.GetWidth();
    object->height = picture.GetHeight();
    object->depth = depth;
    object->format = picture.GetFormat();
    object->fullChain = levels == 0;
    texture.SetMipLevels(static_cast<int32_t>(made->GetLevelCount()));
    AttachDeviceObject(texture, texture, object);
    texture.SetDirty();
    UploadTexture(texture, *object);
    return object;
}

bool D3D9Renderer::UploadTexture(BaseTexture& texture, TextureObject& object) {
    Image* picture = texture.GetPicture();
    if (!picture || !picture->GetPixels()) return false;
    const int32_t texelBytes = DeviceTexelBytes(picture->GetFormat());
    bool filled = false;
    if (object.kind == TextureObject::kPlain) {
        filled = FillPlain(static_cast<IDirect3DTexture9*>(object.texture), *picture, texelBytes);
    } else if (object.kind == TextureObject::kVolume) {
        filled = FillVolume(static_cast<IDirect3DVolumeTexture9*>(object.texture), *picture, object.depth,
                            texelBytes);
    } else {
        // A cube in the default pool is filled through a copy in system memory.
        auto* cube = static_cast<IDirect3DCubeTexture9*>(object.texture);
        D3DSURFACE_DESC desc;
        IDirect3DCubeTexture9* staging = nullptr;
        if (FAILED(cube->GetLevelDesc(0, &desc)) ||
            FAILED(device_->CreateCubeTexture(desc.Width, cube->GetLevelCount(), 0, desc.Format, D3DPOOL_SYSTEMMEM,
                                              &staging, nullptr))) {
            LogError("Невозможно создать системную текстуру для обновления изображения текстуры [%s].",
                     texture.GetName().CStr());
            return false;
        }
        filled = FillCube(staging, *picture, texelBytes) && SUCCEEDED(device_->UpdateTexture(staging, cube));
        staging->Release();
    }
    if (!filled) {
        LogError("Невозможно обновить изображение текстуры [%s].", texture.GetName().CStr());
        return false;
    }
    texture.SetDirty(false);
    return true;
}

}  // namespace zav
