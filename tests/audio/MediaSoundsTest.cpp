#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <set>
#include <string>

#include "audio/core/Decoder.h"
#include "tests/audio/AudioTestSounds.h"
#include "tools/soundgen/MediaSounds.h"
#include "tools/soundgen/Synthesis.h"

namespace zav::audio {
namespace {

using soundgen::Sound;

const soundgen::MediaSound& Media(const std::string& path) {
    for (const soundgen::MediaSound& media : soundgen::kMediaSounds)
        if (path == media.path) return media;
    ADD_FAILURE() << "no media sound " << path;
    return soundgen::kMediaSounds[0];
}

// The file encoded as soundgen writes it, decoded again by the audio library
// as the screensaver plays it: the same channels, rate and length, still
// below full scale after the codec's error. Its size and figures are printed
// for the record.
Sound EncodedAndDecoded(const soundgen::MediaSound& media, const Sound& sound) {
    std::vector<uint8_t> file;
    EXPECT_TRUE(soundgen::EncodeVorbis(sound, media.quality, file, media.loop));
    Sound decoded;
    std::unique_ptr<Decoder> decoder = OpenDecoder(file.data(), file.size());
    if (!decoder) {
        ADD_FAILURE() << media.path << " does not decode";
        return decoded;
    }
    decoded.rate = decoder->GetRate();
    decoded.channels = decoder->GetChannels();
    std::vector<float> block(4096 * static_cast<size_t>(decoded.channels));
    int got;
    while ((got = decoder->Read(block.data(), 4096)) > 0)
        decoded.samples.insert(decoded.samples.end(), block.begin(), block.begin() + got * decoded.channels);
    std::printf("%s decoded: %.3f s, %d channel(s), peak %.3f, RMS %.3f, %zu bytes\n", media.path,
                double(decoded.Frames()) / decoded.rate, decoded.channels, soundgen::Peak(decoded),
                soundgen::Rms(decoded), file.size());
    EXPECT_EQ(decoded.channels, sound.channels) << media.path;
    EXPECT_EQ(decoded.rate, sound.rate) << media.path;
    EXPECT_EQ(decoded.Frames(), sound.Frames()) << media.path;
    EXPECT_LT(soundgen::Peak(decoded), 0.9f) << media.path;
    return decoded;
}

// The sound as synthesised: `channels` at 44.1 kHz, `shortest` to `longest`
// seconds long, its peak at most 0.7. Returns its length in seconds.
double ExpectMade(const Sound& sound, int channels, double shortest, double longest) {
    EXPECT_EQ(sound.channels, channels);
    EXPECT_EQ(sound.rate, 44100u);
    const double seconds = double(sound.Frames()) / sound.rate;
    EXPECT_GE(seconds, shortest);
    EXPECT_LE(seconds, longest);
    EXPECT_LE(soundgen::Peak(sound), 0.71f);
    return seconds;
}

std::vector<float> ChannelOf(const Sound& sound, int channel) {
    std::vector<float> values;
    for (size_t i = static_cast<size_t>(channel); i < sound.samples.size(); i += static_cast<size_t>(sound.channels))
        values.push_back(sound.samples[i]);
    return values;
}

// How the step from a loop's last frame to its first compares with the
// steps between neighbouring frames within a tenth of a second of it: the
// seam's step over the 99th percentile of those, the largest over the
// channels. A loop that joins plays on at the seam as it does around it (at
// most about 1).
double SeamRatio(const Sound& loop) {
    const size_t around = loop.rate / 10;
    if (loop.Frames() < 2 * around) return HUGE_VAL;  // too short to tell
    double worst = 0.0;
    for (int c = 0; c < loop.channels; ++c) {
        const std::vector<float> values = ChannelOf(loop, c);
        std::vector<float> steps;
        for (size_t i = 1; i < around; ++i) {
            steps.push_back(std::fabs(values[i] - values[i - 1]));
            steps.push_back(std::fabs(values[values.size() - i] - values[values.size() - i - 1]));
        }
        const size_t rank = steps.size() * 99 / 100;
        std::nth_element(steps.begin(), steps.begin() + rank, steps.end());
        worst = std::max(worst, double(std::fabs(values.front() - values.back()) / steps[rank]));
    }
    return worst;
}

// RMS of `seconds` of all channels from `start` seconds.
double RmsOf(const Sound& sound, double start, double seconds) {
    const auto first = static_cast<size_t>(start * sound.rate) * sound.channels;
    const auto count = static_cast<size_t>(seconds * sound.rate) * sound.channels;
    return test::Rms(std::vector<float>(sound.samples.begin() + first, sound.samples.begin() + first + count));
}

// A loop neither fades out at its end nor in at its start: the level of the
// last and the first tenth of a second are alike.
void ExpectLevelCarriesOverTheSeam(const Sound& loop) {
    const double seconds = double(loop.Frames()) / loop.rate;
    const double end = RmsOf(loop, seconds - 0.1, 0.1), start = RmsOf(loop, 0.0, 0.1);
    EXPECT_GT(end, 0.3 * start);
    EXPECT_LT(end, 3.0 * start);
}

// Mono mixdown averaged over blocks of `factor` frames.
std::vector<float> Decimated(const Sound& sound, size_t factor) {
    std::vector<float> values;
    const size_t frames = sound.Frames();
    for (size_t block = 0; block + factor <= frames; block += factor) {
        double sum = 0.0;
        for (size_t i = block * sound.channels; i < (block + factor) * sound.channels; ++i) sum += sound.samples[i];
        values.push_back(static_cast<float>(sum / double(factor * sound.channels)));
    }
    return values;
}

// The highest normalised correlation of the loop with itself shifted by half
// a second to `longest` seconds (a sound that repeats with such a period
// scores near 1; held notes alone score high only at shorter shifts), on a
// mixdown kept to below about 350 Hz.
double StrongestRepetition(const Sound& loop, double longest) {
    constexpr size_t kFactor = 64;
    std::vector<float> values = Decimated(loop, kFactor);
    const size_t n = values.size();
    const double rate = double(loop.rate) / kFactor;
    const auto shortest = static_cast<size_t>(0.5 * rate), last = std::min(n - 1, size_t(longest * rate));
    double energy = 0.0;
    for (float value : values) energy += double(value) * value;
    values.insert(values.end(), values.begin(), values.begin() + static_cast<std::ptrdiff_t>(last));
    double best = 0.0;
    for (size_t lag = shortest; lag <= last; ++lag) {
        const float* shifted = values.data() + lag;
        double sum = 0.0;
        for (size_t i = 0; i < n; ++i) sum += double(values[i]) * shifted[i];
        best = std::max(best, sum / energy);
    }
    return best;
}

// The strongest of the MIDI notes `lowest` to `highest` in a 93 ms window of
// a mono mixdown from `start` seconds.
int StrongestNote(const Sound& sound, double start, int lowest, int highest) {
    constexpr size_t kWindow = 4096;
    std::vector<double> window(kWindow);
    const auto first = static_cast<size_t>(start * sound.rate);
    for (size_t i = 0; i < kWindow; ++i) {
        double sum = 0.0;
        for (int c = 0; c < sound.channels; ++c) sum += sound.samples[(first + i) * sound.channels + c];
        window[i] = sum * (0.5 - 0.5 * std::cos(soundgen::kTwoPi * i / kWindow));
    }
    int strongest = lowest;
    double most = -1.0;
    for (int note = lowest; note <= highest; ++note) {
        // Goertzel at the note's frequency.
        const double coefficient = 2.0 * std::cos(soundgen::kTwoPi * soundgen::NoteFrequency(note) / sound.rate);
        double previous = 0.0, older = 0.0;
        for (double value : window) {
            const double next = value + coefficient * previous - older;
            older = previous;
            previous = next;
        }
        const double energy = previous * previous + older * older - coefficient * previous * older;
        if (energy > most) {
            most = energy;
            strongest = note;
        }
    }
    return strongest;
}

TEST(MediaSounds, TheMusicIsAStereoMinuteOfChordsThatLoopsWithoutASeamBelowFullScale) {
    const soundgen::MediaSound& media = Media("Sounds/music.ogg");
    const Sound music = media.make();
    const double seconds = ExpectMade(music, 2, 60.0, 90.0);
    ASSERT_EQ(music.channels, 2);
    EXPECT_GT(soundgen::Rms(music), 0.05f);
    EXPECT_LE(SeamRatio(music), 1.0);
    ExpectLevelCarriesOverTheSeam(music);
    // The two channels differ: the voices are spread across the stereo field.
    double difference = 0.0;
    for (size_t i = 0; i < music.samples.size(); i += 2)
        difference += std::pow(music.samples[i] - music.samples[i + 1], 2);
    EXPECT_GT(std::sqrt(difference / double(music.Frames())), 0.1 * soundgen::Rms(music));

    const Sound decoded = EncodedAndDecoded(media, music);
    ASSERT_EQ(decoded.channels, 2);
    EXPECT_LE(SeamRatio(decoded), 1.0);

    // It moves through chords: the bass below the pads takes at least five
    // roots in the minute, and it does not repeat itself within five seconds.
    std::set<int> roots;
    for (double start = 0.5; start + 0.1 < seconds; start += 1.0)
        roots.insert(StrongestNote(music, start, 36, 52));
    EXPECT_GE(roots.size(), 5u);
    EXPECT_LT(StrongestRepetition(music, 5.0), 0.6);
    // The measure itself: the test tones of the sound tests repeat at once.
    EXPECT_GT(StrongestRepetition(soundgen::MakeTone(44100, 2, 2.0, 440.0, 0.5f, 0.5f), 5.0), 0.95);
}

TEST(MediaSounds, TheWavesAreAMonoLoopThatSwellsAndJoinsWithoutASeam) {
    const soundgen::MediaSound& media = Media("Sounds/waves.ogg");
    const Sound waves = media.make();
    const double seconds = ExpectMade(waves, 1, 8.0, 12.0);
    EXPECT_LE(SeamRatio(waves), 1.0);
    ExpectLevelCarriesOverTheSeam(waves);
    // Swells: the loudest half second is several times the quietest.
    double loudest = 0.0, quietest = 1.0;
    for (double start = 0.0; start + 0.5 <= seconds; start += 0.5) {
        loudest = std::max(loudest, RmsOf(waves, start, 0.5));
        quietest = std::min(quietest, RmsOf(waves, start, 0.5));
    }
    EXPECT_GT(loudest, 2.5 * quietest);
    EXPECT_GT(quietest, 0.0);

    const Sound decoded = EncodedAndDecoded(media, waves);
    ASSERT_EQ(decoded.channels, 1);
    EXPECT_LE(SeamRatio(decoded), 1.0);
}

TEST(MediaSounds, TheBellStrikesOnceAndDiesAwayToSilence) {
    const soundgen::MediaSound& media = Media("Sounds/bell.ogg");
    const Sound bell = media.make();
    const double seconds = ExpectMade(bell, 1, 3.0, 4.0);
    // Loudest at the strike, each half second quieter than the one before,
    // and nothing left at the end for the next ring to cut off.
    double previous = RmsOf(bell, 0.0, 0.5);
    EXPECT_GT(previous, 0.1);
    for (double start = 0.5; start + 0.5 <= seconds; start += 0.5) {
        const double level = RmsOf(bell, start, 0.5);
        EXPECT_LT(level, previous) << start;
        previous = level;
    }
    EXPECT_LT(RmsOf(bell, seconds - 0.25, 0.25), 0.05 * RmsOf(bell, 0.0, 0.25));
    EXPECT_LT(std::fabs(bell.samples.back()), 1e-3f);

    EncodedAndDecoded(media, bell);
}

TEST(MediaSounds, ALoopCodedOnIntoItsStartDecodesToItsOwnLength) {
    // Shorter than the frames coded past the end, about one block, and long.
    for (size_t frames : {size_t(1000), size_t(2049), size_t(44101)})
        for (int channels : {1, 2}) {
            const Sound loop = test::Ramp(44100, channels, frames);
            std::vector<uint8_t> file;
            ASSERT_TRUE(soundgen::EncodeVorbis(loop, 0.4f, file, true));
            std::unique_ptr<Decoder> decoder = OpenDecoder(file.data(), file.size());
            ASSERT_TRUE(decoder);
            std::vector<float> block(4096 * static_cast<size_t>(channels));
            size_t decoded = 0;
            int got;
            while ((got = decoder->Read(block.data(), 4096)) > 0) decoded += static_cast<size_t>(got);
            EXPECT_EQ(decoded, frames) << channels << " channel(s)";
        }
}

TEST(MediaSounds, EverySoundComesOutTheSameBytesOnEveryRunAndAllStaySmall) {
    size_t total = 0;
    for (const soundgen::MediaSound& media : soundgen::kMediaSounds) {
        std::vector<uint8_t> first, second;
        ASSERT_TRUE(soundgen::EncodeVorbis(media.make(), media.quality, first, media.loop));
        ASSERT_TRUE(soundgen::EncodeVorbis(media.make(), media.quality, second, media.loop));
        EXPECT_EQ(first, second) << media.path;
        total += first.size();
    }
    EXPECT_LT(total, 1536u * 1024);
}

}  // namespace
}  // namespace zav::audio
