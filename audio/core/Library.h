#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "audio/AudioApi.h"
#include "audio/core/Mixer.h"
#include "audio/core/Output.h"
#include "audio/core/Spatial.h"

namespace zav::audio {

// What the entry points do, one method each (see AudioApi.h). Every method
// sets the error code that ErrorGetCode returns.
//
// Streams, channel settings and 3D placement work whether or not a device is
// initialised: without one nothing is heard and nothing advances. Init opens
// the output through the opener; when it cannot (or there is no opener),
// Init fails with kAudioErrorNoDevice and every other call still works
// silently.
class Library {
public:
    explicit Library(OutputOpener opener = nullptr) : opener_(opener) {}
    ~Library();

    void SetOutputOpener(OutputOpener opener) { opener_ = opener; }
    Mixer& GetMixer() { return mixer_; }

#define ZAV_AUDIO_METHOD(result, name, parameters, arguments) result name parameters;
    ZAV_AUDIO_ENTRY_POINTS(ZAV_AUDIO_METHOD)
#undef ZAV_AUDIO_METHOD

private:
    int32_t Succeed() {
        error_ = kAudioOk;
        return 1;
    }
    int32_t Fail(AudioError error) {
        error_ = error;
        return 0;
    }
    // Runs `edit` on a live channel (3D channels only when `need3D`) and
    // sets the error code; false when it did not run.
    bool EditChannel(uint32_t channel, bool need3D, const std::function<void(Channel&)>& edit);
    StereoGain Place(const Channel& channel) const { return PlaceSound(listener_, factors_, channel.placement); }

    OutputOpener opener_;
    Mixer mixer_;
    std::unique_ptr<Output> output_;
    bool initialized_ = false;
    uint32_t device_ = 0;
    std::string description_ = "Default output";
    int32_t error_ = kAudioOk;
    Listener listener_;
    SpaceFactors factors_;
};

}  // namespace zav::audio
