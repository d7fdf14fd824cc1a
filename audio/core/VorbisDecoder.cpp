// Ogg Vorbis through stb_vorbis, decoding from the caller's bytes as the
// mixer asks for frames.
#include <algorithm>
#include <climits>
#include <cstdint>
#include <new>
#include <utility>

#include "audio/core/Decoder.h"
#include "audio/core/StbVorbis.h"

namespace zav::audio {

namespace {

// stb_vorbis takes all its memory from an arena of the decoder's own, so
// nothing it allocates can outlive the decoder, whatever path a damaged file
// sends it down. The largest arena also bounds the work of opening: stb_vorbis
// reads a codebook's entries past the end of its header as zeros, so a header
// of a few bytes can claim millions of entries, and each costs a step per
// table it fills. What libvorbis writes (8-192 kHz, mono and stereo, every
// quality) needs at most about 220 KB.
constexpr size_t kFirstArenaBytes = 256 * 1024;
constexpr size_t kLargestArenaBytes = 1024 * 1024;

// Every packet of a stream yields at least half its short block (32 frames
// or more), except the first ones, whose frames only prime the overlap, and
// the last, cut to the stream's length. A packet with fewer still costs a
// whole block's decoding: a damaged stream made of them would take many
// times longer to decode than to play. A pass may have kFreeShortPackets of
// them and one more per kFramesPerShortPacket frames it yielded; the next
// ends it.
constexpr int kShortPacketFrames = 16;
constexpr int kFreeShortPackets = 8;
constexpr int64_t kFramesPerShortPacket = 4096;

class VorbisDecoder : public Decoder {
public:
    VorbisDecoder(stb_vorbis* vorbis, std::unique_ptr<char[]> arena, int channels, uint32_t rate)
        : arena_(std::move(arena)), vorbis_(vorbis) {
        channels_ = channels;
        rate_ = rate;
    }
    ~VorbisDecoder() override { stb_vorbis_close(vorbis_); }

    int Read(float* samples, int frames) override {
        int done = 0;
        while (done < frames && (next_ < count_ || Decode())) {
            const int take = std::min(frames - done, count_ - next_);
            for (int frame = 0; frame < take; ++frame)
                for (int channel = 0; channel < channels_; ++channel)
                    *samples++ = outputs_[channel][next_ + frame];
            next_ += take;
            done += take;
        }
        return done;
    }

    bool Rewind() override {
        next_ = count_ = 0;
        passFrames_ = 0;
        shortPackets_ = 0;
        ended_ = stb_vorbis_seek_start(vorbis_) == 0;
        return !ended_;
    }

private:
    // Decodes packets until one yields frames; false at the end of the
    // stream, at a packet that does not decode, and past the pass's share of
    // short packets.
    bool Decode() {
        while (!ended_) {
            stb_vorbis_get_error(vorbis_);  // clears it
            const unsigned int before = stb_vorbis_get_file_offset(vorbis_);
            float** outputs = nullptr;
            zav_stb_vorbis_mend_overlap(vorbis_);
            const int got = stb_vorbis_get_frame_float(vorbis_, nullptr, &outputs);
            if (stb_vorbis_get_error(vorbis_) != VORBIS__no_error || got < 0 ||
                (got == 0 && stb_vorbis_get_file_offset(vorbis_) == before)) {
                ended_ = true;
                break;
            }
            if (got < kShortPacketFrames && ++shortPackets_ > kFreeShortPackets + passFrames_ / kFramesPerShortPacket) {
                ended_ = true;
                break;
            }
            passFrames_ += got;
            if (got > 0) {
                outputs_ = outputs;
                count_ = got;
                next_ = 0;
                return true;
            }
        }
        return false;
    }

