#include "engine/render/shader/ShaderOperandRules.h"

#include "engine/render/shader/ShaderInstructions.h"
#include "engine/render/shader/ShaderRegisters.h"
#include "engine/render/shader/ShaderTokens.h"

namespace zav::shader {
namespace {

constexpr uint8_t kMaskXyz = 0x7;
constexpr uint8_t kMaskW = 0x8;

bool IsReplicate(uint8_t swizzle) {
    const int x = swizzle & 3;
    return swizzle == static_cast<uint8_t>(x | x << 2 | x << 4 | x << 6);
}

// Pixel shader 2.0 takes no arbitrary swizzles: the identity, replicates and
// three rotations only.
bool IsPixel20Swizzle(uint8_t swizzle) {
    return swizzle == kIdentitySwizzle || IsReplicate(swizzle) || swizzle == 0xC9 /* yzxw */ ||
           swizzle == 0xD2 /* zxyw */ || swizzle == 0x1B /* wzyx */;
}

bool IsPlainSource(const SourceOperand& source) {
    return source.swizzle == kIdentitySwizzle && !source.negate && !source.relative;
}

bool CheckTextureLoad(const Instruction& instruction, const ShaderVersion& version, AssemblyError& error) {
    const int line = instruction.line;
    const DestinationOperand& destination = instruction.destination;
    if (!version.IsModel2()) {
        if (destination.reg.file != RegisterFile::kTexture || destination.writeMask != kMaskAll || instruction.saturate)
            return error.Report(line, "tex записывает только регистр t целиком, без модификаторов.");
        return true;
    }
    if (destination.reg.file != RegisterFile::kTemp || destination.writeMask != kMaskAll || instruction.saturate)
        return error.Report(line, "texld записывает только регистр r целиком, без модификаторов.");
    if (instruction.sources[0].reg.file != RegisterFile::kTexture || !IsPlainSource(instruction.sources[0]))
        return error.Report(line, "координаты texld берутся из регистра t без перестановки и минуса.");
    if (instruction.sources[1].reg.file != RegisterFile::kSampler || !IsPlainSource(instruction.sources[1]))
        return error.Report(line, "вторым операндом texld должен быть регистр s без перестановки и минуса.");
    return true;
}

bool CheckDestination(const Instruction& instruction, const ShaderVersion& version, AssemblyError& error) {
    const int line = instruction.line;
    const InstructionInfo& info = *instruction.info;
    const DestinationOperand& destination = instruction.destination;
    const RegisterFile file = destination.reg.file;
    const uint8_t mask = destination.writeMask;
    if ((info.opcode == kOpMova) != (file == RegisterFile::kAddress))
        return error.Report(line, "регистр a0 записывает только mova, и mova пишет только в a0.");
    if (file == RegisterFile::kFog && mask != kMaskAll)
        return error.Report(line, "у oFog одна компонента: маску записи не указывают.");
    if (!version.IsVertex() && !version.IsModel2() && mask != kMaskAll && mask != kMaskXyz && mask != kMaskW)
        return error.Report(line, "в ps_1_1 маска записи может быть только .rgb или .a.");
    if (!version.IsVertex() && !version.IsModel2() && info.opcode == kOpDp3 && mask != kMaskAll && mask != kMaskXyz)
        return error.Report(line, "в ps_1_1 dp3 записывает только .rgb или все компоненты.");
    if (file == RegisterFile::kPixelOut &&
        (info.opcode != kOpMov || mask != kMaskAll || instruction.saturate || !IsPlainSource(instruction.sources[0])))
        return error.Report(line, "oC%d записывается только инструкцией mov целиком, без модификаторов и "
                                  "перестановок.", destination.reg.number);
    if (info.opcode == kOpFrc && version.IsVertex() && !version.IsModel2() && mask != 0x2 && mask != 0x3)
        return error.Report(line, "в vs_1_1 у frc маска записи может быть только .y или .xy.");
    if (info.pattern == ReadPattern::kMatrix4) {
        if (mask != kMaskAll) return error.Report(line, "m4x4 записывает все четыре компоненты: маску не указывают.");
        if (destination.reg == instruction.sources[0].reg)
            return error.Report(line, "у m4x4 назначение не может совпадать с источником.");
    }
    return true;
}

bool CheckSource(const Instruction& instruction, int index, const ShaderVersion& version, AssemblyError& error) {
    const int line = instruction.line;
    const InstructionInfo& info = *instruction.info;
    const SourceOperand& source = instruction.sources[index];
    if (source.reg.file == RegisterFile::kSampler)
        return error.Report(line, "регистр %s читает только texld.", RegisterName(source.reg).CStr());
    if (!version.IsVertex() && !version.IsModel2() && source.swizzle != kIdentitySwizzle)
        return error.Report(line, "в ps_1_1 перестановки компонент источников не поддерживаются.");
    if (!version.IsVertex() && version.IsModel2() && !IsPixel20Swizzle(source.swizzle))
        return error.Report(line, "в ps_2_0 допустимы только перестановки .xyzw, .yzxw, .zxyw, .wzyx и одна "
                                  "компонента.");
    if (info.pattern == ReadPattern::kScalar && !IsReplicate(source.swizzle))
        return error.Report(line, "%s читает одну компоненту: укажите .x, .y, .z или .w.", info.name);
    if (info.pattern == ReadPattern::kMatrix4 && index == 1) {
        if (source.reg.file != RegisterFile::kConst || !IsPlainSource(source))
            return error.Report(line, "матрицей m4x4 служат регистры c без перестановки, минуса и индекса.");
        if (source.reg.number + 3 >= RegisterCount(version, RegisterFile::kConst))
            return error.Report(line, "матрица m4x4 c%d..c%d выходит за регистры %s.", source.reg.number,
                                source.reg.number + 3, version.Name());
    }
    return true;
}

}  // namespace

bool CheckInstructionOperands(const Instruction& instruction, const ShaderVersion& version, AssemblyError& error) {
    if (instruction.info->pattern == ReadPattern::kTextureLoad) return CheckTextureLoad(instruction, version, error);
    if (!CheckDestination(instruction, version, error)) return false;
    for (int i = 0; i < instruction.sourceCount; ++i)
        if (!CheckSource(instruction, i, version, error)) return false;
    return true;
}

uint8_t ComponentsRead(const Instruction& instruction, int index) {
    uint8_t slots = instruction.destination.writeMask;
    switch (instruction.info->pattern) {
        case ReadPattern::kPerComponent:
            if (instruction.destination.reg.file == RegisterFile::kFog) slots = 0x1;
            break;
        case ReadPattern::kDot3: slots = kMaskXyz; break;
        case ReadPattern::kDot4: slots = kMaskAll; break;
        case ReadPattern::kScalar: slots = 0x1; break;
        case ReadPattern::kLit: slots = 0xB; break;
        case ReadPattern::kMatrix4: slots = index == 0 ? kMaskAll : 0; break;
        case ReadPattern::kTextureLoad: slots = index == 0 ? kMaskAll : 0; break;
    }
    const SourceOperand& source = instruction.sources[index];
    uint8_t components = 0;
    for (int slot = 0; slot < 4; ++slot)
        if (slots & (1 << slot)) components |= static_cast<uint8_t>(1 << source.Component(slot));
    return components;
}

}  // namespace zav::shader
