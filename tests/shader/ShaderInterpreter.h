#pragma once

// Runs an assembled shader token stream on the host, one vertex or one pixel
// at a time, for the instructions the program's texts use. Tests use it to
// check what the texts compute; it reads the tokens as a device would, so it
// also checks their structure (lengths, parameter bits).

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace zav::test {

struct Vec4 {
    float x = 0, y = 0, z = 0, w = 0;
    float& operator[](int i) { return (&x)[i]; }
    float operator[](int i) const { return (&x)[i]; }
};

class ShaderInterpreter {
public:
    // Inputs: vertex elements or pixel colours (v#), constants (c#, the
    // shader's own definitions are applied over them), texture coordinates of
    // a pixel shader (t#) and the texture lookup.
    Vec4 inputs[16];
    Vec4 constants[256];
    Vec4 textures[8];
    std::function<Vec4(int sampler, const Vec4& coordinates)> sample;

    // Outputs: oPos, oFog, oD#, oT#, oC#; temporaries stay readable (r0 is
    // the result of pixel shader 1.1).
    Vec4 position;
    float fog = 0;
    Vec4 colors[2];
    Vec4 texCoords[8];
    Vec4 pixels[4];
    Vec4 temps[12];

    // False with `error` set when a token is not understood.
    bool Run(const std::vector<uint32_t>& tokens, std::string* error);

private:
    struct Parameter {
        uint32_t token = 0;
        uint32_t address = 0;  // the relative-address token of model 2.0
    };

    Vec4 Read(const Parameter& source) const;
    void Write(uint32_t token, Vec4 value);
    bool Execute(uint32_t opcode, const std::vector<Parameter>& parameters, std::string* error);

    Vec4 address_;
    bool model2_ = false;
    bool vertex_ = true;
};

}  // namespace zav::test
