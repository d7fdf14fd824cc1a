// The scene that scenegen ships: it survives a save and load through the
// scene codec unchanged, and every part is well-formed geometry in view of
// the camera.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "engine/animation/ScreensaverController.h"
#include "engine/core/Engine.h"
#include "engine/core/Result.h"
#include "engine/files/CodecManager.h"
#include "engine/files/DiskFolder.h"
#include "engine/files/File.h"
#include "engine/files/SceneFile.h"
#include "engine/render/Image.h"
#include "engine/render/Texture.h"
#include "engine/render/effects/SpriteEffect.h"
#include "engine/render/effects/Texture1DLEffect.h"
#include "engine/scene/BoundingVolume.h"
#include "engine/scene/Buffer.h"
#include "engine/scene/Camera.h"
#include "engine/scene/Flare.h"
#include "engine/scene/GeometryNode.h"
#include "engine/scene/Light.h"
#include "tools/scenegen/HarbourScene.h"
#include "tools/scenegen/ScenePictures.h"

namespace zav {
namespace {

class HarbourSceneTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(EngineInit(), kOk);
        ASSERT_EQ(LoadCodec("STRSceneCodec", nullptr), kOk);
        ASSERT_EQ(LoadCodec("TGAImageCodec", nullptr), kOk);
    }
    void TearDown() override { EngineShutdown(); }

    // Saves `scene` and its pictures into a folder named after the running
    // test, mounts the folder (so that the pictures are found by the names
    // the scene gives them) and loads the scene back.
    Ref<Object> RoundTrip(Object* scene) {
        const std::string folder =
            std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + ".scene";
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
        const std::string path = folder + "/Main.STR";
        File out(path.c_str());
        EXPECT_EQ(SaveScene(&out, scene), kOk);
        EXPECT_TRUE(scenegen::WriteScenePictures(*scene, folder));
        EXPECT_EQ(MountDiskFolder(folder.c_str()), kOk);
        File in(path.c_str());
        Object* loaded = nullptr;
        EXPECT_EQ(LoadScene(&in, &loaded), kOk);
        std::filesystem::remove_all(folder);
        return Ref<Object>(loaded);
    }
};

TEST_F(HarbourSceneTest, EveryPartIsIndexedGeometryWithColoursAndUnitNormals) {
    Ref<SceneNode> scene = scenegen::BuildHarbourScene();
    Array<Object*> parts;
    scene->CollectObjects(&Triangles::StaticType(), parts);
    ASSERT_EQ(parts.Count(), 6);  // flares are not triangle lists
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

TEST_F(HarbourSceneTest, SolidPartsAreMoonLitTexturesAndLampsGlowWithTheirPicture) {
    Ref<SceneNode> scene = scenegen::BuildHarbourScene();
    auto* moon = ObjectCast<Light>(scene->FindObject("Moon"));
    ASSERT_NE(moon, nullptr);
    EXPECT_EQ(moon->lightKind, Light::kDirectional);
    // Shining down into the harbour.
    EXPECT_LT(moon->GetDirection().y, -0.3f);
    for (const char* name : {"Water", "Quay", "Pier", "LampPosts", "Boat", "Lighthouse"}) {
        auto* node = ObjectCast<GeometryNode>(scene->FindObject(name));
        ASSERT_NE(node, nullptr) << name;
        auto* effect = ObjectCast<Texture1DLEffect>(node->GetEffect());
        ASSERT_NE(effect, nullptr) << name;
        EXPECT_EQ(effect->GetDirectionalLight(), moon) << name;
        EXPECT_TRUE(effect->HasFog()) << name;
        auto* texture = ObjectCast<Texture>(effect->GetTexture());
        ASSERT_TRUE(texture && texture->GetImage() && texture->GetImage()->GetPixels()) << name;
        EXPECT_FALSE(texture->GetImage()->GetFileName().IsEmpty()) << name;
        ASSERT_NE(node->GetTexCoords(0), nullptr) << name;
        EXPECT_EQ(node->GetTexCoords(0)->GetCount(), node->GetVertices()->GetCount()) << name;
    }
    Array<Object*> flares;
    scene->CollectObjects(&Flare::StaticType(), flares);
    ASSERT_GE(flares.Count(), 2);
    for (Object* object : flares) {
        auto* sprite = ObjectCast<SpriteEffect>(static_cast<Flare*>(object)->GetEffect());
        ASSERT_NE(sprite, nullptr);
        auto* glow = ObjectCast<Texture>(sprite->GetTexture());
        ASSERT_TRUE(glow && glow->GetImage());
        EXPECT_EQ(glow->GetImage()->GetFormat(), RGBA8);
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
    // The screensaver shows the scene through it.
    Array<Object*> shots;
    scene->CollectObjects(&ScreensaverController::StaticType(), shots);
    ASSERT_EQ(shots.Count(), 1);
    ASSERT_EQ(static_cast<ScreensaverController*>(shots[0])->GetSetCount(), 1);
    EXPECT_EQ(static_cast<ScreensaverController*>(shots[0])->GetSet(0).camera.Get(), camera);
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
        if (!original->IsKindOf(&Triangles::StaticType())) continue;
        auto* a = static_cast<GeometryNode*>(original);
        auto* b = static_cast<GeometryNode*>(copy);
        ASSERT_EQ(b->GetVertices()->GetDataSize(), a->GetVertices()->GetDataSize());
        EXPECT_EQ(0, std::memcmp(b->GetVertices()->GetData(), a->GetVertices()->GetData(),
                                 static_cast<size_t>(a->GetVertices()->GetDataSize())));
        ASSERT_EQ(b->GetIndices()->GetDataSize(), a->GetIndices()->GetDataSize());
        EXPECT_EQ(0, std::memcmp(b->GetIndices()->GetData(), a->GetIndices()->GetData(),
                                 static_cast<size_t>(a->GetIndices()->GetDataSize())));
    }
    // The pictures come back from their files, pixel for pixel.
    Array<Object*> before, after;
    scene->CollectObjects(&Image::StaticType(), before);
    loaded->CollectObjects(&Image::StaticType(), after);
    ASSERT_EQ(after.Count(), before.Count());
    for (int32_t i = 0; i < before.Count(); ++i) {
        auto* a = static_cast<Image*>(before[i]);
        auto* b = static_cast<Image*>(after[i]);
        ASSERT_EQ(b->GetFileName(), a->GetFileName());
        ASSERT_EQ(b->GetDataSize(), a->GetDataSize()) << a->GetFileName().CStr();
        EXPECT_EQ(0, std::memcmp(b->GetPixels(), a->GetPixels(), static_cast<size_t>(a->GetDataSize())))
            << a->GetFileName().CStr();
    }
}

}  // namespace
}  // namespace zav
