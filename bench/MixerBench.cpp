// The audio mixer's processor time per second of 44.1 kHz stereo output with
// 32 playing 3D streams, placed around the listener and moved every 20 ms
// block as a frame loop would: once with WAV sources (resampling, placement
// and mixing) and once with Ogg Vorbis sources (decoding as well), beside a
// floor: the same mixing written as one plain loop.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <vector>

#include "audio/core/Library.h"
#include "tools/soundgen/SoundFiles.h"

using namespace zav;
using namespace zav::audio;

namespace {

double ProcessorSeconds() {
    timespec now;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return now.tv_sec + now.tv_nsec / 1e9;
}

// Processor milliseconds per second of output.
double Measure(const std::vector<std::vector<uint8_t>>& files, double seconds) {
    Library library;
    std::vector<uint32_t> streams;
    for (size_t i = 0; i < 32; ++i) {
        const std::vector<uint8_t>& file = files[i % files.size()];
        uint32_t stream = library.StreamCreateFile(1, file.data(), 0, static_cast<uint32_t>(file.size()),
                                                   kAudio3D | kAudioLoop);
        library.ChannelSet3DAttributes(stream, kAudio3DNormal, 2.0f, -1.0f, -1, -1, -1);
        library.ChannelPlay(stream, 0);
        streams.push_back(stream);
    }
    library.Set3DFactors(1.0f, 10.0f, 1.0f);
    constexpr int kBlock = 882;  // 20 ms
    std::vector<int16_t> out(2 * kBlock);
    const int blocks = static_cast<int>(seconds * 44100 / kBlock);
    const double started = ProcessorSeconds();
    for (int block = 0; block < blocks; ++block) {
        for (size_t i = 0; i < streams.size(); ++i) {
            const float angle = 0.2f * static_cast<float>(i) + 0.01f * static_cast<float>(block);
            const AudioVector position{8.0f * std::cos(angle), 0.5f, 8.0f * std::sin(angle)};
            library.ChannelSet3DPosition(streams[i], &position, nullptr, nullptr);
        }
        library.Apply3D();
        library.GetMixer().Render(out.data(), kBlock);
    }
    return (ProcessorSeconds() - started) * 1000.0 / (blocks * kBlock / 44100.0);
}

// The floor: the same job written plainly, without the library. 32 sounds
// already decoded to floats, each read at its own rate by linear
// interpolation, weighted by a gain and a pan computed from its position
// once per block and added into the output, which is clamped to 16 bits.
double MeasureFloor(const soundgen::Sound* sounds, size_t count, double seconds) {
    struct Source {
        const soundgen::Sound* sound;
        double cursor;
        double step;
    };
    std::vector<Source> sources;
    for (size_t i = 0; i < 32; ++i) {
        const soundgen::Sound& sound = sounds[i % count];
        sources.push_back({&sound, 0.0, sound.rate / 44100.0});
    }
    constexpr int kBlock = 882;
    std::vector<float> mix(2 * kBlock);
    std::vector<int16_t> out(2 * kBlock);
    const int blocks = static_cast<int>(seconds * 44100 / kBlock);
    const double started = ProcessorSeconds();
    for (int block = 0; block < blocks; ++block) {
        std::fill(mix.begin(), mix.end(), 0.0f);
        for (size_t i = 0; i < sources.size(); ++i) {
            Source& source = sources[i];
            const float angle = 0.2f * static_cast<float>(i) + 0.01f * static_cast<float>(block);
            const float x = 8.0f * std::cos(angle), z = 8.0f * std::sin(angle);
            const float distance = std::sqrt(x * x + 0.25f + z * z);
            const float gain = 2.0f / distance;
            const float pan = x / distance;
            const float left = gain * std::sqrt(0.5f * (1.0f - pan)), right = gain * std::sqrt(0.5f * (1.0f + pan));
            const std::vector<float>& samples = source.sound->samples;
            const size_t channels = static_cast<size_t>(source.sound->channels);
            const size_t frames = source.sound->Frames();
            for (int frame = 0; frame < kBlock; ++frame) {
                const size_t at = static_cast<size_t>(source.cursor);
                const size_t next = at + 1 < frames ? at + 1 : 0;
                const float t = static_cast<float>(source.cursor - static_cast<double>(at));
                const float first = samples[at * channels], second = samples[next * channels];
                const float lastFirst = samples[at * channels + channels - 1];
                const float lastSecond = samples[next * channels + channels - 1];
                mix[2 * frame] += left * (first + t * (second - first));
                mix[2 * frame + 1] += right * (lastFirst + t * (lastSecond - lastFirst));
                source.cursor += source.step;
                if (source.cursor >= static_cast<double>(frames)) source.cursor -= static_cast<double>(frames);
            }
        }
        for (size_t k = 0; k < mix.size(); ++k) {
            const float value = std::fmax(-1.0f, std::fmin(1.0f, mix[k]));
            out[k] = static_cast<int16_t>(value * 32767.0f);
        }
    }
    volatile int16_t keep = out[0];
    (void)keep;
    return (ProcessorSeconds() - started) * 1000.0 / (blocks * kBlock / 44100.0);
}

}  // namespace

int main() {
    // Four different sounds at three rates, mono and stereo.
    const soundgen::Sound sounds[] = {
        soundgen::MakeTone(44100, 2, 3.0, 440.0, 0.3f, 0.2f), soundgen::MakeTone(22050, 1, 2.0, 660.0, 0.3f, 0.3f),
        soundgen::MakeTone(48000, 1, 2.5, 220.0, 0.3f, 0.3f), soundgen::MakeTone(32000, 2, 1.5, 880.0, 0.2f, 0.3f)};
    std::vector<std::vector<uint8_t>> wav, ogg;
    for (const soundgen::Sound& sound : sounds) {
        wav.push_back(soundgen::EncodeWav(sound, 16));
        ogg.emplace_back();
        soundgen::EncodeVorbis(sound, 0.6f, ogg.back());
    }
    std::printf("mixer, 32 playing 3D streams, 44.1 kHz stereo output (processor ms per second of output)\n");
    std::printf("  WAV sources:        %7.2f ms/s\n", Measure(wav, 20.0));
    std::printf("  Ogg Vorbis sources: %7.2f ms/s (decoding included)\n", Measure(ogg, 10.0));
    std::printf("  floor (plain loop over decoded floats, no library): %7.2f ms/s\n",
                MeasureFloor(sounds, sizeof sounds / sizeof sounds[0], 20.0));
    return 0;
}
