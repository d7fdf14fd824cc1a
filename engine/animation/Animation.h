#pragma once

#include <cstdint>
#include <memory>

#include "engine/animation/Keyframe.h"
#include "engine/core/Array.h"
#include "engine/core/Object.h"

namespace zav {

// A named, ordered list of keys of one kind over one cycle (key times are
// fractions of it, ascending as the search expects; keys are used in the
// order given). It does nothing by itself: blend stages of animation
// controllers evaluate it. Only the subclasses occur in scene files; they
// differ in the kind of key they hold and create when loading.
class Animation : public Object {
    ZAV_OBJECT_CLASS(Animation, Object)

    explicit Animation(const String& name = String());
    ~Animation() override;

    // The kind of key this class holds.
    virtual KeyframeKind GetKeyKind() const { return KeyframeKind::kTime; }

    int32_t GetKeyCount() const { return keys_.Count(); }
    // Null outside the list.
    Keyframe* GetKey(int32_t index) const;
    // Time of key `index`, which must exist.
    double KeyTime(int32_t index) const { return keys_[index]->time; }
    // Appends `key` and owns it: 0, 3 for null, 1 (the key is deleted) for a
    // key of another kind, 2 when memory runs out.
    int AddKey(Keyframe* key);
    void ClearKeys() { keys_.Clear(); }

    // The Object search, then every key.
    Object* FindObject(const String& name) override;
    void CollectObjects(const TypeInfo* type, Array<Object*>& objects) override;
    // Also the keys (a texture key may lead back here).
    void DropReferences() override;
    int Save(Stream& stream) override;
    // Appends a key of this class's kind for each key of the record.
    int Load(Stream& stream) override;

private:
    Array<std::unique_ptr<Keyframe>> keys_{1, 1};
};

class NodeAnimation : public Animation {
    ZAV_OBJECT_CLASS(NodeAnimation, Animation)
    explicit NodeAnimation(const String& name = String()) : Animation(name) {}
    KeyframeKind GetKeyKind() const override { return KeyframeKind::kNode; }
};

class TextureAnimation : public Animation {
    ZAV_OBJECT_CLASS(TextureAnimation, Animation)
    explicit TextureAnimation(const String& name = String()) : Animation(name) {}
    KeyframeKind GetKeyKind() const override { return KeyframeKind::kTexture; }
};

class ColorAnimation : public Animation {
    ZAV_OBJECT_CLASS(ColorAnimation, Animation)
    explicit ColorAnimation(const String& name = String()) : Animation(name) {}
    KeyframeKind GetKeyKind() const override { return KeyframeKind::kColor; }
};

// On/off keys for a sound node's playback.
class SoundNodeAnimation : public Animation {
    ZAV_OBJECT_CLASS(SoundNodeAnimation, Animation)
    explicit SoundNodeAnimation(const String& name = String()) : Animation(name) {}
    KeyframeKind GetKeyKind() const override { return KeyframeKind::kBool; }
};

class BoolAnimation : public Animation {
    ZAV_OBJECT_CLASS(BoolAnimation, Animation)
    explicit BoolAnimation(const String& name = String()) : Animation(name) {}
    KeyframeKind GetKeyKind() const override { return KeyframeKind::kBool; }
};

class FloatAnimation : public Animation {
    ZAV_OBJECT_CLASS(FloatAnimation, Animation)
    explicit FloatAnimation(const String& name = String()) : Animation(name) {}
    KeyframeKind GetKeyKind() const override { return KeyframeKind::kFloat; }
};

}  // namespace zav
