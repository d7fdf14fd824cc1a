#include "engine/animation/Animation.h"

#include <utility>

#include "engine/animation/StoredCounts.h"
#include "engine/core/ClassRegistration.h"
#include "engine/core/Log.h"
#include "engine/core/Stream.h"

namespace zav {

ZAV_REGISTER_ABSTRACT_CLASS(Animation);
ZAV_REGISTER_CLASS(NodeAnimation);
ZAV_REGISTER_CLASS(TextureAnimation);
ZAV_REGISTER_CLASS(ColorAnimation);
ZAV_REGISTER_CLASS(SoundNodeAnimation);
ZAV_REGISTER_CLASS(BoolAnimation);
ZAV_REGISTER_CLASS(FloatAnimation);

Animation::Animation(const String& name) : Object(name) {}

Animation::~Animation() = default;

Keyframe* Animation::GetKey(int32_t index) const {
    return index >= 0 && index < keys_.Count() ? keys_[index].get() : nullptr;
}

int Animation::AddKey(Keyframe* key) {
    std::unique_ptr<Keyframe> owned(key);
    if (!owned) return kNotFound;
    if (owned->GetKind() != GetKeyKind()) return kFailed;
    return keys_.Append(std::move(owned));
}

Object* Animation::FindObject(const String& name) {
    if (Object* found = Object::FindObject(name)) return found;
    WalkLevel level;
    if (level.TooDeep()) return nullptr;
    for (const std::unique_ptr<Keyframe>& key : keys_)
        if (Object* found = key->FindObject(name)) return found;
    return nullptr;
}

void Animation::CollectObjects(const TypeInfo* type, Array<Object*>& objects) {
    Object::CollectObjects(type, objects);
    WalkLevel level;
    if (level.TooDeep()) return;
    for (const std::unique_ptr<Keyframe>& key : keys_) key->CollectObjects(type, objects);
}

void Animation::DropReferences() {
    Object::DropReferences();
    ClearKeys();
}

int Animation::Save(Stream& stream) {
    if (ParentClass::Save(stream) != kOk) return ParentSaveFailed();
    if (stream.WriteInt32(keys_.Count()) != kOk)
        return FailedNameId("Невозможно сохранить количество кифреймов анимации.");
    for (const std::unique_ptr<Keyframe>& key : keys_)
        if (key->Save(stream) != kOk) return FailedNameId("Невозможно сохранить кифрейм анимации.");
    return kOk;
}

int Animation::Load(Stream& stream) {
    if (ParentClass::Load(stream) != kOk) return ParentLoadFailed();
    const KeyframeKind kind = GetKeyKind();
    int32_t count = 0;
    if (!ReadStoredCount(stream, count, StoredKeyframeSize(kind)))
        return FailedIdName("Невозможно загрузить количество кифреймов анимации.");
    for (int32_t i = 0; i < count; ++i) {
        std::unique_ptr<Keyframe> key(NewKeyframe(kind));
        if (!key) {
            LogError("Недостаточно памяти для создания кифрейма. ID[%d] Имя[%s]", GetId(), GetName().CStr());
            return kOutOfMemory;
        }
        if (key->Load(stream) != kOk) return FailedNameId("Невозможно загрузить кифрейм анимации.");
        if (keys_.Append(std::move(key)) != kOk) {
            LogError("Недостаточно памяти для создания кифрейма. ID[%d] Имя[%s]", GetId(), GetName().CStr());
            return kOutOfMemory;
        }
    }
    return kOk;
}

}  // namespace zav
