#include <gtest/gtest.h>

#include <string>

#include "engine/core/Engine.h"
#include "engine/core/Log.h"
#include "engine/core/Result.h"
#include "engine/files/ModuleManager.h"
#include "engine/render/Renderer.h"
#include "tests/support/LogCapture.h"
#include "tests/support/RecordingRenderer.h"

namespace zav {
namespace {

// Starts the whole engine for each test and stops it afterwards.
class ModuleManagerTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(EngineInit(), kOk); }
    void TearDown() override {
        DestroyRenderer();
        EXPECT_EQ(EngineShutdown(), kOk);
    }
};

TEST_F(ModuleManagerTest, PostInitRegistersTheSevenBuiltinModules) {
    for (const char* name : {"DirectX9", "BMPImageCodec", "JPGImageCodec", "TGAImageCodec", "CUBEImageCodec",
                             "STRSceneCodec", "RAR2FileCodec"}) {
        Module* module = FindModule(name);
        ASSERT_NE(module, nullptr) << name;
        EXPECT_EQ(module->GetName(), name);
        ModuleSymbol symbol = nullptr;
        EXPECT_EQ(module->FindSymbol(&symbol, "Initialize"), kOk);
        EXPECT_EQ(module->FindSymbol(&symbol, "Shutdown"), kOk);
    }
    ModuleSymbol symbol = nullptr;
    EXPECT_EQ(FindModule("DirectX9")->FindSymbol(&symbol, "CreateRenderer"), kOk);
    EXPECT_EQ(FindModule("STRSceneCodec")->FindSymbol(&symbol, "CreateCodec"), kOk);
}

TEST_F(ModuleManagerTest, LoadingARegisteredModuleReturnsItQuietly) {
    test::LogCapture capture;
    capture.Clear();
    Module* module = nullptr;
    EXPECT_EQ(LoadModule("TGAImageCodec", &module), kOk);
    EXPECT_EQ(module, FindModule("TGAImageCodec"));
    EXPECT_EQ(LoadModule("TGAImageCodec", nullptr), kOk);
    EXPECT_TRUE(capture.Lines().empty());
}

TEST_F(ModuleManagerTest, LoadingAnUnknownModuleFailsWithNotFound) {
    test::LogCapture capture;
    Module* module = nullptr;
    EXPECT_EQ(LoadModule("Missing", &module), kNotFound);
    EXPECT_EQ(module, nullptr);
    EXPECT_TRUE(capture.Has(kLogInfo, "Загружается модуль [Missing]."));
    EXPECT_TRUE(capture.Has(kLogWarning, "Не найден файл модуля [Missing.dll]."));
    EXPECT_TRUE(capture.Has(kLogError, "Невозможно загрузить модуль [Missing]."));
    EXPECT_EQ(FindModule("Missing"), nullptr);
}

TEST_F(ModuleManagerTest, RegisteringTakenOrNullModulesFails) {
    test::LogCapture capture;
    Ref<BuiltinModule> second(new BuiltinModule("DirectX9"));
    second->AddSymbol("Shutdown", ToModuleSymbol(+[]() { return 0; }));
    EXPECT_EQ(RegisterModule(second.Get()), kFailed);
    EXPECT_TRUE(capture.Has(kLogWarning, "Модуль с именем [DirectX9] уже зарегестрирован."));
    EXPECT_EQ(RegisterModule(nullptr), kNotFound);
    EXPECT_TRUE(capture.Has(kLogWarning, "Указатель на модуль равен 0 при регистрации."));
}

TEST_F(ModuleManagerTest, SymbolLookupFailures) {
    test::LogCapture capture;
    Module* module = FindModule("BMPImageCodec");
    ModuleSymbol symbol = nullptr;
    EXPECT_EQ(module->FindSymbol(&symbol, "CreateRenderer"), kFailed);
    EXPECT_TRUE(capture.Has(kLogWarning, "Невозможно найти символ [CreateRenderer] в модуле [BMPImageCodec]."));
    EXPECT_EQ(module->FindSymbol(nullptr, "CreateCodec"), kNotFound);
    EXPECT_TRUE(capture.Has(kLogWarning, "Указатель на символ [CreateCodec] равен 0."));
}

