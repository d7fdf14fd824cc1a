#pragma once

#include "audio/AudioApi.h"

namespace zav::audio {

// The listener: where sounds are heard from and which way it faces.
struct Listener {
    AudioVector position{0, 0, 0};
    AudioVector front{0, 0, 1};
    AudioVector top{0, 1, 0};
};

// The factors of BASS_Set3DFactors.
struct SpaceFactors {
    float distance = 1.0f;  // units per metre; positions and distances scale alike, so gains do not change
    float rolloff = 1.0f;   // 0 keeps every distance at full level; larger falls off faster
    float doppler = 1.0f;   // kept: without velocities there is no Doppler shift
};

// A 3D channel's placement (BASS_ChannelSet3DAttributes and -Position).
struct Placement {
    int32_t mode = kAudio3DNormal;
    AudioVector position{0, 0, 0};
    float minDistance = 1.0f;
    float maxDistance = 1.0e9f;
};

// Gains of the left and right output for a sound at `placement`:
// - distance d from the listener (mode normal: position minus the listener's
//   position; relative: the position itself; off: 0). Up to the minimum
//   distance the sound has full level; beyond it the level falls as
//   min / (min + rolloff * (d - min)), which is -6 dB per doubling of the
//   distance at rolloff 1 and steeper with larger factors; distances beyond
//   the maximum count as the maximum.
// - pan p = the component of the direction along the listener's right axis
//   (top x front, both made orthonormal), from -1 (left) to +1 (right); the
//   level is split by the constant-power law: left cos((p + 1) pi / 4),
//   right sin((p + 1) pi / 4). A sound at the listener is centred.
// Positions or axes that are not finite, or axes without a direction, give
// silence rather than numbers that are not numbers.
struct StereoGain {
    float left = 0.0f, right = 0.0f;
};
StereoGain PlaceSound(const Listener& listener, const SpaceFactors& factors, const Placement& placement);

// Whether front and top span a usable listener orientation.
bool IsUsableOrientation(const AudioVector& front, const AudioVector& top);

}  // namespace zav::audio
