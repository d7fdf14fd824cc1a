#pragma once

#include "engine/core/Array.h"
#include "engine/render/Texture.h"
#include "engine/render/VolumeTexture.h"

namespace zav {

// A volume texture whose slices are also available as plain textures,
// built from the image when they are first asked for after a change.
class CompositeTexture : public VolumeTexture {
    ZAV_OBJECT_CLASS(CompositeTexture, VolumeTexture)

    explicit CompositeTexture(const String& name = String(), VolumeImage* image = nullptr, int32_t mipLevels = 0);

    void DropReferences() override;

    // forWrite: the slices are built again at the next read. Otherwise the
    // slices are built first if they are out of date.
    VolumeImage* GetImage(bool forWrite) override;
    void SetImage(VolumeImage* image) override;
    // One texture per slice of the image, each over a copy of its pixels.
    void BuildSlices();

    bool AreSlicesBuilt() const { return slicesBuilt_; }
    int GetSliceCount() const { return slices_.Count(); }
    Texture* GetSlice(int index) const { return index >= 0 && index < slices_.Count() ? slices_[index].Get() : nullptr; }

private:
    bool slicesBuilt_ = false;
    Array<Ref<Texture>> slices_{1, 1};
};

}  // namespace zav
