#include <gtest/gtest.h>

#include "engine/scene/BoundingVolume.h"
#include "engine/scene/Camera.h"
#include "engine/scene/GeometryNode.h"
#include "engine/scene/SceneNode.h"
#include "engine/scene/TransformMath.h"
#include "tests/scene/SceneTestSupport.h"
#include "tests/support/LogCapture.h"

namespace zav {
namespace {

using test::Int32Bytes;
using test::RecordHeader;
using test::TestGeometryEffect;
using test::TestSceneEffect;

class SceneNodeTest : public test::EngineFixture {
protected:
    // A geometry node drawn by a one-pass effect that records into the renderer.
    Ref<Points> Drawable(const char* name) {
        Ref<Points> node(new Points(name));
        Ref<TestGeometryEffect> effect(new TestGeometryEffect(name));
        effect->calls = &renderer->calls;
        node->SetEffect(effect.Get());
        return node;
    }

    Ref<test::RecordingRenderer> renderer{new test::RecordingRenderer()};
};

TEST_F(SceneNodeTest, ChildrenAreDrawnThroughEveryPassOfEveryEnabledEffect) {
    Ref<SceneNode> root(new SceneNode("root", 0, 4));
    root->AddChild(Drawable("a").Get());
    root->AddChild(nullptr);
    root->AddChild(Drawable("b").Get());
    root->Render(*renderer);
    EXPECT_EQ(renderer->CallsStartingWith("Draw"), (std::vector<std::string>{"DrawCurrent a", "DrawCurrent b"}));

    Ref<TestSceneEffect> first(new TestSceneEffect("first")), second(new TestSceneEffect("second"));
    first->passes = 2;
    first->failingPasses = {0};
    first->calls = second->calls = &renderer->calls;
    root->AddEffect(first.Get());
    root->AddEffect(second.Get());  // newest first
    root->AddEffect(first.Get());   // already listed: nothing changes
    EXPECT_EQ(root->GetEffectCount(), 2);
    EXPECT_EQ(root->GetEffect(0), second.Get());
    EXPECT_EQ(first->GetOwner(), root.Get());

    renderer->calls.clear();
    root->Render(*renderer);
    EXPECT_EQ(renderer->calls,
              (std::vector<std::string>{"ApplyPass second 0", "ApplyPass a 0", "DrawCurrent a", "ApplyPass b 0",
                                        "DrawCurrent b", "ApplyPass first 0", "ApplyPass first 1", "ApplyPass a 0",
                                        "DrawCurrent a", "ApplyPass b 0", "DrawCurrent b"}));

    // With every effect disabled nothing is drawn at all.
    first->Disable();
    second->Disable();
    renderer->calls.clear();
    root->Render(*renderer);
    EXPECT_TRUE(renderer->calls.empty());
}

TEST_F(SceneNodeTest, BlendedChildrenAreFlushedInsideEachSceneEffectPass) {
    Ref<SceneNode> root(new SceneNode("root", 0, 4));
    Ref<Points> glass = Drawable("glass");
    static_cast<TestGeometryEffect*>(glass->GetEffect())->SetBlending(true);
    root->AddChild(glass.Get());
    Ref<TestSceneEffect> wrap(new TestSceneEffect("wrap"));
    wrap->passes = 2;
    wrap->calls = &renderer->calls;
    root->AddEffect(wrap.Get());
    root->Render(*renderer);
    EXPECT_EQ(renderer->calls,
              (std::vector<std::string>{"ApplyPass wrap 0", "ApplyPass glass 0", "DrawCurrent glass",
                                        "ApplyPass wrap 1", "ApplyPass glass 0", "DrawCurrent glass"}));
    EXPECT_EQ(renderer->GetDeferredCount(), 0);
}

TEST_F(SceneNodeTest, UpdateRunsEffectsAndChildrenAndBuildsVolumesBottomUp) {
    Ref<SceneNode> root(new SceneNode("root", 0, 4));
    Ref<SceneNode> group(new SceneNode("group", 0, 4));
    Ref<Points> near = Drawable("near"), far = Drawable("far");
    Ref<Vector3Buffer> corner(new Vector3Buffer(2));
    (*corner)[1] = {2, 0, 0};
    near->SetVertices(corner.Get());
    far->SetVertices(corner.Get());
    near->UpdateLocalVolume();
    far->UpdateLocalVolume();
    far->SetLocalTransform(MakeTransform({1, 1, 1}, {}, {4, 0, 0}));
    root->AddChild(group.Get());
    group->AddChild(near.Get());
    group->AddChild(far.Get());
    Ref<TestSceneEffect> effect(new TestSceneEffect("fx"));
    root->AddEffect(effect.Get());

    root->UpdateSubtree(0.5, true);
    EXPECT_EQ(effect->animations, 1);
    EXPECT_EQ(static_cast<TestGeometryEffect*>(far->GetEffect())->animations, 1);
    auto* volume = static_cast<SphereBoundingVolume*>(root->GetWorldVolume());
    EXPECT_EQ(volume->GetCenter(), (Vector3{3, 0, 0}));
    EXPECT_EQ(volume->GetRadius(), 3.0f);

    // A single node updated on its own refreshes its ancestors' volumes.
    far->SetLocalTransform(MakeTransform({1, 1, 1}, {}, {8, 0, 0}));
    far->UpdateSubtree(0.0, true);
    EXPECT_EQ(volume->GetRadius(), 5.0f);

    // Null children leave the volume as it was.
    Ref<SceneNode> hollow(new SceneNode("hollow", 2, 0));
    static_cast<SphereBoundingVolume*>(hollow->GetWorldVolume())->Set({1, 1, 1}, 7);
    hollow->UpdateSubtree(0.0, true);
    EXPECT_EQ(static_cast<SphereBoundingVolume*>(hollow->GetWorldVolume())->GetRadius(), 7.0f);
}

TEST_F(SceneNodeTest, ChildArrayGrowsByItsIncrementOrNotAtAll) {
    Ref<SceneNode> fixed(new SceneNode("fixed", 1, 0));
    EXPECT_EQ(fixed->GetChildCount(), 1);
    EXPECT_EQ(fixed->SetChild(0, Drawable("only").Get()), kOk);
    EXPECT_EQ(fixed->AddChild(Drawable("more").Get()), kFailed);
    EXPECT_EQ(fixed->GetChildCount(), 1);

    Ref<SceneNode> growing(new SceneNode("growing", 0, 3));
    for (int i = 0; i < 4; ++i) growing->AddChild(nullptr);
    EXPECT_EQ(growing->GetChildCapacity(), 6);

    // A child replaced in its slot loses its parent.
    Ref<Points> old = Drawable("old");
    fixed->SetChild(0, old.Get());
    EXPECT_EQ(old->GetParent(), fixed.Get());
    fixed->SetChild(0, nullptr);
    EXPECT_EQ(old->GetParent(), nullptr);
}

TEST_F(SceneNodeTest, ASceneNodeRefusesItselfOrAnAncestorAsChild) {
    test::LogCapture capture;
    Ref<SceneNode> a(new SceneNode("a", 0, 2)), b(new SceneNode("b", 0, 2)), c(new SceneNode("c", 0, 2));
    EXPECT_EQ(a->AddChild(a.Get()), kFailed);
    ASSERT_EQ(a->AddChild(b.Get()), kOk);
    ASSERT_EQ(b->AddChild(c.Get()), kOk);
    EXPECT_EQ(c->AddChild(a.Get()), kFailed);
    EXPECT_EQ(c->AddChild(b.Get()), kFailed);
    EXPECT_EQ(c->GetChildCount(), 0);
    EXPECT_TRUE(capture.HasPrefix(kLogWarning, "Дочерний узел замыкает цикл в иерархии."));
    // Sharing a subtree is no cycle.
    Ref<SceneNode> d(new SceneNode("d", 0, 2));
    d->AddChild(c.Get());
    EXPECT_EQ(a->AddChild(d.Get()), kOk);
}

TEST_F(SceneNodeTest, DestructionClearsOnlyParentsThatPointAtIt) {
    Ref<Points> shared = Drawable("shared");
    Ref<SceneNode> second(new SceneNode("second", 0, 2));
    {
        Ref<SceneNode> first(new SceneNode("first", 0, 2));
        first->AddChild(shared.Get());
        second->AddChild(shared.Get());  // now the parent
        EXPECT_EQ(shared->GetParent(), second.Get());
    }
    EXPECT_EQ(shared->GetParent(), second.Get());
    second = nullptr;
    EXPECT_EQ(shared->GetParent(), nullptr);
}

TEST_F(SceneNodeTest, FindObjectSearchesDepthFirstAndCollectGathersEverything) {
    Ref<SceneNode> root(new SceneNode("root", 0, 2));
    Ref<SceneNode> left(new SceneNode("left", 0, 2));
    Ref<Points> twin1 = Drawable("twin"), twin2 = Drawable("twin2");
    twin2->SetName("twin");
    root->AddChild(left.Get());
    left->AddChild(twin1.Get());
    root->AddChild(twin2.Get());
    Ref<TestSceneEffect> effect(new TestSceneEffect("glow"));
    root->AddEffect(effect.Get());
    EXPECT_EQ(root->FindObject("twin"), twin1.Get());
    EXPECT_EQ(root->FindObject("glow"), effect.Get());
    EXPECT_EQ(root->FindObject("missing"), nullptr);
    Array<Object*> nodes;
    root->CollectObjects(&Node::StaticType(), nodes);
    EXPECT_EQ(nodes.Count(), 4);
    Array<Object*> volumes;
    root->CollectObjects(&BoundingVolume::StaticType(), volumes);
    EXPECT_EQ(volumes.Count(), 4 + 2);  // world volumes, and the two local ones
}

TEST_F(SceneNodeTest, RecordKeepsEffectsChildrenNullSlotsAndIncrement) {
    Ref<SceneNode> root(new SceneNode("root", 0, 5));
    Ref<TestSceneEffect> first(new TestSceneEffect("first")), second(new TestSceneEffect("second"));
    root->AddEffect(first.Get());
    root->AddEffect(second.Get());
    root->AddChild(Drawable("a").Get());
    root->AddChild(nullptr);
    Ref<SceneNode> inner(new SceneNode("inner", 0, 0));
    root->AddChild(inner.Get());
    root->SetUpdateWorldVolume(false);

    Ref<SceneNode> loaded = test::RoundTrip(root.Get());
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->GetName(), "root");
    EXPECT_FALSE(loaded->GetUpdateWorldVolume());
    ASSERT_EQ(loaded->GetChildCount(), 3);
    EXPECT_EQ(loaded->GetChild(1), nullptr);
    EXPECT_EQ(loaded->GetGrowthIncrement(), 5);
    EXPECT_EQ(loaded->GetChild(0)->GetParent(), loaded.Get());
    // Written head first and added at the head again: the file order is the
    // reverse of the list after loading.
    ASSERT_EQ(loaded->GetEffectCount(), 2);
    EXPECT_EQ(loaded->GetEffect(0)->GetName(), "first");
    EXPECT_EQ(loaded->GetEffect(0)->GetOwner(), loaded.Get());
    auto* loadedInner = ObjectCast<SceneNode>(loaded->GetChild(2));
    ASSERT_NE(loadedInner, nullptr);
    EXPECT_EQ(loadedInner->GetChildCount(), 0);
    EXPECT_EQ(loadedInner->GetChildCapacity(), 0);
    EXPECT_EQ(loadedInner->GetGrowthIncrement(), 0);
}

// A scene node record after its Node part: no effects, the children given.
std::string SceneNodeTail(const std::vector<std::string>& children, int32_t increment = 2) {
    std::string tail = Int32Bytes(0) + Int32Bytes(static_cast<int32_t>(children.size())) + Int32Bytes(increment);
    for (const std::string& child : children) tail += child;
    return tail;
}

TEST_F(SceneNodeTest, ReferencesOfTheWrongClassFailWithTheFieldMessage) {
    test::LogCapture capture;
    int state = 0;
    // A child that is a buffer.
    std::string buffer = RecordHeader(2, "ZAV.IntBuffer") + test::EmptyObjectRecord() + Int32Bytes(0);
    std::string bytes =
        RecordHeader(1, "ZAV.SceneNode") + test::EmptyObjectRecord() + test::NodeRecord() + SceneNodeTail({buffer});
    EXPECT_FALSE(test::LoadFromBytes(bytes, &state));
    EXPECT_TRUE(capture.HasPrefix(kLogError, "Невозможно загрузить дочерний узел. ID["));

    // A parent that is a camera.
    capture.Clear();
    std::string camera = RecordHeader(2, "ZAV.Camera") + test::EmptyObjectRecord() + test::NodeRecord() +
                         test::FloatBytes(1) + test::FloatBytes(1) + test::FloatBytes(100);
    bytes = RecordHeader(1, "ZAV.SceneNode") + test::EmptyObjectRecord() + test::NodeRecord(camera) + SceneNodeTail({});
    EXPECT_FALSE(test::LoadFromBytes(bytes, &state));
    EXPECT_TRUE(capture.HasPrefix(kLogError, "Невозможно загрузить родителя. ID["));

    // Hostile counts.
    capture.Clear();
    bytes = RecordHeader(1, "ZAV.SceneNode") + test::EmptyObjectRecord() + test::NodeRecord() + Int32Bytes(0) +
            Int32Bytes(1000000) + Int32Bytes(2) + Int32Bytes(-1);
    EXPECT_FALSE(test::LoadFromBytes(bytes, &state));
    EXPECT_TRUE(capture.HasPrefix(kLogError, "Невозможно загрузить количество дочерних узлов."));
    bytes = RecordHeader(1, "ZAV.SceneNode") + test::EmptyObjectRecord() + test::NodeRecord() + Int32Bytes(-3);
    EXPECT_FALSE(test::LoadFromBytes(bytes, &state));
    EXPECT_TRUE(capture.HasPrefix(kLogError, "Невозможно загрузить количество эффектов."));
}

TEST_F(SceneNodeTest, LoadedChildrenPointAtTheNodeThatHoldsThem) {
    test::LogCapture capture;
    // The child's own record names no parent; the scene node adopts it and
    // warns. A negative increment reads as 0.
    std::string child =
        RecordHeader(2, "ZAV.SceneNode") + test::EmptyObjectRecord() + test::NodeRecord() + SceneNodeTail({});
    std::string bytes =
        RecordHeader(1, "ZAV.SceneNode") + test::EmptyObjectRecord() + test::NodeRecord() + SceneNodeTail({child}, -4);
    int state = -1;
    Ref<Object> loaded = test::LoadFromBytes(bytes, &state);
    ASSERT_EQ(state, kOk);
    auto* root = ObjectCast<SceneNode>(loaded.Get());
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->GetGrowthIncrement(), 0);
    EXPECT_EQ(root->GetChild(0)->GetParent(), root);
    EXPECT_TRUE(capture.HasPrefix(kLogWarning, "Родитель узла в файле отличается от содержащего его узла."));

