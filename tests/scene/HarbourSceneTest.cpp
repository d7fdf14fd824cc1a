// The scene that scenegen ships: it survives a save and load through the
// scene codec unchanged, and every part is well-formed geometry in view of
// the camera.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "engine/animation/AnimationController.h"
#include "engine/animation/CameraActivateAnimationController.h"
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
#include "engine/render/effects/Texture1DL1PLEffect.h"
#include "engine/render/effects/Texture1DLEffect.h"
#include "engine/scene/VectorMath.h"
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
        for (const char* codec : {"TGAImageCodec", "JPGImageCodec", "CUBEImageCodec"})
            ASSERT_EQ(LoadCodec(codec, nullptr), kOk);
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
    ASSERT_GE(parts.Count(), 12);  // flares, lines and points are not triangle lists
    for (Object* object : parts) {
        auto* part = static_cast<Triangles*>(object);
        SCOPED_TRACE(part->GetName().CStr());
        const int vertices = part->GetVertices()->GetCount();
        ASSERT_GT(vertices, 0);
        ASSERT_EQ(part->GetColors()->GetCount(), vertices);
        ASSERT_EQ(part->GetNormals()->GetCount(), vertices);
        ASSERT_NE(part->GetEffect(), nullptr);
        ASSERT_NE(part->GetTexCoords(0), nullptr);
        EXPECT_EQ(part->GetTexCoords(0)->GetCount(), vertices);
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

TEST_F(HarbourSceneTest, SolidPartsAreLitTexturesInTheMistAndLampsGlowWithTheirPicture) {
    Ref<SceneNode> scene = scenegen::BuildHarbourScene();
    auto* moon = ObjectCast<Light>(scene->FindObject("Moon"));
    ASSERT_NE(moon, nullptr);
    EXPECT_EQ(moon->lightKind, Light::kDirectional);
    EXPECT_LT(moon->GetDirection().y, -0.3f);  // shining down into the harbour
    for (const char* name : {"Water", "Quay", "Houses", "Pier", "LampPosts", "Boat", "Lighthouse", "Buoy"}) {
        auto* node = ObjectCast<GeometryNode>(scene->FindObject(name));
        ASSERT_NE(node, nullptr) << name;
        auto* effect = ObjectCast<TextureEffect>(node->GetEffect());
        ASSERT_NE(effect, nullptr) << name;
        auto* one = ObjectCast<Texture1DLEffect>(effect);
        auto* two = ObjectCast<Texture1DL1PLEffect>(effect);
        ASSERT_TRUE(one || two) << name;
        EXPECT_EQ(one ? one->GetDirectionalLight() : two->GetDirectionalLight(), moon) << name;
        if (two) EXPECT_NE(two->GetPointLight(), nullptr) << name;
        EXPECT_TRUE(effect->HasFog()) << name;
        auto* texture = ObjectCast<Texture>(effect->GetTexture());
        ASSERT_TRUE(texture && texture->GetImage() && texture->GetImage()->GetPixels()) << name;
        EXPECT_FALSE(texture->GetImage()->GetFileName().IsEmpty()) << name;
    }
    Array<Object*> flares;
    scene->CollectObjects(&Flare::StaticType(), flares);
    ASSERT_GE(flares.Count(), 5);
    for (Object* object : flares) {
        auto* sprite = ObjectCast<SpriteEffect>(static_cast<Flare*>(object)->GetEffect());
        ASSERT_NE(sprite, nullptr);
        EXPECT_TRUE(sprite->IsBlending());
        auto* glow = ObjectCast<Texture>(sprite->GetTexture());
        ASSERT_TRUE(glow && glow->GetImage());
        EXPECT_EQ(glow->GetImage()->GetFormat(), RGBA8);
    }
}

TEST_F(HarbourSceneTest, EightOrMoreShotsFlyTheirCamerasAndLookAtMovingPoints) {
    Ref<SceneNode> scene = scenegen::BuildHarbourScene();
    Array<Object*> controllers;
    scene->CollectObjects(&ScreensaverController::StaticType(), controllers);
    ASSERT_EQ(controllers.Count(), 1);
    auto* shots = static_cast<ScreensaverController*>(controllers[0]);
    ASSERT_GE(shots->GetSetCount(), 8);
    auto* water = ObjectCast<GeometryNode>(scene->FindObject("Water"));
    ASSERT_NE(water, nullptr);
    for (int32_t i = 0; i < shots->GetSetCount(); ++i) {
        const CameraSet& set = shots->GetSet(i);
        ASSERT_TRUE(set.camera && set.cameraController && set.targetController) << i;
        SCOPED_TRACE(set.camera->GetName().CStr());
        EXPECT_GE(set.storedDuration, 8.0);
        EXPECT_LE(set.storedDuration, 20.0);
        EXPECT_EQ(set.cameraController->GetPeriod(), set.storedDuration);
        EXPECT_EQ(set.targetController->GetPeriod(), set.storedDuration);
        // Half way through the shot the camera has moved and sees the water.
        const Vector3 start = set.camera->GetWorldPosition();
        set.cameraController->SetPhase(0.5);
        set.targetController->SetPhase(0.5);
        set.camera->UpdateSubtree(0.0, true);
        // (A camera whose activation controller holds its flight while another
        // camera is current stays: no renderer is current here.)
        bool held = false;
        set.camera->VisitControllers([&held](Object* controller) {
            held = held || ObjectCast<CameraActivateAnimationController>(controller);
            return true;
        });
        if (!held) EXPECT_GT(LengthSquared(set.camera->GetWorldPosition() - start), 1.0f);
        set.camera->UpdateMatrices();
        set.camera->SetCullMask(Camera::kAllPlanes);
        EXPECT_FALSE(set.camera->IsCulled(water->GetWorldVolume()));
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
        // JPEG keeps the picture, not its bytes.
        const std::string name = a->GetFileName().CStr();
        if (name.size() > 4 && name.compare(name.size() - 4, 4, ".jpg") == 0) continue;
        EXPECT_EQ(0, std::memcmp(b->GetPixels(), a->GetPixels(), static_cast<size_t>(a->GetDataSize()))) << name;
    }
}

}  // namespace
}  // namespace zav
