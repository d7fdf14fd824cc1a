#include "engine/render/VolumeImage.h"

#include "engine/core/ClassRegistration.h"
#include "engine/core/Result.h"
#include "engine/core/Stream.h"

namespace zav {

ZAV_REGISTER_CLASS(VolumeImage);

VolumeImage::VolumeImage(const String& name) : Image(name) {}

VolumeImage::VolumeImage(const String& name, int32_t format, int32_t width, int32_t height, int32_t depth)
    : Image(name), depth_(depth) {
    Resize(width, height, format);
}

int VolumeImage::SetPixels(int32_t width, int32_t height, int32_t depth, int32_t format, ByteBlock pixels) {
    if (AdoptPixels(width, height, depth, format, pixels) != kOk) return kFailed;
    depth_ = depth;
    return kOk;
}

int VolumeImage::SaveDepth(Stream& stream) { return stream.WriteInt32(depth_); }

int VolumeImage::LoadDepth(Stream& stream, int32_t& depth) { return stream.ReadInt32(depth); }

}  // namespace zav
