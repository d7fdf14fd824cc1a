#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "audio/core/Channel.h"

namespace zav::audio {

// The channels and their mix. The library edits channels from its caller's
// thread while an output renders from its own; one lock serialises both.
class Mixer {
public:
    // Takes a channel and returns its handle (never 0, never issued twice).
    uint32_t Add(std::unique_ptr<Channel> channel);
    bool Remove(uint32_t handle);
    void RemoveAll();
    // Runs `edit` on the channel with the lock held; false when there is no
    // such channel.
    bool Edit(uint32_t handle, const std::function<void(Channel&)>& edit);
    void EditAll(const std::function<void(Channel&)>& edit);
    int Count();

    // The rate the output plays at; 44100 until an output says otherwise.
    void SetOutputRate(uint32_t rate);
    uint32_t GetOutputRate();
    // The volume of every stream, 0..100.
    void SetMasterVolume(uint32_t volume);
    uint32_t GetMasterVolume();

    // Mixes the next `frames` stereo frames of every playing channel, summed
    // and cut to -1..1.
    void Render(float* stereo, int frames);
    void Render(int16_t* stereo, int frames);

private:
    void RenderLocked(float* stereo, int frames);

    std::mutex mutex_;
    std::map<uint32_t, std::unique_ptr<Channel>> channels_;
    uint32_t lastHandle_ = 0;
    uint32_t outputRate_ = 44100;
    uint32_t masterVolume_ = 100;
    std::vector<float> scratch_;
};

}  // namespace zav::audio
