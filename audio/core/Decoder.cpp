#include "audio/core/Decoder.h"

#include <cstring>

namespace zav::audio {

std::unique_ptr<Decoder> OpenDecoder(const uint8_t* data, size_t size) {
    if (!data || size < 12) return nullptr;
    if (std::memcmp(data, "RIFF", 4) == 0 && std::memcmp(data + 8, "WAVE", 4) == 0) return OpenWavDecoder(data, size);
    if (std::memcmp(data, "OggS", 4) == 0) return OpenVorbisDecoder(data, size);
    return nullptr;
}

}  // namespace zav::audio
