#include "tools/soundgen/SoundFiles.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace zav::soundgen {

namespace {

void Put16(std::vector<uint8_t>& out, uint32_t value) {
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

void Put32(std::vector<uint8_t>& out, uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

void PutTag(std::vector<uint8_t>& out, const char* tag) { out.insert(out.end(), tag, tag + 4); }


}  // namespace

Sound MakeTone(uint32_t rate, int channels, double seconds, double frequency, float left, float right) {
    Sound sound;
    sound.rate = rate;
    sound.channels = channels;
    const size_t frames = static_cast<size_t>(std::llround(seconds * rate));
    sound.samples.resize(frames * static_cast<size_t>(channels));
    for (size_t i = 0; i < frames; ++i) {
        const float value = static_cast<float>(std::sin(2.0 * 3.14159265358979323846 * frequency * static_cast<double>(i) / rate));
        sound.samples[i * channels] = value * left;
        if (channels == 2) sound.samples[i * 2 + 1] = value * right;
    }
    return sound;
}

std::vector<uint8_t> EncodeWav(const Sound& sound, int bits) {
    const uint32_t bytesPerSample = bits == 8 ? 1 : 2;
    const uint32_t dataSize = static_cast<uint32_t>(sound.samples.size()) * bytesPerSample;
    std::vector<uint8_t> out;
    PutTag(out, "RIFF");
    Put32(out, 36 + dataSize + (dataSize & 1));
    PutTag(out, "WAVE");
    PutTag(out, "fmt ");
    Put32(out, 16);
    Put16(out, 1);
    Put16(out, static_cast<uint32_t>(sound.channels));
    Put32(out, sound.rate);
    Put32(out, sound.rate * sound.channels * bytesPerSample);
    Put16(out, sound.channels * bytesPerSample);
    Put16(out, bits == 8 ? 8 : 16);
    PutTag(out, "data");
    Put32(out, dataSize);
    for (float sample : sound.samples) {
        const float value = std::clamp(sample, -1.0f, 1.0f);
        if (bits == 8)
            out.push_back(static_cast<uint8_t>(std::clamp(std::lround(value * 128.0f) + 128, 0L, 255L)));
        else
            Put16(out, static_cast<uint16_t>(
                           static_cast<int16_t>(std::clamp(std::lround(value * 32768.0f), -32768L, 32767L))));
    }
    if (dataSize & 1) out.push_back(0);
    return out;
}

}  // namespace zav::soundgen
