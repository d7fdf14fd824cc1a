// PCM WAV: a RIFF "WAVE" file with a "fmt " chunk (format 1, or the
// extensible format 0xFFFE with the PCM sub-format) and a "data" chunk.
// Chunks may come in any order; a file that ends inside a chunk it needs was
// cut short and is refused.
#include <algorithm>
#include <cstring>
#include <new>

#include "audio/core/Decoder.h"

namespace zav::audio {

namespace {

uint32_t Little32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24; }
uint16_t Little16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

constexpr uint16_t kFormatPcm = 1;
constexpr uint16_t kFormatExtensible = 0xFFFE;

class WavDecoder : public Decoder {
public:
    WavDecoder(const uint8_t* samples, size_t frames, int channels, uint32_t rate, int bits)
        : samples_(samples), frames_(frames), bytesPerSample_(bits / 8) {
        channels_ = channels;
        rate_ = rate;
    }

    int Read(float* out, int frames) override {
        if (frames <= 0) return 0;
        size_t count = std::min(frames_ - next_, static_cast<size_t>(frames));
        const size_t values = count * static_cast<size_t>(channels_);
        const uint8_t* p = samples_ + next_ * static_cast<size_t>(channels_ * bytesPerSample_);
        if (bytesPerSample_ == 1) {
            for (size_t i = 0; i < values; ++i) out[i] = (static_cast<float>(p[i]) - 128.0f) / 128.0f;
        } else {
            for (size_t i = 0; i < values; ++i)
                out[i] = static_cast<float>(static_cast<int16_t>(Little16(p + 2 * i))) / 32768.0f;
        }
        next_ += count;
        return static_cast<int>(count);
    }

    bool Rewind() override {
        next_ = 0;
        return true;
    }

private:
    const uint8_t* samples_;
    size_t frames_;
    size_t next_ = 0;
    int bytesPerSample_;
};

}  // namespace

std::unique_ptr<Decoder> OpenWavDecoder(const uint8_t* data, size_t size) {
    if (!data || size < 12 || std::memcmp(data, "RIFF", 4) != 0 || std::memcmp(data + 8, "WAVE", 4) != 0)
        return nullptr;
    const uint8_t* format = nullptr;
    size_t formatSize = 0;
    const uint8_t* samples = nullptr;
    size_t sampleBytes = 0;
    for (size_t at = 12; at + 8 <= size;) {
        const uint8_t* chunk = data + at;
        const size_t declared = Little32(chunk + 4);
        const size_t available = std::min(declared, size - at - 8);
        if (std::memcmp(chunk, "fmt ", 4) == 0 && !format) {
            format = chunk + 8;
            formatSize = available;
        } else if (std::memcmp(chunk, "data", 4) == 0 && !samples) {
            samples = chunk + 8;
            sampleBytes = available;
        }
        if (declared > size - at - 8) {
            if (samples == chunk + 8 || format == chunk + 8) return nullptr;
            break;
        }
        at += 8 + declared + (declared & 1);  // chunks are padded to even sizes
    }
    if (!format || formatSize < 16 || !samples) return nullptr;
    uint16_t tag = Little16(format);
    const int channels = Little16(format + 2);
    const uint32_t rate = Little32(format + 4);
    const int blockAlign = Little16(format + 12);
    const int bits = Little16(format + 14);
    if (tag == kFormatExtensible) {
        // The sub-format GUID starts with the format tag it stands for.
        if (formatSize < 40) return nullptr;
        tag = Little16(format + 24);
    }
    if (tag != kFormatPcm || (channels != 1 && channels != 2) || (bits != 8 && bits != 16) ||
        blockAlign != channels * bits / 8 || rate < kMinSoundRate || rate > kMaxSoundRate)
        return nullptr;
    const size_t frames = sampleBytes / static_cast<size_t>(blockAlign);
    if (frames == 0) return nullptr;
    return std::unique_ptr<Decoder>(new (std::nothrow) WavDecoder(samples, frames, channels, rate, bits));
}

}  // namespace zav::audio
