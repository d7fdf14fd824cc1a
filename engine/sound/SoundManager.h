#pragma once

#include <cstdint>

#include "audio/AudioApi.h"

namespace zav {

// The sound manager: writes the audio library of resource "BASS" 108 to a
// temporary file ("bas" prefix), loads it, binds its entry points, checks
// its version, initialises the default device with 3D sound and turns the
// listener with the renderer's camera. Its init and shutdown functions are in
// the engine's lists on Windows, where the executable carries the library.
// Init logs each step's failure; it fails (1) only for a library of another
// version: without a library, or without a device, the run goes on silent.
int InitializeSoundManager();
int ShutdownSoundManager();

// The library's entry points while one is loaded (or installed), else null.
// A library is only used when it exports every entry point.
const audio::AudioEntryPoints* GetSoundLibrary();

// Uses `entryPoints` (every one set) as the library without loading one,
// for tests and tools; null forgets them. The manager's shutdown frees the
// device and forgets them too.
void InstallSoundLibrary(const audio::AudioEntryPoints* entryPoints);

// Initialises the default device again, now for `window` (the full-screen
// window), and sets the 3D factors for the run. A device initialised at start
// stays in use; the log shows the second initialisation failing then.
void InitializeSoundDevice(void* window);

// Sets the volume of every stream: values above 100 (a negative volume read
// as unsigned included) become 100. 0, or 1 without a library.
int SetMasterVolume(uint32_t volume);

}  // namespace zav
