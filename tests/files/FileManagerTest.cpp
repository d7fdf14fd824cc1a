#include <gtest/gtest.h>

#include <string>

#include "engine/core/Engine.h"
#include "engine/core/Log.h"
#include "engine/core/Result.h"
#include "engine/files/CodecManager.h"
#include "engine/files/Directory.h"
#include "engine/files/FileManager.h"
#include "engine/files/MemoryFile.h"
#include "engine/platform/Platform.h"
#include "tests/files/EngineRun.h"
#include "tests/support/LogCapture.h"
#include "tests/support/TestArchiveCodec.h"

namespace zav {
namespace {

TEST(FileManagerLifecycle, TheRootLivesBetweenStartAndStop) {
    test::LogCapture capture;
    ASSERT_EQ(EngineInit(), kOk);
    EXPECT_TRUE(capture.Has(kLogInfo, "Инициализация менеджера файлов."));
    EXPECT_TRUE(capture.Has(kLogInfo, "Менеджер файлов инициализирован."));
    ASSERT_NE(GetRoot(), nullptr);
    EXPECT_EQ(GetRoot()->GetName(), "");
    new Directory("Mounted", GetRoot());
    ASSERT_EQ(EngineShutdown(), kOk);
    EXPECT_EQ(GetRoot(), nullptr);
    EXPECT_TRUE(capture.Has(kLogInfo, "Завершение работы менеджера файлов."));
    EXPECT_TRUE(capture.Has(kLogInfo, "Удаляется директория [Mounted]."));
    EXPECT_TRUE(capture.Has(kLogInfo, "Менеджер файлов завершил работу."));
    EXPECT_EQ(FindFile("anything"), nullptr);
}

// The engine with the test archive codec registered and two archives held
// in resources, as the application mounts its media.
class Mounting : public test::EngineRun {
protected:
    void SetUp() override {
        test::EngineRun::SetUp();
        codec_ = new test::TestArchiveCodec();
        ASSERT_EQ(RegisterCodec(codec_.Get()), kOk);
        custom_ = test::TestArchiveCodec::Pack({{"preview.bmp", "custom preview"}, {"Main.STR", "custom scene"}});
        media_ = test::TestArchiveCodec::Pack(
            {{"Main.STR", "media scene"}, {"Textures/x.png", "pixels"}, {"Textures/Sky/x.png", "sky pixels"}});
        platform::RegisterBlob("MEDIADATA", 134, custom_.data(), custom_.size());
        platform::RegisterBlob("MEDIADATA", 227, media_.data(), media_.size());
    }
    void TearDown() override {
        platform::UnregisterBlob("MEDIADATA", 134);
        platform::UnregisterBlob("MEDIADATA", 227);
        codec_.Reset();
        test::EngineRun::TearDown();
    }

    Ref<Codec> codec_;
    std::string custom_;
    std::string media_;
};

TEST_F(Mounting, ResourceArchivesMountUnderTheRootAndAreSearchedInOrder) {
    ASSERT_EQ(MountResourceArchive(134, "CustomData.tpak", String()), kOk);
    ASSERT_EQ(MountResourceArchive(227, "Media.tpak", String()), kOk);
    Directory* root = GetRoot();
    ASSERT_EQ(root->GetDirectoryCount(), 2);
    EXPECT_EQ(root->GetSubdirectory(0)->GetName(), "Media.tpak");  // M before C
    EXPECT_EQ(root->GetSubdirectory(1)->GetName(), "CustomData.tpak");
    EXPECT_EQ(root->GetFileCount(), 0);  // the resource's file is gone

    EXPECT_EQ(test::ReadContent(FindFile("Main.STR")), "media scene");
    EXPECT_EQ(test::ReadContent(FindFile("CustomData.tpak/Main.STR")), "custom scene");
    EXPECT_EQ(test::ReadContent(FindFile("preview.bmp")), "custom preview");
    EXPECT_EQ(test::ReadContent(FindFile("Textures/Sky/x.png")), "sky pixels");
    File* sky = FindFile("Textures/Sky/x.png");
    EXPECT_EQ(sky->GetFullName(), "Media.tpak/Textures/Sky/x.png");
    EXPECT_EQ(FindFile(sky->GetFullName()), sky);
    EXPECT_EQ(FindFile("missing.bmp"), nullptr);
}

TEST_F(Mounting, FilesOfTheRootItselfAreNotSearched) {
    MemoryFile* loose = new MemoryFile("loose.txt");
    GetRoot()->AttachFile(loose);
    EXPECT_EQ(FindFile("loose.txt"), nullptr);
}

TEST_F(Mounting, LoadResourceChecksItsOutParameters) {
    test::LogCapture capture;
    const char* data = nullptr;
    int32_t size = 0;
    EXPECT_EQ(LoadResource(134, nullptr, &size), kNotFound);
    EXPECT_TRUE(capture.Has(kLogError, "Указатель на данные ресурса равен 0."));
    EXPECT_EQ(LoadResource(134, &data, nullptr), kNotFound);
    EXPECT_EQ(data, nullptr);
    ASSERT_EQ(LoadResource(134, &data, &size), kOk);
    EXPECT_EQ(data, custom_.data());  // not copied
    EXPECT_EQ(size, static_cast<int32_t>(custom_.size()));
}

TEST_F(Mounting, MountArchiveNeedsAFileAndAnArchiveCodec) {
    test::LogCapture capture;
    EXPECT_EQ(MountArchive(nullptr, String()), kNotFound);
    EXPECT_TRUE(capture.Has(kLogWarning, "Указатель на архив равен 0."));

    MemoryFile zip("data.zip");
    zip.SetBorrowedSource(media_.data(), static_cast<int32_t>(media_.size()));
    EXPECT_EQ(MountArchive(&zip, String()), kNotFound);
    EXPECT_TRUE(capture.Has(kLogWarning, "Не найден кодек для архива [data.zip]."));

    // The extension picks the scene codec, which cannot mount anything.
    ASSERT_EQ(LoadCodec("STRSceneCodec", nullptr), kOk);
    MemoryFile scene("scene.STR");
    scene.SetBorrowedSource(media_.data(), static_cast<int32_t>(media_.size()));
    EXPECT_EQ(MountArchive(&scene, String()), kNotFound);
    EXPECT_TRUE(capture.Has(kLogWarning, "Не найден кодек для архива [scene.STR]."));

    MemoryFile damaged("bad.tpak");
    damaged.SetBorrowedSource("name-without-size", 17);
    EXPECT_EQ(MountArchive(&damaged, String()), kFailed);
    EXPECT_TRUE(capture.Has(kLogError, "Невозможно загрузить директорию из архива [bad.tpak]."));
    EXPECT_EQ(GetRoot()->GetDirectoryCount(), 0);
}

TEST_F(Mounting, MembersKeepTheModuleOfTheirCodec) {
    Ref<BuiltinModule> module(new BuiltinModule("Packer"));
    module->AddSymbol("Shutdown", ToModuleSymbol(+[]() { return 0; }));
    codec_->SetModule(module.Get());
    ASSERT_EQ(MountResourceArchive(227, "Media.tpak", String()), kOk);
    auto* member = static_cast<MemoryFile*>(FindFile("Main.STR"));
    EXPECT_EQ(member->GetModule(), module.Get());
    EXPECT_EQ(module->RefCount(), 1 + 1 + 3);  // this test, the codec, three members
}

}  // namespace
}  // namespace zav
