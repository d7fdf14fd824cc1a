#pragma once

#include "tools/soundgen/SoundFiles.h"

namespace zav::soundgen {

// The calm night-harbour music: a seamless stereo loop of sixteen bars at
// 44.1 kHz (a little under 61 s) of pads on a chord progression, a bass and
// a bell-like melody with a ping-pong echo (Music.cpp).
Sound MakeHarbourMusic();

// Waves at the shore: a seamless mono loop of 10 s of filtered noise that
// swells with three breakers (Surf.cpp).
Sound MakeSurf();

// One ring of a bell buoy: 3.5 s mono, a clapper's strike on inharmonic
// partials that die away, silent at the end (Bell.cpp).
Sound MakeBellRing();

// The sounds of the Media archive, by their paths in it, with the Vorbis
// quality each is encoded at and whether it is coded as a loop.
struct MediaSound {
    const char* path;
    Sound (*make)();
    float quality;
    bool loop;
};
constexpr MediaSound kMediaSounds[] = {
    {"Sounds/music.ogg", MakeHarbourMusic, 0.4f, true},
    {"Sounds/waves.ogg", MakeSurf, 0.3f, true},
    {"Sounds/bell.ogg", MakeBellRing, 0.3f, false},
};

}  // namespace zav::soundgen