int gShutdownCalls = 0;
int gShutdownResult = 0;
int CountingShutdown() {
    ++gShutdownCalls;
    return gShutdownResult;
}

TEST(Module, DestructionCallsShutdownAndReportsItsFailure) {
    test::LogCapture capture;
    gShutdownCalls = 0;
    gShutdownResult = 1;
    {
        Ref<BuiltinModule> module(new BuiltinModule("Temporary"));
        module->AddSymbol("Shutdown", ToModuleSymbol(&CountingShutdown));
    }
    EXPECT_EQ(gShutdownCalls, 1);
    EXPECT_TRUE(capture.Has(kLogError, "Неудачно завершение работы модуля."));
    { Ref<BuiltinModule> module(new BuiltinModule("NoShutdown")); }
    EXPECT_TRUE(capture.Has(kLogWarning, "В модуле не найдена функция завершения работы модуля [NoShutdown]."));
}

TEST_F(ModuleManagerTest, CreateRendererOfAMissingModuleWarnsAndReturnsNotFound) {
    test::LogCapture capture;
    EXPECT_EQ(CreateRenderer("NoSuchRenderer"), kNotFound);
    EXPECT_TRUE(capture.Has(kLogWarning, "Невозможно загрузить библиотеку рендерера [NoSuchRenderer]."));
    EXPECT_EQ(GetRenderer(), nullptr);
}

TEST_F(ModuleManagerTest, CreateRendererWithoutFactorySymbolFails) {
    test::LogCapture capture;
    EXPECT_EQ(CreateRenderer("BMPImageCodec"), kNotFound);
    EXPECT_TRUE(capture.Has(kLogError, "В модуле не найдена функция создания рендерера [BMPImageCodec]."));
}

using FakeRenderer = test::RecordingRenderer;
int CreateFakeRenderer(Renderer** renderer) {
    *renderer = new FakeRenderer();
    return kOk;
}
int RefuseRenderer(Renderer** renderer) {
    *renderer = nullptr;
    return kFailed;
}

TEST_F(ModuleManagerTest, CreateRendererKeepsTheRendererAndItsModule) {
    Ref<BuiltinModule> module(new BuiltinModule("FakeRenderer"));
    module->AddSymbol("Shutdown", ToModuleSymbol(+[]() { return 0; }));
    module->AddSymbol("CreateRenderer", ToModuleSymbol(&CreateFakeRenderer));
    ASSERT_EQ(RegisterModule(module.Get()), kOk);
    ASSERT_EQ(CreateRenderer("FakeRenderer"), kOk);
    ASSERT_NE(GetRenderer(), nullptr);
    EXPECT_EQ(GetRenderer()->GetModule(), module.Get());
    EXPECT_EQ(GetRenderer()->GetDefaultMode(), -1);
    Renderer* first = GetRenderer();
    ASSERT_EQ(CreateRenderer("FakeRenderer"), kOk);
    EXPECT_NE(GetRenderer(), first);  // the previous renderer was replaced
    EXPECT_EQ(DestroyRenderer(), kOk);
    EXPECT_EQ(GetRenderer(), nullptr);
    EXPECT_EQ(DestroyRenderer(), kOk);
}

TEST_F(ModuleManagerTest, RendererFactoryFailureIsReported) {
    Ref<BuiltinModule> module(new BuiltinModule("RefusingRenderer"));
    module->AddSymbol("Shutdown", ToModuleSymbol(+[]() { return 0; }));
    module->AddSymbol("CreateRenderer", ToModuleSymbol(&RefuseRenderer));
    ASSERT_EQ(RegisterModule(module.Get()), kOk);
    test::LogCapture capture;
    EXPECT_EQ(CreateRenderer("RefusingRenderer"), kFailed);
    EXPECT_TRUE(capture.Has(kLogError, "Создание рендерера [RefusingRenderer] неудачно."));
    EXPECT_EQ(GetRenderer(), nullptr);
}

}  // namespace
}  // namespace zav
