#include "engine/core/Stream.h"

#include <climits>
#include <cstring>
#include <new>
#include <utility>

#include "engine/core/Log.h"
#include "engine/core/Object.h"
#include "engine/core/Result.h"

namespace zav {

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "streams copy values in little-endian memory order");

namespace {

template <class T>
int WriteValue(Stream& stream, const T& value) {
    return stream.Write(&value, static_cast<int32_t>(sizeof value));
}

// Reads into a copy first, so that a failed read leaves `value` unchanged.
template <class T>
int ReadValue(Stream& stream, T& value) {
    T read;
    int state = stream.Read(&read, static_cast<int32_t>(sizeof read));
    if (state == kOk) value = read;
    return state;
}

}  // namespace

Stream::Stream(int32_t initialCapacity, int32_t increment) : increment_(increment) {
    if (initialCapacity > 0) {
        data_ = new (std::nothrow) char[static_cast<size_t>(initialCapacity)]();
        if (!data_) {
            LogError("Недостаточно памяти для создания буффера потока.");
            state_ = kOutOfMemory;
            return;
        }
        capacity_ = initialCapacity;
        allocated_ = initialCapacity;
    }
}

Stream::~Stream() { delete[] data_; }

int Stream::Fail(int code) {
    if (state_ == kOk) state_ = code;
    return state_;
}

int Stream::SetPosition(int32_t position) {
    if (position < 0 || position > capacity_) return kFailed;
    position_ = position;
    return kOk;
}

void Stream::Rewind() {
    position_ = 0;
    objects_.Clear();
}

void Stream::Restart() {
    Rewind();
    state_ = kOk;
}

void Stream::ReplaceBuffer(char* data, int32_t capacity) {
    delete[] data_;
    data_ = data;
    capacity_ = data ? capacity : 0;
    allocated_ = capacity_;
    if (position_ > capacity_) position_ = capacity_;
}

// Enlarges the capacity by whole increments until `needed` bytes fit. The
// allocation underneath grows by at least half each time, so most growths
// only move the capacity into bytes that are already allocated and zeroed.
int Stream::Grow(int64_t needed) {
    if (increment_ <= 0) {
        LogWarning("Приращение буффера равно 0.");
        return kFailed;
    }
    int64_t steps = (needed - capacity_ + increment_ - 1) / increment_;
    int64_t grown = capacity_ + steps * increment_;
    if (grown > INT32_MAX) return kFailed;
    if (grown > allocated_) {
        int64_t allocation = allocated_ + allocated_ / 2;
        if (allocation < grown) allocation = grown;
        if (allocation > INT32_MAX) allocation = INT32_MAX;
        char* fresh = new (std::nothrow) char[static_cast<size_t>(allocation)]();
        if (!fresh) {
            LogError("Недостаточно памяти для создания буффера потока.");
            return kOutOfMemory;
        }
        if (capacity_ > 0) std::memcpy(fresh, data_, static_cast<size_t>(capacity_));
        delete[] data_;
        data_ = fresh;
        allocated_ = allocation;
    }
    capacity_ = static_cast<int32_t>(grown);
    return kOk;
}

int Stream::Write(const void* source, int32_t count) {
    if (state_ != kOk) {
        LogWarning("Неправильное состояние потока.");
        return state_;
    }
    if (count < 0) {
        LogWarning("Неправильный размер данных потока [%d].", count);
        return Fail(kFailed);
    }
    int64_t end = static_cast<int64_t>(position_) + count;
    if (end > capacity_) {
        int grown = Grow(end);
        if (grown != kOk) {
            Fail(grown);
            LogWarning("Невозможно записать данные вследствие малого размера буффера.");
            return state_;
        }
    }
    if (count > 0) std::memcpy(data_ + position_, source, static_cast<size_t>(count));
    position_ = static_cast<int32_t>(end);
    return state_;
}

int Stream::Read(void* destination, int32_t count) {
    if (state_ != kOk) {
        LogWarning("Неправильное состояние потока.");
        return state_;
    }
    if (!data_) {
        LogWarning("Невозможно считать данные. Буффер не существует.");
        return Fail(kFailed);
    }
    if (count < 0) {
        LogWarning("Неправильный размер данных потока [%d].", count);
        return Fail(kFailed);
    }
    if (static_cast<int64_t>(position_) + count > capacity_) {
        LogWarning("Невозможно считать данные. Буффер переполнен.");
        return Fail(kFailed);
    }
    if (count > 0) std::memcpy(destination, data_ + position_, static_cast<size_t>(count));
    position_ += count;
    return state_;
}

