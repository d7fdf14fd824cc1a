#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/core/Engine.h"
#include "engine/core/FontManager.h"
#include "engine/core/Log.h"
#include "engine/core/Result.h"
#include "engine/files/ModuleManager.h"
#include "tests/support/LogCapture.h"

namespace zav {
namespace {

size_t IndexOf(const std::vector<std::string>& texts, const std::string& text) {
    for (size_t i = 0; i < texts.size(); ++i)
        if (texts[i] == text) return i;
    return texts.size();
}

TEST(EngineStart, ManagersStartBeforeModulesRegisterAndStopAtShutdown) {
    EXPECT_EQ(PostInitFunctionCount(), 7);
    test::LogCapture capture;
    ASSERT_EQ(EngineInit(), kOk);
    std::vector<std::string> texts = capture.Texts();
    size_t moduleManagerReady = IndexOf(texts, "Менеджер модулей инициализирован.");
    size_t postInit = IndexOf(texts, "Постинициализация движка:");
    EXPECT_LT(IndexOf(texts, "Менеджер шрифтов инициализирован."), postInit);
    EXPECT_LT(moduleManagerReady, postInit);
    EXPECT_NE(GetFontTable(), nullptr);
    EXPECT_NE(FindModule("DirectX9"), nullptr);

    capture.Clear();
    ASSERT_EQ(EngineShutdown(), kOk);
    texts = capture.Texts();
    EXPECT_LT(IndexOf(texts, "Менеджер шрифтов завершил работу."), texts.size());
    EXPECT_LT(IndexOf(texts, "Менеджер модулей завершил работу."), texts.size());
    EXPECT_EQ(GetFontTable(), nullptr);
    EXPECT_EQ(FindModule("DirectX9"), nullptr);
}

TEST(EngineStart, ShutdownWithoutInitIsHarmlessAndInitRunsAgain) {
    test::LogCapture capture;
    EXPECT_EQ(EngineShutdown(), kOk);
    EXPECT_EQ(EngineInit(), kOk);
    EXPECT_NE(FindModule("RAR2FileCodec"), nullptr);
    EXPECT_EQ(EngineShutdown(), kOk);
    EXPECT_EQ(EngineInit(), kOk);
    EXPECT_NE(FindModule("RAR2FileCodec"), nullptr);
    EXPECT_EQ(EngineShutdown(), kOk);
}

}  // namespace
}  // namespace zav
