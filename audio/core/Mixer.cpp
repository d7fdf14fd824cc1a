#include "audio/core/Mixer.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace zav::audio {

uint32_t Mixer::Add(std::unique_ptr<Channel> channel) {
    std::lock_guard<std::mutex> lock(mutex_);
    // Handles count up; after 2^32 - 1 of them they would repeat, which a
    // screensaver never reaches.
    do {
        ++lastHandle_;
    } while (lastHandle_ == 0 || channels_.count(lastHandle_));
    channels_[lastHandle_] = std::move(channel);
    return lastHandle_;
}

bool Mixer::Remove(uint32_t handle) {
    std::unique_ptr<Channel> removed;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        auto found = channels_.find(handle);
        if (found == channels_.end()) return false;
        removed = std::move(found->second);
        channels_.erase(found);
    }
    return true;
}

void Mixer::RemoveAll() {
    std::map<uint32_t, std::unique_ptr<Channel>> removed;
    std::lock_guard<std::mutex> lock(mutex_);
    removed.swap(channels_);
}

bool Mixer::Edit(uint32_t handle, const std::function<void(Channel&)>& edit) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto found = channels_.find(handle);
    if (found == channels_.end()) return false;
    edit(*found->second);
    return true;
}

void Mixer::EditAll(const std::function<void(Channel&)>& edit) {
    std::lock_guard<std::mutex> lock(mutex_);
    for (auto& entry : channels_) edit(*entry.second);
}

int Mixer::Count() {
    std::lock_guard<std::mutex> lock(mutex_);
    return static_cast<int>(channels_.size());
}

void Mixer::SetOutputRate(uint32_t rate) {
    std::lock_guard<std::mutex> lock(mutex_);
    outputRate_ = rate;
}

uint32_t Mixer::GetOutputRate() {
    std::lock_guard<std::mutex> lock(mutex_);
    return outputRate_;
}

void Mixer::SetMasterVolume(uint32_t volume) {
    std::lock_guard<std::mutex> lock(mutex_);
    masterVolume_ = std::min<uint32_t>(volume, 100);
}

uint32_t Mixer::GetMasterVolume() {
    std::lock_guard<std::mutex> lock(mutex_);
    return masterVolume_;
}

void Mixer::RenderLocked(float* stereo, int frames) {
    std::fill(stereo, stereo + 2 * frames, 0.0f);
    const float master = static_cast<float>(masterVolume_) / 100.0f;
    for (auto& entry : channels_) entry.second->MixInto(stereo, frames, outputRate_, master);
    // A damaged sound may decode to values that are not numbers: silence.
    for (int i = 0; i < 2 * frames; ++i) {
        const float value = stereo[i];
        stereo[i] = value > 1.0f ? 1.0f : value < -1.0f ? -1.0f : value == value ? value : 0.0f;
    }
}

void Mixer::Render(float* stereo, int frames) {
    if (frames <= 0) return;
    std::lock_guard<std::mutex> lock(mutex_);
    RenderLocked(stereo, frames);
}

void Mixer::Render(int16_t* stereo, int frames) {
    if (frames <= 0) return;
    std::lock_guard<std::mutex> lock(mutex_);
    scratch_.resize(static_cast<size_t>(2 * frames));
    RenderLocked(scratch_.data(), frames);
    for (int i = 0; i < 2 * frames; ++i)
        stereo[i] = static_cast<int16_t>(std::lround(scratch_[static_cast<size_t>(i)] * 32767.0f));
}

}  // namespace zav::audio