int Stream::WriteInt8(int8_t value) { return WriteValue(*this, value); }
int Stream::WriteInt16(int16_t value) { return WriteValue(*this, value); }
int Stream::WriteInt32(int32_t value) { return WriteValue(*this, value); }
int Stream::WriteFloat(float value) { return WriteValue(*this, value); }
int Stream::WriteDouble(double value) { return WriteValue(*this, value); }
int Stream::WriteBool(bool value) { return WriteInt8(value ? 1 : 0); }

int Stream::WriteString(const String& value) {
    if (WriteInt32(value.Length()) != kOk) return state_;
    return Write(value.CStr(), value.Length());
}

int Stream::WriteVector3(const Vector3& value) {
    if (WriteFloat(value.x) == kOk && WriteFloat(value.y) == kOk) WriteFloat(value.z);
    return state_;
}

int Stream::WriteVector4(const Vector4& value) {
    if (WriteFloat(value.x) == kOk && WriteFloat(value.y) == kOk && WriteFloat(value.z) == kOk) WriteFloat(value.w);
    return state_;
}

int Stream::WriteQuaternion(const Quaternion& value) { return WriteVector4({value.x, value.y, value.z, value.w}); }
int Stream::WriteColor(const Color& value) { return WriteVector4({value.r, value.g, value.b, value.a}); }

int Stream::WriteTransform(const Transform& value) {
    if (WriteVector3(value.scale) == kOk && WriteQuaternion(value.rotation) == kOk) WriteVector3(value.translation);
    return state_;
}

int Stream::WriteVersion(const Version& value) {
    if (WriteInt32(value.major) == kOk && WriteInt32(value.minor) == kOk) WriteInt32(value.patch);
    return state_;
}

int Stream::ReadInt8(int8_t& value) { return ReadValue(*this, value); }
int Stream::ReadInt16(int16_t& value) { return ReadValue(*this, value); }
int Stream::ReadInt32(int32_t& value) { return ReadValue(*this, value); }
int Stream::ReadFloat(float& value) { return ReadValue(*this, value); }
int Stream::ReadDouble(double& value) { return ReadValue(*this, value); }

int Stream::ReadBool(bool& value) {
    int8_t byte = 0;
    if (ReadInt8(byte) == kOk) value = byte != 0;
    return state_;
}

int Stream::ReadString(String& value) {
    int32_t length = 0;
    if (ReadInt32(length) != kOk) return state_;
    // The length comes from the data: check it against what is left before
    // allocating anything.
    if (length < 0 || length > capacity_ - position_) {
        LogWarning("Невозможно считать данные. Буффер переполнен.");
        return Fail(kFailed);
    }
    String text;
    char* bytes = text.TryAllocate(length);
    if (!bytes) {
        LogWarning("Недостаточно памяти для загрузки строки.");
        return Fail(kOutOfMemory);
    }
    if (Read(bytes, length) == kOk) value = std::move(text);
    return state_;
}

int Stream::ReadVector3(Vector3& value) {
    Vector3 read;
    if (ReadFloat(read.x) == kOk && ReadFloat(read.y) == kOk && ReadFloat(read.z) == kOk) value = read;
    return state_;
}

int Stream::ReadVector4(Vector4& value) {
    Vector4 read;
    if (ReadFloat(read.x) == kOk && ReadFloat(read.y) == kOk && ReadFloat(read.z) == kOk && ReadFloat(read.w) == kOk)
        value = read;
    return state_;
}

int Stream::ReadQuaternion(Quaternion& value) {
    Vector4 read;
    if (ReadVector4(read) == kOk) value = {read.x, read.y, read.z, read.w};
    return state_;
}

int Stream::ReadColor(Color& value) {
    Vector4 read;
    if (ReadVector4(read) == kOk) value = {read.x, read.y, read.z, read.w};
    return state_;
}

int Stream::ReadTransform(Transform& value) {
    Transform read;
    if (ReadVector3(read.scale) == kOk && ReadQuaternion(read.rotation) == kOk && ReadVector3(read.translation) == kOk) {
        read.isIdentity = false;
        read.isRotationIdentity = false;
        value = read;
    }
    return state_;
}

int Stream::ReadVersion(Version& value) {
    Version read;
    if (ReadInt32(read.major) == kOk && ReadInt32(read.minor) == kOk && ReadInt32(read.patch) == kOk) value = read;
    return state_;
}

}  // namespace zav
