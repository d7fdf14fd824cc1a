// The scene that scenegen ships: it survives a save and load through the
// scene codec unchanged, and every part is well-formed geometry in view of
// the camera.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "engine/core/Engine.h"
#include "engine/core/Result.h"
#include "engine/files/CodecManager.h"
#include "engine/files/File.h"
#include "engine/files/SceneFile.h"
#include "engine/scene/BoundingVolume.h"
#include "engine/scene/Buffer.h"
#include "engine/scene/Camera.h"
#include "engine/scene/GeometryNode.h"
#include "tools/scenegen/HarbourScene.h"

namespace zav {
namespace {

class HarbourSceneTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(EngineInit(), kOk);
        ASSERT_EQ(LoadCodec("STRSceneCodec", nullptr), kOk);
    }
    void TearDown() override { EngineShutdown(); }

    // Saves `scene` into a file named after the running test and loads it.
    Ref<Object> RoundTrip(Object* scene) {
        const std::string path =
            std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + ".STR";
        File out(path.c_str());
        EXPECT_EQ(SaveScene(&out, scene), kOk);
        File in(path.c_str());
        Object* loaded = nullptr;
        EXPECT_EQ(LoadScene(&in, &loaded), kOk);
        std::remove(path.c_str());
        return Ref<Object>(loaded);
    }
};

TEST_F(HarbourSceneTest, EveryPartIsIndexedGeometryWithColoursAndUnitNormals) {
    Ref<SceneNode> scene = scenegen::BuildHarbourScene();
    Array<Object*> parts;
    scene->CollectObjects(&Triangles::StaticType(), parts);
    ASSERT_EQ(parts.Count(), 5);
    for (Object* object : parts) {
        auto* part = static_cast<Triangles*>(object);
        SCOPED_TRACE(part->GetName().CStr());
        const int vertices = part->GetVertices()->GetCount();
        ASSERT_GT(vertices, 0);
        ASSERT_EQ(part->GetColors()->GetCount(), vertices);
        ASSERT_EQ(part->GetNormals()->GetCount(), vertices);
        const IntBuffer* indices = part->GetIndices();
        ASSERT_GT(indices->GetCount(), 0);
        EXPECT_EQ(indices->GetCount() % 3, 0);
        for (int i = 0; i < indices->GetCount(); ++i) {
            ASSERT_GE((*indices)[i], 0);
            ASSERT_LT((*indices)[i], vertices);
        }
        for (int i = 0; i < vertices; ++i) {
            const Vector3& n = (*part->GetNormals())[i];
            ASSERT_NEAR(std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z), 1.0f, 1e-4f);
        }
    }
}

TEST_F(HarbourSceneTest, TheCameraSeesTheLighthouseAndTheBoat) {
    Ref<SceneNode> scene = scenegen::BuildHarbourScene();
    auto* camera = static_cast<Camera*>(scene->FindObject("Camera"));
    ASSERT_NE(camera, nullptr);
    ASSERT_TRUE(camera->IsKindOf(&Camera::StaticType()));
    // Looking forward and slightly down.
    const Vector3 forward = camera->WorldAxis(2);
    EXPECT_GT(forward.z, 0.9f);
    EXPECT_LT(forward.y, 0.0f);
    camera->UpdateMatrices();
    for (const char* name : {"Lighthouse", "Boat", "Water"}) {
        auto* node = static_cast<GeometryNode*>(scene->FindObject(name));
        ASSERT_NE(node, nullptr) << name;
        camera->SetCullMask(Camera::kAllPlanes);
        EXPECT_FALSE(camera->IsCulled(node->GetWorldVolume())) << name;
    }
}

TEST_F(HarbourSceneTest, SavedAndLoadedTheSceneKeepsItsNodesAndBuffers) {
    Ref<SceneNode> scene = scenegen::BuildHarbourScene();
    Ref<Object> loaded = RoundTrip(scene.Get());
    ASSERT_TRUE(loaded);
    ASSERT_TRUE(loaded->IsKindOf(&SceneNode::StaticType()));
    EXPECT_EQ(loaded->GetName(), "Harbour");
    auto* root = static_cast<SceneNode*>(loaded.Get());
    ASSERT_EQ(root->GetChildCount(), scene->GetChildCount());
    for (int32_t i = 0; i < root->GetChildCount(); ++i) {
        Node* original = scene->GetChild(i);
        Node* copy = root->GetChild(i);
        ASSERT_NE(copy, nullptr);
        EXPECT_EQ(copy->GetName(), original->GetName());
        EXPECT_EQ(copy->GetType(), original->GetType());
        EXPECT_EQ(copy->GetLocalTransform().translation, original->GetLocalTransform().translation);
        if (!original->IsKindOf(&GeometryNode::StaticType())) continue;
        auto* a = static_cast<GeometryNode*>(original);
        auto* b = static_cast<GeometryNode*>(copy);
        ASSERT_EQ(b->GetVertices()->GetDataSize(), a->GetVertices()->GetDataSize());
        EXPECT_EQ(0, std::memcmp(b->GetVertices()->GetData(), a->GetVertices()->GetData(),
                                 static_cast<size_t>(a->GetVertices()->GetDataSize())));
        ASSERT_EQ(b->GetIndices()->GetDataSize(), a->GetIndices()->GetDataSize());
        EXPECT_EQ(0, std::memcmp(b->GetIndices()->GetData(), a->GetIndices()->GetData(),
                                 static_cast<size_t>(a->GetIndices()->GetDataSize())));
    }
}

}  // namespace
}  // namespace zav
