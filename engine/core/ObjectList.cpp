#include "engine/core/ObjectList.h"

#include <unordered_set>

#include "engine/core/Log.h"
#include "engine/core/Result.h"
#include "engine/core/Stream.h"

namespace zav {

int32_t ObjectListBase::IndexOf(const Object* object) const {
    for (int32_t i = 0; i < items_.Count(); ++i)
        if (items_[i].Get() == object) return i;
    return -1;
}

Object* ObjectListBase::GetObject(int32_t index) const {
    return index >= 0 && index < items_.Count() ? items_[index].Get() : nullptr;
}

int ObjectListBase::AddObject(Object* object) {
    if (IndexOf(object) >= 0) return kOk;
    return items_.Append(Ref<Object>(object));
}

int ObjectListBase::Save(Stream& stream) const {
    if (stream.WriteInt32(items_.Count()) != kOk) {
        LogError("Невозможно сохранить количество объектов.");
        return kFailed;
    }
    for (int32_t i = 0; i < items_.Count(); ++i) {
        if (stream.WriteObject(items_[i].Get()) != kOk) {
            LogError("Невозможно сохранить объект [%d].", i);
            return kFailed;
        }
    }
    return kOk;
}

int ObjectListBase::Load(Stream& stream) {
    int32_t count = 0;
    if (stream.ReadInt32(count) != kOk || count < 0) {
        LogError("Невозможно загрузить количество объектов.");
        return kFailed;
    }
    return LoadElements(stream, count);
}

int ObjectListBase::LoadElements(Stream& stream, int32_t count) {
    // The count comes from the file: elements already present are found in a
    // set, so a long list loads in linear time.
    std::unordered_set<const Object*> present;
    for (int32_t i = 0; i < items_.Count(); ++i) present.insert(items_[i].Get());
    for (int32_t i = 0; i < count; ++i) {
        Object* object = nullptr;
        if (stream.ReadObject(*elementType_, &object) != kOk ||
            (present.insert(object).second && items_.Append(Ref<Object>(object)) != kOk)) {
            LogError("Невозможно загрузить объект [%d].", i);
            return kFailed;
        }
    }
    return kOk;
}

}  // namespace zav
