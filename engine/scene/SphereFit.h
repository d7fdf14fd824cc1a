#pragma once

#include "engine/core/Values.h"

namespace zav {

// Fits a sphere around `count` (> 0) points: the centre of their
// axis-aligned box and the distance to the farthest point. Two routines
// compute bit-identical results; FitSphere uses the packed one when the
// processor has it (decided once per process).
void FitSpherePlain(const Vector3* points, int count, Vector3& center, float& radius);
void FitSpherePacked(const Vector3* points, int count, Vector3& center, float& radius);
void FitSphere(const Vector3* points, int count, Vector3& center, float& radius);

}  // namespace zav
