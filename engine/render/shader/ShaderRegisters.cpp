#include "engine/render/shader/ShaderRegisters.h"

#include <cctype>
#include <cstring>

#include "engine/render/shader/ShaderTokens.h"

namespace zav::shader {
namespace {

// Columns of the count table: vs_1_1, vs_2_0, ps_1_1, ps_2_0.
int VersionColumn(const ShaderVersion& version) {
    return (version.IsVertex() ? 0 : 2) + (version.IsModel2() ? 1 : 0);
}

struct FileInfo {
    RegisterFile file;
    const char* name;  // lower case
    const char* displayName;
    bool numbered;
    int count[4];
    bool readable[4];
    bool writable[4];
};

// a0 is only read as the index of relative addressing, s# only by texld, so
// both count as not readable here; the parser and validator handle them.
const FileInfo kFiles[] = {
    {RegisterFile::kTemp, "r", "r", true, {12, 12, 2, 12}, {true, true, true, true}, {true, true, true, true}},
    {RegisterFile::kInput, "v", "v", true, {16, 16, 2, 2}, {true, true, true, true}, {}},
    {RegisterFile::kConst, "c", "c", true, {96, 256, 8, 32}, {true, true, true, true}, {}},
    {RegisterFile::kAddress, "a", "a", true, {0, 1, 0, 0}, {}, {false, true, false, false}},
    {RegisterFile::kTexture, "t", "t", true, {0, 0, 4, 8}, {false, false, true, true}, {false, false, true, false}},
    {RegisterFile::kSampler, "s", "s", true, {0, 0, 0, 16}, {}, {}},
    {RegisterFile::kPosition, "opos", "oPos", false, {1, 1, 0, 0}, {}, {true, true, false, false}},
    {RegisterFile::kFog, "ofog", "oFog", false, {1, 1, 0, 0}, {}, {true, true, false, false}},
    {RegisterFile::kColorOut, "od", "oD", true, {2, 2, 0, 0}, {}, {true, true, false, false}},
    {RegisterFile::kTexCoordOut, "ot", "oT", true, {8, 8, 0, 0}, {}, {true, true, false, false}},
    {RegisterFile::kPixelOut, "oc", "oC", true, {0, 0, 0, 4}, {}, {false, false, false, true}},
};

const FileInfo& Info(RegisterFile file) {
    for (const FileInfo& info : kFiles)
        if (info.file == file) return info;
    return kFiles[0];
}

uint32_t TypeBits(uint32_t type) {
    return ((type << kRegisterTypeShift) & kRegisterTypeMask) | ((type << kRegisterTypeShift2) & kRegisterTypeMask2);
}

}  // namespace

int RegisterCount(const ShaderVersion& version, RegisterFile file) { return Info(file).count[VersionColumn(version)]; }

bool IsReadable(const ShaderVersion& version, RegisterFile file) {
    return Info(file).readable[VersionColumn(version)];
}

bool IsWritable(const ShaderVersion& version, RegisterFile file) {
    return Info(file).writable[VersionColumn(version)];
}

bool FindRegisterFile(const char* name, int length, RegisterFile* file, bool* numbered) {
    for (const FileInfo& info : kFiles) {
        if (static_cast<int>(std::strlen(info.name)) != length) continue;
        bool same = true;
        for (int i = 0; i < length && same; ++i)
            same = std::tolower(static_cast<unsigned char>(name[i])) == info.name[i];
        if (!same) continue;
        *file = info.file;
        *numbered = info.numbered;
        return true;
    }
    return false;
}

String RegisterName(const Register& reg) {
    const FileInfo& info = Info(reg.file);
    if (!info.numbered) return String(info.displayName);
    return String::Format("%s%d", info.displayName, reg.number);
}

uint32_t RegisterBits(const Register& reg) {
    uint32_t type = kRegTemp;
    uint32_t number = reg.number;
    switch (reg.file) {
        case RegisterFile::kTemp: type = kRegTemp; break;
        case RegisterFile::kInput: type = kRegInput; break;
        case RegisterFile::kConst: type = kRegConst; break;
        case RegisterFile::kAddress: type = kRegAddress; break;
        case RegisterFile::kTexture: type = kRegTexture; break;
        case RegisterFile::kSampler: type = kRegSampler; break;
        case RegisterFile::kPosition: type = kRegRasterOut; number = kRasterOutPosition; break;
        case RegisterFile::kFog: type = kRegRasterOut; number = kRasterOutFog; break;
        case RegisterFile::kColorOut: type = kRegAttributeOut; break;
        case RegisterFile::kTexCoordOut: type = kRegTexCoordOut; break;
        case RegisterFile::kPixelOut: type = kRegColorOut; break;
    }
    return TypeBits(type) | (number & kRegisterNumberMask);
}

}  // namespace zav::shader
