#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace zav::audio {

class Mixer;

// A sound device playing what the mixer renders, from its own thread,
// until it is destroyed.
class Output {
public:
    virtual ~Output() = default;
};

// Opens the default output at `rate` frames per second (stereo, 16-bit) for
// `mixer`, with the device's name in `description`; null when there is no
// device to play on. `window` is the caller's window, which an output may
// ignore.
using OutputOpener = std::unique_ptr<Output> (*)(Mixer& mixer, uint32_t rate, void* window, std::string& description);

}  // namespace zav::audio
