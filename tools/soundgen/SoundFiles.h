#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace zav::soundgen {

// Samples -1..1, interleaved by channel.
struct Sound {
    uint32_t rate = 44100;
    int channels = 1;
    std::vector<float> samples;

    size_t Frames() const { return channels > 0 ? samples.size() / static_cast<size_t>(channels) : 0; }
};

// A sine of `frequency` Hz lasting `seconds`, at `left` amplitude in the
// first channel and `right` in the second (mono: `left`). A length of whole
// periods loops without a seam.
Sound MakeTone(uint32_t rate, int channels, double seconds, double frequency, float left, float right);

// A PCM WAV file of 8 or 16 bits.
std::vector<uint8_t> EncodeWav(const Sound& sound, int bits);

// An Ogg Vorbis file through libvorbis (VorbisEncoder.cpp, host builds only) at `quality` (-0.1..1); false when the
// encoder refuses the sound. A `loop` is coded as if it went on into its start, so its end joins its start as
// closely as the codec allows; it decodes to the same length.
bool EncodeVorbis(const Sound& sound, float quality, std::vector<uint8_t>& file, bool loop = false);

}  // namespace zav::soundgen
