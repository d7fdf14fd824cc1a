#pragma once

#include <cstdint>

#include "engine/scene/BoundingVolume.h"
#include "engine/scene/Matrix4.h"
#include "engine/scene/Node.h"

namespace zav {

// The node the scene is seen through. Each update computes the projection,
// the view, their product and the six frustum planes (world space, normals
// pointing inward) from the world transform; the camera looks along its
// forward axis (WorldAxis 2) with WorldAxis 1 up. Parameters that would
// give a degenerate projection keep the previous matrices and planes.
class Camera : public Node {
    ZAV_OBJECT_CLASS(Camera, Node)

    enum PlaneIndex { kNear, kFar, kLeft, kRight, kTop, kBottom, kPlaneCount };
    // Bit (32 >> i) stands for plane i: 32 near ... 1 bottom.
    static constexpr int32_t kAllPlanes = -1;

    explicit Camera(const String& name = String());

    void Update(double time) override;
    int Save(Stream& stream) override;
    int Load(Stream& stream) override;

    // Projection from the field of view and the current renderer's aspect,
    // view from the world transform, then the planes.
    void UpdateMatrices();
    // Whether `volume` lies wholly outside a plane still in the cull mask;
    // planes it lies wholly inside leave the mask. Null is never culled.
    bool IsCulled(const BoundingVolume* volume);

    int32_t GetCullMask() const { return cullMask_; }
    void SetCullMask(int32_t mask) { cullMask_ = mask; }
    const Plane& GetPlane(int index) const { return planes_[index]; }
    const Matrix4& GetProjection() const { return projection_; }
    const Matrix4& GetView() const { return view_; }
    const Matrix4& GetViewProjection() const { return viewProjection_; }
    // For screen-space drawing that sets its own matrices (overlays).
    void SetProjection(const Matrix4& projection) { projection_ = projection; }
    void SetView(const Matrix4& view) { view_ = view; }
    void SetViewProjection(const Matrix4& viewProjection) { viewProjection_ = viewProjection; }

    float GetFieldOfView() const { return fieldOfView_; }
    float GetNearPlane() const { return nearPlane_; }
    float GetFarPlane() const { return farPlane_; }
    void SetFieldOfView(float radians) { fieldOfView_ = radians; }
    void SetNearPlane(float distance) { nearPlane_ = distance; }
    void SetFarPlane(float distance) { farPlane_ = distance; }

private:
    float fieldOfView_ = 0.7853982f;
    float nearPlane_ = 0.1f;
    float farPlane_ = 10000.0f;
    Plane planes_[kPlaneCount];
    Matrix4 projection_;
    Matrix4 view_;
    Matrix4 viewProjection_;
    int32_t cullMask_ = kAllPlanes;
};

// A camera with three further stored values that nothing reads.
class FPCamera : public Camera {
    ZAV_OBJECT_CLASS(FPCamera, Camera)

    explicit FPCamera(const String& name = String()) : Camera(name) {}

    int Save(Stream& stream) override;
    int Load(Stream& stream) override;

    float fpValue1 = 1.0f;
    float fpValue2 = 3.0f;
    bool fpFlag = false;
};

}  // namespace zav
