#pragma once

// Building blocks of the procedural sounds: envelopes, notes, noise and
// filters over loops. A loop is a Sound whose last frame joins its first:
// everything added to it past its end wraps around to its start, and the
// filters run over it as over an endless repetition, so it plays without a
// seam.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "tools/soundgen/SoundFiles.h"

namespace zav::soundgen {

constexpr double kTwoPi = 6.28318530717958647692;

// Equal temperament, MIDI numbering: 69 is A at 440 Hz.
double NoteFrequency(double note);

// 0 before `attack` seconds start, rising along a raised cosine to 1 over
// `attack`, holding 1 for `hold`, falling back to 0 over `release`.
double SmoothEnvelope(double time, double attack, double hold, double release);

// Adds a note that starts `start` seconds into the loop (wrapped, so it
// may be negative or past the end) and lasts `seconds`: `voice(time)` gives
// its sample at `time` seconds into the note, called once a frame in order,
// so that a voice may keep oscillators. Stereo loops take it with the gains
// of a constant-power pan: -1 left, 0 centre, 1 right.
void AddNote(Sound& loop, double start, double seconds, float pan, const std::function<double(double)>& voice);

// Scales the sound so that its largest sample has magnitude `peak`.
void NormalisePeak(Sound& sound, float peak);

// The largest sample magnitude, and the root mean square of all samples.
float Peak(const Sound& sound);
float Rms(const Sound& sound);

// A loop of white noise, -1..1, the same for the same seed.
std::vector<float> LoopNoise(size_t frames, uint32_t seed);

// Low-passes a loop in place with a one-pole filter whose cutoff in Hz is
// `cutoff(frame)`. The filter runs over the loop twice and keeps the second
// round, so its state at the start is the one the end leaves.
void LowPassLoop(std::vector<float>& loop, uint32_t rate, const std::function<double(size_t)>& cutoff);

// Ping-pong echo on a stereo loop: every `delay` frames the signal comes
// back `feedback` times as loud from the other side, mixed in at `wet`.
// Echoes past the end come back at the start.
void LoopedEcho(Sound& loop, size_t delay, float feedback, float wet);

}  // namespace zav::soundgen
