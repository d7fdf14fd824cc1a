#include "engine/render/VolumeTexture.h"

#include "engine/core/ClassRegistration.h"
#include "engine/core/Stream.h"

namespace zav {

ZAV_REGISTER_CLASS(VolumeTexture);

VolumeTexture::VolumeTexture(const String& name, VolumeImage* image, int32_t mipLevels)
    : BaseTexture(name, mipLevels), image_(image) {}

VolumeImage* VolumeTexture::GetImage(bool forWrite) {
    if (forWrite) SetDirty();
    return image_.Get();
}

void VolumeTexture::SetImage(VolumeImage* image) {
    image_ = image;
    DropDeviceTexture();
}

void VolumeTexture::DropReferences() {
    BaseTexture::DropReferences();
    image_ = nullptr;
}

int VolumeTexture::Save(Stream& stream) {
    if (ParentClass::Save(stream) != kOk) return ParentSaveFailed();
    return SaveImage(stream, image_.Get());
}

int VolumeTexture::Load(Stream& stream) {
    if (ParentClass::Load(stream) != kOk) return ParentLoadFailed();
    return LoadImage(stream, image_);
}

}  // namespace zav
