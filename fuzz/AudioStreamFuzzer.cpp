// Feeds arbitrary bytes to the audio library's stream creation, as a
// damaged sound file of the media would reach it, and plays what it accepts:
// looped and not, 3D and not, at the sound's rate and another, for up to a
// second of output each.
#include <cstdint>
#include <vector>

#include "audio/core/Library.h"

using namespace zav::audio;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0 || size > (1u << 22)) return 0;
    static Library* library = new Library();
    const uint32_t flags = (data[size - 1] & 1 ? kAudioLoop : 0) | (data[size - 1] & 2 ? kAudio3D : 0);
    const uint32_t stream = library->StreamCreateFile(1, data, 0, static_cast<uint32_t>(size), flags);
    if (!stream) return 0;
    library->ChannelPlay(stream, 0);
    if (data[size - 1] & 4) library->ChannelSetAttributes(stream, 11025, 50, -101);
    std::vector<float> mix(2 * 4410);
    for (int block = 0; block < 10 && library->ChannelIsActive(stream); ++block)
        library->GetMixer().Render(mix.data(), 4410);
    library->ChannelPlay(stream, 1);
    library->GetMixer().Render(mix.data(), 441);
    library->StreamFree(stream);
    return 0;
}
