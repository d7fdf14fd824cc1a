#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "engine/scene/SceneNode.h"
#include "engine/scene/TransformMath.h"
#include "engine/scene/VectorMath.h"
#include "tests/scene/SceneTestSupport.h"

namespace zav {
namespace {

constexpr float kHalfSqrt2 = 0.70710678f;

Quaternion AboutY(float radians) { return {0, std::sin(radians / 2), 0, std::cos(radians / 2)}; }
Quaternion AboutZ(float radians) { return {0, 0, std::sin(radians / 2), std::cos(radians / 2)}; }

void ExpectNear(const Vector3& actual, const Vector3& expected, float tolerance = 1e-4f) {
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

TEST(TransformMath, RotationConventionsAreTheRowFormForPointsAndColumnsForAxes) {
    Transform turn = MakeTransform({1, 1, 1}, {0, kHalfSqrt2, 0, kHalfSqrt2}, {});
    ExpectNear(TransformVector(turn, {0, 0, 1}), {-1, 0, 0});
    ExpectNear(RotationAxis(turn.rotation, 2), {1, 0, 0});
    ExpectNear(RotationAxis(turn.rotation, 0), {0, 0, -1});
    ExpectNear(RotationAxis(turn.rotation, 1), {0, 1, 0});
}

TEST(TransformMath, ComposeMatchesTheProductOfMatricesOnRandomTransforms) {
    std::mt19937 random(7);
    std::uniform_real_distribution<float> scale(0.2f, 3.0f), offset(-10.0f, 10.0f);
    for (int i = 0; i < 200; ++i) {
        // Uniform scales: with them the component-wise product has no shear
        // to lose and the matrices must agree exactly.
        float s1 = scale(random), s2 = scale(random);
        Transform local =
            MakeTransform({s1, s1, s1}, test::RandomRotation(random), {offset(random), offset(random), offset(random)});
        Transform parent =
            MakeTransform({s2, s2, s2}, test::RandomRotation(random), {offset(random), offset(random), offset(random)});
        Matrix4 composed = ToMatrix(Compose(local, parent));
        Matrix4 product = Multiply(ToMatrix(local), ToMatrix(parent));
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 4; ++c) ASSERT_NEAR(composed.m[r][c], product.m[r][c], 2e-3f) << i;
        Vector3 p{offset(random), offset(random), offset(random)};
        Vector3 viaPoints = TransformPoint(parent, TransformPoint(local, p));
        ExpectNear(TransformPoint(Compose(local, parent), p), viaPoints, 2e-3f);
        ExpectNear(TransformCoordinate(ToMatrix(local), p), TransformPoint(local, p), 1e-3f);
    }
}

TEST(TransformMath, ComposeShortCutsIdentitiesAndMultipliesScalesUnderRotation) {
    Transform moved = MakeTransform({2, 3, 4}, AboutY(1.0f), {1, 2, 3});
    Transform identity;
    Transform kept = Compose(identity, moved);
    EXPECT_FALSE(kept.isIdentity);
    EXPECT_EQ(kept.translation, moved.translation);
    Transform own = Compose(moved, identity);
    EXPECT_EQ(own.scale, moved.scale);
    EXPECT_FALSE(own.isIdentity);
    Transform both = Compose(identity, identity);
    EXPECT_TRUE(both.isIdentity && both.isRotationIdentity);

    Transform child = MakeTransform({2, 1, 1}, AboutZ(0.5f), {});
    Transform parent = MakeTransform({1, 3, 1}, AboutZ(1.2f), {});
    Transform world = Compose(child, parent);
    EXPECT_EQ(world.scale, (Vector3{2, 3, 1}));
    EXPECT_FALSE(world.isIdentity || world.isRotationIdentity);
}

TEST(TransformMath, InverseUndoesAMatrixAndRefusesSingularOnes) {
    Matrix4 m = ToMatrix(MakeTransform({2, 0.5f, 3}, AboutY(0.3f), {4, 5, 6}));
    Matrix4 inverse;
    ASSERT_TRUE(Invert(m, inverse));
    Matrix4 product = Multiply(m, inverse);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) EXPECT_NEAR(product.m[r][c], r == c ? 1.0f : 0.0f, 1e-5f);
    Matrix4 flat = ToMatrix(MakeTransform({1, 0, 1}, {}, {}));
    Matrix4 untouched;
    EXPECT_FALSE(Invert(flat, untouched));
    EXPECT_EQ(untouched, Matrix4::Identity());
}

class NodeHierarchy : public test::EngineFixture {};

TEST_F(NodeHierarchy, ThreeRotatedLevelsComposeParentsFirst) {
    Ref<SceneNode> root(new SceneNode("root", 0, 1));
    Ref<SceneNode> arm(new SceneNode("arm", 0, 1));
    Ref<SceneNode> hand(new SceneNode("hand", 0, 1));
    root->AddChild(arm.Get());
    arm->AddChild(hand.Get());
    root->SetLocalTransform(MakeTransform({1, 1, 1}, AboutY(1.5707964f), {10, 0, 0}));
    arm->SetLocalTransform(MakeTransform({2, 2, 2}, AboutZ(1.5707964f), {0, 0, 1}));
    hand->SetLocalTransform(MakeTransform({1, 1, 1}, {}, {1, 0, 0}));
    root->UpdateSubtree(0.0, true);

    // The arm's origin: (0,0,1) turned about y lands on -x, then moved.
    ExpectNear(arm->GetWorldPosition(), {9, 0, 0});
    // The hand sits one unit along the arm's x, which its parents scale by
    // 2, turn about z (v * R takes +x to -y) and then about y (y stays).
    ExpectNear(hand->GetWorldPosition(), {9, -2, 0});
    Vector3 viaMatrices =
        TransformCoordinate(Multiply(Multiply(ToMatrix(hand->GetLocalTransform()), ToMatrix(arm->GetLocalTransform())),
                                     ToMatrix(root->GetLocalTransform())),
                            {0, 0, 0});
    ExpectNear(hand->GetWorldPosition(), viaMatrices);
}

TEST_F(NodeHierarchy, WorldTransformFollowsTheParentUnlessFrozen) {
    Ref<SceneNode> parent(new SceneNode("parent", 0, 1));
    Ref<SceneNode> child(new SceneNode("child", 0, 1));
    parent->AddChild(child.Get());
    Transform local = MakeTransform({1, 1, 1}, {}, {0, 1, 0});
    child->SetLocalTransform(local);

    // An identity parent hands the child its own local transform, flags and all.
    parent->UpdateSubtree(0.0, true);
    EXPECT_FALSE(child->GetWorldTransform().isIdentity);
    EXPECT_EQ(child->GetWorldTransform().translation, local.translation);

    parent->SetLocalTransform(MakeTransform({1, 1, 1}, {}, {5, 0, 0}));
    child->SetUpdateWorldTransform(false);
    parent->UpdateSubtree(0.0, true);
    EXPECT_EQ(child->GetWorldTransform().translation, (Vector3{0, 1, 0}));
    child->SetUpdateWorldTransform(true);
    parent->UpdateSubtree(0.0, true);
    EXPECT_EQ(child->GetWorldTransform().translation, (Vector3{5, 1, 0}));

    // Without a parent the world transform is the local one, flags included.
    Ref<SceneNode> lone(new SceneNode("lone", 0, 1));
    lone->UpdateSubtree(0.0, true);
    EXPECT_TRUE(lone->GetWorldTransform().isIdentity);
}

TEST_F(NodeHierarchy, FlagsSurviveCopiesButNotLoading) {
    Transform identity;
    Transform copy = identity;
    EXPECT_TRUE(copy.isIdentity && copy.isRotationIdentity);

    Ref<SceneNode> node(new SceneNode("flags", 0, 1));
    Ref<SceneNode> loaded = test::RoundTrip(node.Get());
    ASSERT_TRUE(loaded);
    EXPECT_FALSE(loaded->GetLocalTransform().isIdentity);
    EXPECT_FALSE(loaded->GetLocalTransform().isRotationIdentity);
    EXPECT_EQ(loaded->GetLocalTransform().scale, identity.scale);
    EXPECT_EQ(loaded->GetLocalTransform().rotation, identity.rotation);
}

}  // namespace
}  // namespace zav
