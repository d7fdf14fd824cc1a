#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <random>
#include <vector>

#include "engine/animation/SkinController.h"
#include "engine/animation/Skinning.h"
#include "engine/scene/BoundingVolume.h"
#include "engine/scene/GeometryNode.h"
#include "engine/scene/SceneNode.h"
#include "engine/scene/TransformMath.h"
#include "tests/scene/SceneTestSupport.h"

namespace zav {
namespace {

TEST(Skinning, PlainAndPackedRoutinesAgreeForAffineBones) {
    std::mt19937 random(3);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f), offset(-5.0f, 5.0f);
    std::vector<Matrix4> matrices;
    for (int i = 0; i < 6; ++i)
        matrices.push_back(
            ToMatrix(MakeTransform({0.5f + unit(random), 0.5f + unit(random), 0.5f + unit(random)},
                                   test::RandomRotation(random), {offset(random), offset(random), offset(random)})));
    const int count = 257;
    std::vector<Vector3> sources(count), plain(count), packed(count);
    std::vector<Vector4> weights(count), bones(count);
    for (int v = 0; v < count; ++v) {
        sources[v] = {offset(random), offset(random), offset(random)};
        // Some weights 0 (skipped unless first), some bones out of range.
        weights[v] = {unit(random), v % 3 ? unit(random) : 0.0f, unit(random), v % 5 ? 0.0f : unit(random)};
        bones[v] = {float(v % 6), float((v + 1) % 6), v % 7 ? float((v + 2) % 6) : 6.5f, v % 11 ? 3.0f : -1.0f};
    }
    bones[10].x = NAN;
    SkinningJob job;
    job.sources = sources.data();
    job.vertexCount = count;
    job.weights = weights.data();
    job.boneIndices = bones.data();
    job.matrices = matrices.data();
    job.matrixCount = 6;
    job.targets = plain.data();
    SkinPlain(job);
    job.targets = packed.data();
    SkinPacked(job);
    for (int v = 0; v < count; ++v) {
        ASSERT_NEAR(plain[v].x, packed[v].x, 1e-3f) << v;
        ASSERT_NEAR(plain[v].y, packed[v].y, 1e-3f) << v;
        ASSERT_NEAR(plain[v].z, packed[v].z, 1e-3f) << v;
    }
    // One bone of weight 1 moves the vertex exactly as the bone does.
    Vector3 expected = TransformCoordinate(matrices[2], sources[2]);
    weights[2] = {1, 0, 0, 0};
    bones[2] = {2, 0, 0, 0};
    job.targets = packed.data();
    SkinPacked(job);
    EXPECT_NEAR(packed[2].x, expected.x, 1e-4f);
}

class SkinControllerTest : public test::EngineFixture {
protected:
    void SetUp() override {
        EngineFixture::SetUp();
        mesh = new Triangles("mesh");
        source = new Vector3Buffer(2);
        (*source)[0] = {1, 0, 0};
        (*source)[1] = {0, 1, 0};
        mesh->SetVertices(new Vector3Buffer(2));
        weights = new Vector4Buffer(2);
        (*weights)[0] = {1, 0, 0, 0};
        (*weights)[1] = {0.5f, 0.5f, 0, 0};
        indices = new Vector4Buffer(2);
        (*indices)[0] = {0, 0, 0, 0};
        (*indices)[1] = {0, 1, 0, 0};
        skin = new SkinController("skin");
        skin->SetSourceVertices(source.Get());
        skin->SetWeights(weights.Get());
        skin->SetBoneIndices(indices.Get());
        for (float x : {10.0f, 20.0f}) {
            Ref<SceneNode> bone(new SceneNode("bone", 0, 1));
            bone->SetLocalTransform(MakeTransform({1, 1, 1}, {}, {x, 0, 0}));
            bone->UpdateSubtree(0.0, true);
            bones.push_back(bone);
            skin->AddBone(bone.Get(), Transform());
        }
        mesh->AddController(skin.Get());
    }

