#include "engine/render/shader/ShaderAssembler.h"

#include "engine/core/Result.h"
#include "engine/render/shader/AssemblyError.h"
#include "engine/render/shader/ShaderEncoder.h"
#include "engine/render/shader/ShaderParser.h"
#include "engine/render/shader/ShaderValidator.h"

namespace zav {

int AssembleShader(const char* text, int32_t length, std::vector<uint32_t>& tokens, String& errors) {
    tokens.clear();
    errors = String();
    if (!text || length < 0) return kNotFound;
    shader::ShaderProgram program;
    shader::AssemblyError error;
    if (!shader::ParseShader(text, length, &program, error) || !shader::ValidateShader(program, error)) {
        errors = error.Text();
        return kFailed;
    }
    shader::EncodeShader(program, tokens);
    return kOk;
}

}  // namespace zav
