#pragma once

#include <cstdint>

#include "engine/core/Object.h"
#include "engine/render/DeviceResource.h"

namespace zav {

class Image;

// What an effect binds to a texture stage: a picture mirrored on the device
// by a device texture that the renderer creates at the first bind and
// refills while `dirty` is set. The concrete classes say which picture.
class BaseTexture : public Object, public DeviceResource {
    ZAV_OBJECT_CLASS(BaseTexture, Object)

    explicit BaseTexture(const String& name = String(), int32_t mipLevels = 0);
    // Asks the renderer that holds the device texture to release it.
    ~BaseTexture() override;

    // Per-frame update: the texture's controllers.
    virtual void Animate(double time);
    // The Object search, then the picture's.
    Object* FindObject(const String& name) override;
    void CollectObjects(const TypeInfo* type, Array<Object*>& objects) override;
    int Save(Stream& stream) override;
    int Load(Stream& stream) override;

    // The picture the device texture is made from (the slices of a volume,
    // the faces of a cube), or null.
    virtual Image* GetPicture() const { return nullptr; }

    // Levels asked of the device, 0 for the full chain; after creation the
    // renderer stores the count the device made.
    int32_t GetMipLevels() const { return mipLevels_; }
    void SetMipLevels(int32_t levels) { mipLevels_ = levels; }

protected:
    // After a new image: the full chain again, and no device texture until
    // the next bind makes one from the new image.
    void DropDeviceTexture();
    // The image field's record, shared by the concrete classes.
    int SaveImage(Stream& stream, Object* image);
    template <class ImageClass>
    int LoadImage(Stream& stream, Ref<ImageClass>& image);

private:
    int32_t mipLevels_;
};

}  // namespace zav
