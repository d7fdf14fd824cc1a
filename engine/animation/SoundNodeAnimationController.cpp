#include "engine/animation/SoundNodeAnimationController.h"

#include "engine/core/ClassRegistration.h"
#include "engine/scene/SoundNode.h"
#include "engine/sound/SoundManager.h"

namespace zav {

ZAV_REGISTER_CLASS(SoundNodeAnimationController);

void SoundNodeAnimationController::Play(double time) {
    PlayOn<SoundNode>(time, [this](SoundNode& node) {
        const BoolKeyframe* key = LastBoolKey();
        const bool on = !key || key->value;
        const uint32_t stream = node.GetStream();
        const audio::AudioEntryPoints* library = stream ? GetSoundLibrary() : nullptr;
        const bool streamPlays = library && library->ChannelIsActive(stream) == audio::kAudioPlaying;
        if (on) {
            if (library && !streamPlays) library->ChannelPlay(stream, 1);
            node.SetPlaying(true);
            if (library) library->ChannelPlay(stream, 0);
        } else {
            if (streamPlays) library->ChannelStop(stream);
            node.SetPlaying(false);
            if (library) library->ChannelStop(stream);
        }
    });
}

}  // namespace zav
