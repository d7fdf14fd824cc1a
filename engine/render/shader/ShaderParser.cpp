#include "engine/render/shader/ShaderParser.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstring>

#include "engine/render/shader/ShaderInstructions.h"
#include "engine/render/shader/ShaderLineCursor.h"
#include "engine/render/shader/ShaderOperands.h"
#include "engine/render/shader/ShaderRegisters.h"
#include "engine/render/shader/ShaderTokens.h"

namespace zav::shader {
namespace {

constexpr int kMaxOperands = 5;  // def: the register and four numbers
constexpr int kMaxMnemonic = 32;
// More than any version allows; keeps an endless text from filling memory
// before the validator counts the slots.
constexpr size_t kMaxInstructions = 1024;

// The part of a line before its comment ("//" or ";").
const char* CodeEnd(const char* begin, const char* end) {
    for (const char* p = begin; p < end; ++p)
        if (*p == ';' || (*p == '/' && p + 1 < end && p[1] == '/')) return p;
    return end;
}

bool ParseVersion(LineCursor& cursor, ShaderVersion* version, AssemblyError& error) {
    const int line = cursor.Line();
    const TextSpan word = cursor.ReadWord();
    char name[8] = {};
    if (word.length == 6) {
        for (int i = 0; i < 6; ++i) name[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(word.data[i])));
        if (name[2] == '.' && name[4] == '.') name[2] = name[4] = '_';
    }
    static const struct {
        const char* name;
        ShaderType type;
        uint8_t major;
        uint8_t minor;
    } kVersions[] = {
        {"vs_1_1", ShaderType::kVertex, 1, 1},
        {"vs_2_0", ShaderType::kVertex, 2, 0},
        {"ps_1_1", ShaderType::kPixel, 1, 1},
        {"ps_2_0", ShaderType::kPixel, 2, 0},
    };
    for (const auto& known : kVersions) {
        if (std::strcmp(name, known.name) != 0) continue;
        version->type = known.type;
        version->major = known.major;
        version->minor = known.minor;
        if (!cursor.AtEnd())
            return error.Report(line, "после версии шейдера лишние знаки \"%s\".", Quoted(cursor.Rest()).CStr());
        return true;
    }
    if (word.IsEmpty())
        return error.Report(line, "текст шейдера должен начинаться с версии (vs_1_1, vs_2_0, ps_1_1 или ps_2_0).");
    return error.Report(line, "неподдерживаемая версия шейдера \"%s\" (допустимы vs_1_1, vs_2_0, ps_1_1 и ps_2_0).",
                        Quoted(word).CStr());
}

// Splits the operands at commas; false when there are too many or one is empty.
bool SplitOperands(LineCursor& cursor, TextSpan operands[kMaxOperands], int* count, AssemblyError& error) {
    *count = 0;
    if (cursor.AtEnd()) return true;
    do {
        if (*count == kMaxOperands) return error.Report(cursor.Line(), "слишком много операндов.");
        operands[*count] = cursor.ReadToComma();
        if (operands[*count].IsEmpty()) return error.Report(cursor.Line(), "пустой операнд.");
        ++*count;
    } while (cursor.Accept(','));
    return true;
}

bool ExpectOperands(int line, const char* what, int expected, int count, AssemblyError& error) {
    if (count == expected) return true;
    return error.Report(line, "%s ждёт операндов: %d, указано: %d.", what, expected, count);
}

// Decimal numbers: an optional sign, digits and an optional fraction ("3",
// "-0.5", ".5", "3."); no exponent, as the utility library's assembler.
bool IsDecimal(const char* begin, const char* end) {
    if (begin < end && *begin == '-') ++begin;
    int digits = 0;
    bool point = false;
    for (const char* p = begin; p < end; ++p) {
        if (*p >= '0' && *p <= '9') ++digits;
        else if (*p == '.' && !point) point = true;
        else return false;
    }
    return digits > 0;
}

bool ParseFloat(const TextSpan& text, int line, float* value, AssemblyError& error) {
    const char* begin = text.data;
    const char* end = text.data + text.length;
    double number = 0;
    const bool decimal = IsDecimal(begin, end);
    const std::from_chars_result result = std::from_chars(begin, end, number, std::chars_format::fixed);
    const bool parsed = decimal && result.ec == std::errc() && result.ptr == end;
    if (!parsed || !std::isfinite(number) || std::fabs(number) > 3.4028234663852886e38)
        return error.Report(line, "\"%s\" не число с плавающей точкой.", Quoted(text).CStr());
    *value = static_cast<float>(number);
    return true;
}

bool ParseDefinition(LineCursor& cursor, ShaderProgram* program, AssemblyError& error) {
    const int line = cursor.Line();
    TextSpan operands[kMaxOperands];
    int count = 0;
    if (!SplitOperands(cursor, operands, &count, error) || !ExpectOperands(line, "def", 5, count, error)) return false;
    Definition definition;
    definition.line = line;
    Register reg;
    uint8_t mask = kMaskAll;
    if (!ParseMaskedRegister(operands[0], line, program->version, &reg, &mask, error)) return false;
    if (reg.file != RegisterFile::kConst || mask != kMaskAll)
        return error.Report(line, "def задаёт только регистр c без маски, а не \"%s\".", Quoted(operands[0]).CStr());
    for (const Definition& other : program->definitions)
        if (other.constant == reg.number)
            return error.Report(line, "регистр c%d уже задан в строке %d.", reg.number, other.line);
    definition.constant = reg.number;
    for (int i = 0; i < 4; ++i)
        if (!ParseFloat(operands[i + 1], line, &definition.values[i], error)) return false;
    program->definitions.push_back(definition);
    return true;
}

struct UsageName {
    const char* name;
    uint8_t usage;
};
const UsageName kUsages[] = {
    {"position", kUsagePosition}, {"blendweight", kUsageBlendWeight}, {"blendindices", kUsageBlendIndices},
    {"normal", kUsageNormal},     {"texcoord", kUsageTexCoord},       {"color", kUsageColor},
};

// "position", "texcoord0" ... into usage and index.
bool ParseUsage(const TextSpan& suffix, uint8_t* usage, uint8_t* index) {
    int letters = 0;
    while (letters < suffix.length && std::isalpha(static_cast<unsigned char>(suffix.data[letters]))) ++letters;
    const int digits = suffix.length - letters;
    if (digits > 2) return false;
    int number = 0;
    for (int i = letters; i < suffix.length; ++i) {
        if (!std::isdigit(static_cast<unsigned char>(suffix.data[i]))) return false;
        number = number * 10 + (suffix.data[i] - '0');
    }
    if (number > 15) return false;
    for (const UsageName& known : kUsages) {
        if (static_cast<int>(std::strlen(known.name)) != letters || std::memcmp(known.name, suffix.data, letters) != 0)
            continue;
        *usage = known.usage;
        *index = static_cast<uint8_t>(number);
        return true;
    }
    return false;
}

bool ParseTextureType(const TextSpan& suffix, uint8_t* type) {
    if (suffix.Equals("2d")) *type = kTexture2D;
    else if (suffix.Equals("cube")) *type = kTextureCube;
    else if (suffix.Equals("volume")) *type = kTextureVolume;
    else return false;
    return true;
}

// Checks what the declared register may be in this version.
bool CheckDeclaredRegister(const Declaration& declaration, const ShaderVersion& version, const TextSpan& suffix,
                           AssemblyError& error) {
    const int line = declaration.line;
    const RegisterFile file = declaration.reg.file;
    if (version.IsVertex()) {
        if (file != RegisterFile::kInput || declaration.mask != kMaskAll)
            return error.Report(line, "dcl_%s объявляет только входной регистр v без маски.", Quoted(suffix).CStr());
        return true;
    }
    if (declaration.textureType != 0) {
        if (file != RegisterFile::kSampler || declaration.mask != kMaskAll)
            return error.Report(line, "dcl_%s объявляет только регистр s без маски.", Quoted(suffix).CStr());
        return true;
    }
    if (file != RegisterFile::kTexture && file != RegisterFile::kInput)
        return error.Report(line, "dcl объявляет в %s только регистры t и v.", version.Name());
    const uint8_t mask = declaration.mask;
    if (mask != 0x1 && mask != 0x3 && mask != 0x7 && mask != kMaskAll)
        return error.Report(line, "маска объявления %s может быть только .x, .xy, .xyz или .xyzw.",
                            RegisterName(declaration.reg).CStr());
    return true;
}

bool ParseDeclaration(LineCursor& cursor, const TextSpan& suffix, ShaderProgram* program, AssemblyError& error) {
    const int line = cursor.Line();
    const ShaderVersion& version = program->version;
    if (!version.IsModel2() && !version.IsVertex()) return error.Report(line, "объявления dcl недоступны в ps_1_1.");
    Declaration declaration;
    declaration.line = line;
    if (version.IsVertex()) {
        if (!ParseUsage(suffix, &declaration.usage, &declaration.usageIndex))
            return error.Report(line, "неизвестное назначение объявления \"dcl_%s\".", Quoted(suffix).CStr());
    } else if (!suffix.IsEmpty() && !ParseTextureType(suffix, &declaration.textureType)) {
        return error.Report(line, "неизвестный тип текстуры \"dcl_%s\" (допустимы 2d, cube и volume).",
                            Quoted(suffix).CStr());
    }
    TextSpan operands[kMaxOperands];
    int count = 0;
    if (!SplitOperands(cursor, operands, &count, error) || !ExpectOperands(line, "dcl", 1, count, error)) return false;
    if (!ParseMaskedRegister(operands[0], line, version, &declaration.reg, &declaration.mask, error) ||
        !CheckDeclaredRegister(declaration, version, suffix, error))
        return false;
    for (const Declaration& other : program->declarations) {
        if (other.reg == declaration.reg)
            return error.Report(line, "регистр %s уже объявлен в строке %d.", RegisterName(declaration.reg).CStr(),
                                other.line);
        if (version.IsVertex() && other.usage == declaration.usage && other.usageIndex == declaration.usageIndex)
            return error.Report(line, "элемент dcl_%s уже объявлен в строке %d.", Quoted(suffix).CStr(), other.line);
    }
    program->declarations.push_back(declaration);
    return true;
}

// `word` is the whole mnemonic, `base` and `suffix` its parts around the first '_'.
bool ParseInstruction(LineCursor& cursor, const TextSpan& word, const TextSpan& base, const TextSpan& suffix,
                      ShaderProgram* program, AssemblyError& error) {
    const int line = cursor.Line();
    const ShaderVersion& version = program->version;
    Instruction instruction;
    instruction.line = line;
    instruction.info = FindInstruction(base.data, base.length);
    if (!instruction.info) return error.Report(line, "неизвестная инструкция \"%s\".", Quoted(word).CStr());
    const InstructionInfo& info = *instruction.info;
    if (!(info.versions & VersionBitOf(version)))
        return error.Report(line, "инструкция %s недоступна в %s.", info.name, version.Name());
    if (suffix.Equals("sat")) {
        if (version.IsVertex()) return error.Report(line, "модификатор _sat недоступен в %s.", version.Name());
        instruction.saturate = true;
    } else if (!suffix.IsEmpty()) {
        return error.Report(line, "неизвестный модификатор инструкции \"_%s\".", Quoted(suffix).CStr());
    }
    TextSpan operands[kMaxOperands];
    int count = 0;
    if (!SplitOperands(cursor, operands, &count, error) ||
        !ExpectOperands(line, info.name, 1 + info.sourceCount, count, error))
        return false;
    instruction.hasDestination = true;
    if (!ParseDestination(operands[0], line, version, &instruction.destination, error)) return false;
    instruction.sourceCount = info.sourceCount;
    for (int i = 0; i < info.sourceCount; ++i)
        if (!ParseSource(operands[i + 1], line, version, &instruction.sources[i], error)) return false;
    if (program->instructions.size() == kMaxInstructions)
        return error.Report(line, "в тексте больше %d инструкций.", static_cast<int>(kMaxInstructions));
    program->instructions.push_back(instruction);
    return true;
}

bool ParseStatement(LineCursor& cursor, ShaderProgram* program, AssemblyError& error) {
    const int line = cursor.Line();
    const TextSpan word = cursor.ReadWord();
    if (word.IsEmpty()) return error.Report(line, "ожидалась инструкция, а не \"%s\".", Quoted(cursor.Rest()).CStr());
    if (word.length > kMaxMnemonic) return error.Report(line, "неизвестная инструкция \"%s\".", Quoted(word).CStr());
    char lower[kMaxMnemonic];
    for (int i = 0; i < word.length; ++i)
        lower[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(word.data[i])));
    const char* underscore = static_cast<const char*>(std::memchr(lower, '_', word.length));
    const int baseLength = underscore ? static_cast<int>(underscore - lower) : word.length;
    const TextSpan base{lower, baseLength};
    const TextSpan suffix = underscore ? TextSpan{underscore + 1, word.length - baseLength - 1} : TextSpan{};
    const bool declaration = base.Equals("dcl");
    const bool definition = base.Equals("def");
    if ((declaration || definition) && !program->instructions.empty())
        return error.Report(line, "%s должно стоять перед инструкциями (первая в строке %d).",
                            declaration ? "объявление dcl" : "определение def", program->instructions.front().line);
    if (declaration) return ParseDeclaration(cursor, suffix, program, error);
    if (definition) {
        if (!suffix.IsEmpty()) return error.Report(line, "неизвестная инструкция \"%s\".", Quoted(word).CStr());
        return ParseDefinition(cursor, program, error);
    }
    return ParseInstruction(cursor, word, base, suffix, program, error);
}

}  // namespace

bool ParseShader(const char* text, int32_t length, ShaderProgram* program, AssemblyError& error) {
    const char* end = text + length;
    bool haveVersion = false;
    int line = 0;
    for (const char* begin = text; begin <= end;) {
        ++line;
        const char* lineEnd = static_cast<const char*>(std::memchr(begin, '\n', end - begin));
        if (!lineEnd) lineEnd = end;
        LineCursor cursor(begin, CodeEnd(begin, lineEnd), line);
        begin = lineEnd + 1;
        if (cursor.AtEnd()) continue;
        if (!haveVersion) {
            if (!ParseVersion(cursor, &program->version, error)) return false;
            haveVersion = true;
        } else if (!ParseStatement(cursor, program, error)) {
            return false;
        }
    }
    if (!haveVersion) return error.Report(line, "текст шейдера пуст: нет строки с версией.");
    return true;
}

}  // namespace zav::shader
