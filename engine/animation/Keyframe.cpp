#include "engine/animation/Keyframe.h"

#include <new>

#include "engine/core/Log.h"
#include "engine/core/Result.h"
#include "engine/core/Stream.h"
#include "engine/render/BaseTexture.h"

namespace zav {

namespace {

int ValueSaveFailed() {
    LogError("Невозможно сохранить данные кифрейма.");
    return kFailed;
}

int ValueLoadFailed() {
    LogError("Невозможно загрузить данные кифрейма.");
    return kFailed;
}

}  // namespace

int Keyframe::Save(Stream& stream) {
    if (stream.WriteDouble(time) != kOk) {
        LogError("Невозможно сохранить родительские данные кифрейма.");
        return kFailed;
    }
    return kOk;
}

int Keyframe::Load(Stream& stream) {
    if (stream.ReadDouble(time) != kOk) {
        LogError("Невозможно загрузить родительские данные кифрейма.");
        return kFailed;
    }
    return kOk;
}

Object* Keyframe::FindObject(const String&) { return nullptr; }

void Keyframe::CollectObjects(const TypeInfo*, Array<Object*>&) {}

int NodeKeyframe::Save(Stream& stream) {
    if (Keyframe::Save(stream) != kOk) return kFailed;
    stream.WriteVector3(translation);
    stream.WriteQuaternion(rotation);
    if (stream.WriteVector3(scale) != kOk) return ValueSaveFailed();
    return kOk;
}

int NodeKeyframe::Load(Stream& stream) {
    if (Keyframe::Load(stream) != kOk) return kFailed;
    stream.ReadVector3(translation);
    stream.ReadQuaternion(rotation);
    if (stream.ReadVector3(scale) != kOk) return ValueLoadFailed();
    return kOk;
}

TextureKeyframe::TextureKeyframe() = default;
TextureKeyframe::~TextureKeyframe() = default;

int TextureKeyframe::Save(Stream& stream) {
    if (Keyframe::Save(stream) != kOk) return kFailed;
    if (stream.WriteObject(texture) != kOk) {
        LogError("Невозможно сохранить текстуру кифрейма.");
        return kFailed;
    }
    return kOk;
}

int TextureKeyframe::Load(Stream& stream) {
    if (Keyframe::Load(stream) != kOk) return kFailed;
    if (stream.ReadReference(texture) != kOk) {
        LogError("Невозможно загрузить текстуру кифрейма.");
        return kFailed;
    }
    return kOk;
}

Object* TextureKeyframe::FindObject(const String& name) { return texture ? texture->FindObject(name) : nullptr; }

void TextureKeyframe::CollectObjects(const TypeInfo* type, Array<Object*>& objects) {
    if (texture) texture->CollectObjects(type, objects);
}

int ColorKeyframe::Save(Stream& stream) {
    if (Keyframe::Save(stream) != kOk) return kFailed;
    if (stream.WriteColor(color) != kOk) return ValueSaveFailed();
    return kOk;
}

int ColorKeyframe::Load(Stream& stream) {
    if (Keyframe::Load(stream) != kOk) return kFailed;
    if (stream.ReadColor(color) != kOk) return ValueLoadFailed();
    return kOk;
}

int BoolKeyframe::Save(Stream& stream) {
    if (Keyframe::Save(stream) != kOk) return kFailed;
    if (stream.WriteBool(value) != kOk) return ValueSaveFailed();
    return kOk;
}

int BoolKeyframe::Load(Stream& stream) {
    if (Keyframe::Load(stream) != kOk) return kFailed;
    if (stream.ReadBool(value) != kOk) return ValueLoadFailed();
    return kOk;
}

int FloatKeyframe::Save(Stream& stream) {
    if (Keyframe::Save(stream) != kOk) return kFailed;
    if (stream.WriteFloat(value) != kOk) return ValueSaveFailed();
    return kOk;
}

int FloatKeyframe::Load(Stream& stream) {
    if (Keyframe::Load(stream) != kOk) return kFailed;
    if (stream.ReadFloat(value) != kOk) return ValueLoadFailed();
    return kOk;
}

Keyframe* NewKeyframe(KeyframeKind kind) {
    switch (kind) {
        case KeyframeKind::kNode: return new (std::nothrow) NodeKeyframe();
        case KeyframeKind::kTexture: return new (std::nothrow) TextureKeyframe();
        case KeyframeKind::kColor: return new (std::nothrow) ColorKeyframe();
        case KeyframeKind::kBool: return new (std::nothrow) BoolKeyframe();
        case KeyframeKind::kFloat: return new (std::nothrow) FloatKeyframe();
        case KeyframeKind::kTime: break;
    }
    return new (std::nothrow) Keyframe();
}

int32_t StoredKeyframeSize(KeyframeKind kind) {
    constexpr int32_t kTime = 8;
    switch (kind) {
        case KeyframeKind::kNode: return kTime + 40;
        case KeyframeKind::kTexture: return kTime + 4;
        case KeyframeKind::kColor: return kTime + 16;
        case KeyframeKind::kBool: return kTime + 1;
        case KeyframeKind::kFloat: return kTime + 4;
        case KeyframeKind::kTime: break;
    }
    return kTime;
}

}  // namespace zav
