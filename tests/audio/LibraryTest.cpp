#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>

#include "audio/core/Channel.h"
#include "audio/core/Library.h"
#include "tests/audio/AudioTestSounds.h"

namespace zav::audio {
namespace {

using soundgen::Sound;

// A library without a device; the tests render its mix themselves.
class LibraryTest : public ::testing::Test {
protected:
    uint32_t Create(const std::vector<uint8_t>& file, uint32_t flags = 0) {
        const uint32_t stream = library.StreamCreateFile(1, file.data(), 0, static_cast<uint32_t>(file.size()), flags);
        EXPECT_NE(stream, 0u) << library.ErrorGetCode();
        return stream;
    }
    std::vector<float> Render(int frames) {
        std::vector<float> mix(static_cast<size_t>(2 * frames));
        library.GetMixer().Render(mix.data(), frames);
        return mix;
    }

    Library library;
    std::vector<uint8_t> ramp = soundgen::EncodeWav(test::Ramp(44100, 2, 300), 16);
};

TEST_F(LibraryTest, PlaysAStreamAtItsOwnRateAsDecoded) {
    const uint32_t stream = Create(ramp);
    EXPECT_EQ(library.ChannelIsActive(stream), kAudioStopped);
    EXPECT_EQ(Render(10), std::vector<float>(20, 0.0f));  // nothing before play
    ASSERT_TRUE(library.ChannelPlay(stream, 0));
    EXPECT_EQ(library.ChannelIsActive(stream), kAudioPlaying);
    const std::vector<float> mix = Render(400);
    const Sound expected = test::Ramp(44100, 2, 300);
    for (size_t i = 0; i < 600; ++i) ASSERT_NEAR(mix[i], expected.samples[i], 1.0 / 32768) << i;
    for (size_t i = 600; i < 800; ++i) ASSERT_EQ(mix[i], 0.0f) << i;
    // Played to its end: stopped, and play without restart leaves it there.
    EXPECT_EQ(library.ChannelIsActive(stream), kAudioStopped);
    ASSERT_TRUE(library.ChannelPlay(stream, 0));
    EXPECT_EQ(library.ChannelIsActive(stream), kAudioStopped);
    ASSERT_TRUE(library.ChannelPlay(stream, 1));
    EXPECT_NEAR(Render(1)[0], expected.samples[0], 1.0 / 32768);
}

TEST_F(LibraryTest, LoopsWithoutASeamAndTheLoopFlagCanChange) {
    const uint32_t stream = Create(ramp, kAudioLoop);
    library.ChannelPlay(stream, 0);
    const std::vector<float> mix = Render(1000);
    const Sound expected = test::Ramp(44100, 2, 300);
    for (size_t frame = 0; frame < 1000; ++frame)
        ASSERT_NEAR(mix[2 * frame], expected.samples[2 * (frame % 300)], 1.0 / 32768) << frame;
    EXPECT_EQ(library.ChannelIsActive(stream), kAudioPlaying);
    // Loop off: the rest of this pass, then the end (frame 1000 is 100 into the fourth pass).
    ASSERT_TRUE(library.ChannelSetFlags(stream, 0));
    Render(199);
    EXPECT_EQ(library.ChannelIsActive(stream), kAudioPlaying);
    Render(2);
    EXPECT_EQ(library.ChannelIsActive(stream), kAudioStopped);
}

TEST_F(LibraryTest, StopKeepsThePlaceAndPlayWithoutRestartGoesOnFromIt) {
    const uint32_t stream = Create(ramp);
    library.ChannelPlay(stream, 0);
    Render(50);
    ASSERT_TRUE(library.ChannelStop(stream));
    EXPECT_EQ(library.ChannelIsActive(stream), kAudioStopped);
    EXPECT_EQ(Render(20), std::vector<float>(40, 0.0f));
    const Sound expected = test::Ramp(44100, 2, 300);
    library.ChannelPlay(stream, 0);
    EXPECT_NEAR(Render(1)[0], expected.samples[2 * 50], 1.0 / 32768);
    // Playing again while it plays changes nothing; restart goes to frame 0.
    library.ChannelPlay(stream, 0);
    EXPECT_NEAR(Render(1)[0], expected.samples[2 * 51], 1.0 / 32768);
    library.ChannelPlay(stream, 1);
    EXPECT_NEAR(Render(1)[0], expected.samples[0], 1.0 / 32768);
}

TEST_F(LibraryTest, ChannelVolumeAndTheStreamVolumeScaleTheMix) {
    const std::vector<uint8_t> tone = soundgen::EncodeWav(soundgen::MakeTone(44100, 1, 1.0, 441.0, 0.8f, 0.8f), 16);
    const uint32_t stream = Create(tone, kAudioLoop);
    library.ChannelPlay(stream, 0);
    const double full = test::Rms(test::Channel(Render(4410), 0));
    EXPECT_NEAR(full, 0.8 / std::sqrt(2.0), 1e-3);
    ASSERT_TRUE(library.ChannelSetAttributes(stream, -1, 50, -101));
    Render(1000);  // the change glides over one block
    EXPECT_NEAR(test::Rms(test::Channel(Render(4410), 0)), full / 2, 1e-3);
    ASSERT_TRUE(library.SetConfig(kAudioConfigStreamVolume, 40));
    Render(1000);
    EXPECT_NEAR(test::Rms(test::Channel(Render(4410), 1)), full * 0.5 * 0.4, 1e-3);
    ASSERT_TRUE(library.SetConfig(kAudioConfigStreamVolume, 0));
    Render(1000);
    EXPECT_EQ(test::Rms(Render(4410)), 0.0);
    // Out of range: refused, the last value stays.
    EXPECT_FALSE(library.SetConfig(kAudioConfigStreamVolume, 150));
    EXPECT_EQ(library.ErrorGetCode(), kAudioErrorParameter);
    EXPECT_EQ(library.GetMixer().GetMasterVolume(), 0u);
    EXPECT_FALSE(library.ChannelSetAttributes(stream, -1, 101, -101));
    EXPECT_FALSE(library.ChannelSetAttributes(stream, -1, -1, 120));
    // Pan of a channel without 3D: full right leaves the left silent.
    library.SetConfig(kAudioConfigStreamVolume, 100);
    library.ChannelSetAttributes(stream, -1, 100, 100);
    Render(1000);
    const std::vector<float> panned = Render(4410);
    EXPECT_EQ(test::Rms(test::Channel(panned, 0)), 0.0);
    EXPECT_NEAR(test::Rms(test::Channel(panned, 1)), full, 1e-3);
}

TEST_F(LibraryTest, ResamplesToTheOutputRate) {
    // A 1 kHz tone at 22.05 kHz, played at 44.1 kHz and at 48 kHz: the same
    // pitch, twice (and 48/22.05 times) as many frames.
    const std::vector<uint8_t> tone = soundgen::EncodeWav(soundgen::MakeTone(22050, 1, 0.5, 1000.0, 0.5f, 0.5f), 16);
    for (uint32_t rate : {44100u, 48000u}) {
        library.GetMixer().SetOutputRate(rate);
        const uint32_t stream = Create(tone);
        library.ChannelPlay(stream, 0);
        const std::vector<float> left = test::Channel(Render(static_cast<int>(rate)), 0);
        EXPECT_NEAR(test::ToneFrequency(left, rate), 1000.0, 2.0) << rate;
        size_t last = left.size();
        while (last > 0 && left[last - 1] == 0.0f) --last;
        EXPECT_NEAR(double(last), rate * 0.5, 3.0) << rate;
        EXPECT_NEAR(test::Rms(std::vector<float>(left.begin(), left.begin() + static_cast<long>(last))),
                    0.5 / std::sqrt(2.0), 5e-3);
        library.StreamFree(stream);
    }
    // A playback rate of its own doubles the pitch.
    library.GetMixer().SetOutputRate(44100);
    const uint32_t stream = Create(tone, kAudioLoop);
    ASSERT_TRUE(library.ChannelSetAttributes(stream, 44100, -1, -101));
    library.ChannelPlay(stream, 0);
    EXPECT_NEAR(test::ToneFrequency(test::Channel(Render(22050), 0), 44100), 2000.0, 4.0);
}

TEST_F(LibraryTest, HandlesAreCheckedAndNeverReused) {
    const uint32_t first = Create(ramp);
    library.StreamFree(first);
    EXPECT_EQ(library.ErrorGetCode(), kAudioOk);
    const uint32_t second = Create(ramp);
    EXPECT_NE(second, first);
    for (uint32_t handle : {0u, first, second + 1}) {
        EXPECT_FALSE(library.ChannelPlay(handle, 0));
        EXPECT_EQ(library.ErrorGetCode(), kAudioErrorHandle);
        EXPECT_EQ(library.ChannelIsActive(handle), kAudioStopped);
        library.StreamFree(handle);
        EXPECT_EQ(library.ErrorGetCode(), kAudioErrorHandle);
    }
    // 3D calls on a channel without 3D fail; it has no samples either.
    const AudioVector position{1, 2, 3};
    EXPECT_FALSE(library.ChannelSet3DPosition(second, &position, nullptr, nullptr));
    EXPECT_EQ(library.ErrorGetCode(), kAudioErrorNot3D);
    EXPECT_FALSE(library.ChannelSet3DAttributes(second, 0, 5.0f, -1.0f, -1, -1, -1));
    EXPECT_EQ(library.SampleGetChannel(second, 0), 0u);
    EXPECT_EQ(library.ErrorGetCode(), kAudioErrorNotSample);
    // Sounds the library cannot decode make no stream.
    const uint8_t text[] = "not a sound at all";
    EXPECT_EQ(library.StreamCreateFile(1, text, 0, sizeof text, 0), 0u);
    EXPECT_EQ(library.ErrorGetCode(), kAudioErrorFileFormat);
    EXPECT_EQ(library.StreamCreateFile(1, ramp.data(), 0, 0, 0), 0u);
    EXPECT_EQ(library.StreamCreateFile(1, nullptr, 0, 10, 0), 0u);
    EXPECT_EQ(library.StreamCreateFile(0, "/no/such/file.wav", 0, 0, 0), 0u);
    EXPECT_EQ(library.ErrorGetCode(), kAudioErrorFile);
}

TEST_F(LibraryTest, WithoutADeviceInitFailsAtOnceAndEverythingElseWorks) {
    EXPECT_EQ(library.GetVersion(), 0x00020002u);
    const auto started = std::chrono::steady_clock::now();
    EXPECT_FALSE(library.Init(-1, 44100, kAudioInit3D, nullptr, nullptr));
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(100));
    EXPECT_EQ(library.ErrorGetCode(), kAudioErrorNoDevice);
    EXPECT_EQ(library.GetDevice(), 0xFFFFFFFFu);
    EXPECT_EQ(library.ErrorGetCode(), kAudioErrorNotInitialized);
    EXPECT_EQ(library.GetDeviceDescription(0xFFFFFFFFu), nullptr);
    EXPECT_FALSE(library.Free());
    const uint32_t stream = Create(ramp, kAudio3D | kAudioLoop);
    EXPECT_TRUE(library.ChannelPlay(stream, 0));
    EXPECT_TRUE(library.Set3DFactors(1.0f, 7.0f, 1.0f));
    library.Apply3D();
    EXPECT_TRUE(library.ChannelSetAttributes(stream, -1, 30, -101));
    EXPECT_TRUE(library.ChannelStop(stream));
    // Device 0 plays nothing and always initialises; a second Init fails.
    EXPECT_TRUE(library.Init(0, 44100, kAudioInit3D, nullptr, nullptr));
    EXPECT_EQ(library.GetDevice(), kAudioNoSoundDevice);
    EXPECT_STREQ(library.GetDeviceDescription(0), "No sound");
    EXPECT_FALSE(library.Init(-1, 44100, kAudioInit3D, nullptr, nullptr));
    EXPECT_EQ(library.ErrorGetCode(), kAudioErrorAlready);
    // Free releases the device and every stream.
    EXPECT_TRUE(library.Free());
    EXPECT_FALSE(library.ChannelPlay(stream, 0));
    EXPECT_EQ(library.ErrorGetCode(), kAudioErrorHandle);
    EXPECT_FALSE(library.Init(7, 44100, 0, nullptr, nullptr));
    EXPECT_EQ(library.ErrorGetCode(), kAudioErrorDevice);
}

TEST_F(LibraryTest, AnOpenedOutputNamesTheDeviceAndSetsTheRate) {
    static uint32_t openedRate = 0;
    static void* openedWindow = nullptr;
    library.SetOutputOpener([](Mixer&, uint32_t rate, void* window, std::string& description) {
        openedRate = rate;
        openedWindow = window;
        description = "Test speakers";
        return std::unique_ptr<Output>(new Output());
    });
    int window = 0;
    ASSERT_TRUE(library.Init(-1, 48000, kAudioInit3D, &window, nullptr));
    EXPECT_EQ(openedRate, 48000u);
    EXPECT_EQ(openedWindow, &window);
    EXPECT_EQ(library.GetMixer().GetOutputRate(), 48000u);
    EXPECT_EQ(library.GetDevice(), kAudioOutputDevice);
    EXPECT_STREQ(library.GetDeviceDescription(library.GetDevice()), "Test speakers");
    EXPECT_FALSE(library.Init(-1, 44100, kAudioInit3D, &window, nullptr));
    EXPECT_EQ(library.ErrorGetCode(), kAudioErrorAlready);
    EXPECT_FALSE(library.Init(-1, 1000, 0, nullptr, nullptr));
    EXPECT_TRUE(library.Free());
    EXPECT_FALSE(library.Init(-1, 1000, 0, nullptr, nullptr));
    EXPECT_EQ(library.ErrorGetCode(), kAudioErrorFormat);
}

// 3D: a mono 1 kHz tone, looped, heard from a listener at the origin.
class PlacementTest : public LibraryTest {
protected:
    void SetUp() override {
        tone = soundgen::EncodeWav(soundgen::MakeTone(44100, 1, 0.1, 1000.0, 0.5f, 0.5f), 16);
        stream = Create(tone, kAudio3D | kAudioLoop);
        library.ChannelPlay(stream, 0);
    }
    // Left and right RMS with the source at `position` (applied).
    std::pair<double, double> Heard(const AudioVector& position) {
        EXPECT_TRUE(library.ChannelSet3DPosition(stream, &position, nullptr, nullptr));
        library.Apply3D();
        Render(1000);
        const std::vector<float> mix = Render(4410);
        return {test::Rms(test::Channel(mix, 0)), test::Rms(test::Channel(mix, 1))};
    }

