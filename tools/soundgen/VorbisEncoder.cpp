// Ogg Vorbis through Debian's libvorbis (host builds only).
#include <vorbis/vorbisenc.h>

#include <algorithm>

#include "tools/soundgen/SoundFiles.h"

namespace zav::soundgen {

namespace {

// Frames a loop is coded on past its end: more than the longest block.
constexpr size_t kLoopRunOn = 8192;

void AppendPage(std::vector<uint8_t>& file, const ogg_page& page) {
    file.insert(file.end(), page.header, page.header + page.header_len);
    file.insert(file.end(), page.body, page.body + page.body_len);
}

}  // namespace

bool EncodeVorbis(const Sound& sound, float quality, std::vector<uint8_t>& file, bool loop) {
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

    // A loop goes on into its own start for longer than the largest block,
    // so that its last frames are coded as in the middle of the sound; the
    // packet that completes the loop's last frame ends the stream, its
    // granule position cutting off what it decodes past it.
    const size_t frames = sound.Frames();
    const size_t coded = loop && frames > 0 ? frames + kLoopRunOn : frames;
    const auto end = static_cast<ogg_int64_t>(frames);
    bool ended = false;
    constexpr size_t kChunk = 1024;
    for (size_t done = 0; !ended; done += kChunk) {
        const size_t count = done < coded ? std::min(kChunk, coded - done) : 0;
        if (count > 0) {
            float** buffer = vorbis_analysis_buffer(&dsp, static_cast<int>(count));
            for (size_t i = 0; i < count; ++i)
                for (int c = 0; c < sound.channels; ++c)
                    buffer[c][i] = sound.samples[((done + i) % frames) * sound.channels + c];
        }
        vorbis_analysis_wrote(&dsp, static_cast<int>(count));  // 0 ends the stream
        while (!ended && vorbis_analysis_blockout(&dsp, &block) == 1) {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            ogg_packet packet;
            while (!ended && vorbis_bitrate_flushpacket(&dsp, &packet) == 1) {
                if (loop && packet.granulepos >= end) {
                    packet.granulepos = end;
                    packet.e_o_s = 1;
                }
                ended = packet.e_o_s != 0;
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
