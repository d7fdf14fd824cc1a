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

Quaternion RandomRotation(std::mt19937& random) {
    std::normal_distribution<float> normal;
    Quaternion q{normal(random), normal(random), normal(random), normal(random)};
    float length = std::sqrt(q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w);
    return {q.x / length, q.y / length, q.z / length, q.w / length};
}

std::string FloatBytes(float value) {
    char bytes[4];
    std::memcpy(bytes, &value, 4);
    return std::string(bytes, 4);
}

std::string NodeRecord(const std::string& parentReference) {
    std::string transform;
    for (float value : {1.0f, 1.0f, 1.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f}) transform += FloatBytes(value);
    return parentReference + transform + Int32Bytes(0) + std::string(1, '\1');
}

}  // namespace zav::test