    std::unique_ptr<char[]> arena_;
    stb_vorbis* vorbis_;
    float** outputs_ = nullptr;  // the last packet's frames, one array per channel
    int count_ = 0, next_ = 0;   // frames in outputs_, and the next one to hand out
    int64_t passFrames_ = 0;     // frames since the first
    int shortPackets_ = 0;       // packets of this pass with fewer than kShortPacketFrames
    bool ended_ = false;
};

uint32_t Little32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24; }

// Whether the last Ogg page in the data is whole and closes the stream (its
// end-of-stream flag is set): a file cut short ends without that page.
bool EndsWithClosingPage(const uint8_t* data, size_t size) {
    constexpr size_t kHeader = 27;
    for (size_t at = size >= kHeader ? size - kHeader + 1 : 0; at-- > 0;) {
        const uint8_t* page = data + at;
        if (page[0] != 'O' || page[1] != 'g' || page[2] != 'g' || page[3] != 'S' || page[4] != 0) continue;
        const size_t segments = page[26];
        if (at + kHeader + segments > size) continue;
        size_t body = 0;
        for (size_t i = 0; i < segments; ++i) body += page[kHeader + i];
        if (at + kHeader + segments + body > size) continue;
        return (page[5] & 4) != 0;
    }
    return false;
}

// Whether the comment header holds together: stb_vorbis allocates the list
// and each comment by the lengths the file claims before it reads them, and
// walks past them (past the packet's end, into undefined shifts) when they do
// not fit. The header follows the identification header, which fills the
// first page alone, and ends at the page's first segment shorter than 255
// bytes (the setup header may follow on the same page); a comment header that
// does not end on its own page (a long one, such as a picture) is refused
// with the file.
bool CommentsFit(const uint8_t* data, size_t size) {
    constexpr size_t kHeader = 27;
    auto pageLength = [&](size_t at, size_t& body) {
        if (at + kHeader > size || data[at] != 'O' || data[at + 1] != 'g' || data[at + 2] != 'g' || data[at + 3] != 'S')
            return size_t(0);
        const size_t segments = data[at + 26];
        if (at + kHeader + segments > size) return size_t(0);
        body = 0;
        for (size_t i = 0; i < segments; ++i) body += data[at + kHeader + i];
        return kHeader + segments;
    };
    size_t body = 0;
    const size_t first = pageLength(0, body);
    if (first == 0) return false;
    const size_t second = first + body;
    const size_t secondHeader = pageLength(second, body);
    if (secondHeader == 0 || second + secondHeader + body > size) return false;
    const uint8_t* lacing = data + second + kHeader;
    const size_t segments = secondHeader - kHeader;
    body = 0;
    size_t segment = 0;
    while (segment < segments && lacing[segment] == 255) body += lacing[segment++];
    if (segment == segments) return false;  // the packet goes on to the next page
    body += lacing[segment];
    const uint8_t* packet = data + second + secondHeader;
    size_t at = 7;  // after the packet type and "vorbis"
    auto take = [&](size_t& length) {
        if (at + 4 > body) return false;
        length = Little32(packet + at);
        at += 4;
        if (length > body - at) return false;
        at += length;
        return true;
    };
    size_t length = 0;
    if (!take(length) || at + 4 > body) return false;  // the vendor
    const size_t comments = Little32(packet + at);
    at += 4;
    for (size_t i = 0; i < comments; ++i)
        if (!take(length)) return false;
    return true;
}

}  // namespace

std::unique_ptr<Decoder> OpenVorbisDecoder(const uint8_t* data, size_t size) {
    if (!data || size == 0 || size > INT_MAX || !EndsWithClosingPage(data, size) ||
        !CommentsFit(data, size))
        return nullptr;
    stb_vorbis* vorbis = nullptr;
    std::unique_ptr<char[]> arena;
    for (size_t bytes = kFirstArenaBytes; !vorbis && bytes <= kLargestArenaBytes; bytes *= 4) {
        arena.reset(new (std::nothrow) char[bytes]);
        if (!arena) return nullptr;
        stb_vorbis_alloc alloc{arena.get(), static_cast<int>(bytes)};
        int error = 0;
        vorbis = stb_vorbis_open_memory(data, static_cast<int>(size), &error, &alloc);
        if (!vorbis && error != VORBIS_outofmem) return nullptr;
    }
    if (!vorbis) return nullptr;
    stb_vorbis_info info = stb_vorbis_get_info(vorbis);
    if ((info.channels != 1 && info.channels != 2) || info.sample_rate < kMinSoundRate ||
        info.sample_rate > kMaxSoundRate || !zav_stb_vorbis_codes_fit(vorbis)) {
        stb_vorbis_close(vorbis);
        return nullptr;
    }
    auto* decoder = new (std::nothrow) VorbisDecoder(vorbis, std::move(arena), info.channels, info.sample_rate);
    if (!decoder) {
        stb_vorbis_close(vorbis);
        return nullptr;
    }
    std::unique_ptr<Decoder> opened(decoder);
    // A sound with headers but no audio that decodes is no sound.
    float first[2 * 64];
    if (opened->Read(first, 64) <= 0 || !opened->Rewind()) return nullptr;
    return opened;
}

}  // namespace zav::audio
