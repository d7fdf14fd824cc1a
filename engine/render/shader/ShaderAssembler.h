#pragma once

// The engine's own shader assembler: turns the assembly text of a vs_1_1,
// vs_2_0, ps_1_1 ("ps.1.1" too) or ps_2_0 shader into the Direct3D 9 token
// stream that CreateVertexShader / CreatePixelShader take. It covers the
// instructions, registers and forms of the program's own shader texts
// (engine/render/shader/ShaderTexts.h) and refuses anything else; it does
// not need the Direct3D utility library.

#include <cstdint>
#include <vector>

#include "engine/core/String.h"

namespace zav {

// Assembles `length` bytes of `text` (no terminating zero needed).
// kOk: `tokens` holds the shader, version token first and 0x0000FFFF last,
// and `errors` is empty. kFailed: the text is wrong; `errors` holds one line
// naming the text's line and the problem ("Строка 3: неизвестная
// инструкция \"mox\"."), for the caller to show, and `tokens` is empty.
// kNotFound: `text` is null or `length` negative. Nothing is logged.
int AssembleShader(const char* text, int32_t length, std::vector<uint32_t>& tokens, String& errors);

}  // namespace zav
