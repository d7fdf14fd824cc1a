#include <gtest/gtest.h>

#include "engine/core/Log.h"
#include "engine/core/Result.h"
#include "engine/files/Directory.h"
#include "engine/files/FileManager.h"
#include "engine/files/MemoryFile.h"
#include "engine/files/ModuleManager.h"
#include "tests/files/EngineRun.h"
#include "tests/support/LogCapture.h"

namespace zav {
namespace {

using ModuleLibraries = test::EngineRun;

TEST_F(ModuleLibraries, ALibraryOnDiskLoadsAsAModule) {
    test::LogCapture capture;
    Module* module = nullptr;
    ASSERT_EQ(LoadLibraryModule("TestLibrary", ZAV_TEST_MODULE_LIBRARY, &module), kOk);
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(FindModule("TestLibrary"), module);
    EXPECT_TRUE(capture.Has(kLogInfo, "Загружается модуль [TestLibrary]."));
    ModuleSymbol answer = nullptr;
    ASSERT_EQ(module->FindSymbol(&answer, "Answer"), kOk);
    EXPECT_EQ(reinterpret_cast<int (*)()>(answer)(), 42);
    EXPECT_EQ(module->FindSymbol(&answer, "Question"), kFailed);
    EXPECT_TRUE(capture.Has(kLogWarning, "Символ [Question] не найден в модуле [TestLibrary]."));
    EXPECT_EQ(module->FindSymbol(nullptr, "Answer"), kNotFound);
    EXPECT_TRUE(capture.Has(kLogWarning, "Указатель при поиске символа [Answer] равен 0."));
    // Registered already: no second load.
    capture.Clear();
    Module* again = nullptr;
    EXPECT_EQ(LoadLibraryModule("TestLibrary", "elsewhere", &again), kOk);
    EXPECT_EQ(again, module);
    EXPECT_TRUE(capture.Lines().empty());
}

TEST(ModuleLibrary, DestructionShutsTheModuleDownAndUnloadsIt) {
    test::LogCapture capture;
    {
        Ref<LibraryModule> module(new LibraryModule("TestLibrary"));
        ASSERT_EQ(module->Open(ZAV_TEST_MODULE_LIBRARY), kOk);
        EXPECT_TRUE(module->IsLoaded());
    }
    EXPECT_TRUE(capture.Has(kLogInfo, "Выгружается модуль [TestLibrary]."));
    EXPECT_FALSE(capture.HasPrefix(kLogWarning, ""));
    EXPECT_FALSE(capture.HasPrefix(kLogError, ""));
    // A module whose library never loaded has nothing to shut down.
    capture.Clear();
    { Ref<LibraryModule> empty(new LibraryModule("Empty")); }
    EXPECT_TRUE(capture.Lines().empty());
}

TEST_F(ModuleLibraries, AMissingLibraryFailsAndRegistersNothing) {
    test::LogCapture capture;
    Module* module = nullptr;
    EXPECT_EQ(LoadLibraryModule("Absent", "no/such/library.module", &module), kFailed);
    EXPECT_EQ(module, nullptr);
    EXPECT_TRUE(capture.Has(kLogWarning, "Загрузка модуля [Absent] неудачна."));
    EXPECT_TRUE(capture.Has(kLogError, "Невозможно загрузить модуль [Absent]."));
    EXPECT_EQ(FindModule("Absent"), nullptr);
}

// A library found in the virtual tree has no path on disk; loading whatever
// lies under its virtual name beside the current directory is never done.
TEST_F(ModuleLibraries, LoadModuleNeverLoadsAFileOfTheVirtualTree) {
    Directory* archive = new Directory("Media.rar2", GetRoot());
    MemoryFile* library = new MemoryFile("Plugin.dll");
    library->SetBorrowedSource("MZ", 2);
    archive->AttachFile(library);
    ASSERT_EQ(FindFile("Plugin.dll"), library);
    test::LogCapture capture;
    Module* module = nullptr;
    EXPECT_EQ(LoadModule("Plugin", &module), kNotFound);
    EXPECT_EQ(module, nullptr);
    EXPECT_TRUE(capture.Has(kLogWarning, "Не найден файл модуля [Plugin.dll]."));
    EXPECT_TRUE(capture.Has(kLogError, "Невозможно загрузить модуль [Plugin]."));
}

}  // namespace
}  // namespace zav
