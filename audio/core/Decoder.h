#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace zav::audio {

// Decodes one sound held in memory to float samples, -1..1, interleaved by
// channel. The bytes stay the caller's and must outlive the decoder.
class Decoder {
public:
    virtual ~Decoder() = default;

    int GetChannels() const { return channels_; }  // 1 or 2
    uint32_t GetRate() const { return rate_; }     // frames per second

    // Decodes up to `frames` frames into `samples` (frames x channels
    // floats). Returns the frames decoded: fewer only at the end of the
    // sound, 0 at the end or when the rest of the data cannot be decoded.
    virtual int Read(float* samples, int frames) = 0;
    // Goes back to the first frame; false when the decoder cannot.
    virtual bool Rewind() = 0;

protected:
    int channels_ = 0;
    uint32_t rate_ = 0;
};

// Rates a sound may have.
constexpr uint32_t kMinSoundRate = 1000;
constexpr uint32_t kMaxSoundRate = 384000;

// A decoder for the sound in `data`: PCM WAV (8 or 16 bits, mono or stereo)
// or Ogg Vorbis (mono or stereo), told apart by their signatures. Null for
// anything else, an empty sound or a header that does not hold together.
std::unique_ptr<Decoder> OpenDecoder(const uint8_t* data, size_t size);

std::unique_ptr<Decoder> OpenWavDecoder(const uint8_t* data, size_t size);
std::unique_ptr<Decoder> OpenVorbisDecoder(const uint8_t* data, size_t size);

}  // namespace zav::audio
