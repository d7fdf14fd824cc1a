#pragma once

#include <cstdint>

#include "engine/core/Array.h"
#include "engine/core/RefCounted.h"
#include "engine/core/Values.h"

namespace zav {

class BaseTexture;
class Object;
class Stream;
class String;
class TypeInfo;

// What a keyframe carries besides its time; an animation holds keys of one
// kind only.
enum class KeyframeKind : int32_t { kTime, kNode, kTexture, kColor, kBool, kFloat };

// One key of an animation: a plain record (no name, ID or count) owned by
// its animation. `time` is a fraction of the animation's cycle. Its record is
// the time as a double, then what the kind adds.
struct Keyframe {
    Keyframe() = default;
    virtual ~Keyframe() = default;
    Keyframe(const Keyframe&) = delete;
    Keyframe& operator=(const Keyframe&) = delete;

    virtual KeyframeKind GetKind() const { return KeyframeKind::kTime; }
    // 0, or 1 after logging the field that failed.
    virtual int Save(Stream& stream);
    virtual int Load(Stream& stream);
    // Nothing, except for a texture key, which asks its texture.
    virtual Object* FindObject(const String& name);
    virtual void CollectObjects(const TypeInfo* type, Array<Object*>& objects);

    double time = 0.0;
};

struct NodeKeyframe : Keyframe {
    KeyframeKind GetKind() const override { return KeyframeKind::kNode; }
    int Save(Stream& stream) override;
    int Load(Stream& stream) override;

    Vector3 translation;
    Quaternion rotation;
    Vector3 scale{1.0f, 1.0f, 1.0f};
};

struct TextureKeyframe : Keyframe {
    TextureKeyframe();
    ~TextureKeyframe() override;

    KeyframeKind GetKind() const override { return KeyframeKind::kTexture; }
    int Save(Stream& stream) override;
    int Load(Stream& stream) override;
    Object* FindObject(const String& name) override;
    void CollectObjects(const TypeInfo* type, Array<Object*>& objects) override;

    Ref<BaseTexture> texture;
};

struct ColorKeyframe : Keyframe {
    KeyframeKind GetKind() const override { return KeyframeKind::kColor; }
    int Save(Stream& stream) override;
    int Load(Stream& stream) override;

    Color color;
};

struct BoolKeyframe : Keyframe {
    KeyframeKind GetKind() const override { return KeyframeKind::kBool; }
    int Save(Stream& stream) override;
    int Load(Stream& stream) override;

    bool value = true;
};

struct FloatKeyframe : Keyframe {
    KeyframeKind GetKind() const override { return KeyframeKind::kFloat; }
    int Save(Stream& stream) override;
    int Load(Stream& stream) override;

    float value = 0.0f;
};

// A new default key of `kind` (null when memory runs out).
Keyframe* NewKeyframe(KeyframeKind kind);
// The bytes the record of a key of `kind` takes at least (a texture key's
// reference at its shortest).
int32_t StoredKeyframeSize(KeyframeKind kind);

}  // namespace zav
