// The caching step of the scene screensaver: every texture of the scene
// gets its device texture before the first frame, each once.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "app/SceneScreensaver.h"
#include "engine/core/Log.h"
#include "engine/files/CodecManager.h"
#include "engine/files/DiskFolder.h"
#include "engine/files/File.h"
#include "engine/files/SceneFile.h"
#include "engine/render/Texture.h"
#include "engine/render/effects/TextureEffect.h"
#include "engine/scene/SceneNode.h"
#include "tests/support/LogCapture.h"
#include "tests/win/DeviceFixture.h"

namespace zav {
namespace {

class CachingScreensaver : public SceneScreensaver {
public:
    using SceneScreensaver::CacheData;
    using SceneScreensaver::CreateData;
    using SceneScreensaver::DeleteData;
};

class CacheData : public test::DeviceFixture {};

TEST_F(CacheData, EveryTextureOfTheSceneIsUploadedOnceBeforeTheFirstFrame) {
    ASSERT_EQ(LoadCodec("STRSceneCodec", nullptr), kOk);
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string folder = std::string(temp) + "cache-data-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(folder.c_str(), nullptr);
    {
        // Two nodes share the texture "bricks"; a third has "slate".
        Ref<SceneNode> root(new SceneNode("root"));
        Ref<Texture> bricks(new Texture("bricks", Ref<Image>(new Image("a", RGB8, 4, 4)).Get()));
        Ref<Texture> slate(new Texture("slate", Ref<Image>(new Image("b", RGBA8, 2, 2)).Get()));
        for (Texture* texture : {bricks.Get(), bricks.Get(), slate.Get()}) {
            Ref<TextureEffect> effect(new TextureEffect());
            effect->SetTexture(texture);
            root->AddChild(MakeTriangles(effect.Get(), {{0, 0, 5}, {1, 0, 5}, {0, 1, 5}}, {0, 1, 2}).Get());
        }
        File file((folder + "\\Main.STR").c_str());
        ASSERT_EQ(SaveScene(&file, root.Get()), kOk);
    }
    ASSERT_EQ(MountDiskFolder(folder.c_str()), kOk);

    CachingScreensaver app;
    ASSERT_EQ(app.CreateData(), kOk);
    test::LogCapture log;
    log.Clear();
    ASSERT_EQ(app.CacheData(), kOk);
    const std::vector<std::string> texts = log.Texts();
    EXPECT_EQ(texts, (std::vector<std::string>{"Кеширование...", "bricks", "slate", "Кеширование закончено."}));
    Array<Object*> textures;
    app.GetScene()->CollectObjects(&Texture::StaticType(), textures);
    ASSERT_EQ(textures.Count(), 3);
    for (Object* texture : textures) {
        EXPECT_NE(static_cast<Texture*>(texture)->GetHandle(), nullptr) << texture->GetName().CStr();
        EXPECT_FALSE(static_cast<Texture*>(texture)->IsDirty());
    }
    EXPECT_EQ(renderer->GetDeviceObjectCount(), 2);
    app.DeleteData();
    DeleteFileA((folder + "\\Main.STR").c_str());
    RemoveDirectoryA(folder.c_str());
}

}  // namespace
}  // namespace zav
