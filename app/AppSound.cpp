// The application's sound steps: the master volume of the run and the
// scene's sound nodes that the Music and SFX settings silence.
#include "app/SceneScreensaver.h"
#include "engine/scene/SoundNode.h"
#include "engine/sound/SoundManager.h"

namespace zav {

void ScreensaverApp::SetMasterVolume(int32_t volume) { zav::SetMasterVolume(static_cast<uint32_t>(volume)); }

void SceneScreensaver::SilenceSoundNode(SoundNode* soundNode, bool stop) {
    soundNode->SetVolume(0);
    if (!stop) return;
    soundNode->SetPlaying(false);
    const audio::AudioEntryPoints* library = GetSoundLibrary();
    if (library && soundNode->GetStream()) library->ChannelStop(soundNode->GetStream());
}

}  // namespace zav