    // A node whose record names a parent that does not hold it keeps none,
    // and that parent, held by nothing, is freed after the read.
    capture.Clear();
    const int liveBefore = test::CountedSceneNode::live;
    std::string stranger =
        RecordHeader(3, "ZAV.CountedSceneNode") + test::EmptyObjectRecord() + test::NodeRecord() + SceneNodeTail({});
    std::string orphan =
        RecordHeader(2, "ZAV.SceneNode") + test::EmptyObjectRecord() + test::NodeRecord(stranger) + SceneNodeTail({});
    bytes = RecordHeader(1, "ZAV.SceneNode") + test::EmptyObjectRecord() + test::NodeRecord() + Int32Bytes(0) +
            Int32Bytes(1) + Int32Bytes(2) + orphan;
    loaded = test::LoadFromBytes(bytes, &state);
    ASSERT_EQ(state, kOk);
    root = ObjectCast<SceneNode>(loaded.Get());
    EXPECT_EQ(root->GetChild(0)->GetParent(), root);
    EXPECT_TRUE(capture.HasPrefix(kLogWarning, "Родитель узла в файле не содержит его среди дочерних узлов."));
    EXPECT_EQ(test::CountedSceneNode::live, liveBefore);

    // Read on its own, a child whose record brings in its parent comes back
    // without it: the parent is freed and lets go of the child.
    Ref<SceneNode> parent(new SceneNode("parent", 0, 1));
    Ref<SceneNode> inner(new SceneNode("inner", 0, 1));
    parent->AddChild(inner.Get());
    Ref<SceneNode> alone = test::RoundTrip(inner.Get());
    ASSERT_TRUE(alone);
    EXPECT_EQ(alone->GetParent(), nullptr);
    EXPECT_EQ(alone->RefCount(), 1);
}

