#pragma once

#include "audio/core/Output.h"

namespace zav::audio {

// Plays the mixer through the system's default wave output (waveOut): a
// thread refills a ring of buffers as the device hands them back.
std::unique_ptr<Output> OpenWaveOutOutput(Mixer& mixer, uint32_t rate, void* window, std::string& description);

}  // namespace zav::audio
