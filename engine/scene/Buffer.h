#pragma once

#include <cstdint>
#include <new>

#include "engine/core/Object.h"
#include "engine/core/Values.h"
#include "engine/render/DeviceResource.h"
#include "engine/scene/VectorMath.h"

namespace zav {

// Typed arrays of vertex attributes and indices, shared between nodes and
// mirrored on the device once. `Buffer` is the abstract base; the concrete
// classes differ only in their element type.
class Buffer : public Object, public DeviceResource {
    ZAV_OBJECT_CLASS(Buffer, Object)

    Buffer();
    // Asks the renderer that holds the device copy to release it.
    ~Buffer() override;

    virtual int GetDataSize() const = 0;  // bytes: count * element size
    virtual int GetCount() const = 0;
    virtual void* GetData() = 0;
    virtual int GetElementSize() const = 0;
};

// The element storage shared by the typed buffers. The record is the element
// count and the elements' bytes in one run. A buffer either has `count`
// elements or none and no data.
template <class Element>
class TypedBuffer : public Buffer {
public:
    ~TypedBuffer() override { delete[] data_; }

    int GetDataSize() const override { return count_ * static_cast<int>(sizeof(Element)); }
    int GetCount() const override { return count_; }
    void* GetData() override { return data_; }
    int GetElementSize() const override { return static_cast<int>(sizeof(Element)); }

    Element* Elements() { return data_; }
    const Element* Elements() const { return data_; }
    Element& operator[](int index) { return data_[index]; }
    const Element& operator[](int index) const { return data_[index]; }

    int Save(Stream& stream) override;
    int Load(Stream& stream) override;

protected:
    // Adopts `data` (allocated with new[], freed by the buffer) when given;
    // otherwise allocates `count` zeroed elements, or logs and stays empty.
    TypedBuffer(int count, Element* data);

private:
    Element* data_ = nullptr;
    int32_t count_ = 0;
};

#define ZAV_TYPED_BUFFER(Class, Element)                                                     \
    class Class : public TypedBuffer<Element> {                                              \
        ZAV_OBJECT_CLASS(Class, Buffer)                                                      \
        explicit Class(int count = 0, Element* data = nullptr) : TypedBuffer(count, data) {} \
    }

ZAV_TYPED_BUFFER(FloatBuffer, float);
ZAV_TYPED_BUFFER(IntBuffer, int32_t);
ZAV_TYPED_BUFFER(Vector2Buffer, Vector2);
ZAV_TYPED_BUFFER(Vector3Buffer, Vector3);
ZAV_TYPED_BUFFER(Vector4Buffer, Vector4);
ZAV_TYPED_BUFFER(ColorBuffer, Color);

#undef ZAV_TYPED_BUFFER

// A new buffer of `count` zeroed elements, or null when memory runs out.
template <class TypedBufferClass>
Ref<TypedBufferClass> NewBuffer(int count) {
    Ref<TypedBufferClass> buffer(new (std::nothrow) TypedBufferClass(count));
    if (buffer && buffer->GetCount() != count) buffer = nullptr;
    return buffer;
}

}  // namespace zav