TEST_F(SceneNodeTest, FilesThatListAnAncestorAsChildAreRefused) {
    test::LogCapture capture;
    int state = 0;
    // The root lists itself.
    std::string bytes = RecordHeader(1, "ZAV.SceneNode") + test::EmptyObjectRecord() + test::NodeRecord() +
                        SceneNodeTail({Int32Bytes(1)});
    EXPECT_FALSE(test::LoadFromBytes(bytes, &state));
    EXPECT_NE(state, kOk);
    EXPECT_TRUE(capture.HasPrefix(kLogError, "Дочерний узел замыкает цикл в иерархии."));
    // The child lists the root.
    std::string child = RecordHeader(2, "ZAV.SceneNode") + test::EmptyObjectRecord() + test::NodeRecord(Int32Bytes(1)) +
                        SceneNodeTail({Int32Bytes(1)});
    bytes = RecordHeader(1, "ZAV.SceneNode") + test::EmptyObjectRecord() + test::NodeRecord() + SceneNodeTail({child});
    capture.Clear();
    EXPECT_FALSE(test::LoadFromBytes(bytes, &state));
    EXPECT_TRUE(capture.HasPrefix(kLogError, "Дочерний узел замыкает цикл в иерархии."));
}

}  // namespace
}  // namespace zav
