#pragma once

// The interface of the screensaver's audio library ("BASS" resource 108):
// the entry points the library exports under the names "BASS_<name>", their
// constants and types. The engine's sound manager binds them by name; the
// library's own sources define them.
//
// Conventions: a call that returns a BOOL-like int32_t gives 1 on success and
// 0 on failure; a handle of 0 means failure. After every call
// BASS_ErrorGetCode returns the call's error code (kAudioOk on success).
// Channel handles are only ever issued once; a freed or foreign handle fails
// with kAudioErrorHandle.

#include <cstdint>

namespace zav::audio {

constexpr uint32_t kAudioVersion = 0x00020002;

// BASS_Init: device -1 is the default output (device 1); device 0 plays
// nothing and needs no sound hardware.
constexpr int32_t kAudioDefaultDevice = -1;
constexpr uint32_t kAudioNoSoundDevice = 0;
constexpr uint32_t kAudioOutputDevice = 1;
constexpr uint32_t kAudioInit3D = 4;  // accepted; 3D sound is always on

// Stream creation and channel flags.
constexpr uint32_t kAudioLoop = 4;
constexpr uint32_t kAudio3D = 8;

// BASS_SetConfig options: the volume of every stream, 0-100.
constexpr uint32_t kAudioConfigStreamVolume = 5;

// BASS_ChannelSet3DAttributes modes (-1 leaves the mode).
constexpr int32_t kAudio3DNormal = 0;    // position in world space
constexpr int32_t kAudio3DRelative = 1;  // position relative to the listener, in its own axes
constexpr int32_t kAudio3DOff = 2;       // played as if at the listener

// BASS_ChannelIsActive.
constexpr uint32_t kAudioStopped = 0;
constexpr uint32_t kAudioPlaying = 1;

// BASS_ErrorGetCode.
enum AudioError : int32_t {
    kAudioOk = 0,
    kAudioErrorMemory = 1,        // out of memory
    kAudioErrorFile = 2,          // the file cannot be opened or read
    kAudioErrorNoDevice = 3,      // no output device could be opened
    kAudioErrorHandle = 5,        // not a live channel handle
    kAudioErrorFormat = 6,        // an output format the device does not take
    kAudioErrorNotInitialized = 8,
    kAudioErrorAlready = 14,      // BASS_Init while a device is initialised
    kAudioErrorParameter = 20,    // an argument out of range
    kAudioErrorNot3D = 21,        // a 3D call on a channel without 3D
    kAudioErrorDevice = 23,       // no such device number
    kAudioErrorNotSample = 37,    // the handle is not a sample
    kAudioErrorFileFormat = 41,   // not a sound file the library decodes
};

// A vector of the library's 3D space: x right, y up, z forward (left-handed,
// as the engine's own space).
struct AudioVector {
    float x, y, z;
};

// Every entry point as X(return type, name, parameter list, argument list);
// the exported symbol is "BASS_" followed by the name. Types are spelled in
// full so that the list expands in any namespace.
#define ZAV_AUDIO_ENTRY_POINTS(X)                                                                              \
    X(uint32_t, GetVersion, (), ())                                                                          \
    X(int32_t, Init, (int32_t device, uint32_t frequency, uint32_t flags, void* window, const void* classId), \
      (device, frequency, flags, window, classId))                                                            \
    X(int32_t, Free, (), ())                                                                                  \
    X(uint32_t, GetDevice, (), ())                                                                           \
    X(const char*, GetDeviceDescription, (uint32_t device), (device))                                        \
    X(int32_t, ErrorGetCode, (), ())                                                                          \
    X(uint32_t, SetConfig, (uint32_t option, uint32_t value), (option, value))                                \
    X(int32_t, Set3DFactors, (float distanceFactor, float rolloffFactor, float dopplerFactor),                \
      (distanceFactor, rolloffFactor, dopplerFactor))                                                         \
    X(int32_t, Set3DPosition,                                                                                 \
      (const ::zav::audio::AudioVector* position, const ::zav::audio::AudioVector* velocity, const ::zav::audio::AudioVector* front,                   \
       const ::zav::audio::AudioVector* top),                                                                               \
      (position, velocity, front, top))                                                                       \
    X(void, Apply3D, (), ())                                                                                  \
    X(uint32_t, StreamCreateFile,                                                                             \
      (int32_t fromMemory, const void* file, uint32_t offset, uint32_t length, uint32_t flags),              \
      (fromMemory, file, offset, length, flags))                                                              \
    X(void, StreamFree, (uint32_t channel), (channel))                                                        \
    X(uint32_t, SampleGetChannel, (uint32_t sample, int32_t onlyNew), (sample, onlyNew))                      \
    X(int32_t, ChannelSetFlags, (uint32_t channel, uint32_t flags), (channel, flags))                         \
    X(int32_t, ChannelSetAttributes, (uint32_t channel, int32_t frequency, int32_t volume, int32_t pan),     \
      (channel, frequency, volume, pan))                                                                      \
    X(int32_t, ChannelSet3DAttributes,                                                                        \
      (uint32_t channel, int32_t mode, float minDistance, float maxDistance, int32_t innerAngle,              \
       int32_t outerAngle, int32_t outerVolume),                                                              \
      (channel, mode, minDistance, maxDistance, innerAngle, outerAngle, outerVolume))                         \
    X(int32_t, ChannelSet3DPosition,                                                                          \
      (uint32_t channel, const ::zav::audio::AudioVector* position, const ::zav::audio::AudioVector* orientation,                        \
       const ::zav::audio::AudioVector* velocity),                                                                          \
      (channel, position, orientation, velocity))                                                             \
    X(int32_t, ChannelPlay, (uint32_t channel, int32_t restart), (channel, restart))                          \
    X(int32_t, ChannelStop, (uint32_t channel), (channel))                                                    \
    X(uint32_t, ChannelIsActive, (uint32_t channel), (channel))

// One function pointer per entry point, named as the entry point without
// its prefix.
struct AudioEntryPoints {
#define ZAV_AUDIO_POINTER(result, name, parameters, arguments) result(*name) parameters = nullptr;
    ZAV_AUDIO_ENTRY_POINTS(ZAV_AUDIO_POINTER)
#undef ZAV_AUDIO_POINTER
};

}  // namespace zav::audio
