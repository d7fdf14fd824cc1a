#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/DataFiles.h"
#include "app/SceneScreensaver.h"
#include "engine/animation/ScreensaverController.h"
#include "engine/core/Engine.h"
#include "engine/core/Log.h"
#include "engine/core/Result.h"
#include "engine/core/Stream.h"
#include "engine/files/CodecManager.h"
#include "engine/files/FileManager.h"
#include "engine/files/File.h"
#include "engine/platform/Platform.h"
#include "engine/scene/Camera.h"
#include "engine/scene/SceneNode.h"
#include "tests/support/LogCapture.h"
#include "tests/support/SampleClasses.h"
#include "tests/support/TestArchiveCodec.h"

namespace zav {
namespace {

// The engine with the tests' archive codec, which reads the archive held in
// this program's resource 1002.
class ResourceArchives : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(EngineInit(), kOk);
        ASSERT_EQ(RegisterCodec(new test::TestArchiveCodec()), kOk);
        ASSERT_EQ(LoadCodec("STRSceneCodec", nullptr), kOk);
    }
    void TearDown() override { EXPECT_EQ(EngineShutdown(), kOk); }
};

TEST_F(ResourceArchives, AnArchiveInTheExecutablesResourceMounts) {
    ASSERT_EQ(MountResourceArchive(1002, "Test.tpak", String()), kOk);
    EXPECT_EQ(test::ReadContent(FindFile("hello.txt")), "Hello, Wine!");
    EXPECT_EQ(test::ReadContent(FindFile("Test.tpak/docs/readme.txt")), "readme");
    EXPECT_EQ(test::ReadContent(FindFile("docs\\readme.txt")), "readme");

    const char* bytes = nullptr;
    int32_t size = 0;
    ASSERT_EQ(LoadResource(1001, &bytes, &size), kOk);
    EXPECT_EQ(std::string(bytes, static_cast<size_t>(size)), std::string("blob bytes\0", 11));
}

TEST_F(ResourceArchives, AMissingResourceFailsWithTwoMessages) {
    test::LogCapture capture;
    capture.Clear();
    EXPECT_EQ(MountResourceArchive(999, "Media.tpak", String()), kFailed);
    EXPECT_EQ(capture.Texts(), (std::vector<std::string>{"Невозможно найти ресурс ID[999].",
                                                         "Невозможно прочитать ресурс ID[999] Имя[Media.tpak]."}));
    EXPECT_TRUE(capture.Has(kLogError, "Невозможно найти ресурс ID[999]."));
    EXPECT_TRUE(capture.Has(kLogWarning, "Невозможно прочитать ресурс ID[999] Имя[Media.tpak]."));
}

TEST_F(ResourceArchives, DataFilesAreReadFromTheMountedArchives) {
    ASSERT_EQ(MountResourceArchive(1002, "Test.tpak", String()), kOk);
    std::string bytes;
    EXPECT_EQ(ReadDataFile("hello.txt", &bytes), kOk);
    EXPECT_EQ(bytes, "Hello, Wine!");
    test::LogCapture capture;
    EXPECT_EQ(ReadDataFile("preview.bmp", &bytes), kNotFound);
    EXPECT_TRUE(bytes.empty());
    EXPECT_TRUE(capture.Has(kLogError, "Не найден файл данных [preview.bmp]."));
}

// The screensaver's scene steps, open to the test.
class SceneApp : public SceneScreensaver {
public:
    using SceneScreensaver::CreateData;
    using SceneScreensaver::DeleteData;
    using SceneScreensaver::Update;
};

// A media archive whose "Main.STR" holds `scene`, mounted from a resource
// blob registered in place of the executable's own.
void MountMedia(const std::string& scene, std::string& archive) {
    archive = test::TestArchiveCodec::Pack({{"Scenes/Main.STR", scene}});
    platform::RegisterBlob("MEDIADATA", 227, archive.data(), archive.size());
    ASSERT_EQ(MountResourceArchive(227, "Media.tpak", String()), kOk);
    platform::UnregisterBlob("MEDIADATA", 227);
}

