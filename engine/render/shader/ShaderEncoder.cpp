#include "engine/render/shader/ShaderEncoder.h"

#include <cstring>

#include "engine/render/shader/ShaderInstructions.h"
#include "engine/render/shader/ShaderRegisters.h"
#include "engine/render/shader/ShaderTokens.h"

namespace zav::shader {
namespace {

class Encoder {
public:
    Encoder(const ShaderVersion& version, std::vector<uint32_t>& tokens) : version_(version), tokens_(tokens) {}

    void WriteVersion() {
        const uint32_t base = version_.IsVertex() ? kVertexVersionBase : kPixelVersionBase;
        tokens_.push_back(base | static_cast<uint32_t>(version_.major) << 8 | version_.minor);
    }

    void WriteDeclaration(const Declaration& declaration) {
        Opcode(kOpDcl, 2);
        uint32_t usage = kParameterBit;
        if (declaration.reg.file == RegisterFile::kSampler)
            usage |= static_cast<uint32_t>(declaration.textureType) << kTextureTypeShift;
        else if (version_.IsVertex())
            usage |= declaration.usage | static_cast<uint32_t>(declaration.usageIndex) << kUsageIndexShift;
        tokens_.push_back(usage);
        Destination(declaration.reg, declaration.mask, false);
    }

    void WriteDefinition(const Definition& definition) {
        Opcode(kOpDef, 5);
        Destination(Register{RegisterFile::kConst, definition.constant}, kMaskAll, false);
        for (float value : definition.values) {
            uint32_t bits = 0;
            std::memcpy(&bits, &value, sizeof bits);
            tokens_.push_back(bits);
        }
    }

    void WriteInstruction(const Instruction& instruction) {
        int length = 1 + instruction.sourceCount;
        for (int i = 0; i < instruction.sourceCount; ++i)
            if (RelativeToken(instruction.sources[i])) ++length;
        Opcode(instruction.info->opcode, length);
        Destination(instruction.destination.reg, instruction.destination.writeMask, instruction.saturate);
        for (int i = 0; i < instruction.sourceCount; ++i) Source(instruction.sources[i]);
    }

    void WriteEnd() { tokens_.push_back(kEndToken); }

private:
    // Shader model 1.x leaves the length field of instruction tokens zero.
    void Opcode(uint16_t opcode, int length) {
        uint32_t token = opcode;
        if (version_.IsModel2()) token |= static_cast<uint32_t>(length) << kInstructionLengthShift;
        tokens_.push_back(token);
    }

    void Destination(const Register& reg, uint8_t mask, bool saturate) {
        // oFog is a scalar; its token carries the full mask.
        if (reg.file == RegisterFile::kFog) mask = kMaskAll;
        uint32_t token = kParameterBit | RegisterBits(reg) | static_cast<uint32_t>(mask) << kWriteMaskShift;
        if (saturate) token |= kResultSaturate;
        tokens_.push_back(token);
    }

    // Model 2.0 names the address register of relative addressing in a token
    // of its own; vs_1_1 implies a0.x.
    bool RelativeToken(const SourceOperand& source) const { return source.relative && version_.IsModel2(); }

    void Source(const SourceOperand& source) {
        uint32_t token = kParameterBit | RegisterBits(source.reg);
        token |= static_cast<uint32_t>(source.swizzle) << kSwizzleShift;
        if (source.negate) token |= kSourceNegate;
        if (source.relative) token |= kRelativeAddressing;
        tokens_.push_back(token);
        if (!RelativeToken(source)) return;
        const uint32_t component = source.relativeComponent;
        const uint32_t replicate = component | component << 2 | component << 4 | component << 6;
        const Register address{RegisterFile::kAddress, 0};
        tokens_.push_back(kParameterBit | RegisterBits(address) | replicate << kSwizzleShift);
    }

    const ShaderVersion& version_;
    std::vector<uint32_t>& tokens_;
};

}  // namespace

void EncodeShader(const ShaderProgram& program, std::vector<uint32_t>& tokens) {
    Encoder encoder(program.version, tokens);
    encoder.WriteVersion();
    for (const Declaration& declaration : program.declarations)
        if (declaration.reg.file != RegisterFile::kSampler) encoder.WriteDeclaration(declaration);
    for (const Declaration& declaration : program.declarations)
        if (declaration.reg.file == RegisterFile::kSampler) encoder.WriteDeclaration(declaration);
    for (const Definition& definition : program.definitions) encoder.WriteDefinition(definition);
    for (const Instruction& instruction : program.instructions) encoder.WriteInstruction(instruction);
    encoder.WriteEnd();
}

}  // namespace zav::shader
