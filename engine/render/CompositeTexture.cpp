#include "engine/render/CompositeTexture.h"

#include <cstring>
#include <new>

#include "engine/core/ClassRegistration.h"
#include "engine/core/Log.h"
#include "engine/render/PixelFormat.h"

namespace zav {

ZAV_REGISTER_CLASS(CompositeTexture);

CompositeTexture::CompositeTexture(const String& name, VolumeImage* image, int32_t mipLevels)
    : VolumeTexture(name, image, mipLevels) {}

VolumeImage* CompositeTexture::GetImage(bool forWrite) {
    if (forWrite) {
        slicesBuilt_ = false;
        return VolumeTexture::GetImage(true);
    }
    if (!slicesBuilt_) BuildSlices();
    return VolumeTexture::GetImage(false);
}

void CompositeTexture::SetImage(VolumeImage* image) {
    slicesBuilt_ = false;
    VolumeTexture::SetImage(image);
}

void CompositeTexture::DropReferences() {
    VolumeTexture::DropReferences();
    slices_.Clear();
    slicesBuilt_ = false;
}

void CompositeTexture::BuildSlices() {
    slices_.Clear();
    slicesBuilt_ = true;
    VolumeImage* volume = VolumeTexture::GetImage(false);
    if (!volume || !volume->GetPixels()) return;
    const int32_t width = volume->GetWidth(), height = volume->GetHeight(), format = volume->GetFormat();
    const int64_t sliceBytes = static_cast<int64_t>(width) * height * BytesPerPixel(format);
    for (int32_t s = 0; s < volume->GetDepth(); ++s) {
        Ref<Image> image(new (std::nothrow) Image(String(), format, width, height));
        Ref<Texture> texture(image ? new (std::nothrow) Texture(String(), image.Get(), 0) : nullptr);
        if (!texture || slices_.Append(texture) != kOk) {
            LogError("Недостаточно памяти для создания слоя текстуры. Имя[%s] ID[%d]", GetName().CStr(), GetId());
            return;
        }
        if (image->GetPixels() && image->GetDataSize() == sliceBytes)
            std::memcpy(image->GetPixels(), volume->GetPixels() + s * sliceBytes, static_cast<size_t>(sliceBytes));
    }
}

}  // namespace zav
