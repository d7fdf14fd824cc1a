// Texts the assembler refuses: each error names the line and the problem.

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "engine/core/Result.h"
#include "engine/render/shader/ShaderAssembler.h"

namespace zav {
namespace {

// The error text for a text that must fail, or "" when it assembles.
std::string ErrorOf(const char* text) {
    std::vector<uint32_t> tokens;
    String errors;
    const int result = AssembleShader(text, static_cast<int32_t>(std::strlen(text)), tokens, errors);
    if (result == kOk) return "";
    EXPECT_EQ(result, kFailed);
    EXPECT_TRUE(tokens.empty());
    return errors.CStr();
}

// Every case fails on `line` with a message that contains `part`.
struct Case {
    const char* text;
    int line;
    const char* part;
};

void ExpectErrors(const std::vector<Case>& cases) {
    for (const Case& c : cases) {
        const std::string error = ErrorOf(c.text);
        const std::string prefix = "Строка " + std::to_string(c.line) + ": ";
        EXPECT_EQ(error.compare(0, prefix.size(), prefix), 0) << c.text << "\n -> " << error;
        EXPECT_NE(error.find(c.part), std::string::npos) << c.text << "\n -> " << error;
        EXPECT_EQ(error.find('\n'), std::string::npos) << error;
    }
}

TEST(ShaderAssemblerErrors, ArgumentsAndVersionLine) {
    std::vector<uint32_t> tokens{1, 2};
    String errors("old");
    EXPECT_EQ(AssembleShader(nullptr, 3, tokens, errors), kNotFound);
    EXPECT_EQ(AssembleShader("vs_1_1", -1, tokens, errors), kNotFound);
    EXPECT_TRUE(tokens.empty());
    EXPECT_EQ(ErrorOf(""), "Строка 1: текст шейдера пуст: нет строки с версией.");
    ExpectErrors({
        {"\n\n// only comments\n", 4, "нет строки с версией"},
        {"mov r0, v0\n", 1, "неподдерживаемая версия шейдера \"mov\""},
        {"; header\nvs_3_0\n", 2, "неподдерживаемая версия шейдера \"vs_3_0\""},
        {"vs_1_1 mov r0, v0\n", 1, "лишние знаки \"mov r0, v0\""},
        {"vs_1_1\nvs_1_1\n", 2, "неизвестная инструкция \"vs_1_1\""},
    });
}

TEST(ShaderAssemblerErrors, InstructionsAndOperandCounts) {
    ExpectErrors({
        {"vs_1_1\ndcl_position v0\nmox oPos, v0\n", 3, "неизвестная инструкция \"mox\""},
        {"vs_1_1\r\n\r\n// note\r\nnop\r\n", 4, "неизвестная инструкция \"nop\""},
        {"vs_1_1\ndcl_position v0\nmov oPos, v0, v0\n", 3, "mov ждёт операндов: 2, указано: 3"},
        {"vs_1_1\ndcl_position v0\nmad oPos, v0, v0\n", 3, "mad ждёт операндов: 4, указано: 3"},
        {"vs_1_1\nmov r0, , r1\n", 2, "пустой операнд"},
        {"vs_1_1\nmova a0.x, c0\n", 2, "инструкция mova недоступна в vs_1_1"},
        {"ps_2_0\nlit r0, c0\n", 2, "инструкция lit недоступна в ps_2_0"},
        {"ps_1_1\ntexld r0, t0, s0\n", 2, "инструкция texld недоступна в ps_1_1"},
        {"ps_1_1\ndp4 r0, v0, v1\n", 2, "инструкция dp4 недоступна в ps_1_1"},
        {"vs_1_1\nmov_sat r0, c0\n", 2, "модификатор _sat недоступен в vs_1_1"},
        {"ps_1_1\nmov_x2 r0, v0\n", 2, "неизвестный модификатор инструкции \"_x2\""},
        {"ps_1_1\n+mov r0, v0\n", 2, "ожидалась инструкция"},
    });
}

TEST(ShaderAssemblerErrors, Registers) {
    ExpectErrors({
        {"vs_1_1\nmov q0, c0\n", 2, "неизвестный регистр \"q0\""},
        {"vs_1_1\nmov r, c0\n", 2, "у регистра \"r\" нет номера"},
        {"vs_1_1\nmov r0, c12345\n", 2, "слишком велик"},
        {"vs_1_1\nmov r12, c0\n", 2, "регистра r12 нет в vs_1_1"},
        {"vs_1_1\nmov r0, c96\n", 2, "регистра c96 нет в vs_1_1"},
        {"ps_1_1\ntex t4\n", 2, "регистра t4 нет в ps_1_1"},
        {"vs_1_1\nmov r0, s0\n", 2, "регистра s0 нет в vs_1_1"},
        {"vs_1_1\nmov oC0, c0\n", 2, "регистра oC0 нет в vs_1_1"},
        {"ps_2_0\nmov oPos, c0\n", 2, "регистра oPos нет в ps_2_0"},
        {"vs_1_1\nmov v0, c0\n", 2, "в регистр v0 нельзя записывать"},
        {"vs_1_1\nmov r0, oPos\n", 2, "регистр oPos нельзя читать"},
        {"vs_1_1\nmov -r0, c0\n", 2, "не может быть минуса"},
        {"vs_1_1\nmov r0, r1x\n", 2, "лишние знаки в операнде \"r1x\""},
    });
}

TEST(ShaderAssemblerErrors, MasksAndSwizzles) {
    ExpectErrors({
        {"vs_2_0\nmov r0.xxyz, c0\n", 2, "неверная маска записи в \"r0.xxyz\""},
        {"vs_2_0\nmov r0.yx, c0\n", 2, "неверная маска записи"},
        {"vs_2_0\nmov r0., c0\n", 2, "неверная маска записи"},
        {"vs_2_0\nmov r0, c0.abcd\n", 2, "неверная перестановка компонент в \"c0.abcd\""},
        {"vs_2_0\nmov r0, c0.xr\n", 2, "неверная перестановка компонент"},
        {"vs_2_0\nmov r0, c0.\n", 2, "неверная перестановка компонент"},
        {"ps_1_1\nmov r0.xy, v0\n", 2, "в ps_1_1 маска записи может быть только .rgb или .a"},
        {"ps_1_1\nmov r0, v0.x\n", 2, "в ps_1_1 перестановки компонент источников не поддерживаются"},
        {"ps_1_1\ndp3 r0.a, v0, v1\n", 2, "в ps_1_1 dp3 записывает только .rgb"},
        {"ps_2_0\nmov r0, c0.xzyw\n", 2, "в ps_2_0 допустимы только перестановки"},
        {"vs_1_1\nmov oFog.x, c0.x\n", 2, "у oFog одна компонента"},
        {"vs_1_1\nrcp r0.x, c0\n", 2, "rcp читает одну компоненту"},
        {"vs_2_0\nrsq r0, c0.xy\n", 2, "rsq читает одну компоненту"},
        {"vs_1_1\nfrc r0.x, c0\n", 2, "у frc маска записи может быть только .y или .xy"},
    });
}

TEST(ShaderAssemblerErrors, Definitions) {
    ExpectErrors({
        {"vs_1_1\ndef c0, 1, 2, 3\n", 2, "def ждёт операндов: 5, указано: 4"},
        {"vs_1_1\ndef c0, 1, 2, 3, x\n", 2, "\"x\" не число с плавающей точкой"},
        {"vs_1_1\ndef c0, 1, 2, 3, 1e9\n", 2, "\"1e9\" не число"},
        {"vs_1_1\ndef c0, 1, 2, 3, 1000000000000000000000000000000000000000\n", 2, "не число"},
        {"vs_1_1\ndef c0, 1, 2, 3, .\n", 2, "\".\" не число"},
        {"vs_1_1\ndef c0, 1, 2, 3, --1\n", 2, "\"--1\" не число"},
        {"vs_1_1\ndef c0, 1, 2, 3, +1\n", 2, "\"+1\" не число"},
        {"vs_1_1\ndef c0, 1, 2, 3, 1.0f\n", 2, "\"1.0f\" не число"},
        {"vs_1_1\ndef r0, 1, 2, 3, 4\n", 2, "def задаёт только регистр c без маски"},
        {"vs_1_1\ndef c0.x, 1, 2, 3, 4\n", 2, "def задаёт только регистр c без маски"},
        {"vs_1_1\ndef c96, 1, 2, 3, 4\n", 2, "регистра c96 нет в vs_1_1"},
        {"vs_1_1\ndef c5, 1, 2, 3, 4\n\ndef c5, 0, 0, 0, 0\n", 4, "регистр c5 уже задан в строке 2"},
        {"vs_1_1\ndcl_position v0\nmov oPos, v0\ndef c5, 1, 2, 3, 4\n", 4, "должно стоять перед инструкциями"},
        {"vs_1_1\ndef_sat c0, 1, 2, 3, 4\n", 2, "неизвестная инструкция \"def_sat\""},
    });
}

TEST(ShaderAssemblerErrors, Declarations) {
    ExpectErrors({
        {"vs_1_1\ndcl_tangent v0\n", 2, "неизвестное назначение объявления \"dcl_tangent\""},
        {"vs_1_1\ndcl v0\n", 2, "неизвестное назначение объявления \"dcl_\""},
        {"vs_1_1\ndcl_position r0\n", 2, "dcl_position объявляет только входной регистр v без маски"},
        {"vs_1_1\ndcl_position v0\ndcl_normal v0\n", 3, "регистр v0 уже объявлен в строке 2"},
        {"vs_1_1\ndcl_texcoord0 v7\ndcl_texcoord v8\n", 3, "элемент dcl_texcoord уже объявлен в строке 2"},
        {"vs_1_1\ndcl_position v0\nmov oPos, v0\ndcl_normal v3\n", 4, "должно стоять перед инструкциями"},
        {"vs_1_1\ndcl_2d s0\n", 2, "неизвестное назначение объявления \"dcl_2d\""},
        {"ps_1_1\ndcl t0\n", 2, "объявления dcl недоступны в ps_1_1"},
        {"ps_2_0\ndcl_position v0\n", 2, "неизвестный тип текстуры \"dcl_position\""},
        {"ps_2_0\ndcl_2d t0\n", 2, "dcl_2d объявляет только регистр s без маски"},
        {"ps_2_0\ndcl s0\n", 2, "dcl объявляет в ps_2_0 только регистры t и v"},
        {"ps_2_0\ndcl t0.xz\n", 2, "маска объявления t0 может быть только .x, .xy, .xyz или .xyzw"},
        {"ps_2_0\ndcl_2d s1\ndcl_cube s1\n", 3, "регистр s1 уже объявлен в строке 2"},
    });
}

TEST(ShaderAssemblerErrors, ReadsBeforeWritesAndUndeclaredInputs) {
    ExpectErrors({
        {"vs_1_1\ndcl_position v0\nmov oPos, r0\n", 3, "компоненты .xyzw регистра r0 читаются до записи"},
        {"vs_1_1\ndcl_position v0\nmov r0.xy, v0\nmov oPos, r0\n", 4, "компоненты .zw регистра r0"},
        {"vs_1_1\ndcl_position v0\nmov r0.x, v0\ndp3 r1, r0.xyxx, v0\nmov oPos, v0\n", 4, "компоненты .y регистра r0"},
        {"vs_1_1\ndcl_position v0\nmad r0, v0, c0, r0\nmov oPos, r0\n", 3, "регистра r0 читаются до записи"},
        {"vs_1_1\ndcl_position v0\nmov oPos, v3\n", 3, "регистр v3 не объявлен (dcl)"},
        {"ps_2_0\ndcl t0.xy\nmov r0, t0\nmov oC0, r0\n", 3, "компоненты .zw регистра t0 не объявлены"},
        {"ps_2_0\nmov oC0, v0\n", 2, "регистр v0 не объявлен (dcl)"},
        {"ps_2_0\ndcl t0\ntexld r0, t0, s0\nmov oC0, r0\n", 3, "регистр s0 не объявлен (dcl_2d)"},
        {"ps_1_1\nmov r0, t0\n", 2, "компоненты .xyzw регистра t0 читаются до записи"},
        {"vs_2_0\ndcl_position v0\nmova a0.x, c0\nmov oPos, c[a0.y]\n", 4, "компонента a0.y читается до записи"},
    });
}

TEST(ShaderAssemblerErrors, OperandRules) {
    ExpectErrors({
        {"vs_2_0\nmov a0.x, c0\n", 2, "регистр a0 записывает только mova"},
        {"vs_2_0\nmova r0, c0\n", 2, "mova пишет только в a0"},
        {"vs_1_1\nmov r0, c[a0.x]\n", 2, "относительная адресация \"c[a0.x]\" возможна только в источниках vs_2_0"},
        {"vs_2_0\nmov r0, r1[a0.x]\n", 2, "лишние знаки в операнде"},
        {"vs_2_0\nmov r0, c[a0.x + a0.y]\n", 2, "нужен один индекс a0.x"},
        {"vs_2_0\nmov r0, c[a0]\n", 2, "неверная относительная адресация"},
        {"vs_2_0\nmov r0, c[8]\n", 2, "неверная относительная адресация"},
        {"vs_2_0\nmov r0, c[a0.x + 256]\n", 2, "регистра c256 нет в vs_2_0"},
        {"vs_2_0\nmov r0, c[a0.x\n", 2, "неверная относительная адресация"},
        {"vs_1_1\ndcl_position v0\nm4x4 oPos.xyz, v0, c0\n", 3, "m4x4 записывает все четыре компоненты"},
        {"vs_1_1\ndcl_position v0\nmov r0, v0\nm4x4 r0, r0, c0\n", 4, "назначение не может совпадать с источником"},
        {"vs_1_1\ndcl_position v0\nm4x4 oPos, v0, c93\n", 3, "матрица m4x4 c93..c96 выходит за регистры vs_1_1"},
        {"vs_1_1\ndcl_position v0\nm4x4 oPos, v0, -c0\n", 3, "матрицей m4x4 служат регистры c"},
        {"ps_1_1\ntex_sat t0\n", 2, "tex записывает только регистр t целиком"},
        {"ps_1_1\nmov r0, v0\ntex t0\n", 3, "в ps_1_1 tex должны стоять перед арифметикой"},
        {"ps_2_0\ndcl t0\ndcl_2d s0\ntexld r0.xy, t0, s0\n", 4, "texld записывает только регистр r целиком"},
        {"ps_2_0\ndcl t0\ndcl_2d s0\ntexld r0, t0.xy, s0\n", 4, "координаты texld берутся из регистра t"},
        {"ps_2_0\ndcl t0\ndcl_2d s0\ntexld r0, t0, t0\n", 4, "вторым операндом texld должен быть регистр s"},
        {"ps_2_0\ndcl t0\ndcl_2d s0\nmov r0, s0\n", 4, "регистр s0 читает только texld"},
        {"ps_2_0\nmov oC0.xyz, c0\n", 2, "oC0 записывается только инструкцией mov целиком"},
        {"ps_2_0\nadd oC0, c0, c0\n", 2, "oC0 записывается только инструкцией mov"},
        {"ps_2_0\nmov oC0, -c0\n", 2, "oC0 записывается только инструкцией mov"},
        {"ps_2_0\nmov oC0, c0\nmov oC0, c1\n", 3, "oC0 уже записан"},
    });
}

TEST(ShaderAssemblerErrors, ReadPortsOutputsAndLimits) {
    std::string longPixel = "ps_1_1\nmov r0, v0\n";
    for (int i = 0; i < 8; ++i) longPixel += "add r0, r0, v0\n";
    std::string longVertex = "vs_1_1\ndcl_position v0\n";
    for (int i = 0; i < 32; ++i) longVertex += "m4x4 oPos, v0, c0\n";
    longVertex += "mov oPos, v0\n";
    std::string endless = "vs_2_0\ndcl_position v0\n";
    for (int i = 0; i < 2000; ++i) endless += "mov oPos, v0\n";
    ExpectErrors({
        {"vs_1_1\ndcl_position v0\nadd oPos, c0, c1\n", 3,
         "инструкция читает 2 разных регистра c, а vs_1_1 допускает 1"},
        {"vs_2_0\ndcl_position v0\ndcl_normal v3\nadd oPos, v0, v3\n", 4, "2 разных регистра v"},
        {"ps_1_1\nmad r0, c0, c1, c2\n", 2, "3 разных регистра c, а ps_1_1 допускает 2"},
        {"ps_2_0\nadd r0, c0, c1\nmov oC0, r0\n", 2, "2 разных регистра c, а ps_2_0 допускает 1"},
        {"ps_2_0\ndcl t0\ndcl t1\nadd r0, t0, t1\nmov oC0, r0\n", 4, "2 разных регистра t"},
        {"vs_1_1\ndcl_position v0\nmov oPos.xyz, v0\n", 3, "шейдер не записывает все компоненты oPos"},
        {"vs_1_1\n", 1, "шейдер не записывает все компоненты oPos"},
        {"ps_1_1\nmov r0.rgb, v0\n", 2, "шейдер не записывает все компоненты результата r0"},
        {"ps_2_0\nmov r0, c0\n", 2, "шейдер не записывает oC0"},
        {"ps_2_0\nmov oC1, c0\n", 2, "шейдер не записывает oC0"},
        {longPixel.c_str(), 10, "в ps_1_1 не больше 8 арифметических инструкций"},
        {longVertex.c_str(), 35, "в vs_1_1 не больше 128 арифметических инструкций"},
        {endless.c_str(), 1027, "в тексте больше 1024 инструкций"},
    });
    // The same register read twice, and a relative and a plain constant, stay within the ports.
    EXPECT_EQ(ErrorOf("vs_1_1\ndcl_position v0\nmad oPos, v0, c1, -c1.x\n"), "");
    EXPECT_EQ(ErrorOf("ps_1_1\nmad r0, c0, v0, c1\n"), "");
}

TEST(ShaderAssemblerErrors, MessagesQuoteOnlyPrintableText) {
    const std::string error = ErrorOf("vs_1_1\nmov r0, \x01\xff\x7f\n");
    EXPECT_EQ(error.compare(0, std::strlen("Строка 2: "), "Строка 2: "), 0) << error;
    for (char c : error.substr(std::strlen("Строка 2: ")))
        EXPECT_TRUE(static_cast<unsigned char>(c) >= 0x20) << error;
    const std::string longName(200, 'q');
    const std::string quoted = ErrorOf(("vs_1_1\n" + longName + " r0, r1\n").c_str());
    EXPECT_LT(quoted.size(), 120u) << quoted;
}

}  // namespace
}  // namespace zav
