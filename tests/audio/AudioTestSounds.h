#pragma once

#include <cmath>
#include <cstdint>
#include <vector>

#include "tools/soundgen/SoundFiles.h"

namespace zav::test {

// Frames of a stereo float block.
inline std::vector<float> Channel(const std::vector<float>& stereo, int channel) {
    std::vector<float> values;
    for (size_t i = static_cast<size_t>(channel); i < stereo.size(); i += 2) values.push_back(stereo[i]);
    return values;
}

inline double Rms(const std::vector<float>& values) {
    double sum = 0.0;
    for (float value : values) sum += double(value) * value;
    return values.empty() ? 0.0 : std::sqrt(sum / values.size());
}

// Frequency from the rising zero crossings of a tone.
inline double ToneFrequency(const std::vector<float>& values, double rate) {
    int crossings = 0;
    size_t first = 0, last = 0;
    for (size_t i = 1; i < values.size(); ++i)
        if (values[i - 1] < 0.0f && values[i] >= 0.0f) {
            if (crossings++ == 0) first = i;
            last = i;
        }
    return crossings > 1 ? (crossings - 1) * rate / double(last - first) : 0.0;
}

// A ramp that differs at every frame, so that any skipped, repeated or moved
// frame shows: frame i holds (i mod 200) / 200 - 0.5 in the left channel and
// its negation in the right.
inline soundgen::Sound Ramp(uint32_t rate, int channels, size_t frames) {
    soundgen::Sound sound;
    sound.rate = rate;
    sound.channels = channels;
    for (size_t i = 0; i < frames; ++i) {
        const float value = static_cast<float>(i % 200) / 200.0f - 0.5f;
        sound.samples.push_back(value);
        if (channels == 2) sound.samples.push_back(-value);
    }
    return sound;
}

}  // namespace zav::test
