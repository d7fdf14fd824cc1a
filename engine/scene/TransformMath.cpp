#include "engine/scene/TransformMath.h"

namespace zav {

Transform MakeTransform(const Vector3& scale, const Quaternion& rotation, const Vector3& translation) {
    Transform transform;
    transform.scale = scale;
    transform.rotation = rotation;
    transform.translation = translation;
    transform.isIdentity = false;
    transform.isRotationIdentity = false;
    return transform;
}

Quaternion ComposeRotations(const Quaternion& a, const Quaternion& b) {
    return {a.w * b.x + a.x * b.w + a.y * b.z - a.z * b.y, a.w * b.y - a.x * b.z + a.y * b.w + a.z * b.x,
            a.w * b.z + a.x * b.y - a.y * b.x + a.z * b.w, a.w * b.w - a.x * b.x - a.y * b.y - a.z * b.z};
}

Transform Compose(const Transform& local, const Transform& parentWorld) {
    if (local.isIdentity) return parentWorld;
    if (parentWorld.isIdentity) return local;
    Transform result;
    result.scale = {local.scale.x * parentWorld.scale.x, local.scale.y * parentWorld.scale.y,
                    local.scale.z * parentWorld.scale.z};
    result.translation = TransformPoint(parentWorld, local.translation);
    if (local.isRotationIdentity)
        result.rotation = parentWorld.rotation;
    else if (parentWorld.isRotationIdentity)
        result.rotation = local.rotation;
    else
        result.rotation = ComposeRotations(local.rotation, parentWorld.rotation);
    result.isIdentity = false;
    result.isRotationIdentity = false;
    return result;
}

Matrix4 RotationMatrix(const Quaternion& q) {
    Matrix4 r;
    r.m[0][0] = 1 - 2 * q.y * q.y - 2 * q.z * q.z;
    r.m[0][1] = 2 * q.x * q.y - 2 * q.z * q.w;
    r.m[0][2] = 2 * q.x * q.z + 2 * q.y * q.w;
    r.m[1][0] = 2 * q.x * q.y + 2 * q.z * q.w;
    r.m[1][1] = 1 - 2 * q.x * q.x - 2 * q.z * q.z;
    r.m[1][2] = 2 * q.y * q.z - 2 * q.x * q.w;
    r.m[2][0] = 2 * q.x * q.z - 2 * q.y * q.w;
    r.m[2][1] = 2 * q.y * q.z + 2 * q.x * q.w;
    r.m[2][2] = 1 - 2 * q.x * q.x - 2 * q.y * q.y;
    return r;
}

Vector3 Rotate(const Quaternion& q, const Vector3& v) {
    // v * R with R written out (see RotationMatrix).
    const float xx = 2 * q.x * q.x, yy = 2 * q.y * q.y, zz = 2 * q.z * q.z;
    const float xy = 2 * q.x * q.y, xz = 2 * q.x * q.z, yz = 2 * q.y * q.z;
    const float xw = 2 * q.x * q.w, yw = 2 * q.y * q.w, zw = 2 * q.z * q.w;
    return {v.x * (1 - yy - zz) + v.y * (xy + zw) + v.z * (xz - yw),
            v.x * (xy - zw) + v.y * (1 - xx - zz) + v.z * (yz + xw),
            v.x * (xz + yw) + v.y * (yz - xw) + v.z * (1 - xx - yy)};
}

Vector3 RotationAxis(const Quaternion& rotation, int k) {
    Matrix4 r = RotationMatrix(rotation);
    if (k < 0 || k > 2) return {};
    return {r.m[0][k], r.m[1][k], r.m[2][k]};
}

Vector3 TransformVector(const Transform& transform, const Vector3& vector) {
    if (transform.isIdentity) return vector;
    Vector3 q{vector.x * transform.scale.x, vector.y * transform.scale.y, vector.z * transform.scale.z};
    if (!transform.isRotationIdentity) q = Rotate(transform.rotation, q);
    return q;
}

Vector3 TransformPoint(const Transform& transform, const Vector3& point) {
    if (transform.isIdentity) return point;
    Vector3 q = TransformVector(transform, point);
    return {q.x + transform.translation.x, q.y + transform.translation.y, q.z + transform.translation.z};
}

Matrix4 ToMatrix(const Transform& transform) {
    Matrix4 m = RotationMatrix(transform.rotation);
    const float scale[3] = {transform.scale.x, transform.scale.y, transform.scale.z};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) m.m[r][c] *= scale[r];
    m.m[3][0] = transform.translation.x;
    m.m[3][1] = transform.translation.y;
    m.m[3][2] = transform.translation.z;
    return m;
}

}  // namespace zav
