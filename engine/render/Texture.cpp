#include "engine/render/Texture.h"

#include "engine/core/ClassRegistration.h"
#include "engine/core/Stream.h"

namespace zav {

ZAV_REGISTER_CLASS(Texture);

Texture::Texture(const String& name, Image* image, int32_t mipLevels) : BaseTexture(name, mipLevels), image_(image) {}

void Texture::SetImage(Image* image) {
    image_ = image;
    DropDeviceTexture();
}

void Texture::DropReferences() {
    BaseTexture::DropReferences();
    image_ = nullptr;
}

int Texture::Save(Stream& stream) {
    if (ParentClass::Save(stream) != kOk) return ParentSaveFailed();
    return SaveImage(stream, image_.Get());
}

int Texture::Load(Stream& stream) {
    if (ParentClass::Load(stream) != kOk) return ParentLoadFailed();
    return LoadImage(stream, image_);
}

}  // namespace zav
