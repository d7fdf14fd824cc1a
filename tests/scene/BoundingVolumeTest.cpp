#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "engine/scene/BoundingVolume.h"
#include "engine/scene/Buffer.h"
#include "engine/scene/SphereFit.h"
#include "engine/scene/TransformMath.h"
#include "tests/scene/SceneTestSupport.h"
#include "tests/support/LogCapture.h"

namespace zav {
namespace {

Ref<Vector3Buffer> Points(std::initializer_list<Vector3> points) {
    Ref<Vector3Buffer> buffer(new Vector3Buffer(static_cast<int>(points.size())));
    int i = 0;
    for (const Vector3& p : points) (*buffer)[i++] = p;
    return buffer;
}

TEST(SphereBoundingVolume, FitsTheCentreOfTheBoxAndTheFarthestPoint) {
    SphereBoundingVolume sphere;
    ASSERT_EQ(sphere.GenerateFromPoints(Points({{0, 0, 0}, {2, 0, 0}}).Get()), kOk);
    EXPECT_EQ(sphere.GetCenter(), (Vector3{1, 0, 0}));
    EXPECT_EQ(sphere.GetRadius(), 1.0f);

    test::LogCapture capture;
    EXPECT_EQ(sphere.GenerateFromPoints(nullptr), kNotFound);
    Ref<Vector3Buffer> empty(new Vector3Buffer());
    EXPECT_EQ(sphere.GenerateFromPoints(empty.Get()), kNotFound);
    EXPECT_TRUE(capture.HasPrefix(kLogWarning, "Указатель на вершины равен 0 при генерации."));
    EXPECT_TRUE(capture.HasPrefix(kLogWarning, "Нет вершин в буффере при генерации объёма."));
    EXPECT_EQ(sphere.GetRadius(), 1.0f);
}

TEST(SphereBoundingVolume, PlainAndPackedFittingAgreeBitForBit) {
    std::mt19937 random(11);
    std::uniform_real_distribution<float> coordinate(-1000.0f, 1000.0f);
    for (int count : {1, 2, 3, 4, 5, 7, 8, 9, 63, 1000}) {
        std::vector<Vector3> points(static_cast<size_t>(count));
        for (Vector3& p : points) p = {coordinate(random), coordinate(random), coordinate(random)};
        Vector3 plainCenter, packedCenter;
        float plainRadius = 0, packedRadius = 0;
        FitSpherePlain(points.data(), count, plainCenter, plainRadius);
        FitSpherePacked(points.data(), count, packedCenter, packedRadius);
        EXPECT_EQ(plainCenter, packedCenter) << count;
        EXPECT_EQ(plainRadius, packedRadius) << count;
        // Every point is inside.
        for (const Vector3& p : points) EXPECT_LE(Length(p - plainCenter), plainRadius * 1.0001f);
    }
    // Not-a-number coordinates go the same way through both.
    std::vector<Vector3> odd = {{1, 2, 3}, {NAN, 0, 5}, {-1, NAN, 2}, {4, 4, NAN}, {0, 0, 0}};
    Vector3 a, b;
    float ra = 0, rb = 0;
    FitSpherePlain(odd.data(), 5, a, ra);
    FitSpherePacked(odd.data(), 5, b, rb);
    EXPECT_EQ(std::memcmp(&a, &b, sizeof a), 0);
    EXPECT_EQ(std::memcmp(&ra, &rb, sizeof ra), 0);
}

TEST(SphereBoundingVolume, MergeEnclosesBothOrKeepsTheContainingOne) {
    SphereBoundingVolume a({0, 0, 0}, 1), b({4, 0, 0}, 1);
    ASSERT_EQ(a.Merge(&b), kOk);
    EXPECT_EQ(a.GetCenter(), (Vector3{2, 0, 0}));
    EXPECT_EQ(a.GetRadius(), 3.0f);

    SphereBoundingVolume big({0, 0, 0}, 10), small({1, 1, 0}, 1);
    big.Merge(&small);
    EXPECT_EQ(big.GetCenter(), (Vector3{0, 0, 0}));
    EXPECT_EQ(big.GetRadius(), 10.0f);
    small.Merge(&big);
    EXPECT_EQ(small.GetCenter(), (Vector3{0, 0, 0}));
    EXPECT_EQ(small.GetRadius(), 10.0f);

    test::LogCapture capture;
    EXPECT_EQ(a.Merge(nullptr), kNotFound);
    EXPECT_TRUE(capture.HasPrefix(kLogWarning, "Указатель на объём равен 0 при слиянии."));
}

TEST(SphereBoundingVolume, NonFiniteOrHugeSpheresMergeIntoAnUnboundedOneWithoutNaN) {
    SphereBoundingVolume unbounded;
    unbounded.SetUnbounded();
    const Vector3 centers[] = {{NAN, 0, 0}, {0, 0, 0}, {1e30f, 0, 0}};
    const float radii[] = {1, INFINITY, FLT_MAX};
    for (int i = 0; i < 3; ++i) {
        SphereBoundingVolume other(centers[i], radii[i]);
        SphereBoundingVolume sphere({3, 0, 0}, 1);
        sphere.Merge(&other);
        EXPECT_TRUE(std::isfinite(sphere.GetRadius())) << i;
        EXPECT_TRUE(IsFinite(sphere.GetCenter())) << i;
        EXPECT_GE(sphere.GetRadius(), 1e30f) << i;
    }
    SphereBoundingVolume twin;
    twin.Set({1, 0, 0}, FLT_MAX);
    unbounded.Merge(&twin);
    EXPECT_TRUE(std::isfinite(unbounded.GetRadius()));
    EXPECT_EQ(unbounded.GetRadius(), FLT_MAX);
}

TEST(SphereBoundingVolume, TransformingUsesTheLargestScaleComponent) {
    SphereBoundingVolume sphere({0, 0, 0}, 2), target;
    sphere.TransformInto(&target, MakeTransform({3, 1, 1}, {}, {1, 2, 3}));
    EXPECT_EQ(target.GetRadius(), 6.0f);
    EXPECT_EQ(target.GetCenter(), (Vector3{1, 2, 3}));
    // A stretch along y or z bounds the sphere as well as one along x.
    sphere.TransformInto(&target, MakeTransform({1, 3, 1}, {}, {}));
    EXPECT_EQ(target.GetRadius(), 6.0f);
    sphere.TransformInto(&target, MakeTransform({1, 1, -4}, {0, 0.70710678f, 0, 0.70710678f}, {}));
    EXPECT_NEAR(target.GetRadius(), 8.0f, 1e-5f);
    sphere.TransformInto(&target, Transform());
    EXPECT_EQ(target.GetRadius(), 2.0f);
}

TEST(SphereBoundingVolume, PlaneSidesRaysAndOverlaps) {
    SphereBoundingVolume sphere({0, 0, 0}, 1);
    Plane floor{{0, 1, 0}, -1};             // inside is y > -1
    EXPECT_EQ(sphere.WhichSide(floor), 1);  // touching from inside
    EXPECT_EQ(sphere.WhichSide({{0, 1, 0}, 0}), 0);
    EXPECT_EQ(sphere.WhichSide({{0, 1, 0}, 1}), -1);

    float nearDistance = 0, farDistance = 0;
    ASSERT_EQ(sphere.IntersectRay({-5, 0, 0}, {1, 0, 0}, nearDistance, farDistance), 1);
    EXPECT_FLOAT_EQ(nearDistance, 4.0f);
    EXPECT_FLOAT_EQ(farDistance, 6.0f);
    EXPECT_EQ(sphere.IntersectRay({-5, 3, 0}, {1, 0, 0}, nearDistance, farDistance), 0);

    SphereBoundingVolume touching({2, 0, 0}, 1), apart({2.5f, 0, 0}, 1);
    EXPECT_EQ(sphere.Intersects(&touching), 1);
    EXPECT_EQ(sphere.Intersects(&apart), 0);
    EXPECT_EQ(sphere.Intersects(nullptr), 0);
}

class VolumeRecord : public test::EngineFixture {};

TEST_F(VolumeRecord, SphereRoundTripsAndTheBaseCannotBeCreated) {
    Ref<SphereBoundingVolume> sphere(new SphereBoundingVolume("bounds"));
    sphere->Set({1, 2, 3}, 4);
    Ref<SphereBoundingVolume> loaded = test::RoundTrip(sphere.Get());
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->GetCenter(), (Vector3{1, 2, 3}));
    EXPECT_EQ(loaded->GetRadius(), 4.0f);
    EXPECT_EQ(loaded->GetName(), "bounds");

    test::LogCapture capture;
    std::string truncated = test::SaveToBytes(sphere.Get());
    truncated.resize(truncated.size() - 2);
    int state = 0;
    EXPECT_FALSE(test::LoadFromBytes(truncated, &state));
    EXPECT_TRUE(capture.HasPrefix(kLogError, "Невозможно загрузить данные окружающего объёма."));
}

}  // namespace
}  // namespace zav
