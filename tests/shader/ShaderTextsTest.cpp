#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "engine/core/Result.h"
#include "engine/render/shader/ShaderAssembler.h"
#include "engine/render/shader/ShaderTexts.h"

namespace zav {
namespace {

TEST(ShaderTexts, EveryTextAssembles) {
    int count = 0;
    const NamedShaderText* texts = ShaderTextList(&count);
    ASSERT_GT(count, 0);
    for (int i = 0; i < count; ++i) {
        std::vector<uint32_t> tokens;
        String errors;
        EXPECT_EQ(AssembleShader(texts[i].text, static_cast<int32_t>(std::strlen(texts[i].text)), tokens, errors), kOk)
            << texts[i].name << ": " << errors.CStr();
    }
}

}  // namespace
}  // namespace zav
