#include "tools/soundgen/TestScene.h"

#include "engine/scene/SoundNode.h"
#include "engine/scene/TransformMath.h"

namespace zav::soundgen {

namespace {

Ref<SoundNode> MakeSound(const char* name, const char* file, bool is3D, const Vector3& position,
                         float minDistance) {
    Ref<SoundNode> sound(new SoundNode(name));
    sound->SetFileName(file);
    sound->SetLoop(true);
    sound->SetVolume(100);
    sound->SetMinDistance(minDistance);
    sound->SetLocalTransform(MakeTransform({1.0f, 1.0f, 1.0f}, {}, position));
    sound->Set3D(is3D);
    return sound;
}

}  // namespace

Ref<SceneNode> BuildSoundTestScene() {
    Ref<SceneNode> root(new SceneNode("SoundTest"));
    root->AddChild(MakeSound("Music", kMusicFile, false, {}, 3.4028235e38f).Get());
    root->AddChild(MakeSound("Beacon", kBeaconFile, true, {-4.0f, 0.0f, 0.0f}, 10.0f).Get());
    return root;
}

}  // namespace zav::soundgen
