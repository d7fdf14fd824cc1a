#pragma once

#include "engine/render/BaseTexture.h"
#include "engine/render/VolumeImage.h"

namespace zav {

// A cube map over a VolumeImage of six square faces (+X, -X, +Y, -Y, +Z,
// -Z). Another image gives no device texture.
class CubeTexture : public BaseTexture {
    ZAV_OBJECT_CLASS(CubeTexture, BaseTexture)

    static constexpr int32_t kFaces = 6;

    explicit CubeTexture(const String& name = String(), VolumeImage* image = nullptr, int32_t mipLevels = 0);

    int Save(Stream& stream) override;
    int Load(Stream& stream) override;
    void DropReferences() override;

    // As VolumeTexture::GetImage and SetImage.
    VolumeImage* GetImage(bool forWrite);
    void SetImage(VolumeImage* image);
    Image* GetPicture() const override { return image_.Get(); }
    // Whether the image is six square faces with pixels.
    bool HasCubeImage() const;

private:
    Ref<VolumeImage> image_;
};

}  // namespace zav