    std::vector<uint8_t> tone;
    uint32_t stream = 0;
};

TEST_F(PlacementTest, ASourceOnTheRightIsLouderOnTheRightAndOnTheLeftOnTheLeft) {
    const double full = 0.5 / std::sqrt(2.0);
    auto [left, right] = Heard({2, 0, 0});  // twice the default minimum distance of 1: half level
    EXPECT_NEAR(right, full / 2, 1e-3);
    EXPECT_LT(left, 1e-6);
    std::tie(left, right) = Heard({-0.5f, 0, 0});
    EXPECT_NEAR(left, full, 1e-3);
    EXPECT_LT(right, 1e-6);
    // Ahead: centred, each side at the constant-power share.
    std::tie(left, right) = Heard({0, 0, 0.5f});
    EXPECT_NEAR(left, full * std::sqrt(0.5), 1e-3);
    EXPECT_NEAR(right, left, 1e-6);
    // Half right, half ahead: louder on the right, the power kept.
    std::tie(left, right) = Heard({0.5f, 0, 0.5f});
    EXPECT_GT(right, 2 * left);
    EXPECT_NEAR(left * left + right * right, full * full, 1e-4);
}

TEST_F(PlacementTest, BeyondTheMinimumDistanceQuieterWithDistanceByTheRolloff) {
    const double full = 0.5 / std::sqrt(2.0) * std::sqrt(0.5);
    ASSERT_TRUE(library.ChannelSet3DAttributes(stream, kAudio3DNormal, 3.0f, -1.0f, -1, -1, -1));
    EXPECT_NEAR(Heard({0, 0, 2}).first, full, 1e-3);  // inside: full level
    EXPECT_NEAR(Heard({0, 0, 3}).first, full, 1e-3);
    double last = full;
    for (float distance : {6.0f, 12.0f, 24.0f}) {
        const double heard = Heard({0, 0, distance}).first;
        EXPECT_NEAR(heard, full * 3.0 / (3.0 + (distance - 3.0)), 1e-3) << distance;  // roll-off 1
        EXPECT_LT(heard, last);
        last = heard;
    }
    // A larger roll-off falls faster; 0 keeps the full level; the maximum
    // distance stops the fall.
    library.Set3DFactors(-1.0f, 10.0f, -1.0f);
    EXPECT_NEAR(Heard({0, 0, 6}).first, full * 3.0 / (3.0 + 10 * 3.0), 1e-3);
    library.Set3DFactors(-1.0f, 0.0f, -1.0f);
    EXPECT_NEAR(Heard({0, 0, 600}).first, full, 1e-3);
    library.Set3DFactors(-1.0f, 1.0f, -1.0f);
    library.ChannelSet3DAttributes(stream, -1, -1.0f, 6.0f, -1, -1, -1);
    EXPECT_NEAR(Heard({0, 0, 60}).first, Heard({0, 0, 6}).first, 1e-6);
    // Refused: a minimum distance of 0 or not a number.
    EXPECT_FALSE(library.ChannelSet3DAttributes(stream, -1, 0.0f, -1.0f, -1, -1, -1));
    EXPECT_FALSE(library.ChannelSet3DAttributes(stream, -1, std::nanf(""), -1.0f, -1, -1, -1));
}

TEST_F(PlacementTest, TheListenersFrontVectorTurnsThePanAndChangesWaitForApply) {
    auto [left, right] = Heard({1, 0, 0});
    EXPECT_GT(right, 100 * left);
    // Turned around (front -z): +x is now on the left.
    const AudioVector back{0, 0, -1}, up{0, 1, 0};
    ASSERT_TRUE(library.Set3DPosition(nullptr, nullptr, &back, &up));
    Render(1000);
    std::tie(left, right) = Heard({1, 0, 0});
    EXPECT_GT(left, 100 * right);
    // Facing +x: the source is ahead, centred. Without Apply3D nothing changes.
    const AudioVector east{1, 0, 0};
    ASSERT_TRUE(library.Set3DPosition(nullptr, nullptr, &east, &up));
    Render(1000);
    const std::vector<float> before = Render(4410);
    EXPECT_GT(test::Rms(test::Channel(before, 0)), 100 * test::Rms(test::Channel(before, 1)));
    std::tie(left, right) = Heard({1, 0, 0});
    EXPECT_NEAR(left, right, 1e-6);
    // A listener moved onto the source hears it centred; axes that span
    // nothing are refused.
    const AudioVector at{1, 0, 0};
    library.Set3DPosition(&at, nullptr, nullptr, nullptr);
    std::tie(left, right) = Heard({1, 0, 0});
    EXPECT_NEAR(left, right, 1e-6);
    const AudioVector zero{0, 0, 0};
    EXPECT_FALSE(library.Set3DPosition(nullptr, nullptr, &zero, &up));
    EXPECT_FALSE(library.Set3DPosition(nullptr, nullptr, &up, &up));
    EXPECT_EQ(library.ErrorGetCode(), kAudioErrorParameter);
}

TEST_F(PlacementTest, PositionsThatAreNotNumbersAreSilentNotBroken) {
    const AudioVector nowhere{std::nanf(""), 0, std::numeric_limits<float>::infinity()};
    auto [left, right] = Heard(nowhere);
    EXPECT_EQ(left, 0.0);
    EXPECT_EQ(right, 0.0);
    // Relative mode takes the position in the listener's own axes; off plays
    // it as if at the listener.
    const AudioVector back{0, 0, -1}, up{0, 1, 0};
    library.Set3DPosition(nullptr, nullptr, &back, &up);
    library.ChannelSet3DAttributes(stream, kAudio3DRelative, -1.0f, -1.0f, -1, -1, -1);
    std::tie(left, right) = Heard({0.5f, 0, 0});
    EXPECT_GT(right, 100 * left);
    library.ChannelSet3DAttributes(stream, kAudio3DOff, -1.0f, -1.0f, -1, -1, -1);
    std::tie(left, right) = Heard({50, 0, 0});
    EXPECT_NEAR(left, right, 1e-6);
    EXPECT_NEAR(left, 0.5 / std::sqrt(2.0) * std::sqrt(0.5), 1e-3);
}

// A mono sound of `frames` frames, frame i holding i / frames, that counts
// the calls it gets.
class CountingDecoder : public Decoder {
public:
    explicit CountingDecoder(int frames) : frames_(frames) {
        channels_ = 1;
        rate_ = 44100;
    }
    int Read(float* samples, int frames) override {
        ++reads;
        const int count = std::min(frames, frames_ - next_);
        for (int i = 0; i < count; ++i) samples[i] = Value(next_ + i);
        next_ += count;
        return count;
    }
    bool Rewind() override {
        ++rewinds;
        next_ = 0;
        return true;
    }
    float Value(int frame) const { return static_cast<float>(frame) / static_cast<float>(frames_); }

