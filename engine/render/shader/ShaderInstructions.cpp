#include "engine/render/shader/ShaderInstructions.h"

#include <cstring>

#include "engine/render/shader/ShaderTokens.h"

namespace zav::shader {
namespace {

constexpr uint8_t kVertex = kVs11 | kVs20;

const InstructionInfo kInstructions[] = {
    {"mov", kOpMov, 1, kAllVersions, ReadPattern::kPerComponent, 1},
    {"add", kOpAdd, 2, kAllVersions, ReadPattern::kPerComponent, 1},
    {"sub", kOpSub, 2, kAllVersions, ReadPattern::kPerComponent, 1},
    {"mad", kOpMad, 3, kAllVersions, ReadPattern::kPerComponent, 1},
    {"mul", kOpMul, 2, kAllVersions, ReadPattern::kPerComponent, 1},
    {"rcp", kOpRcp, 1, kVertex | kPs20, ReadPattern::kScalar, 1},
    {"rsq", kOpRsq, 1, kVertex | kPs20, ReadPattern::kScalar, 1},
    {"dp3", kOpDp3, 2, kAllVersions, ReadPattern::kDot3, 1},
    {"dp4", kOpDp4, 2, kVertex | kPs20, ReadPattern::kDot4, 1},
    {"min", kOpMin, 2, kVertex | kPs20, ReadPattern::kPerComponent, 1},
    {"max", kOpMax, 2, kVertex | kPs20, ReadPattern::kPerComponent, 1},
    {"lit", kOpLit, 1, kVertex, ReadPattern::kLit, 3},
    {"frc", kOpFrc, 1, kVertex | kPs20, ReadPattern::kPerComponent, 3},
    {"m4x4", kOpM4x4, 2, kVertex, ReadPattern::kMatrix4, 4},
    {"mova", kOpMova, 1, kVs20, ReadPattern::kPerComponent, 1},
    {"tex", kOpTex, 0, kPs11, ReadPattern::kTextureLoad, 1},
    {"texld", kOpTex, 2, kPs20, ReadPattern::kTextureLoad, 1},
};

}  // namespace

uint8_t VersionBitOf(const ShaderVersion& version) {
    if (version.IsVertex()) return version.IsModel2() ? kVs20 : kVs11;
    return version.IsModel2() ? kPs20 : kPs11;
}

const InstructionInfo* FindInstruction(const char* name, int length) {
    for (const InstructionInfo& info : kInstructions)
        if (static_cast<int>(std::strlen(info.name)) == length && std::memcmp(info.name, name, length) == 0)
            return &info;
    return nullptr;
}

}  // namespace zav::shader
