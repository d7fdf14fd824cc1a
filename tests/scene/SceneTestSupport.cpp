#include "tests/scene/SceneTestSupport.h"

#include <cmath>
#include <cstring>

#include "engine/core/ClassRegistration.h"

namespace zav::test {

ZAV_REGISTER_CLASS(TestGeometryEffect);
ZAV_REGISTER_CLASS(TestSceneEffect);
ZAV_REGISTER_CLASS(CountedSceneNode);

int TestGeometryEffect::ApplyPass(Renderer& renderer, int pass) {
    if (calls) calls->push_back("ApplyPass " + std::string(GetName().CStr()) + " " + std::to_string(pass));
    if (light) {
        renderer.PushLight(light);
        renderer.EnableLight(light);
    }
    return failingPasses.count(pass) ? kFailed : kOk;
}

int TestSceneEffect::ApplyPass(Renderer&, int pass) {
    if (calls) calls->push_back("ApplyPass " + std::string(GetName().CStr()) + " " + std::to_string(pass));
    return failingPasses.count(pass) ? kFailed : kOk;
}

std::string SaveToBytes(Object* object) {
    Stream stream(0, 256);
    EXPECT_EQ(stream.WriteObject(object), kOk);
    return std::string(stream.GetData(), static_cast<size_t>(stream.GetPosition()));
}

Ref<Object> LoadFromBytes(const std::string& bytes, int* state) {
    Stream stream(static_cast<int32_t>(bytes.size()), 0);
    stream.Write(bytes.data(), static_cast<int32_t>(bytes.size()));
    stream.SetPosition(0);
    Object* object = nullptr;
    int result = stream.ReadObject(&object);
    if (state) *state = result;
    if (result != kOk) {
        EXPECT_EQ(object, nullptr);
    }
    return Ref<Object>(object);
}

Quaternion RandomRotation(std::mt19937& random) {
    std::normal_distribution<float> normal;
    Quaternion q{normal(random), normal(random), normal(random), normal(random)};
    float length = std::sqrt(q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w);
    return {q.x / length, q.y / length, q.z / length, q.w / length};
}

std::string Int32Bytes(int32_t value) { return std::string(reinterpret_cast<const char*>(&value), 4); }

std::string FloatBytes(float value) {
    char bytes[4];
    std::memcpy(bytes, &value, 4);
    return std::string(bytes, 4);
}

std::string RecordHeader(int32_t id, const std::string& typeName) {
    return Int32Bytes(id) + Int32Bytes(static_cast<int32_t>(typeName.size())) + typeName;
}

std::string EmptyObjectRecord() { return Int32Bytes(0) + Int32Bytes(0); }

std::string NodeRecord(const std::string& parentReference) {
    std::string transform;
    for (float value : {1.0f, 1.0f, 1.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f}) transform += FloatBytes(value);
    return parentReference + transform + Int32Bytes(0) + std::string(1, '\1');
}

}  // namespace zav::test
