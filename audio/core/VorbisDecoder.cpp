// Ogg Vorbis through stb_vorbis, decoding from the caller's bytes as the
// mixer asks for frames.
#include <climits>
#include <new>

#include "audio/core/Decoder.h"
#include "audio/core/StbVorbis.h"

namespace zav::audio {

namespace {

class VorbisDecoder : public Decoder {
public:
    VorbisDecoder(stb_vorbis* vorbis, int channels, uint32_t rate) : vorbis_(vorbis) {
        channels_ = channels;
        rate_ = rate;
    }
    ~VorbisDecoder() override { stb_vorbis_close(vorbis_); }

    int Read(float* samples, int frames) override {
        if (frames <= 0) return 0;
        return stb_vorbis_get_samples_float_interleaved(vorbis_, channels_, samples, frames * channels_);
    }

    bool Rewind() override { return stb_vorbis_seek_start(vorbis_) != 0; }

private:
    stb_vorbis* vorbis_;
};

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

}  // namespace

std::unique_ptr<Decoder> OpenVorbisDecoder(const uint8_t* data, size_t size) {
    if (!data || size == 0 || size > INT_MAX || !EndsWithClosingPage(data, size)) return nullptr;
    int error = 0;
    stb_vorbis* vorbis = stb_vorbis_open_memory(data, static_cast<int>(size), &error, nullptr);
    if (!vorbis) return nullptr;
    stb_vorbis_info info = stb_vorbis_get_info(vorbis);
    if ((info.channels != 1 && info.channels != 2) || info.sample_rate < kMinSoundRate ||
        info.sample_rate > kMaxSoundRate) {
        stb_vorbis_close(vorbis);
        return nullptr;
    }
    auto* decoder = new (std::nothrow) VorbisDecoder(vorbis, info.channels, info.sample_rate);
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
