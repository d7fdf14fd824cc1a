#include "engine/render/shader/ShaderValidator.h"

#include "engine/render/shader/ShaderInstructions.h"
#include "engine/render/shader/ShaderOperandRules.h"
#include "engine/render/shader/ShaderRegisters.h"

namespace zav::shader {
namespace {

constexpr int kMaxRegisters = 256;

// How many different registers of a file one instruction may read.
struct ReadPorts {
    int temp;
    int input;
    int constant;
    int texture;
};

ReadPorts PortsOf(const ShaderVersion& version) {
    if (version.IsVertex()) return ReadPorts{3, 1, 1, 0};
    if (version.IsModel2()) return ReadPorts{3, 1, 1, 1};
    return ReadPorts{2, 2, 2, 2};
}

// Instruction limits: arithmetic slots and texture loads.
struct Limits {
    int arithmetic;
    int texture;
};

Limits LimitsOf(const ShaderVersion& version) {
    if (version.IsVertex()) return Limits{version.IsModel2() ? 256 : 128, 0};
    return version.IsModel2() ? Limits{64, 32} : Limits{8, 4};
}

const char* ComponentNames(uint8_t mask, char buffer[5]) {
    int length = 0;
    for (int i = 0; i < 4; ++i)
        if (mask & (1 << i)) buffer[length++] = "xyzw"[i];
    buffer[length] = 0;
    return buffer;
}

class Validator {
public:
    Validator(const ShaderProgram& program, AssemblyError& error)
        : program_(program), version_(program.version), error_(error) {}

    bool Run() {
        for (const Declaration& declaration : program_.declarations)
            Remember(declaration);
        for (const Instruction& instruction : program_.instructions)
            if (!CheckInstruction(instruction)) return false;
        return CheckOutputs();
    }

private:
    // Written (temporaries, texture registers of ps_1_1, a0, outputs) or
    // declared (inputs) components per register.
    uint8_t& State(const Register& reg) { return state_[static_cast<int>(reg.file)][reg.number % kMaxRegisters]; }

    void Remember(const Declaration& declaration) { State(declaration.reg) = declaration.mask; }

    bool CheckInstruction(const Instruction& instruction) {
        if (!CheckInstructionOperands(instruction, version_, error_) || !CheckOrder(instruction) ||
            !CheckReadPorts(instruction))
            return false;
        for (int i = 0; i < instruction.sourceCount; ++i)
            if (!CheckRead(instruction, i)) return false;
        if (!CountSlots(instruction)) return false;
        const Register& destination = instruction.destination.reg;
        if (destination.file == RegisterFile::kPixelOut && State(destination) != 0)
            return error_.Report(instruction.line, "oC%d уже записан: в ps_2_0 его записывают один раз.",
                                 destination.number);
        State(destination) |= instruction.destination.writeMask;
        return true;
    }

    // In ps_1_1 the texture loads come before all arithmetic.
    bool CheckOrder(const Instruction& instruction) {
        if (version_.IsVertex() || version_.IsModel2()) return true;
        const bool load = instruction.info->pattern == ReadPattern::kTextureLoad;
        if (!load) {
            arithmeticSeen_ = true;
            return true;
        }
        if (arithmeticSeen_) return error_.Report(instruction.line, "в ps_1_1 tex должны стоять перед арифметикой.");
        return true;
    }

    bool CheckReadPorts(const Instruction& instruction) {
        const ReadPorts ports = PortsOf(version_);
        struct Counted {
            RegisterFile file;
            int limit;
            const char* name;
        } counted[] = {{RegisterFile::kTemp, ports.temp, "r"},
                       {RegisterFile::kInput, ports.input, "v"},
                       {RegisterFile::kConst, ports.constant, "c"},
                       {RegisterFile::kTexture, ports.texture, "t"}};
        for (const Counted& file : counted) {
            int distinct = 0;
            for (int i = 0; i < instruction.sourceCount; ++i) {
                const SourceOperand& source = instruction.sources[i];
                if (source.reg.file != file.file) continue;
                bool seen = false;
                for (int j = 0; j < i && !seen; ++j) {
                    const SourceOperand& earlier = instruction.sources[j];
                    seen = earlier.reg == source.reg && earlier.relative == source.relative;
                }
                if (!seen) ++distinct;
            }
            if (distinct > file.limit)
                return error_.Report(instruction.line, "инструкция читает %d разных регистра %s, а %s допускает %d.",
                                     distinct, file.name, version_.Name(), file.limit);
        }
        return true;
    }

