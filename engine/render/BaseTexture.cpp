#include "engine/render/BaseTexture.h"

#include "engine/core/ClassRegistration.h"
#include "engine/core/Log.h"
#include "engine/core/Stream.h"
#include "engine/render/Renderer.h"
#include "engine/render/VolumeImage.h"

namespace zav {

ZAV_REGISTER_CLASS(BaseTexture);

BaseTexture::BaseTexture(const String& name, int32_t mipLevels) : Object(name), mipLevels_(mipLevels) {}

BaseTexture::~BaseTexture() {
    if (Renderer* owner = GetOwner()) owner->ReleaseDeviceObject(this);
}

void BaseTexture::Animate(double time) { UpdateControllers(time); }

Object* BaseTexture::FindObject(const String& name) {
    if (Object* found = Object::FindObject(name)) return found;
    Image* picture = GetPicture();
    WalkLevel level;
    return !level.TooDeep() && picture ? picture->FindObject(name) : nullptr;
}

void BaseTexture::CollectObjects(const TypeInfo* type, Array<Object*>& objects) {
    Object::CollectObjects(type, objects);
    Image* picture = GetPicture();
    WalkLevel level;
    if (!level.TooDeep() && picture) picture->CollectObjects(type, objects);
}

void BaseTexture::DropDeviceTexture() {
    mipLevels_ = 0;
    if (Renderer* owner = GetOwner()) owner->ReleaseDeviceObject(this);
}

int BaseTexture::Save(Stream& stream) {
    if (ParentClass::Save(stream) != kOk) return ParentSaveFailed();
    if (stream.WriteInt32(mipLevels_) != kOk)
        return FailedNameId("Невозможно сохранить количество мип-мэпов текстуры.");
    return kOk;
}

int BaseTexture::Load(Stream& stream) {
    if (ParentClass::Load(stream) != kOk) return ParentLoadFailed();
    int32_t levels = 0;
    if (stream.ReadInt32(levels) != kOk) return FailedIdName("Невозможно загрузить количество мип-мэпов текстуры.");
    mipLevels_ = 0;  // loaded textures always ask for the full chain
    return kOk;
}

int BaseTexture::SaveImage(Stream& stream, Object* image) {
    if (stream.WriteObject(image) != kOk) return FailedNameId("Невозможно сохранить изображение текстуры.");
    return kOk;
}

template <class ImageClass>
int BaseTexture::LoadImage(Stream& stream, Ref<ImageClass>& image) {
    Ref<ImageClass> loaded;
    if (stream.ReadReference(loaded) != kOk) return FailedIdName("Невозможно загрузить изображение текстуры.");
    image = loaded;
    SetDirty();
    LogInfo("Текстура [%s] загружена.", GetName().CStr());
    return kOk;
}

template int BaseTexture::LoadImage<Image>(Stream&, Ref<Image>&);
template int BaseTexture::LoadImage<VolumeImage>(Stream&, Ref<VolumeImage>&);

}  // namespace zav
