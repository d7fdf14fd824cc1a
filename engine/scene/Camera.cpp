#include "engine/scene/Camera.h"

#include <cmath>

#include "engine/core/ClassRegistration.h"
#include "engine/core/Log.h"
#include "engine/core/Stream.h"
#include "engine/render/Renderer.h"
#include "engine/scene/VectorMath.h"

namespace zav {

ZAV_REGISTER_CLASS(Camera);
ZAV_REGISTER_CLASS(FPCamera);

namespace {

// The float nearest to pi lies above it; fields of view stay below.
constexpr float kPi = 3.14159265358979f;

// Width / height of the current renderer's target; 1 without a renderer,
// and not finite for a target without height.
float CurrentAspect() {
    Renderer* renderer = GetRenderer();
    if (!renderer) return 1.0f;
    return static_cast<float>(renderer->GetViewportWidth()) / static_cast<float>(renderer->GetViewportHeight());
}

Plane PlaneThrough(const Vector3& a, const Vector3& b, const Vector3& c) {
    Plane plane;
    plane.normal = Normalize(Cross(b - a, c - a));
    plane.d = Dot(plane.normal, a);
    return plane;
}

}  // namespace

Camera::Camera(const String& name) : Node(name) {}

void Camera::Update(double time) {
    Node::Update(time);
    UpdateMatrices();
}

void Camera::UpdateMatrices() {
    const float aspect = CurrentAspect();
    // A field of view of 0 or pi (or beyond), near = far, a target without
    // height or a view that cannot be inverted would spread inf and NaN
    // through culling: the previous matrices and planes stay.
    if (!(fieldOfView_ > 0.0f && fieldOfView_ < kPi) || !(aspect > 0.0f) || !std::isfinite(aspect)) return;
    const float y = 1.0f / std::tan(fieldOfView_ / 2.0f);
    const float x = y / aspect;
    const float q = farPlane_ / (farPlane_ - nearPlane_);
    Matrix4 projection;
    projection.m[0][0] = x;
    projection.m[1][1] = y;
    projection.m[2][2] = q;
    projection.m[2][3] = 1.0f;
    projection.m[3][2] = -q * nearPlane_;
    projection.m[3][3] = 1.0f;

    const Vector3 r = WorldAxis(0), u = WorldAxis(1), w = WorldAxis(2), p = GetWorldPosition();
    Matrix4 view;
    view.m[0][0] = r.x, view.m[0][1] = u.x, view.m[0][2] = w.x;
    view.m[1][0] = r.y, view.m[1][1] = u.y, view.m[1][2] = w.y;
    view.m[2][0] = r.z, view.m[2][1] = u.z, view.m[2][2] = w.z;
    view.m[3][0] = -Dot(r, p), view.m[3][1] = -Dot(u, p), view.m[3][2] = -Dot(w, p);

    const Matrix4 viewProjection = Multiply(view, projection);
    Matrix4 inverse;
    if (!IsFinite(projection) || !IsFinite(viewProjection) || !Invert(viewProjection, inverse)) return;

    static const Vector3 kBox[8] = {{-1, -1, 0}, {1, -1, 0}, {1, 1, 0}, {-1, 1, 0},
                                    {-1, -1, 1}, {1, -1, 1}, {1, 1, 1}, {-1, 1, 1}};
    Vector3 c[8];
    for (int i = 0; i < 8; ++i) {
        c[i] = TransformCoordinate(inverse, kBox[i]);
        if (!IsFinite(c[i])) return;
    }
    projection_ = projection;
    view_ = view;
    viewProjection_ = viewProjection;
    planes_[kNear] = PlaneThrough(c[0], c[1], c[2]);
    planes_[kFar] = PlaneThrough(c[6], c[4], c[7]);
    planes_[kLeft] = PlaneThrough(c[0], c[3], c[7]);
    planes_[kRight] = PlaneThrough(c[2], c[1], c[6]);
    planes_[kTop] = PlaneThrough(c[3], c[2], c[6]);
    planes_[kBottom] = PlaneThrough(c[1], c[0], c[5]);
}

bool Camera::IsCulled(const BoundingVolume* volume) {
    if (!volume) return false;
    for (int i = 0; i < kPlaneCount; ++i) {
        const int32_t bit = 32 >> i;
        if (!(cullMask_ & bit)) continue;
        const int side = volume->WhichSide(planes_[i]);
        if (side < 0) return true;
        if (side > 0) cullMask_ &= ~bit;
    }
    return false;
}

int Camera::Save(Stream& stream) {
    if (ParentClass::Save(stream) != kOk) return ParentSaveFailed();
    stream.WriteFloat(fieldOfView_);
    stream.WriteFloat(nearPlane_);
    if (stream.WriteFloat(farPlane_) != kOk) return FailedNameId("Невозможно сохранить данные камеры.");
    return kOk;
}

int Camera::Load(Stream& stream) {
    if (ParentClass::Load(stream) != kOk) return ParentLoadFailed();
    stream.ReadFloat(fieldOfView_);
    stream.ReadFloat(nearPlane_);
    if (stream.ReadFloat(farPlane_) != kOk) return FailedIdName("Невозможно загрузить данные камеры.");
    return kOk;
}

int FPCamera::Save(Stream& stream) {
    if (ParentClass::Save(stream) != kOk) return ParentSaveFailed();
    stream.WriteFloat(fpValue1);
    stream.WriteFloat(fpValue2);
    if (stream.WriteBool(fpFlag) != kOk) return FailedNameId("Невозможно сохранить данные камеры.");
    return kOk;
}

int FPCamera::Load(Stream& stream) {
    if (ParentClass::Load(stream) != kOk) return ParentLoadFailed();
    stream.ReadFloat(fpValue1);
    stream.ReadFloat(fpValue2);
    if (stream.ReadBool(fpFlag) != kOk) return FailedIdName("Невозможно загрузить данные камеры.");
    return kOk;
}

}  // namespace zav
