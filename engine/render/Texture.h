#pragma once

#include "engine/render/BaseTexture.h"
#include "engine/render/Image.h"

namespace zav {

// A two-dimensional texture over an Image. As a render target it gets a
// depth buffer of its own unless `ownDepthBuffer` is cleared.
class Texture : public BaseTexture {
    ZAV_OBJECT_CLASS(Texture, BaseTexture)

    explicit Texture(const String& name = String(), Image* image = nullptr, int32_t mipLevels = 0);

    int Save(Stream& stream) override;
    int Load(Stream& stream) override;
    void DropReferences() override;

    Image* GetImage() const { return image_.Get(); }
    Image* GetPicture() const override { return image_.Get(); }
    // Replaces the image (the same one too): the device texture is dropped
    // and made again from the image at the next bind, with the full chain.
    void SetImage(Image* image);

    bool ownDepthBuffer = true;

private:
    Ref<Image> image_;
};

}  // namespace zav