    Ref<Triangles> mesh;
    Ref<Vector3Buffer> source;
    Ref<Vector4Buffer> weights, indices;
    Ref<SkinController> skin;
    std::vector<Ref<SceneNode>> bones;
};

TEST_F(SkinControllerTest, VerticesMoveIntoWorldSpaceAndTheBoundsFollowTheBones) {
    mesh->SetLocalTransform(MakeTransform({1, 1, 1}, {}, {100, 0, 0}));
    mesh->UpdateSubtree(0.0, true);
    EXPECT_EQ((*mesh->GetVertices())[0], (Vector3{11, 0, 0}));
    EXPECT_EQ((*mesh->GetVertices())[1], (Vector3{15, 1, 0}));
    EXPECT_TRUE(mesh->GetWorldTransform().isIdentity);
    EXPECT_FALSE(mesh->GetUpdateWorldTransform());
    EXPECT_FALSE(mesh->GetUpdateWorldVolume());
    auto* bound = static_cast<SphereBoundingVolume*>(mesh->GetWorldVolume());
    EXPECT_EQ(bound->GetCenter(), (Vector3{15, 0, 0}));
    EXPECT_EQ(bound->GetRadius(), 7.5f);
    EXPECT_EQ((*skin->GetBonePositions())[1], (Vector3{20, 0, 0}));
    EXPECT_EQ(skin->GetBoneMatrix(1).m[3][0], 20.0f);
}

TEST_F(SkinControllerTest, MismatchedOrMissingInputsChangeNothing) {
    mesh->SetVertices(new Vector3Buffer(3));
    mesh->UpdateSubtree(0.0, true);
    EXPECT_EQ((*mesh->GetVertices())[0], (Vector3{0, 0, 0}));
    EXPECT_TRUE(mesh->GetUpdateWorldTransform());

    mesh->SetVertices(new Vector3Buffer(2));
    skin->SetWeights(new Vector4Buffer(1));  // shorter than the vertices
    mesh->UpdateSubtree(0.0, true);
    EXPECT_EQ((*mesh->GetVertices())[1], (Vector3{0, 0, 0}));
    skin->SetWeights(new ColorBuffer(2));  // four floats, but not weights
    mesh->UpdateSubtree(0.0, true);
    EXPECT_EQ((*mesh->GetVertices())[1], (Vector3{0, 0, 0}));
    skin->SetWeights(weights.Get());
    skin->SetSourceVertices(new Vector4Buffer(2));
    mesh->UpdateSubtree(0.0, true);
    EXPECT_EQ((*mesh->GetVertices())[1], (Vector3{0, 0, 0}));
}

TEST_F(SkinControllerTest, BadBonesCountAsIdentityOrAreSkipped) {
    // A bone index past the bones and a null bone.
    (*indices)[1] = {0, 7, 0, 0};
    skin->ClearBones();
    skin->AddBone(nullptr, MakeTransform({1, 1, 1}, {}, {0, 0, 5}));
    mesh->UpdateSubtree(0.0, true);
    EXPECT_EQ((*mesh->GetVertices())[0], (Vector3{1, 0, 5}));
    EXPECT_EQ((*mesh->GetVertices())[1], (Vector3{0, 0.5f, 2.5f}));
    // One bone says nothing about the extent: the mesh is never culled.
    auto* bound = static_cast<SphereBoundingVolume*>(mesh->GetWorldVolume());
    EXPECT_EQ(bound->GetRadius(), FLT_MAX);
}

TEST_F(SkinControllerTest, InactiveControllersBuildMatricesAndBoundsButLeaveVertices) {
    skin->SetActive(false);
    mesh->UpdateSubtree(0.0, true);
    EXPECT_EQ((*mesh->GetVertices())[0], (Vector3{0, 0, 0}));
    EXPECT_EQ(skin->GetBoneMatrix(0).m[3][0], 10.0f);
    EXPECT_FALSE(mesh->GetUpdateWorldVolume());
    EXPECT_TRUE(mesh->GetUpdateWorldTransform());
    EXPECT_EQ(static_cast<SphereBoundingVolume*>(mesh->GetWorldVolume())->GetRadius(), 7.5f);
}

TEST_F(SkinControllerTest, RecordRoundTripsBonesOffsetsAndBuffers) {
    Ref<SceneNode> root(new SceneNode("root", 0, 4));
    root->AddChild(bones[0].Get());
    root->AddChild(bones[1].Get());
    root->AddChild(mesh.Get());
    skin->SetSourceNormals(new Vector3Buffer(2));
    Ref<SceneNode> loaded = test::RoundTrip(root.Get());
    ASSERT_TRUE(loaded);
    auto* loadedMesh = ObjectCast<Triangles>(loaded->GetChild(2));
    ASSERT_NE(loadedMesh, nullptr);
    auto* loadedSkin = ObjectCast<SkinController>(loadedMesh->GetController(0));
    ASSERT_NE(loadedSkin, nullptr);
    EXPECT_EQ(loadedSkin->GetBoneCount(), 2);
    EXPECT_EQ(loadedSkin->GetBone(1), loaded->GetChild(1));
    EXPECT_EQ(loadedSkin->GetBoneMatrixCount(), 2);
    EXPECT_EQ(loadedSkin->GetBonePositions()->GetCount(), 2);
    EXPECT_NE(loadedSkin->GetSourceNormals(), nullptr);
    EXPECT_EQ(loadedSkin->GetSourceTangents(), nullptr);
    loaded->UpdateSubtree(0.0, true);
    EXPECT_EQ((*loadedMesh->GetVertices())[1], (Vector3{15, 1, 0}));

    // A bone count larger than the bytes that follow is refused.
    std::string bytes = test::SaveToBytes(skin.Get());
    size_t count = bytes.find("ZAV.SkinController") + 18 + 4 + 4 + 4 + 1;  // name, controllers, active flag
    ASSERT_EQ(bytes.substr(count, 4), test::Int32Bytes(2));
    bytes.replace(count, 4, test::Int32Bytes(1000));
    int state = 0;
    EXPECT_FALSE(test::LoadFromBytes(bytes, &state));
}

TEST_F(SkinControllerTest, AFailedReadFreesABoneThatLeadsBackToTheMesh) {
    // The skeleton's root holds the mesh, the mesh holds the skin, the skin
    // holds the skeleton's root: a cycle a file can describe.
    Ref<test::CountedSceneNode> skeleton(new test::CountedSceneNode("skeleton"));
    skeleton->AddChild(mesh.Get());
    skin->ClearBones();
    skin->AddBone(skeleton.Get(), Transform());
    std::string bytes = test::SaveToBytes(skin.Get());
    const int live = test::CountedSceneNode::live;

    int state = 0;
    EXPECT_FALSE(test::LoadFromBytes(bytes.substr(0, bytes.size() - 1), &state));
    EXPECT_NE(state, kOk);
    EXPECT_EQ(test::CountedSceneNode::live, live);

    // Read whole, the cycle stands until someone lets go of it.
    Ref<SkinController> loaded(ObjectCast<SkinController>(test::LoadFromBytes(bytes).Get()));
    ASSERT_TRUE(loaded);
    EXPECT_EQ(test::CountedSceneNode::live, live + 1);
    loaded->DropReferences();
    EXPECT_EQ(test::CountedSceneNode::live, live);
    skin->ClearBones();
}

}  // namespace
}  // namespace zav
