#pragma once

#include "engine/render/BaseTexture.h"
#include "engine/render/VolumeImage.h"

namespace zav {

// A three-dimensional texture over the slices of a VolumeImage.
class VolumeTexture : public BaseTexture {
    ZAV_OBJECT_CLASS(VolumeTexture, BaseTexture)

    explicit VolumeTexture(const String& name = String(), VolumeImage* image = nullptr, int32_t mipLevels = 0);

    int Save(Stream& stream) override;
    int Load(Stream& stream) override;
    void DropReferences() override;

    // The image; a caller that changes its pixels asks with `forWrite`, so
    // that the device texture is refilled before its next use.
    virtual VolumeImage* GetImage(bool forWrite);
    // As Texture::SetImage.
    virtual void SetImage(VolumeImage* image);
    Image* GetPicture() const override { return image_.Get(); }

private:
    Ref<VolumeImage> image_;
};

}  // namespace zav