// The same with a "Main.STR" whose graph is `root`'s.
void MountSceneOf(Object* root, std::string& archive) {
    Stream stream(0, 1024);
    stream.WriteVersion(Version{0, 1, 2});
    stream.WriteObject(root);
    MountMedia(std::string(stream.GetData(), static_cast<size_t>(stream.GetPosition())), archive);
}

TEST_F(ResourceArchives, CreateDataLoadsTheSceneFileOfTheMedia) {
    Ref<test::SampleNode> root(new test::SampleNode("Root"));
    root->children.AddUnique(new test::SampleNode("Music"));
    std::string archive;
    MountSceneOf(root.Get(), archive);

    Ref<SceneApp> app(new SceneApp());
    ASSERT_EQ(app->CreateData(), kOk);
    ASSERT_NE(app->GetScene(), nullptr);
    EXPECT_NE(app->GetScene(), root.Get());
    EXPECT_EQ(app->GetScene()->GetName(), "Root");
    EXPECT_EQ(app->GetScreensaverController(), nullptr);  // the scene has none
    EXPECT_EQ(app->DeleteData(), kOk);
    EXPECT_EQ(app->GetScene(), nullptr);
}

TEST_F(ResourceArchives, TheScenesScreensaverControllerGivesTheFadeOfEveryFrame) {
    Ref<SceneNode> root(new SceneNode("Root"));
    Ref<Camera> camera(new Camera("Camera"));
    root->AddChild(camera.Get());
    Ref<ScreensaverController> shots(new ScreensaverController("Shots"));
    shots->AddSet(camera.Get(), 0.5, 3.0);  // one shot of 3 s, fading in after 0.5 s
    root->AddController(shots.Get());
    std::string archive;
    MountSceneOf(root.Get(), archive);

    Ref<SceneApp> app(new SceneApp());
    ASSERT_EQ(app->CreateData(), kOk);
    ASSERT_NE(app->GetScreensaverController(), nullptr);
    EXPECT_EQ(app->GetScreensaverController()->GetName(), "Shots");
    EXPECT_EQ(app->GetScreensaverController()->GetCurrentSet(), 0);
    EXPECT_EQ(app->GetFadeOpacity(), 0.0);
    const std::vector<std::pair<double, double>> frames = {{0.25, 1.25}, {0.75, 0.5}, {1.0, 0.0}, {0.6, 0.6}};
    for (const auto& [seconds, opacity] : frames) {
        EXPECT_EQ(app->Update(seconds), kOk);
        EXPECT_NEAR(app->GetFadeOpacity(), opacity, 1e-9) << seconds;
    }
    EXPECT_EQ(app->DeleteData(), kOk);
    EXPECT_EQ(app->GetScreensaverController(), nullptr);
    EXPECT_EQ(app->GetFadeOpacity(), 0.0);
}

TEST_F(ResourceArchives, CreateDataReportsAMissingOrDamagedSceneFile) {
    Ref<SceneApp> app(new SceneApp());
    test::LogCapture capture;
    EXPECT_EQ(app->CreateData(), kFailed);
    EXPECT_TRUE(capture.Has(kLogError, "Невозможно найти файл данных скринсейвера."));

    std::string archive;
    MountMedia(std::string("\0\0\0\0\1\0\0\0\2\0\0\0\x07", 13), archive);
    EXPECT_EQ(app->CreateData(), kFailed);
    EXPECT_TRUE(capture.Has(kLogError, "Неудачна загрузка сцены из файла [Media.tpak/Scenes/Main.STR]."));
    EXPECT_TRUE(capture.Has(kLogError, "Невозможно загрузить данные скринсейвера из файла."));
    EXPECT_EQ(app->GetScene(), nullptr);
}

}  // namespace
}  // namespace zav
