#include <gtest/gtest.h>

#include <ogg/ogg.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

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

// The start of page `index` of an Ogg file (0 when there is no such page).
size_t PageStart(const std::vector<uint8_t>& file, int index) {
    size_t at = 0;
    for (int page = 0; page < index && at + 27 <= file.size(); ++page) {
        size_t body = 0;
        for (size_t i = 0; i < file[at + 26]; ++i) body += file[at + 27 + i];
        at += 27 + file[at + 26] + body;
    }
    return at + 27 <= file.size() ? at : 0;
}

// The Ogg file again with every packet on a page of its own; the pages
// whose packet `frameless` picks claim to end the stream at sample 0, which
// leaves their packets no frames to yield.
std::vector<uint8_t> OnePacketPerPage(const std::vector<uint8_t>& file, bool (*frameless)(int packet)) {
    ogg_sync_state sync;
    ogg_sync_init(&sync);
    char* buffer = ogg_sync_buffer(&sync, static_cast<long>(file.size()));
    std::memcpy(buffer, file.data(), file.size());
    ogg_sync_wrote(&sync, static_cast<long>(file.size()));
    ogg_stream_state in, out;
    ogg_stream_init(&in, 1);
    ogg_stream_init(&out, 1);
    std::vector<uint8_t> paged;
    ogg_page page;
    ogg_packet packet;
    for (int index = 0; ogg_sync_pageout(&sync, &page) == 1;) {
        ogg_stream_pagein(&in, &page);
        while (ogg_stream_packetout(&in, &packet) == 1) {
            ogg_stream_packetin(&out, &packet);
            ogg_page written;
            while (ogg_stream_flush(&out, &written)) {
                const size_t at = paged.size();
                paged.insert(paged.end(), written.header, written.header + written.header_len);
                paged.insert(paged.end(), written.body, written.body + written.body_len);
                if (index >= 3 && frameless(index - 3)) {  // after the three headers
                    paged[at + 5] |= 4;
                    std::fill_n(paged.begin() + static_cast<long>(at) + 6, 8, 0);
                }
            }
            ++index;
        }
    }
    ogg_stream_clear(&in);
    ogg_stream_clear(&out);
    ogg_sync_clear(&sync);
    return paged;
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

TEST(VorbisDecoder, RefusesCommentLengthsThatRunPastTheCommentHeader) {
    // The comment header shares its page with the setup header: a vendor
    // text or comment list claimed longer than the comment header reaches
    // into the setup header's bytes, which the page still holds.
    std::vector<uint8_t> file;
    ASSERT_TRUE(soundgen::EncodeVorbis(soundgen::MakeTone(22050, 1, 0.5, 1000.0, 0.5f, 0.5f), 0.3f, file));
    const size_t page = PageStart(file, 1);
    ASSERT_NE(page, 0u);
    ASSERT_LT(file[page + 27], 255);  // the comment header is one segment
    const size_t packet = page + 27 + file[page + 26];
    const uint32_t commentHeader = file[page + 27];
    uint32_t vendor = 0;
    std::memcpy(&vendor, &file[packet + 7], 4);
    ASSERT_TRUE(OpenDecoder(file.data(), file.size()));
    for (uint32_t claimed : {commentHeader, commentHeader + 100}) {
        std::vector<uint8_t> damaged = file;
        std::memcpy(&damaged[packet + 7], &claimed, 4);
        EXPECT_FALSE(OpenDecoder(damaged.data(), damaged.size())) << claimed;
    }
    std::vector<uint8_t> damaged = file;  // one more comment than the header holds
    const size_t count = packet + 11 + vendor;
    damaged[count] = static_cast<uint8_t>(damaged[count] + 1);
    EXPECT_FALSE(OpenDecoder(damaged.data(), damaged.size()));
}

TEST(VorbisDecoder, SurvivesCodebooksOfAnyNumberOfDimensions) {
    // Every codebook of the setup header that starts on a byte, given 32,
    // 256 and 65535 dimensions: the count of its lookup values takes powers
    // far beyond any integer. Whether the decoder opens is of no matter;
    // that it neither crashes nor strays into undefined arithmetic is.
    std::vector<uint8_t> file;
    ASSERT_TRUE(soundgen::EncodeVorbis(soundgen::MakeTone(22050, 1, 0.5, 1000.0, 0.5f, 0.5f), 0.3f, file));
    const size_t setupEnd = PageStart(file, 2);
    int codebooks = 0;
    for (size_t at = PageStart(file, 1); at + 5 < setupEnd; ++at) {
        if (std::memcmp(&file[at], "BCV", 3) != 0) continue;
        ++codebooks;
        for (uint16_t dimensions : {32, 256, 65535}) {
            std::vector<uint8_t> damaged = file;
            damaged[at + 3] = static_cast<uint8_t>(dimensions);
            damaged[at + 4] = static_cast<uint8_t>(dimensions >> 8);
            if (std::unique_ptr<Decoder> decoder = OpenDecoder(damaged.data(), damaged.size())) DecodeAll(*decoder);
        }
    }
    EXPECT_GT(codebooks, 3);
}

TEST(VorbisDecoder, PlaysOnPastAFewFramelessPacketsAndEndsAtMany) {
    // A 2 s tone; some of its packets on pages that claim to end the stream
    // at sample 0, which leaves them no frames. A few such packets (a stream
    // has one or two at its start and end) are passed over; many cost a
    // block's decoding each for nothing, and end the sound.
    const soundgen::Sound sound = soundgen::MakeTone(22050, 1, 2.0, 500.0, 0.5f, 0.5f);
    std::vector<uint8_t> file;
    ASSERT_TRUE(soundgen::EncodeVorbis(sound, 0.3f, file));
    const std::vector<uint8_t> few = OnePacketPerPage(file, [](int packet) { return packet >= 4 && packet < 7; });
    std::unique_ptr<Decoder> decoder = OpenDecoder(few.data(), few.size());
    ASSERT_TRUE(decoder);
    const size_t fewFrames = DecodeAll(*decoder).size();
    EXPECT_GT(fewFrames, sound.Frames() * 3 / 4);
    const std::vector<uint8_t> many = OnePacketPerPage(file, [](int packet) { return packet >= 4 && packet < 60; });
    decoder = OpenDecoder(many.data(), many.size());
    ASSERT_TRUE(decoder);
    const size_t manyFrames = DecodeAll(*decoder).size();
    EXPECT_GT(manyFrames, 0u);
    EXPECT_LT(manyFrames, sound.Frames() / 4);
    // Rewound, the same again.
    ASSERT_TRUE(decoder->Rewind());
    EXPECT_EQ(DecodeAll(*decoder).size(), manyFrames);
}

TEST(VorbisDecoder, FuzzFindingsAreRefusedOrDecodeSafely) {
    // Damaged files the fuzz target found, kept as its seeds: under the
    // sanitizers each either is refused or decodes without undefined
    // behaviour.
    const char* root = std::getenv("ZAV_SOURCE_DIR");
    if (!root || !*root) {
        GTEST_SKIP() << "ZAV_SOURCE_DIR is not set; the fuzz seeds are not found";
    }
    struct Seed {
        const char* name;
        bool opens;
    };
    for (const Seed& seed : {Seed{"codebook_dimensions.ogg", false}, Seed{"comment_lengths.ogg", false},
                             Seed{"long_code_in_small_codebook.ogg", false}, Seed{"frameless_few.ogg", true},
                             Seed{"frameless_many.ogg", true}}) {
        std::ifstream in(std::string(root) + "/fuzz/corpus/audio_stream/" + seed.name, std::ios::binary);
        const std::vector<uint8_t> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        ASSERT_FALSE(file.empty()) << seed.name;
        std::unique_ptr<Decoder> decoder = OpenDecoder(file.data(), file.size());
        EXPECT_EQ(decoder != nullptr, seed.opens) << seed.name;
        if (decoder) {
            EXPECT_GT(DecodeAll(*decoder).size(), 0u) << seed.name;
        }
    }
}

}  // namespace
}  // namespace zav::audio
