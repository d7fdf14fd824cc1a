#include <gtest/gtest.h>

#include <new>

#include "engine/core/Log.h"
#include "engine/core/Result.h"
#include "engine/files/CodecManager.h"
#include "engine/files/MemoryFile.h"
#include "engine/files/ModuleManager.h"
#include "tests/files/EngineRun.h"
#include "tests/support/LogCapture.h"
#include "tests/support/TestArchiveCodec.h"

namespace zav {
namespace {

using CodecManager = test::EngineRun;

int gShutdownCalls = 0;
int CountShutdown() {
    ++gShutdownCalls;
    return 0;
}
int CreateTestArchiveCodec(Codec** codec) {
    *codec = new (std::nothrow) test::TestArchiveCodec();
    return *codec ? kOk : kOutOfMemory;
}
int RefuseCodec(Codec** codec) {
    *codec = new test::TestArchiveCodec();  // a half-made codec that must be freed
    return kFailed;
}

// A built-in module "TestArchiveCodec" whose "CreateCodec" is `create`.
Ref<BuiltinModule> RegisterTestModule(int (*create)(Codec**)) {
    Ref<BuiltinModule> module(new BuiltinModule("TestArchiveCodec"));
    module->AddSymbol("Shutdown", ToModuleSymbol(&CountShutdown));
    module->AddSymbol("CreateCodec", ToModuleSymbol(create));
    EXPECT_EQ(RegisterModule(module.Get()), kOk);
    return module;
}

TEST_F(CodecManager, LoadCodecCreatesOnceThroughTheModule) {
    test::LogCapture capture;
    Codec* codec = nullptr;
    ASSERT_EQ(LoadCodec("STRSceneCodec", &codec), kOk);
    ASSERT_NE(codec, nullptr);
    EXPECT_TRUE(capture.Has(kLogInfo, "Загружается кодек [STRSceneCodec]."));
    EXPECT_EQ(codec->GetName(), "STRSceneCodec");
    EXPECT_EQ(codec->GetKind(), kSceneCodecKind);
    EXPECT_EQ(codec->GetModule(), FindModule("STRSceneCodec"));
    ASSERT_EQ(codec->GetExtensions().Count(), 3);
    EXPECT_EQ(codec->GetExtensions()[0], "STR");
    EXPECT_EQ(codec->GetExtensions()[1], "str");
    EXPECT_EQ(codec->GetExtensions()[2], "Str");

    capture.Clear();
    Codec* again = nullptr;
    EXPECT_EQ(LoadCodec("STRSceneCodec", &again), kOk);
    EXPECT_EQ(again, codec);
    EXPECT_EQ(LoadCodec("STRSceneCodec", nullptr), kOk);
    EXPECT_TRUE(capture.Lines().empty());
}

TEST_F(CodecManager, LoadCodecFailuresAreReportedAndRegisterNothing) {
    test::LogCapture capture;
    Codec* codec = nullptr;
    EXPECT_EQ(LoadCodec("NoSuchCodec", &codec), kNotFound);
    EXPECT_TRUE(capture.Has(kLogError, "Не найден модуль для кодека [NoSuchCodec]."));
    EXPECT_EQ(codec, nullptr);

    EXPECT_EQ(LoadCodec("DirectX9", &codec), kNotFound);
    EXPECT_TRUE(capture.Has(kLogError, "В модуле не найдена функция создания кодека [DirectX9]."));

    Ref<BuiltinModule> module = RegisterTestModule(&RefuseCodec);
    EXPECT_EQ(LoadCodec("TestArchiveCodec", &codec), kFailed);
    EXPECT_TRUE(capture.Has(kLogError, "Создание кодека [TestArchiveCodec] неудачно."));
    EXPECT_EQ(codec, nullptr);
    MemoryFile file("a.tpak");
    EXPECT_EQ(FindCodecForFile(&file), nullptr);
}

TEST_F(CodecManager, RegisterCodecRefusesNullAndTakenNames) {
    test::LogCapture capture;
    EXPECT_EQ(RegisterCodec(nullptr), kNotFound);
    EXPECT_TRUE(capture.Has(kLogWarning, "Указатель на кодек равен 0 при регистрации."));
    Ref<Codec> first(new test::TestArchiveCodec());
    Ref<Codec> second(new test::TestArchiveCodec());
    EXPECT_EQ(RegisterCodec(first.Get()), kOk);
    EXPECT_EQ(RegisterCodec(second.Get()), kFailed);
    EXPECT_TRUE(capture.Has(kLogWarning, "Кодек с именем [TestArchiveCodec] уже зарегестрирован."));
    Codec* loaded = nullptr;
    EXPECT_EQ(LoadCodec("TestArchiveCodec", &loaded), kOk);
    EXPECT_EQ(loaded, first.Get());
}

TEST_F(CodecManager, TheExtensionChoosesTheCodecExactly) {
    ASSERT_EQ(LoadCodec("STRSceneCodec", nullptr), kOk);
    Ref<Codec> archives(new test::TestArchiveCodec());
    ASSERT_EQ(RegisterCodec(archives.Get()), kOk);
    Codec* scenes = nullptr;
    LoadCodec("STRSceneCodec", &scenes);

    for (const char* name : {"Main.STR", "Main.str", "Main.Str", "a.b.Str"}) {
        MemoryFile file(name);
        EXPECT_EQ(FindCodecForFile(&file), scenes) << name;
        EXPECT_EQ(CheckFile(scenes, &file), kOk) << name;
        EXPECT_EQ(CheckFile(archives.Get(), &file), kFailed) << name;
    }
    for (const char* name : {"Main.sTr", "Main.STR.bak", "Main", "Main.", ".STRx"}) {
        MemoryFile file(name);
        EXPECT_EQ(FindCodecForFile(&file), nullptr) << name;
    }
    MemoryFile archive("data.tpak");
    EXPECT_EQ(FindCodecForFile(&archive), archives.Get());
    // The typed lookup treats a codec of another kind as none.
    EXPECT_EQ(FindCodecForFile<FileCodec>(&archive), archives.Get());
    EXPECT_EQ(FindCodecForFile<SceneCodec>(&archive), nullptr);
    EXPECT_EQ(FindCodecForFile<ImageCodec>(&archive), nullptr);

    test::LogCapture capture;
    EXPECT_EQ(CheckFile(scenes, nullptr), kNotFound);
    EXPECT_TRUE(capture.Has(kLogWarning, "Указатель на файл равен 0 при проверке кодеком [STRSceneCodec]."));
}

// A codec keeps its module: stopping the module manager alone does not end
// a module whose codec is still registered.
TEST_F(CodecManager, CodecsKeepTheirModuleAlive) {
    gShutdownCalls = 0;
    {
        Ref<BuiltinModule> module = RegisterTestModule(&CreateTestArchiveCodec);
        ASSERT_EQ(LoadCodec("TestArchiveCodec", nullptr), kOk);
    }
    ShutdownModuleManager();
    EXPECT_EQ(gShutdownCalls, 0);
    ShutdownCodecManager();
    EXPECT_EQ(gShutdownCalls, 1);
}

}  // namespace
}  // namespace zav
