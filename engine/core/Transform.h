#pragma once

#include "engine/core/Values.h"

namespace zav {

// Scale, rotation and translation of a node. The two flags let the maths skip
// work; they are not stored, and a transform read from a stream has both
// cleared.
struct Transform {
    Vector3 scale{1.0f, 1.0f, 1.0f};
    Quaternion rotation{};
    Vector3 translation{};
    bool isIdentity = true;
    bool isRotationIdentity = true;
};

}  // namespace zav
