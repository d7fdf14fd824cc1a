#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/AccessKeys.h"

namespace zav {
namespace {

TEST(AccessKeys, DesignedKeysStayWhenTheTextIsTheDesignedOne) {
    EXPECT_EQ(WithAccessKeys({{L"Show F&PS", L"Show FPS"}, {L"E&xit", L"Exit"}, {L"OK", L"OK"}}),
              (std::vector<std::wstring>{L"Show F&PS", L"E&xit", L"OK"}));
    EXPECT_EQ(WithoutAccessKey(L"Sound &&&Music"), L"Sound &Music");
    EXPECT_EQ(WithoutAccessKey(L"end&"), L"end");
}

TEST(AccessKeys, OtherTextsGetAFreeKeyWordStartsFirstWithoutCase) {
    // Russian texts: "гамма" finds its "г" taken by "Громкость" and takes
    // the next free letter; the last text has only letters taken already.
    std::vector<ControlLabel> labels = {
        {L"&Volume", L"\u0413\u0440\u043e\u043c\u043a\u043e\u0441\u0442\u044c"},          // Громкость
        {L"&Gamma", L"\u0433\u0430\u043c\u043c\u0430"},                                    // гамма
        {L"&Visit", L"\u041f\u0435\u0440\u0435\u0439\u0442\u0438"},                        // Перейти
        {L"&About", L"\u041e \u043f\u0440\u043e\u0433\u0440\u0430\u043c\u043c\u0435"},     // О программе
        {L"&Time", L"\u043e\u0433\u0433\u043e"},                                           // огго
    };
    EXPECT_EQ(WithAccessKeys(labels), (std::vector<std::wstring>{
                                          L"&\u0413\u0440\u043e\u043c\u043a\u043e\u0441\u0442\u044c",
                                          L"\u0433&\u0430\u043c\u043c\u0430",
                                          L"&\u041f\u0435\u0440\u0435\u0439\u0442\u0438",
                                          L"&\u041e \u043f\u0440\u043e\u0433\u0440\u0430\u043c\u043c\u0435",
                                          L"\u043e\u0433\u0433\u043e",
                                      }));
}

TEST(AccessKeys, DesignedKeysAreServedFirstAndAmpersandsInTextsStayVisible) {
    // The second label keeps its designed "M" although the first would take
    // it as the start of its first word.
    EXPECT_EQ(WithAccessKeys({{L"&Loud", L"Music & sound"}, {L"Enable &Music", L"Enable Music"}}),
              (std::vector<std::wstring>{L"Music && &sound", L"Enable &Music"}));
    // Without a designed key, a text gets none; its '&' still shows.
    EXPECT_EQ(WithAccessKeys({{L"Group", L"R&D"}}), (std::vector<std::wstring>{L"R&&D"}));
}

}  // namespace
}  // namespace zav
