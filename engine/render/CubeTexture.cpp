#include "engine/render/CubeTexture.h"

#include "engine/core/ClassRegistration.h"
#include "engine/core/Stream.h"

namespace zav {

ZAV_REGISTER_CLASS(CubeTexture);

CubeTexture::CubeTexture(const String& name, VolumeImage* image, int32_t mipLevels)
    : BaseTexture(name, mipLevels), image_(image) {}

VolumeImage* CubeTexture::GetImage(bool forWrite) {
    if (forWrite) SetDirty();
    return image_.Get();
}

void CubeTexture::SetImage(VolumeImage* image) {
    image_ = image;
    DropDeviceTexture();
}

bool CubeTexture::HasCubeImage() const {
    return image_ && image_->GetPixels() && image_->GetDepth() == kFaces && image_->GetWidth() > 0 &&
           image_->GetWidth() == image_->GetHeight();
}

void CubeTexture::DropReferences() {
    BaseTexture::DropReferences();
    image_ = nullptr;
}

int CubeTexture::Save(Stream& stream) {
    if (ParentClass::Save(stream) != kOk) return ParentSaveFailed();
    return SaveImage(stream, image_.Get());
}

int CubeTexture::Load(Stream& stream) {
    if (ParentClass::Load(stream) != kOk) return ParentLoadFailed();
    return LoadImage(stream, image_);
}

}  // namespace zav
