#pragma once

#include <cstdint>

#include "engine/core/Values.h"
#include "engine/scene/Node.h"

namespace zav {

// What a back end needs to switch a device light on, in engine terms.
struct LightDescription {
    enum Type { kDirectional, kPoint, kSpot };

    Type type = kDirectional;
    Color diffuse, specular, ambient;
    Vector3 position;                  // point and spot lights
    Vector3 direction{0, 0, 1};        // directional and spot lights
    float range = 1.8446743e19f;       // the square root of the largest float
    float attenuation[3] = {1, 0, 0};  // constant, linear, quadratic
    float falloff = 1.0f;
    float innerCone = 0.0f;  // full angles in radians (spot lights)
    float outerCone = 0.0f;
};

// A light's kind, colours, attenuation and spot cone. Lit effects read its
// colours and direction (WorldAxis 2); the renderer switches it on through
// its description.
class Light : public Node {
    ZAV_OBJECT_CLASS(Light, Node)

    enum Kind : int32_t {
        kWorldDirectional = 0,  // along world +z
        kDirectional = 1,       // along the node's forward axis
        kPoint = 2,             // at the node's position
        kSpot = 3,              // at the node's position along its forward axis
    };

    explicit Light(int32_t kind = kWorldDirectional, const String& name = String());

    int Save(Stream& stream) override;
    int Load(Stream& stream) override;

    // The device light for the current world transform; false for a kind
    // outside 0..3, which describes no light.
    bool Describe(LightDescription& description) const;
    Vector3 GetDirection() const { return WorldAxis(2); }

    int32_t lightKind;
    Color ambient{0, 0, 0, 1};
    Color diffuse{0, 0, 0, 1};
    Color specular{0, 0, 0, 1};
    Vector3 attenuation{1, 0, 0};
    bool useAttenuation = false;
    float spotFalloff = 1.0f;
    float spotAngle = 0.7853982f;  // inner cone 2x, outer cone 2.1x
};

}  // namespace zav
