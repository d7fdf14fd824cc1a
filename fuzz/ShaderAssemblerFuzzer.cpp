#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "engine/core/Result.h"
#include "engine/render/shader/ShaderAssembler.h"

using namespace zav;

namespace {

constexpr size_t kMaxText = 1u << 16;

void Check(bool condition) {
    if (!condition) std::abort();
}

// The stream must be a version token, whole instructions and the end token.
void CheckStructure(const std::vector<uint32_t>& tokens) {
    Check(tokens.size() >= 2 && tokens.back() == 0x0000FFFFu);
    const uint32_t version = tokens[0];
    Check((version >> 16) == 0xFFFEu || (version >> 16) == 0xFFFFu);
    if (((version >> 8) & 0xFF) < 2) return;  // model 1.x does not store lengths
    size_t at = 1;
    while (tokens[at] != 0x0000FFFFu) {
        Check(!(tokens[at] & 0x80000000u));
        at += 1 + ((tokens[at] >> 24) & 0xF);
        Check(at < tokens.size());
    }
    Check(at + 1 == tokens.size());
}

}  // namespace

// Any text either assembles into a well-formed stream, the same on every
// run, or fails with one line of error text; nothing else.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > kMaxText) return 0;
    const char* text = reinterpret_cast<const char*>(data);
    std::vector<uint32_t> tokens;
    String errors;
    const int result = AssembleShader(text, static_cast<int32_t>(size), tokens, errors);
    if (result == kOk) {
        Check(errors.IsEmpty());
        CheckStructure(tokens);
        std::vector<uint32_t> again;
        Check(AssembleShader(text, static_cast<int32_t>(size), again, errors) == kOk && again == tokens);
        return 0;
    }
    Check(result == kFailed && tokens.empty() && !errors.IsEmpty());
    Check(std::memchr(errors.CStr(), '\n', errors.Length()) == nullptr);
    return 0;
}
