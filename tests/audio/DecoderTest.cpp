#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "audio/core/Decoder.h"
#include "tests/audio/AudioTestSounds.h"

namespace zav::audio {
namespace {

using soundgen::Sound;

std::vector<float> DecodeAll(Decoder& decoder) {
    std::vector<float> samples;
    std::vector<float> block(1000 * static_cast<size_t>(decoder.GetChannels()));
    int got;
    while ((got = decoder.Read(block.data(), 1000)) > 0)
        samples.insert(samples.end(), block.begin(), block.begin() + got * decoder.GetChannels());
    return samples;
}

TEST(WavDecoder, DecodesEightAndSixteenBitMonoAndStereoToTheSamplesWritten) {
    for (int bits : {8, 16})
        for (int channels : {1, 2})
            for (uint32_t rate : {8000u, 22050u, 44100u, 48000u}) {
                const Sound sound = test::Ramp(rate, channels, 1234);
                const std::vector<uint8_t> file = soundgen::EncodeWav(sound, bits);
                std::unique_ptr<Decoder> decoder = OpenDecoder(file.data(), file.size());
                ASSERT_TRUE(decoder) << bits << " bits, " << channels << " channels";
                EXPECT_EQ(decoder->GetChannels(), channels);
                EXPECT_EQ(decoder->GetRate(), rate);
                std::vector<float> decoded = DecodeAll(*decoder);
                ASSERT_EQ(decoded.size(), sound.samples.size());
                const float step = bits == 8 ? 1.0f / 128 : 1.0f / 32768;
                for (size_t i = 0; i < decoded.size(); ++i) ASSERT_NEAR(decoded[i], sound.samples[i], step) << i;
                // Rewound, it gives the same samples again.
                ASSERT_TRUE(decoder->Rewind());
                EXPECT_EQ(DecodeAll(*decoder), decoded);
            }
}

TEST(WavDecoder, SkipsOtherChunksAndTakesTheExtensibleFormat) {
    std::vector<uint8_t> file = soundgen::EncodeWav(test::Ramp(44100, 1, 10), 16);
    // A "LIST" chunk of odd size (padded) between "fmt " and "data".
    const uint8_t list[] = {'L', 'I', 'S', 'T', 3, 0, 0, 0, 'a', 'b', 'c', 0};
    file.insert(file.begin() + 36, list, list + sizeof list);
    std::unique_ptr<Decoder> decoder = OpenDecoder(file.data(), file.size());
    ASSERT_TRUE(decoder);
    EXPECT_EQ(DecodeAll(*decoder).size(), 10u);

    // The same sound as WAVE_FORMAT_EXTENSIBLE (40-byte format, PCM sub-format).
    std::vector<uint8_t> extensible(file.begin(), file.begin() + 20);
    extensible[16] = 40;
    const uint8_t format[40] = {0xFE, 0xFF, 1, 0, 0x44, 0xAC, 0, 0, 0x88, 0x58, 1, 0, 2, 0, 16, 0, 22, 0, 16, 0,
                                4,    0,    0, 0, 1,    0,    0, 0, 0,    0,    0x10, 0, 0x80, 0, 0, 0xAA, 0, 0x38, 0x9B, 0x71};
    extensible.insert(extensible.end(), format, format + 40);
    extensible.insert(extensible.end(), file.begin() + 36 + sizeof list, file.end());
    decoder = OpenDecoder(extensible.data(), extensible.size());
    ASSERT_TRUE(decoder);
    EXPECT_EQ(DecodeAll(*decoder).size(), 10u);
}

TEST(WavDecoder, RefusesWhatItCannotPlay) {
    const std::vector<uint8_t> good = soundgen::EncodeWav(test::Ramp(44100, 2, 100), 16);
    auto refused = [](std::vector<uint8_t> file) { return !OpenDecoder(file.data(), file.size()); };
    auto patched = [&](size_t at, std::vector<uint8_t> bytes) {
        std::vector<uint8_t> file = good;
        std::copy(bytes.begin(), bytes.end(), file.begin() + static_cast<long>(at));
        return file;
    };
    EXPECT_TRUE(refused(patched(20, {3, 0})));                       // float samples
    EXPECT_TRUE(refused(patched(22, {3, 0})));                       // three channels
    EXPECT_TRUE(refused(patched(34, {24, 0})));                      // 24 bits
    EXPECT_TRUE(refused(patched(32, {2, 0})));                       // block size that does not fit
    EXPECT_TRUE(refused(patched(24, {0, 0, 0, 0})));                 // rate 0
    EXPECT_TRUE(refused(patched(12, {'f', 'm', 'x', ' '})));         // no format chunk
    EXPECT_TRUE(refused(patched(40, {0, 0, 0, 0})));                 // no samples
    EXPECT_TRUE(refused(std::vector<uint8_t>(good.begin(), good.end() - 1)));  // cut inside the samples
    EXPECT_TRUE(refused(std::vector<uint8_t>(good.begin(), good.begin() + 30)));  // cut inside the format
    EXPECT_TRUE(refused({}));
}

TEST(VorbisDecoder, DecodesAnEncodedToneWithinTheCodecsError) {
    for (int channels : {1, 2}) {
        const Sound sound = soundgen::MakeTone(44100, channels, 1.0, 440.0, 0.5f, 0.25f);
        std::vector<uint8_t> file;
        ASSERT_TRUE(soundgen::EncodeVorbis(sound, 0.6f, file));
        std::unique_ptr<Decoder> decoder = OpenDecoder(file.data(), file.size());
        ASSERT_TRUE(decoder);
        EXPECT_EQ(decoder->GetChannels(), channels);
        EXPECT_EQ(decoder->GetRate(), 44100u);
        const std::vector<float> decoded = DecodeAll(*decoder);
        ASSERT_EQ(decoded.size(), sound.samples.size());
        double error = 0.0;
        for (size_t i = 0; i < decoded.size(); ++i) error += std::pow(decoded[i] - sound.samples[i], 2);
        EXPECT_LT(std::sqrt(error / decoded.size()), 0.01) << channels;
        ASSERT_TRUE(decoder->Rewind());
        EXPECT_EQ(DecodeAll(*decoder), decoded);
    }
}

TEST(VorbisDecoder, RefusesEmptyCutAndDamagedFiles) {
    std::vector<uint8_t> file;
    ASSERT_TRUE(soundgen::EncodeVorbis(soundgen::MakeTone(22050, 1, 0.5, 300.0, 0.5f, 0.5f), 0.3f, file));
    for (size_t cut : {size_t(4), size_t(27), size_t(100), file.size() / 2, file.size() - 1})
        EXPECT_FALSE(OpenDecoder(file.data(), cut)) << cut;
    // Headers scrambled: every byte after the first page flipped.
    std::vector<uint8_t> scrambled = file;
    for (size_t i = 58; i < 400; ++i) scrambled[i] ^= 0x5A;
    EXPECT_FALSE(OpenDecoder(scrambled.data(), scrambled.size()));
    // Random bytes behind an Ogg signature, and bytes of no known format.
    std::mt19937 random(7);
    std::vector<uint8_t> noise(5000);
    for (uint8_t& byte : noise) byte = static_cast<uint8_t>(random());
    std::copy_n("OggS", 4, noise.begin());
    EXPECT_FALSE(OpenDecoder(noise.data(), noise.size()));
    std::copy_n("ID3\3", 4, noise.begin());
    EXPECT_FALSE(OpenDecoder(noise.data(), noise.size()));
    EXPECT_FALSE(OpenDecoder(nullptr, 100));
}

}  // namespace
}  // namespace zav::audio
