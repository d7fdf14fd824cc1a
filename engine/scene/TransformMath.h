#pragma once

#include "engine/core/Transform.h"
#include "engine/scene/Matrix4.h"

namespace zav {

// A transform from explicit parts; both identity flags are clear.
Transform MakeTransform(const Vector3& scale, const Quaternion& rotation, const Vector3& translation);

// The child's world transform: `local` applied first, then `parentWorld`.
// Scales multiply component-wise (no shear); the flags are kept only when
// one side is the identity and its copy is returned.
Transform Compose(const Transform& local, const Transform& parentWorld);

// Scale, then rotation (v * R), then translation; short-cut by the flags.
Vector3 TransformPoint(const Transform& transform, const Vector3& point);
// As TransformPoint without the translation.
Vector3 TransformVector(const Transform& transform, const Vector3& vector);

// The row-vector matrix of the transform: rows 0-2 are the rows of R scaled
// by scale.x, .y, .z; row 3 is the translation. Ignores the flags.
Matrix4 ToMatrix(const Transform& transform);

// The 3x3 rotation block R of a quaternion (x, y, z, w), row by row, in
// rows 0-2 of an otherwise identity matrix.
Matrix4 RotationMatrix(const Quaternion& rotation);
// v * R.
Vector3 Rotate(const Quaternion& rotation, const Vector3& vector);
// Column k of R: 0 right, 1 up, 2 forward. Cameras, lights and flares are
// oriented by these columns.
Vector3 RotationAxis(const Quaternion& rotation, int k);

// The quaternion product local (x) parent used by Compose.
Quaternion ComposeRotations(const Quaternion& local, const Quaternion& parent);

}  // namespace zav
