#include "tools/soundgen/SoundFiles.h"

#include <vorbis/vorbisenc.h>

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

void AppendPage(std::vector<uint8_t>& file, const ogg_page& page) {
    file.insert(file.end(), page.header, page.header + page.header_len);
    file.insert(file.end(), page.body, page.body + page.body_len);
}

}  // namespace

Sound MakeTone(uint32_t rate, int channels, double seconds, double frequency, float left, float right) {
    Sound sound;
    sound.rate = rate;
    sound.channels = channels;
    const size_t frames = static_cast<size_t>(std::llround(seconds * rate));
    sound.samples.resize(frames * static_cast<size_t>(channels));
    for (size_t i = 0; i < frames; ++i) {
        const float value = static_cast<float>(std::sin(2.0 * M_PI * frequency * static_cast<double>(i) / rate));
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

bool EncodeVorbis(const Sound& sound, float quality, std::vector<uint8_t>& file) {
    file.clear();
    vorbis_info info;
    vorbis_info_init(&info);
    if (vorbis_encode_init_vbr(&info, sound.channels, static_cast<long>(sound.rate), quality) != 0) {
        vorbis_info_clear(&info);
        return false;
    }
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    vorbis_comment_add_tag(&comment, "ENCODER", "soundgen");
    vorbis_dsp_state dsp;
    vorbis_block block;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block_init(&dsp, &block);
    ogg_stream_state stream;
    ogg_stream_init(&stream, 1);  // a fixed serial number: the same bytes on every run

    ogg_packet header, commentHeader, codeHeader;
    vorbis_analysis_headerout(&dsp, &comment, &header, &commentHeader, &codeHeader);
    ogg_stream_packetin(&stream, &header);
    ogg_stream_packetin(&stream, &commentHeader);
    ogg_stream_packetin(&stream, &codeHeader);
    ogg_page page;
    while (ogg_stream_flush(&stream, &page) != 0) AppendPage(file, page);

    const size_t frames = sound.Frames();
    constexpr size_t kChunk = 1024;
    for (size_t done = 0;; done += kChunk) {
        const size_t count = done < frames ? std::min(kChunk, frames - done) : 0;
        if (count > 0) {
            float** buffer = vorbis_analysis_buffer(&dsp, static_cast<int>(count));
            for (size_t i = 0; i < count; ++i)
                for (int c = 0; c < sound.channels; ++c) buffer[c][i] = sound.samples[(done + i) * sound.channels + c];
        }
        vorbis_analysis_wrote(&dsp, static_cast<int>(count));  // 0 ends the stream
        while (vorbis_analysis_blockout(&dsp, &block) == 1) {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&dsp, &packet) == 1) {
                ogg_stream_packetin(&stream, &packet);
                while (ogg_stream_pageout(&stream, &page) != 0) AppendPage(file, page);
            }
        }
        if (count == 0) break;
    }
    while (ogg_stream_flush(&stream, &page) != 0) AppendPage(file, page);

    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    return !file.empty();
}

}  // namespace zav::soundgen
