#include "tests/support/StreamBytes.h"

#include <gtest/gtest.h>

#include "engine/core/Result.h"

namespace zav::test {

BytesStream::BytesStream(const std::string& bytes) : Stream(static_cast<int32_t>(bytes.size()), 0) {
    Write(bytes.data(), static_cast<int32_t>(bytes.size()));
    SetPosition(0);
}

std::string Written(const Stream& stream) {
    return std::string(stream.GetData(), static_cast<size_t>(stream.GetPosition()));
}

std::string SaveToBytes(Object* object) {
    Stream stream(0, 256);
    EXPECT_EQ(stream.WriteObject(object), kOk);
    return Written(stream);
}

Ref<Object> LoadFromBytes(const std::string& bytes, int* state) {
    BytesStream stream(bytes);
    Object* object = nullptr;
    const int result = stream.ReadObject(&object);
    EXPECT_EQ(result, stream.GetState());
    if (state) *state = result;
    if (result != kOk) {
        EXPECT_EQ(object, nullptr);
    }
    return Ref<Object>(object);
}

std::string Int32Bytes(int32_t value) { return std::string(reinterpret_cast<const char*>(&value), 4); }

std::string TextBytes(const std::string& text) { return Int32Bytes(static_cast<int32_t>(text.size())) + text; }

std::string RecordHeader(int32_t id, const std::string& typeName) { return Int32Bytes(id) + TextBytes(typeName); }

std::string EmptyObjectRecord() { return TextBytes("") + Int32Bytes(0); }

}  // namespace zav::test
