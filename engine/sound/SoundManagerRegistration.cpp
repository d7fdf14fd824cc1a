// The sound manager in the engine's lists. Only the Windows executable
// carries the audio library; host programs start the engine without it.
#include "engine/core/Engine.h"
#include "engine/sound/SoundManager.h"

namespace zav {

namespace {

bool gSoundManagerRegistered = false;
EngineRegistration gSoundManagerRegistration(gSoundManagerRegistered, InitializeSoundManager, ShutdownSoundManager);

}  // namespace

}  // namespace zav
