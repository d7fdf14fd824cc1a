#include "engine/scene/Buffer.h"

#include <new>

#include "engine/core/ClassRegistration.h"
#include "engine/core/Log.h"
#include "engine/core/Stream.h"
#include "engine/render/Renderer.h"

namespace zav {

ZAV_REGISTER_ABSTRACT_CLASS(Buffer);
ZAV_REGISTER_CLASS(FloatBuffer);
ZAV_REGISTER_CLASS(IntBuffer);
ZAV_REGISTER_CLASS(Vector2Buffer);
ZAV_REGISTER_CLASS(Vector3Buffer);
ZAV_REGISTER_CLASS(Vector4Buffer);
ZAV_REGISTER_CLASS(ColorBuffer);

Buffer::Buffer() = default;

Buffer::~Buffer() {
    if (Renderer* owner = GetOwner()) owner->ReleaseDeviceObject(this);
}

template <class Element>
TypedBuffer<Element>::TypedBuffer(int count, Element* data) {
    if (data) {
        data_ = data;
        count_ = count > 0 ? count : 0;
        return;
    }
    if (count <= 0) return;
    data_ = new (std::nothrow) Element[static_cast<size_t>(count)]();
    if (!data_) {
        LogError("Недостаточно памяти для создания массива данных буффера. ID[%d].", GetId());
        return;
    }
    count_ = count;
}

template <class Element>
int TypedBuffer<Element>::Save(Stream& stream) {
    if (Buffer::Save(stream) != kOk) return ParentSaveFailed();
    if (stream.WriteInt32(count_) != kOk) return FailedNameId("Невозможно сохранить количество данных буффера.");
    if (count_ > 0 && stream.Write(data_, GetDataSize()) != kOk)
        return FailedNameId("Невозможно сохранить данные буффера.");
    return kOk;
}

template <class Element>
int TypedBuffer<Element>::Load(Stream& stream) {
    if (Buffer::Load(stream) != kOk) return ParentLoadFailed();
    int32_t count = 0;
    // The count must fit in what is left of the stream before anything is
    // allocated for it.
    const int64_t bytesLeft = stream.Remaining();
    if (stream.ReadInt32(count) != kOk || count < 0 ||
        static_cast<int64_t>(count) * static_cast<int64_t>(sizeof(Element)) > bytesLeft - 4) {
        return FailedIdName("Невозможно загрузить количество данных буффера.");
    }
    Element* data = nullptr;
    if (count > 0) {
        data = new (std::nothrow) Element[static_cast<size_t>(count)];
        if (!data) {
            LogError("Недостаточно памяти для создания буффера. ID[%d] Имя[%s]", GetId(), GetName().CStr());
            return kOutOfMemory;
        }
        if (stream.Read(data, count * static_cast<int32_t>(sizeof(Element))) != kOk) {
            delete[] data;
            return FailedIdName("Невозможно загрузить данные буффера.");
        }
    }
    delete[] data_;
    data_ = data;
    count_ = count;
    SetDirty();
    return kOk;
}

template class TypedBuffer<float>;
template class TypedBuffer<int32_t>;
template class TypedBuffer<Vector2>;
template class TypedBuffer<Vector3>;
template class TypedBuffer<Vector4>;
template class TypedBuffer<Color>;

}  // namespace zav
