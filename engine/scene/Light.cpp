#include "engine/scene/Light.h"

#include "engine/core/ClassRegistration.h"
#include "engine/core/Log.h"
#include "engine/core/Stream.h"

namespace zav {

ZAV_REGISTER_CLASS(Light);

Light::Light(int32_t kind, const String& name) : Node(name), lightKind(kind) {}

bool Light::Describe(LightDescription& description) const {
    LightDescription light;
    light.diffuse = diffuse;
    light.specular = specular;
    light.ambient = ambient;
    if (useAttenuation) {
        light.attenuation[0] = attenuation.x;
        light.attenuation[1] = attenuation.y;
        light.attenuation[2] = attenuation.z;
    }
    switch (lightKind) {
        case kWorldDirectional:
            light.type = LightDescription::kDirectional;
            break;
        case kDirectional:
            light.type = LightDescription::kDirectional;
            light.direction = GetDirection();
            break;
        case kPoint:
            light.type = LightDescription::kPoint;
            light.position = GetWorldPosition();
            break;
        case kSpot:
            light.type = LightDescription::kSpot;
            light.position = GetWorldPosition();
            light.direction = GetDirection();
            light.falloff = spotFalloff;
            light.innerCone = 2.0f * spotAngle;
            light.outerCone = 2.1f * spotAngle;
            break;
        default:
            return false;
    }
    description = light;
    return true;
}

int Light::Save(Stream& stream) {
    if (ParentClass::Save(stream) != kOk) return ParentSaveFailed();
    stream.WriteInt32(lightKind);
    stream.WriteColor(ambient);
    stream.WriteColor(diffuse);
    stream.WriteColor(specular);
    stream.WriteVector3(attenuation);
    stream.WriteBool(useAttenuation);
    stream.WriteFloat(spotFalloff);
    if (stream.WriteFloat(spotAngle) != kOk) return FailedNameId("Невозможно сохранить данные источника света.");
    return kOk;
}

int Light::Load(Stream& stream) {
    if (ParentClass::Load(stream) != kOk) return ParentLoadFailed();
    stream.ReadInt32(lightKind);
    stream.ReadColor(ambient);
    stream.ReadColor(diffuse);
    stream.ReadColor(specular);
    stream.ReadVector3(attenuation);
    stream.ReadBool(useAttenuation);
    stream.ReadFloat(spotFalloff);
    if (stream.ReadFloat(spotAngle) != kOk) return FailedIdName("Невозможно загрузить данные источника света.");
    return kOk;
}

}  // namespace zav
