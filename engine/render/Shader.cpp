#include "engine/render/Shader.h"

#include <cstring>

#include "engine/core/ClassRegistration.h"
#include "engine/render/Renderer.h"

namespace zav {

ZAV_REGISTER_ABSTRACT_CLASS(Shader);
ZAV_REGISTER_CLASS(VertexShader);
ZAV_REGISTER_CLASS(PixelShader);

Shader::~Shader() {
    if (Renderer* owner = GetOwner()) owner->ReleaseDeviceObject(this);
}

void Shader::SetSource(const char* text) {
    source_ = text;
    const size_t length = text ? std::strlen(text) : 0;
    sourceLength_ = length > INT32_MAX ? INT32_MAX : static_cast<int32_t>(length);
    if (Renderer* owner = GetOwner()) owner->ReleaseDeviceObject(this);
}

}  // namespace zav
