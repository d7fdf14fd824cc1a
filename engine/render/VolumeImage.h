#pragma once

#include <cstdint>

#include "engine/render/Image.h"

namespace zav {

// An image of `depth` slices of one size and format, one after another:
// slice s starts at byte s × width × height × bytes per pixel. A cube map is
// a VolumeImage of depth 6 whose slices are the faces +X, -X, +Y, -Y, +Z, -Z.
// Its record adds the depth right after the height.
class VolumeImage : public Image {
    ZAV_OBJECT_CLASS(VolumeImage, Image)

    explicit VolumeImage(const String& name = String());
    // A zero-filled block of GetDataSize bytes, as the Image constructor.
    VolumeImage(const String& name, int32_t format, int32_t width, int32_t height, int32_t depth);

    // Takes any depth of at least 1.
    int SetPixels(int32_t width, int32_t height, int32_t depth, int32_t format, ByteBlock pixels) override;

    int32_t GetDepth() const { return depth_; }

protected:
    int32_t GetSliceCount() const override { return depth_; }
    int SaveDepth(Stream& stream) override;
    int LoadDepth(Stream& stream, int32_t& depth) override;
    void SetDepth(int32_t depth) override { depth_ = depth; }
    // A volume's record loads without a line of its own.
    void ReportLoaded() const override {}

private:
    int32_t depth_ = 0;
};

}  // namespace zav
