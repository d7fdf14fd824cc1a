#pragma once

#include <cstdint>

#include "engine/core/Object.h"
#include "engine/render/DeviceResource.h"

namespace zav {

// The assembly text of one vertex or pixel shader and, as its device
// object, the device shader the renderer assembles from it at the first
// bind. The text is one of the program's constant strings and is not
// owned; a record stores only the Object part (the effect that owns the
// shader gives it its text again).
class Shader : public Object, public DeviceResource {
    ZAV_OBJECT_CLASS(Shader, Object)

    explicit Shader(const String& name = String()) : Object(name) {}
    // Asks the renderer that made the device shader to release it.
    ~Shader() override;

    // Takes `text` (null for none) and drops the device shader, so that the
    // next bind assembles the new text.
    void SetSource(const char* text);
    const char* GetSource() const { return source_; }
    int32_t GetSourceLength() const { return sourceLength_; }

    // Whether the renderer makes a vertex shader of the text (else a pixel one).
    virtual bool IsVertexShader() const = 0;

private:
    const char* source_ = nullptr;
    int32_t sourceLength_ = 0;
};

class VertexShader : public Shader {
    ZAV_OBJECT_CLASS(VertexShader, Shader)
    explicit VertexShader(const String& name = String()) : Shader(name) {}
    bool IsVertexShader() const override { return true; }
};

class PixelShader : public Shader {
    ZAV_OBJECT_CLASS(PixelShader, Shader)
    explicit PixelShader(const String& name = String()) : Shader(name) {}
    bool IsVertexShader() const override { return false; }
};

}  // namespace zav
