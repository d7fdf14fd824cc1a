#include "engine/scene/BoundingVolume.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <new>

#include "engine/core/ClassRegistration.h"
#include "engine/core/Log.h"
#include "engine/core/Stream.h"
#include "engine/scene/Buffer.h"
#include "engine/scene/SphereFit.h"
#include "engine/scene/TransformMath.h"
#include "engine/scene/VectorMath.h"

namespace zav {

ZAV_REGISTER_ABSTRACT_CLASS(BoundingVolume);
ZAV_REGISTER_CLASS(SphereBoundingVolume);

namespace {

const SphereBoundingVolume* AsSphere(const BoundingVolume* volume) {
    return volume && volume->GetKind() == kSphereVolume ? static_cast<const SphereBoundingVolume*>(volume) : nullptr;
}

}  // namespace

BoundingVolume* CreateBoundingVolume(int32_t) { return new (std::nothrow) SphereBoundingVolume(); }

void SphereBoundingVolume::SetUnbounded() { Set({}, FLT_MAX); }

int SphereBoundingVolume::GenerateFromPoints(const Vector3Buffer* points) {
    if (!points) {
        LogWarning("Указатель на вершины равен 0 при генерации. Имя[%s] ID[%d].", GetName().CStr(), GetId());
        return kNotFound;
    }
    if (points->GetCount() <= 0 || !points->Elements()) {
        LogWarning("Нет вершин в буффере при генерации объёма. Имя[%s] ID[%d].", GetName().CStr(), GetId());
        return kNotFound;
    }
    FitSphere(points->Elements(), points->GetCount(), center_, radius_);
    return kOk;
}

int SphereBoundingVolume::SetFrom(const BoundingVolume* other) {
    if (!other) {
        LogWarning("Указатель на объём равен 0 при генерации. Имя[%s] ID[%d].", GetName().CStr(), GetId());
        return kNotFound;
    }
    if (const SphereBoundingVolume* sphere = AsSphere(other))
        Set(sphere->center_, sphere->radius_);
    else
        Set(other->GetCenter(), 0.0f);
    return kOk;
}

int SphereBoundingVolume::IntersectRay(const Vector3& origin, const Vector3& direction, float& nearDistance,
                                       float& farDistance) const {
    Vector3 l = origin - center_;
    float b = Dot(l, direction);
    float disc = b * b - (LengthSquared(l) - radius_ * radius_);
    if (!(disc >= 0.0f)) return 0;
    float root = std::sqrt(disc);
    nearDistance = -b - root;
    farDistance = -b + root;
    return 1;
}

int SphereBoundingVolume::Intersects(const BoundingVolume* other) const {
    const SphereBoundingVolume* sphere = AsSphere(other);
    if (!sphere) return 0;
    float reach = sphere->radius_ + radius_;
    return LengthSquared(sphere->center_ - center_) <= reach * reach ? 1 : 0;
}

int SphereBoundingVolume::Merge(const BoundingVolume* other) {
    if (!other) {
        LogWarning("Указатель на объём равен 0 при слиянии. Имя[%s] ID[%d].", GetName().CStr(), GetId());
        return kNotFound;
    }
    const SphereBoundingVolume* sphere = AsSphere(other);
    Vector3 otherCenter = sphere ? sphere->center_ : other->GetCenter();
    float otherRadius = sphere ? sphere->radius_ : 0.0f;
    // In double, so that huge but finite spheres neither overflow nor turn
    // into NaN; anything not finite gives a sphere that bounds everything.
    if (!IsFinite(center_) || !std::isfinite(radius_) || !IsFinite(otherCenter) || !std::isfinite(otherRadius)) {
        SetUnbounded();
        return kOk;
    }
    double dx = double(otherCenter.x) - center_.x, dy = double(otherCenter.y) - center_.y,
           dz = double(otherCenter.z) - center_.z;
    double distanceSquared = dx * dx + dy * dy + dz * dz;
    double delta = double(otherRadius) - radius_;
    if (delta * delta >= distanceSquared) {
        if (delta > 0.0) Set(otherCenter, otherRadius);
        return kOk;
    }
    double distance = std::sqrt(distanceSquared);
    double shift = (delta + distance) / (2.0 * distance);
    double radius = distance / 2.0 + double(otherRadius) / 2.0 + double(radius_) / 2.0;
    Vector3 center{static_cast<float>(center_.x + dx * shift), static_cast<float>(center_.y + dy * shift),
                   static_cast<float>(center_.z + dz * shift)};
    if (!IsFinite(center) || radius >= FLT_MAX) {
        SetUnbounded();
        return kOk;
    }
    Set(center, static_cast<float>(radius));
    return kOk;
}

int SphereBoundingVolume::TransformInto(BoundingVolume* target, const Transform& transform) const {
    if (!target) {
        LogWarning("Указатель на объём равен 0 при трансформации. Имя[%s] ID[%d].", GetName().CStr(), GetId());
        return kNotFound;
    }
    Vector3 center = TransformPoint(transform, center_);
    float radius = radius_;
    if (!transform.isIdentity) {
        // The largest scale component bounds the sphere on every axis; the
        // rotation is applied so that an unnormalised quaternion scales the
        // radius as it scales the points.
        float scale =
            std::max({std::fabs(transform.scale.x), std::fabs(transform.scale.y), std::fabs(transform.scale.z)});
        Vector3 reach{radius_ * scale, 0.0f, 0.0f};
        if (!transform.isRotationIdentity) reach = Rotate(transform.rotation, reach);
        radius = Length(reach);
    }
    if (target->GetKind() == kSphereVolume) {
        static_cast<SphereBoundingVolume*>(target)->Set(center, radius);
        return kOk;
    }
    SphereBoundingVolume moved(center, radius);
    return target->SetFrom(&moved);
}

int SphereBoundingVolume::WhichSide(const Plane& plane) const {
    float s = Dot(plane.normal, center_) - plane.d;
    if (s <= -radius_) return -1;
    if (s >= radius_) return 1;
    return 0;
}

int SphereBoundingVolume::Save(Stream& stream) {
    if (ParentClass::Save(stream) != kOk) return ParentSaveFailed();
    stream.WriteVector3(center_);
    if (stream.WriteFloat(radius_) != kOk) return FailedNameId("Невозможно сохранить данные окружающего объёма.");
    return kOk;
}

int SphereBoundingVolume::Load(Stream& stream) {
    if (ParentClass::Load(stream) != kOk) return ParentLoadFailed();
    stream.ReadVector3(center_);
    if (stream.ReadFloat(radius_) != kOk) return FailedIdName("Невозможно загрузить данные окружающего объёма.");
    return kOk;
}

}  // namespace zav
