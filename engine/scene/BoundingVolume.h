#pragma once

#include <cstdint>

#include "engine/core/Object.h"
#include "engine/core/Transform.h"
#include "engine/core/Values.h"

namespace zav {

class Vector3Buffer;

// A plane n . x = d; points with n . x - d > 0 are on its inner side.
struct Plane {
    Vector3 normal;
    float d = 0.0f;
};

// Kinds of volume as scene files store them.
enum BoundingVolumeKind : int32_t { kSphereVolume = 0 };

// Bounds used for culling, sorting and merging up the scene tree. The
// operations that take another volume or a buffer return 0, or 3 without one.
class BoundingVolume : public Object {
    ZAV_OBJECT_CLASS(BoundingVolume, Object)

    explicit BoundingVolume(const String& name = String()) : Object(name) {}

    virtual int GetKind() const = 0;
    // Fits the volume around the positions of `points`.
    virtual int GenerateFromPoints(const Vector3Buffer* points) = 0;
    virtual int SetFrom(const BoundingVolume* other) = 0;
    // Ray from `origin` along the unit `direction`: 1 with the entry and exit
    // distances (near <= far), 0 when the line misses.
    virtual int IntersectRay(const Vector3& origin, const Vector3& direction, float& nearDistance,
                             float& farDistance) const = 0;
    // 1 when the volumes overlap, else 0 (also for null).
    virtual int Intersects(const BoundingVolume* other) const = 0;
    // Grows to enclose `other` too.
    virtual int Merge(const BoundingVolume* other) = 0;
    // Writes this volume, transformed by `transform`, into `target`.
    virtual int TransformInto(BoundingVolume* target, const Transform& transform) const = 0;
    // -1 wholly outside `plane`, +1 wholly inside, 0 crossing it.
    virtual int WhichSide(const Plane& plane) const = 0;
    virtual Vector3 GetCenter() const = 0;
};

// The only kind of volume: a sphere fitted around the centre of the points'
// axis-aligned box.
class SphereBoundingVolume : public BoundingVolume {
    ZAV_OBJECT_CLASS(SphereBoundingVolume, BoundingVolume)

    explicit SphereBoundingVolume(const String& name = String()) : BoundingVolume(name) {}
    SphereBoundingVolume(const Vector3& center, float radius) : center_(center), radius_(radius) {}

    int GetKind() const override { return kSphereVolume; }
    int GenerateFromPoints(const Vector3Buffer* points) override;
    int SetFrom(const BoundingVolume* other) override;
    int IntersectRay(const Vector3& origin, const Vector3& direction, float& nearDistance,
                     float& farDistance) const override;
    int Intersects(const BoundingVolume* other) const override;
    int Merge(const BoundingVolume* other) override;
    int TransformInto(BoundingVolume* target, const Transform& transform) const override;
    int WhichSide(const Plane& plane) const override;
    Vector3 GetCenter() const override { return center_; }

    float GetRadius() const { return radius_; }
    void Set(const Vector3& center, float radius) {
        center_ = center;
        radius_ = radius;
    }
    // Centred at the origin with the largest finite radius: never culled.
    void SetUnbounded();

    int Save(Stream& stream) override;
    int Load(Stream& stream) override;

private:
    Vector3 center_;
    float radius_ = 0.0f;
};

// A new volume of the stored `kind` (every kind makes a sphere), or null
// when memory runs out.
BoundingVolume* CreateBoundingVolume(int32_t kind);

}  // namespace zav
