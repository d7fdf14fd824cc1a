#include "tests/shader/ShaderInterpreter.h"

#include <cmath>
#include <cstring>

namespace zav::test {
namespace {

constexpr uint32_t kEnd = 0x0000FFFF;

uint32_t TypeOf(uint32_t token) { return ((token >> 28) & 7) | ((token >> 8) & 0x18); }
uint32_t NumberOf(uint32_t token) { return token & 0x7FF; }

// Parameter tokens after an instruction token in shader model 1.x, where the
// token does not say (relative addressing is not used there).
int Model1Length(uint32_t opcode) {
    switch (opcode) {
        case 66:  // tex
            return 1;
        case 1:   // mov
        case 6:   // rcp
        case 7:   // rsq
        case 16:  // lit
        case 19:  // frc
        case 31:  // dcl
            return 2;
        case 4:  // mad
            return 4;
        case 81:  // def
            return 5;
        default:  // two sources
            return 3;
    }
}

float Dot(const Vec4& a, const Vec4& b, int count) {
    float sum = 0;
    for (int i = 0; i < count; ++i) sum += a[i] * b[i];
    return sum;
}

Vec4 Splat(float value) { return Vec4{value, value, value, value}; }

Vec4 Lit(const Vec4& source) {
    Vec4 result{1, 0, 0, 1};
    const float power = std::fmax(-128.0f, std::fmin(128.0f, source.w));
    if (source.x > 0) {
        result.y = source.x;
        if (source.y > 0) result.z = std::pow(source.y, power);
    }
    return result;
}

}  // namespace

Vec4 ShaderInterpreter::Read(const Parameter& source) const {
    const uint32_t token = source.token;
    uint32_t number = NumberOf(token);
    if (token & (1u << 13)) {
        const uint32_t component = model2_ ? (source.address >> 16) & 3 : 0;
        number += static_cast<uint32_t>(address_[component]);
    }
    Vec4 value;
    switch (TypeOf(token)) {
        case 0: value = temps[number % 12]; break;
        case 1: value = inputs[number % 16]; break;
        case 2: value = constants[number % 256]; break;
        case 3: value = textures[number % 8]; break;
        default: break;
    }
    Vec4 result;
    for (int slot = 0; slot < 4; ++slot) result[slot] = value[(token >> (16 + 2 * slot)) & 3];
    if (((token >> 24) & 0xF) == 1)
        for (int slot = 0; slot < 4; ++slot) result[slot] = -result[slot];
    return result;
}

void ShaderInterpreter::Write(uint32_t token, Vec4 value) {
    if (token & (1u << 20))
        for (int i = 0; i < 4; ++i) value[i] = std::fmax(0.0f, std::fmin(1.0f, value[i]));
    const uint32_t number = NumberOf(token);
    Vec4* target = nullptr;
    switch (TypeOf(token)) {
        case 0: target = &temps[number % 12]; break;
        case 3: target = vertex_ ? &address_ : &textures[number % 8]; break;
        case 4:
            if (number == 1) {
                fog = value.x;
                return;
            }
            target = &position;
            break;
        case 5: target = &colors[number % 2]; break;
        case 6: target = &texCoords[number % 8]; break;
        case 8: target = &pixels[number % 4]; break;
        default: return;
    }
    for (int i = 0; i < 4; ++i)
        if (token & (1u << (16 + i))) (*target)[i] = value[i];
}

bool ShaderInterpreter::Execute(uint32_t opcode, const std::vector<Parameter>& p, std::string* error) {
    auto source = [&](size_t index) { return Read(p[index]); };
    Vec4 result;
    switch (opcode) {
        case 31: return true;  // dcl
        case 81: {             // def
            Vec4& constant = constants[NumberOf(p[0].token) % 256];
            for (int i = 0; i < 4; ++i) std::memcpy(&constant[i], &p[i + 1].token, sizeof(float));
            return true;
        }
        case 1: result = source(1); break;
        case 2: case 3: case 4: case 5: case 10: case 11: {
            const Vec4 a = source(1), b = source(2), c = opcode == 4 ? source(3) : Vec4{};
            for (int i = 0; i < 4; ++i) {
                if (opcode == 2) result[i] = a[i] + b[i];
                if (opcode == 3) result[i] = a[i] - b[i];
                if (opcode == 4) result[i] = a[i] * b[i] + c[i];
                if (opcode == 5) result[i] = a[i] * b[i];
                if (opcode == 10) result[i] = std::fmin(a[i], b[i]);
                if (opcode == 11) result[i] = std::fmax(a[i], b[i]);
            }
            break;
        }
        case 6: result = Splat(1.0f / source(1).x); break;
        case 7: result = Splat(1.0f / std::sqrt(std::fabs(source(1).x))); break;
        case 8: result = Splat(Dot(source(1), source(2), 3)); break;
        case 9: result = Splat(Dot(source(1), source(2), 4)); break;
        case 16: result = Lit(source(1)); break;
        case 19: {
            const Vec4 a = source(1);
            for (int i = 0; i < 4; ++i) result[i] = a[i] - std::floor(a[i]);
            break;
        }
        case 20: {  // m4x4
            const Vec4 vector = source(1);
            for (int i = 0; i < 4; ++i) result[i] = Dot(vector, constants[(NumberOf(p[2].token) + i) % 256], 4);
            break;
        }
        case 46: {  // mova: round to nearest
            const Vec4 a = source(1);
            for (int i = 0; i < 4; ++i) result[i] = std::floor(a[i] + 0.5f);
            break;
        }
        case 66:  // tex t# (1.1) or texld r#, t#, s# (2.0)
            if (!sample) return false;
            if (model2_) result = sample(static_cast<int>(NumberOf(p[2].token)), source(1));
            else result = sample(static_cast<int>(NumberOf(p[0].token)), textures[NumberOf(p[0].token) % 8]);
            break;
        default:
            *error = "unknown opcode " + std::to_string(opcode);
            return false;
    }
    Write(p[0].token, result);
    return true;
}

bool ShaderInterpreter::Run(const std::vector<uint32_t>& tokens, std::string* error) {
    if (tokens.empty()) return false;
    const uint32_t version = tokens[0];
    vertex_ = (version >> 16) == 0xFFFE;
    model2_ = ((version >> 8) & 0xFF) >= 2;
    size_t at = 1;
    while (at < tokens.size() && tokens[at] != kEnd) {
        const uint32_t instruction = tokens[at++];
        const uint32_t opcode = instruction & 0xFFFF;
        if (instruction & 0x80000000u) {
            *error = "parameter token where an instruction was expected";
            return false;
        }
        const int length = model2_ ? static_cast<int>((instruction >> 24) & 0xF) : Model1Length(opcode);
        if (!model2_ && (instruction >> 24)) {
            *error = "length field set in a model 1.x instruction";
            return false;
        }
        std::vector<Parameter> parameters;
        for (int i = 0; i < length; ++i) {
            if (at >= tokens.size()) {
                *error = "stream ends inside an instruction";
                return false;
            }
            const uint32_t token = tokens[at++];
            const bool value = opcode == 81 && i > 0;  // the numbers of def
            if (!value && !(token & 0x80000000u)) {
                *error = "parameter token without bit 31";
                return false;
            }
            // In model 2.0 a relative source is followed by its address token,
            // which the length counts.
            if (model2_ && !value && i > 0 && !parameters.empty() && parameters.back().address == 0 &&
                (parameters.back().token & (1u << 13)) && TypeOf(token) == 3) {
                parameters.back().address = token;
                continue;
            }
            parameters.push_back(Parameter{token, 0});
        }
        if (!Execute(opcode, parameters, error)) return false;
    }
    if (at >= tokens.size() || at + 1 != tokens.size()) {
        *error = "the end token is missing or not last";
        return false;
    }
    return true;
}

}  // namespace zav::test
