#pragma once

#include <cstdint>
#include <vector>

#include "engine/core/HashTable.h"
#include "engine/core/RefCounted.h"
#include "engine/core/String.h"
#include "engine/core/Transform.h"
#include "engine/core/Values.h"

namespace zav {

class Object;
class TypeInfo;

// A growable in-memory byte buffer with one cursor for reading and writing
// and a sticky state: 0 while good, otherwise the code of the first failure,
// after which every Read and Write is refused. Values are little-endian.
// Every operation returns the state after the call.
class Stream {
public:
    // Objects nested deeper than this in one record (each a full record read
    // or written inside another's) fail the stream.
    static constexpr int kMaxObjectNesting = 512;

    Stream(int32_t initialCapacity, int32_t increment);
    virtual ~Stream();
    Stream(const Stream&) = delete;
    Stream& operator=(const Stream&) = delete;

    virtual int GetSize() const { return capacity_; }
    virtual int Write(const void* source, int32_t count);
    virtual int Read(void* destination, int32_t count);

    int WriteInt8(int8_t value);
    int WriteInt16(int16_t value);
    int WriteInt32(int32_t value);
    int WriteFloat(float value);
    int WriteDouble(double value);
    int WriteBool(bool value);
    int WriteString(const String& value);
    int WriteVector3(const Vector3& value);
    int WriteVector4(const Vector4& value);
    int WriteQuaternion(const Quaternion& value);
    int WriteColor(const Color& value);
    int WriteTransform(const Transform& value);
    int WriteVersion(const Version& value);

    // Readers leave `value` unchanged when they fail.
    int ReadInt8(int8_t& value);
    int ReadInt16(int16_t& value);
    int ReadInt32(int32_t& value);
    int ReadFloat(float& value);
    int ReadDouble(double& value);
    int ReadBool(bool& value);
    int ReadString(String& value);
    int ReadVector3(Vector3& value);
    int ReadVector4(Vector4& value);
    int ReadQuaternion(Quaternion& value);
    int ReadColor(Color& value);
    int ReadTransform(Transform& value);
    int ReadVersion(Version& value);

    // Object references (StreamObjects.cpp): the first reference to an object
    // writes its ID, type name and record; later ones its ID alone; null is -1.
    int WriteObject(Object* object);
    template <class T>
    int WriteObject(const Ref<T>& object) {
        return WriteObject(object.Get());
    }
    // Reads a reference, creating and loading the object at its first
    // occurrence. `*object` is null when it fails. A read that fails releases
    // every object it created. A null `object` returns 3 and reads nothing.
    int ReadObject(Object** object);
    // The same for a field that must hold a `type` (or null): another object
    // fails the stream with state 1 and logs nothing, so the caller logs the
    // field's own message.
    int ReadObject(const TypeInfo& type, Object** object);
    // Typed references for class records: the way every Load reads a field
    // that refers to another object (see docs/DEVELOPING.md).
    template <class T>
    int ReadReference(Ref<T>& field);
    template <class T>
    int ReadReference(T*& field);

    // Moves the cursor within the buffer; 1 (and no move) outside it.
    int SetPosition(int32_t position);

    int GetState() const { return state_; }
    int32_t GetPosition() const { return position_; }
    // Bytes between the position and the end, which bound any count read
    // from here on.
    int64_t Remaining() const { return static_cast<int64_t>(GetSize()) - position_; }
    int32_t GetCapacity() const { return capacity_; }
    int32_t GetIncrement() const { return increment_; }
    const char* GetData() const { return data_; }

protected:
    // Records a failure; the first one stays. Returns the state.
    int Fail(int code);
    // Back to the start with an empty object map (file streams, when opened
    // and closed). The state is kept.
    void Rewind();
    // Back to the start with an empty object map and a good state: a file
    // stream starts afresh each time it is opened.
    void Restart();
    // Replaces the buffer with `data` (allocated with new[], owned from now
    // on) of `capacity` bytes.
    void ReplaceBuffer(char* data, int32_t capacity);

private:
    struct Created {
        int32_t streamId;
        Object* object;  // holds one reference until the outermost read ends
    };

    int Grow(int64_t needed);
    int ReadObject(const TypeInfo* type, Object** object);
    int ReadNewObject(int32_t streamId, Object** object);
    // Logs and fails the stream when a record would start past the limit.
    bool NestedTooDeeply(const String& typeName, int32_t id);
    void FinishRead(bool succeeded, Object* result);

    char* data_ = nullptr;
    int32_t capacity_ = 0;
    // Bytes actually allocated (>= capacity_): the buffer is enlarged
    // geometrically underneath the whole-increment capacity, so a long stream
    // written in small pieces is copied only a few times.
    int64_t allocated_ = 0;
    int32_t increment_;
    int32_t position_ = 0;
    IdTable<Object*> objects_;
    int state_ = 0;
    // Depth of records being read or written inside one another, and the
    // objects the outermost read has created so far (held until it ends).
    int nesting_ = 0;
    std::vector<Created> created_;
};

template <class T>
int Stream::ReadReference(Ref<T>& field) {
    Object* object = nullptr;
    if (ReadObject(T::StaticType(), &object) == 0) field = static_cast<T*>(object);
    return state_;
}

template <class T>
int Stream::ReadReference(T*& field) {
    Object* object = nullptr;
    if (ReadObject(T::StaticType(), &object) == 0) field = static_cast<T*>(object);
    return state_;
}

}  // namespace zav