    bool CheckRead(const Instruction& instruction, int index) {
        const int line = instruction.line;
        const SourceOperand& source = instruction.sources[index];
        if (source.relative) {
            Register address{RegisterFile::kAddress, 0};
            if (!(State(address) & (1 << source.relativeComponent)))
                return error_.Report(line, "компонента a0.%c читается до записи.", "xyzw"[source.relativeComponent]);
        }
        const RegisterFile file = source.reg.file;
        const uint8_t needed = ComponentsRead(instruction, index);
        char names[5];
        switch (file) {
            case RegisterFile::kConst:
                return true;
            case RegisterFile::kSampler:
                if (State(source.reg) == 0)
                    return error_.Report(line, "регистр %s не объявлен (dcl_2d).", RegisterName(source.reg).CStr());
                return true;
            case RegisterFile::kInput:
            case RegisterFile::kTexture:
                if (version_.IsVertex() || version_.IsModel2()) {
                    const uint8_t declared = State(source.reg);
                    if (declared == 0)
                        return error_.Report(line, "регистр %s не объявлен (dcl).", RegisterName(source.reg).CStr());
                    // texld reads the coordinates it needs from a declared register.
                    if (instruction.info->pattern != ReadPattern::kTextureLoad && (needed & ~declared))
                        return error_.Report(line, "компоненты .%s регистра %s не объявлены.",
                                             ComponentNames(needed & ~declared, names),
                                             RegisterName(source.reg).CStr());
                    return true;
                }
                if (file == RegisterFile::kInput) return true;  // the colours of ps_1_1
                break;
            default:
                break;
        }
        const uint8_t written = State(source.reg);
        if (needed & ~written)
            return error_.Report(line, "компоненты .%s регистра %s читаются до записи.",
                                 ComponentNames(needed & ~written, names), RegisterName(source.reg).CStr());
        return true;
    }

    bool CountSlots(const Instruction& instruction) {
        const Limits limits = LimitsOf(version_);
        const bool load = instruction.info->pattern == ReadPattern::kTextureLoad;
        if (load && ++textureLoads_ > limits.texture)
            return error_.Report(instruction.line, "в %s не больше %d выборок из текстур.", version_.Name(),
                                 limits.texture);
        if (!load && (arithmeticSlots_ += instruction.info->slots) > limits.arithmetic)
            return error_.Report(instruction.line, "в %s не больше %d арифметических инструкций.", version_.Name(),
                                 limits.arithmetic);
        return true;
    }

    bool CheckOutputs() {
        const int line = program_.instructions.empty() ? 1 : program_.instructions.back().line;
        if (version_.IsVertex()) {
            if (State(Register{RegisterFile::kPosition, 0}) != kMaskAll)
                return error_.Report(line, "шейдер не записывает все компоненты oPos.");
            return true;
        }
        if (!version_.IsModel2()) {
            if (State(Register{RegisterFile::kTemp, 0}) != kMaskAll)
                return error_.Report(line, "шейдер не записывает все компоненты результата r0.");
            return true;
        }
        int highest = -1;
        for (int i = 0; i < RegisterCount(version_, RegisterFile::kPixelOut); ++i)
            if (State(Register{RegisterFile::kPixelOut, static_cast<uint16_t>(i)})) highest = i;
        for (int i = 0; i <= highest || i == 0; ++i)
            if (!State(Register{RegisterFile::kPixelOut, static_cast<uint16_t>(i)}))
                return error_.Report(line, "шейдер не записывает oC%d.", i);
        return true;
    }

    const ShaderProgram& program_;
    const ShaderVersion& version_;
    AssemblyError& error_;
    uint8_t state_[static_cast<int>(RegisterFile::kPixelOut) + 1][kMaxRegisters] = {};
    bool arithmeticSeen_ = false;
    int arithmeticSlots_ = 0;
    int textureLoads_ = 0;
};

}  // namespace

bool ValidateShader(const ShaderProgram& program, AssemblyError& error) { return Validator(program, error).Run(); }

}  // namespace zav::shader
