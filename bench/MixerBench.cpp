// The audio mixer's processor time per second of 44.1 kHz stereo output with
// 32 playing 3D streams, placed around the listener and moved every 20 ms
// block as a frame loop would: once with WAV sources (resampling, placement
// and mixing) and once with Ogg Vorbis sources (decoding as well).
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
    return 0;
}