    int reads = 0, rewinds = 0;

private:
    int frames_, next_ = 0;
};

// `frames` frames of `channel` mixed at the sound's own rate, left channel.
std::vector<float> MixLeft(Channel& channel, int frames) {
    std::vector<float> mix(2 * static_cast<size_t>(frames), 0.0f);
    channel.MixInto(mix.data(), frames, 44100, 1.0f);
    return test::Channel(mix, 0);
}

TEST(Channel, AShortLoopIsDecodedOnceAndPlaysOnFromMemory) {
    // Three frames looped for a second: one pass through the decoder, then
    // 14 700 passes without it, each frame in its place; a restart too.
    auto* decoder = new CountingDecoder(3);
    Channel channel(std::unique_ptr<Decoder>(decoder), {}, kAudioLoop);
    channel.Play(false);
    std::vector<float> left = MixLeft(channel, 44100);
    for (size_t i = 0; i < left.size(); ++i) ASSERT_EQ(left[i], decoder->Value(static_cast<int>(i % 3))) << i;
    EXPECT_EQ(decoder->rewinds, 0);
    EXPECT_LE(decoder->reads, 2);
    MixLeft(channel, 1);
    channel.Play(true);
    left = MixLeft(channel, 6);
    EXPECT_EQ(left, std::vector<float>({0.0f, 1.0f / 3, 2.0f / 3, 0.0f, 1.0f / 3, 2.0f / 3}));
    EXPECT_EQ(decoder->rewinds, 0);
    // Without the loop flag it ends at the end of its pass.
    channel.SetLooping(false);
    left = MixLeft(channel, 6);
    EXPECT_EQ(left, std::vector<float>({0.0f, 1.0f / 3, 2.0f / 3, 0.0f, 0.0f, 0.0f}));
    EXPECT_FALSE(channel.IsPlaying());
}

TEST(Channel, ALongSoundLoopsThroughItsDecoder) {
    // Longer than what the channel keeps: every pass decodes again, and the
    // loop has no seam.
    constexpr int kFrames = 100000;
    auto* decoder = new CountingDecoder(kFrames);
    Channel channel(std::unique_ptr<Decoder>(decoder), {}, kAudioLoop);
    channel.Play(false);
    const std::vector<float> left = MixLeft(channel, 2 * kFrames + 10);
    for (size_t i = 0; i < left.size(); ++i)
        ASSERT_EQ(left[i], decoder->Value(static_cast<int>(i % kFrames))) << i;
    EXPECT_EQ(decoder->rewinds, 2);
}

}  // namespace
}  // namespace zav::audio
